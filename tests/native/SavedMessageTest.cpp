#include <gtest/gtest.h>

#include <string>

#include "storage/ProfileFile.h"
#include "storage/SavedMessage.h"

namespace velmora {
namespace {

// A single-byte code page that holds Latin-1 and nothing else, as the ANSI code page of a
// Western system does: anything beyond it becomes "?".
std::string ToLatin1(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) bytes += c < 0x100 ? static_cast<char>(c) : '?';
    return bytes;
}
std::wstring FromLatin1(std::string_view bytes) {
    std::wstring text;
    for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}
constexpr FileCodePage kLatin1{ToLatin1, FromLatin1};

std::wstring RoundTrip(std::wstring_view message, std::string_view file = {}) {
    return LoadSavedMessage(SaveMessageInto(file, message, kLatin1), kLatin1);
}

// A profile value is one line; readers trim blanks, controls and a pair of quotes at its ends.
bool SurvivesProfileValue(std::wstring_view value) {
    if (value.find_first_of(L"\r\n") != std::wstring_view::npos) return false;
    auto safe = [](wchar_t c) { return c > L' ' && c != L'"' && c != L'\''; };
    return value.empty() || (safe(value.front()) && safe(value.back()));
}

TEST(SavedMessage, PlainMessagesStayPlainSoOlderFilesReadTheSame) {
    for (std::wstring_view message : {L"", L"Back soon", L"a=b; [x] \"in\" the middle", L"x"}) {
        SCOPED_TRACE(std::wstring(message).c_str());
        EXPECT_TRUE(EncodeSavedMessage(message).exactParts.empty());
        EXPECT_EQ(SaveMessageInto("", message, kLatin1), "[General]\r\nMsg=" + ToLatin1(message) + "\r\n");
        EXPECT_EQ(RoundTrip(message), message);
    }
}

TEST(SavedMessage, EveryOtherMessageComesBackExactly) {
    const std::wstring longLine(600, L'z');
    for (std::wstring_view message : {L"first\r\nsecond",
                                      L"lone\rcr",
                                      L"lone\nlf",
                                      L"\r\n",
                                      L"\r\nstarts with a break",
                                      L"ends with a break\r\n",
                                      L" padded ",
                                      L"\"quoted\"",
                                      L"'single'",
                                      L"\ttab\t",
                                      L"back\\slash\\r not a break\r\n[Other]\r\nkey=value",
                                      L"\\",
                                      L"\\s\\q\\u0041",
                                      L" ",
                                      L"  two  ",
                                      L"form feed\f",
                                      L"ctrl z\x1a",
                                      L"vertical\vtab",
                                      L"nul\x01\x7f",
                                      L"caf\u00e9",
                                      L"\u00e9t\u00e9 ",
                                      L"\u0411\u043e\u0440\u0438\u0441 \u0436\u0434\u0451\u0442",
                                      L"\u03a9 \u4e2d\u6587 \U0001F600 end",
                                      L"lone \xD83D surrogate",
                                      L"\u0416",
                                      L"\uFF22\uFF4F\uFF42"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(message)));
        EXPECT_EQ(RoundTrip(message), message);
    }
    const std::wstring mixed = L"[x]\r\na=b\r\n" + longLine + L"\r\n ";
    EXPECT_EQ(RoundTrip(mixed), mixed);
}

TEST(SavedMessage, StoredValuesAreSafeProfileValuesOfPlainAscii) {
    for (std::wstring_view message : {L"a\r\n[Other]\r\nkey=value", L"  lead", L"trail\t", L"\"x\"\n'y'", L"\n\n",
                                      L"\u0416\f\x1a", L"\U0001F600"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(message)));
        const SavedMessageEntries entries = EncodeSavedMessage(message);
        EXPECT_TRUE(SurvivesProfileValue(entries.message));
        ASSERT_FALSE(entries.exactParts.empty());
        for (const std::wstring& part : entries.exactParts) {
            EXPECT_FALSE(part.empty());
            EXPECT_TRUE(SurvivesProfileValue(part));
            for (wchar_t c : part) EXPECT_TRUE(c > L' ' && c < 0x7F) << static_cast<int>(c);
        }
    }
}

TEST(SavedMessage, MsgKeepsTheFirstLineInPlainTextForOlderReaders) {
    EXPECT_EQ(SaveMessageInto("", L"Gone to lunch\r\nback at 2", kLatin1).substr(0, 26),
              "[General]\r\nMsg=Gone to lun");
    EXPECT_EQ(EncodeSavedMessage(L"  \"Gone\"  ").message, L"Gone");
    // What the code page cannot hold reads as "?" there, and exactly from the exact keys.
    EXPECT_NE(SaveMessageInto("", L"\u0416 caf\u00e9", kLatin1).find("Msg=? caf\xe9\r\n"), std::string::npos);
}

TEST(SavedMessage, FilesOfEarlierVersionsReadAsBefore) {
    EXPECT_EQ(LoadSavedMessage("[General]\r\nMsg=Out to lunch\r\n", kLatin1), L"Out to lunch");
    EXPECT_EQ(LoadSavedMessage("[General]\r\nMsg=caf\xe9\r\n", kLatin1), L"caf\u00e9");
    // Escaped as before \u existed: characters of the code page stood unescaped.
    EXPECT_EQ(LoadSavedMessage("[General]\r\nMsg=caf\xe9\r\nMsgExact=caf\xe9\\r\\n\\s\\qx\\q\r\n", kLatin1),
              L"caf\u00e9\r\n \"x\"");
    // Written by the profile calls, in pieces, with other keys between them and another case.
    EXPECT_EQ(LoadSavedMessage("[general]\r\nMSG=a\r\nMine=1\r\nmsgexact2=c\r\nMsgExact=a\\r\\nb\r\n", kLatin1),
              L"a\r\nbc");
}

TEST(SavedMessage, AStaleExactValueGivesWayToALaterPlainMsg) {
    // A version that knows only Msg saved "new" later and left MsgExact behind.
    EXPECT_EQ(LoadSavedMessage("[General]\r\nMsg=new\r\nMsgExact=old\\r\\nmessage\r\n", kLatin1), L"new");
    EXPECT_EQ(LoadSavedMessage("[General]\r\nMsg=old\r\nMsgExact=old\\r\\nmessage\r\n", kLatin1), L"old\r\nmessage");
}

TEST(SavedMessage, MessagesTooLongForOneValueAreSplitIntoSafeParts) {
    std::wstring message;
    for (int i = 0; i < 9000; ++i) message += L"a \"b\" \\ ";  // 8 characters, 14 when escaped
    const SavedMessageEntries entries = EncodeSavedMessage(message);
    ASSERT_EQ(entries.exactParts.size(), 4u);
    for (const std::wstring& part : entries.exactParts) EXPECT_LE(part.size(), kMaxProfileValue);
    EXPECT_EQ(RoundTrip(message), message);
    EXPECT_EQ(ExactPartKey(0), L"MsgExact");
    EXPECT_EQ(ExactPartKey(3), L"MsgExact4");
}

TEST(SavedMessage, UnknownEscapesAreKeptAsWritten) {
    EXPECT_EQ(LoadSavedMessage("[General]\r\nMsg=a\\xb\\u12\r\nMsgExact=a\\xb\\u12\r\n", kLatin1), L"a\\xb\\u12");
    EXPECT_EQ(LoadSavedMessage("[General]\r\nMsg=end\\\r\nMsgExact=end\\\r\n", kLatin1), L"end\\");
}

TEST(SavedMessage, ASaveReplacesOnlyVelmorasKeysAndKeepsEveryOtherLine) {
    const std::string user =
        "; mine\r\n[Window]\r\nLeft=10\r\nMsg=not General's\r\n[General]\r\nMine=yes\r\nmsg=old\r\n"
        "MsgExact=old\\r\\nx\r\nMsgExact7=stale\r\nMsgExactly=kept\r\n[Other]\r\nA=1";
    const std::string saved = SaveMessageInto(user, L"new\r\none", kLatin1);
    EXPECT_EQ(saved,
              "; mine\r\n[Window]\r\nLeft=10\r\nMsg=not General's\r\n[General]\r\nMsg=new\r\nMsgExact=new\\r\\none\r\n"
              "Mine=yes\r\nMsgExactly=kept\r\n[Other]\r\nA=1");
    EXPECT_EQ(LoadSavedMessage(saved, kLatin1), L"new\r\none");
    // Saving again changes nothing; a file without the section gets it at its end.
    EXPECT_EQ(SaveMessageInto(saved, L"new\r\none", kLatin1), saved);
    EXPECT_EQ(SaveMessageInto("[Other]\nA=1", L"x", kLatin1), "[Other]\nA=1\r\n[General]\r\nMsg=x\r\n");
}

TEST(SavedMessage, AHostileFileGivesAnEmptyBoxNotAStall) {
    // Thousands of parts read and replaced in one pass each.
    std::string file = "[General]\r\nMsg=a\r\nMsgExact=a\\r\\n\r\n";
    for (int part = 2; part <= 18000; ++part) file += "MsgExact" + std::to_string(part) + "=0123456789\r\n";
    EXPECT_EQ(LoadSavedMessage(file, kLatin1).size(), 3u + 17999u * 10u);
    EXPECT_EQ(SaveMessageInto(file, L"b", kLatin1), "[General]\r\nMsg=b\r\n");
    // A message beyond what the box takes in reasonable time is not restored at all.
    const std::string huge = "[General]\r\nMsg=" + std::string(kMaxRestoredMessage + 1, 'x') + "\r\n";
    EXPECT_EQ(LoadSavedMessage(huge, kLatin1), L"");
    EXPECT_EQ(RoundTrip(std::wstring(kMaxRestoredMessage, L'\n')).size(), kMaxRestoredMessage);
    EXPECT_EQ(RoundTrip(std::wstring(kMaxRestoredMessage + 1, L'\n')), L"");
}

TEST(ProfileFile, ReadsKeysAsTheProfileCallsDo) {
    const ProfileSection general(
        "\xEF\xBB\xBF[ General ]\r\n  Key = \"quoted value\" \r\nkey=second\r\nbare\r\n"
        "[Other]\r\nX=1\r\n[general]\r\nLate='q'\r\nNoBracket=[x\r\n[broken\r\nY=2",
        "General");
    EXPECT_EQ(general.Value("KEY"), "quoted value");
    EXPECT_EQ(general.Value("bare"), "");
    EXPECT_EQ(general.Value("late"), "q");
    EXPECT_EQ(general.Value("NoBracket"), "[x");
    EXPECT_EQ(general.Value("Y"), "2");
    EXPECT_FALSE(general.Value("X").has_value());
}

TEST(SavedMessage, TheQuestionAtCloseNamesTheFileAndTheReason) {
    EXPECT_EQ(
        SaveFailureQuestion(L"C:\\Velmora\\Msg.ini", L"Access denied. (error 5)"),
        L"Your message could not be saved for the next start in\r\nC:\\Velmora\\Msg.ini\r\n\r\nWhy: Access "
        L"denied. (error 5)\r\n\r\nClose anyway? Yes closes Velmora and the message is lost; No goes back to it.");
}

TEST(SettingsPath, JoinsTheFolderAndTheFileWithOneSeparator) {
    EXPECT_EQ(SettingsPathFor(L"C:\\Program Files\\Velmora"), L"C:\\Program Files\\Velmora\\Msg.ini");
    EXPECT_EQ(SettingsPathFor(L"D:\\"), L"D:\\Msg.ini");
    EXPECT_EQ(SettingsPathFor(L"\\\\server\\share\\"), L"\\\\server\\share\\Msg.ini");
}

}  // namespace
}  // namespace velmora
