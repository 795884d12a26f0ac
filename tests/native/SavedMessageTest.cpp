#include <gtest/gtest.h>

#include <string>

#include "storage/SavedMessage.h"

namespace velmora {
namespace {

std::wstring Joined(const SavedMessageEntries& entries) {
    std::wstring exact;
    for (const std::wstring& part : entries.exactParts) exact += part;
    return exact;
}

std::wstring RoundTrip(std::wstring_view message) {
    const SavedMessageEntries entries = EncodeSavedMessage(message);
    return DecodeSavedMessage(entries.message, Joined(entries));
}

// A profile value is one line; readers trim blanks and a pair of quotes at its ends.
bool SurvivesProfileValue(std::wstring_view value) {
    if (value.find_first_of(L"\r\n") != std::wstring_view::npos) return false;
    return value.empty() ||
           (value.front() != L' ' && value.front() != L'\t' && value.front() != L'"' && value.front() != L'\'' &&
            value.back() != L' ' && value.back() != L'\t' && value.back() != L'"' && value.back() != L'\'');
}

TEST(SavedMessage, PlainMessagesStayPlainSoOlderFilesReadTheSame) {
    for (std::wstring_view message : {L"", L"Back soon", L"a=b; [x] \"in\" the middle", L"x"}) {
        SCOPED_TRACE(std::wstring(message).c_str());
        const SavedMessageEntries entries = EncodeSavedMessage(message);
        EXPECT_EQ(entries.message, message);
        EXPECT_TRUE(entries.exactParts.empty());
        EXPECT_EQ(DecodeSavedMessage(message, L""), message);
    }
}

TEST(SavedMessage, EveryOtherMessageComesBackExactly) {
    const std::wstring longLine(600, L'z');
    for (std::wstring_view message :
         {L"first\r\nsecond", L"lone\rcr", L"lone\nlf", L"\r\n", L"\r\nstarts with a break", L"ends with a break\r\n",
          L" padded ", L"\"quoted\"", L"'single'", L"\ttab\t", L"back\\slash\\r not a break\r\n[Other]\r\nkey=value",
          L"\\", L"\\s\\q", L" ", L"  two  "}) {
        SCOPED_TRACE(std::wstring(message).c_str());
        EXPECT_EQ(RoundTrip(message), message);
    }
    const std::wstring mixed = L"[x]\r\na=b\r\n" + longLine + L"\r\n ";
    EXPECT_EQ(RoundTrip(mixed), mixed);
}

TEST(SavedMessage, StoredValuesNeverHoldALineBreakOrLoseTheirEnds) {
    for (std::wstring_view message : {L"a\r\n[Other]\r\nkey=value", L"  lead", L"trail\t", L"\"x\"\n'y'", L"\n\n"}) {
        SCOPED_TRACE(std::wstring(message).c_str());
        const SavedMessageEntries entries = EncodeSavedMessage(message);
        EXPECT_TRUE(SurvivesProfileValue(entries.message));
        ASSERT_FALSE(entries.exactParts.empty());
        for (const std::wstring& part : entries.exactParts) {
            EXPECT_FALSE(part.empty());
            EXPECT_TRUE(SurvivesProfileValue(part));
        }
    }
}

TEST(SavedMessage, FirstLineIsKeptPlainlyForReadersOfMsgAlone) {
    EXPECT_EQ(EncodeSavedMessage(L"Gone to lunch\r\nback at 2").message, L"Gone to lunch");
    EXPECT_EQ(EncodeSavedMessage(L"  \"Gone\"  ").message, L"Gone");
}

TEST(SavedMessage, AStaleExactValueGivesWayToALaterPlainMsg) {
    const SavedMessageEntries entries = EncodeSavedMessage(L"old\r\nmessage");
    // A version that knows only Msg saved "new" later and left MsgExact behind.
    EXPECT_EQ(DecodeSavedMessage(L"new", Joined(entries)), L"new");
    EXPECT_EQ(DecodeSavedMessage(L"old", Joined(entries)), L"old\r\nmessage");
}

TEST(SavedMessage, MessagesTooLongForOneValueAreSplitIntoSafeParts) {
    std::wstring message;
    for (int i = 0; i < 9000; ++i) message += L"a \"b\" \\ ";  // 8 characters, 14 when escaped
    const SavedMessageEntries entries = EncodeSavedMessage(message);
    ASSERT_EQ(entries.exactParts.size(), 4u);
    for (const std::wstring& part : entries.exactParts) {
        EXPECT_LE(part.size(), kMaxProfileValue);
        EXPECT_TRUE(SurvivesProfileValue(part));
    }
    EXPECT_LE(entries.message.size(), kMaxProfileValue);
    EXPECT_TRUE(SurvivesProfileValue(entries.message));
    EXPECT_EQ(RoundTrip(message), message);
    EXPECT_EQ(ExactPartKey(0), L"MsgExact");
    EXPECT_EQ(ExactPartKey(1), L"MsgExact2");
    EXPECT_EQ(ExactPartKey(3), L"MsgExact4");
}

TEST(SavedMessage, UnknownEscapesAreKeptAsWritten) {
    EXPECT_EQ(DecodeSavedMessage(L"a\\xb", L"a\\xb"), L"a\\xb");
    EXPECT_EQ(DecodeSavedMessage(L"end\\", L"end\\"), L"end\\");
}

TEST(SettingsPath, JoinsTheFolderAndTheFileWithOneSeparator) {
    EXPECT_EQ(SettingsPathFor(L"C:\\Program Files\\Velmora"), L"C:\\Program Files\\Velmora\\Msg.ini");
    EXPECT_EQ(SettingsPathFor(L"D:\\"), L"D:\\Msg.ini");
    EXPECT_EQ(SettingsPathFor(L"\\\\server\\share\\"), L"\\\\server\\share\\Msg.ini");
}

}  // namespace
}  // namespace velmora
