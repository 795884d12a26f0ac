#include <gtest/gtest.h>

#include <string>

#include "storage/ProfileFile.h"
#include "storage/SavedMessage.h"

namespace velmora {
namespace {

// The ANSI code page of a Western system: Latin-1, anything beyond it becomes "?".
std::string ToLatin1(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) bytes += c < 0x100 ? static_cast<char>(c) : '?';
    return bytes;
}
constexpr FileCodePage kLatin1{ToLatin1, [](std::string_view bytes) {
                                   std::wstring text;
                                   for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
                                   return text;
                               }};

std::wstring Load(std::string_view file) { return LoadSavedMessage(file, kLatin1); }
std::wstring RoundTrip(std::wstring_view message) { return Load(SaveMessageInto("", message, kLatin1)); }

TEST(SavedMessage, PlainMessagesStayPlainSoOlderFilesReadTheSame) {
    for (std::wstring_view message : {L"", L"Back soon", L"a=b; [x] \"in\" the middle", L"x"}) {
        EXPECT_EQ(SaveMessageInto("", message, kLatin1), "[General]\r\nMsg=" + ToLatin1(message) + "\r\n");
        EXPECT_EQ(RoundTrip(message), message);
    }
}

TEST(SavedMessage, EveryOtherMessageComesBackExactly) {
    for (std::wstring_view message : {L"first\r\nsecond",
                                      L"lone\rcr",
                                      L"\r\n",
                                      L"ends with a break\r\n",
                                      L" padded ",
                                      L"\"quoted\"",
                                      L"'single'",
                                      L"\ttab\t",
                                      L"back\\slash\\r not a break\r\n[Other]\r\nkey=value",
                                      L"\\",
                                      L"\\s\\q\\u0041",
                                      L"form feed\f",
                                      L"ctrl z\x1a",
                                      L"vertical\vtab",
                                      L"del\x7f",
                                      L"caf\u00e9",
                                      L"\u0411\u043e\u0440\u0438\u0441 \u0436\u0434\u0451",
                                      L"\u03a9 \u4e2d\u6587 \U0001F600 end",
                                      L"lone \xD83D surrogate",
                                      L"\uFF22\uFF4F\uFF42"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(message)));
        EXPECT_EQ(RoundTrip(message), message);
    }
    // Msg keeps the first line in plain text for older readers; what the code page lacks is "?" there.
    EXPECT_EQ(SaveMessageInto("", L" \"\u0416 caf\u00e9\"\f\r\nx", kLatin1).substr(0, 23),
              "[General]\r\nMsg=? caf\xe9\r\n");
}

TEST(SavedMessage, FilesOfEarlierVersionsReadAsBefore) {
    EXPECT_EQ(Load("[General]\r\nMsg=caf\xe9\r\n"), L"caf\u00e9");
    // Escaped before \u existed: characters of the code page stood unescaped.
    EXPECT_EQ(Load("[General]\r\nMsg=caf\xe9\r\nMsgExact=caf\xe9\\r\\n\\s\\qx\\q\r\n"), L"caf\u00e9\r\n \"x\"");
    // Written by the profile calls: in pieces, other keys between them, in another letter case.
    EXPECT_EQ(Load("[general]\r\nMSG=a\r\nMine=1\r\nmsgexact2=c\r\nMsgExact=a\\r\\nb\r\n"), L"a\r\nbc");
    // A version that knows only Msg saved "new" later and left MsgExact behind.
    EXPECT_EQ(Load("[General]\r\nMsg=new\r\nMsgExact=old\\r\\nmessage\r\n"), L"new");
    // Escapes not ours are kept as written.
    EXPECT_EQ(Load("[General]\r\nMsg=a\\xb\\u12\\\r\nMsgExact=a\\xb\\u12\\\r\n"), L"a\\xb\\u12\\");
}

TEST(SavedMessage, MessagesTooLongForOneValueAreSplitIntoSafeParts) {
    std::wstring message;
    for (int i = 0; i < 9000; ++i) message += L"a \"b\" \\ ";  // 8 characters, 14 when escaped
    const SavedMessageEntries entries = EncodeSavedMessage(message);
    ASSERT_EQ(entries.exactParts.size(), 4u);
    for (const std::wstring& part : entries.exactParts) EXPECT_LE(part.size(), kMaxProfileValue);
    EXPECT_EQ(RoundTrip(message), message);
    EXPECT_EQ(ExactPartKey(3), L"MsgExact4");
}

TEST(SavedMessage, ASaveReplacesOnlyVelmorasKeysAndKeepsEveryOtherLine) {
    const std::string user =
        "; mine\r\n[Window]\r\nMsg=not General's\r\n[General]\r\nMine=yes\r\nmsg=old\r\nMsgExact=old\\r\\nx\r\n"
        "MsgExact7=stale\r\nMsgExactly=kept\r\n[Other]\r\nA=1";
    const std::string saved = SaveMessageInto(user, L"new\r\none", kLatin1);
    EXPECT_EQ(saved,
              "; mine\r\n[Window]\r\nMsg=not General's\r\n[General]\r\nMsg=new\r\nMsgExact=new\\r\\none\r\nMine=yes\r\n"
              "MsgExactly=kept\r\n[Other]\r\nA=1");
    EXPECT_EQ(SaveMessageInto(saved, L"new\r\none", kLatin1), saved);
    EXPECT_EQ(SaveMessageInto("[Other]\nA=1", L"x", kLatin1), "[Other]\nA=1\r\n[General]\r\nMsg=x\r\n");
}

TEST(SavedMessage, AHostileFileGivesAnEmptyBoxNotAStall) {
    std::string file = "[General]\r\nMsg=a\r\nMsgExact=a\\r\\n\r\n";
    for (int part = 2; part <= 18000; ++part) file += "MsgExact" + std::to_string(part) + "=0123456789\r\n";
    EXPECT_EQ(Load(file).size(), 3u + 17999u * 10u);
    EXPECT_EQ(SaveMessageInto(file, L"b", kLatin1), "[General]\r\nMsg=b\r\n");
    // A message beyond what the box takes in reasonable time is not restored at all.
    EXPECT_EQ(Load("[General]\r\nMsg=" + std::string(kMaxRestoredMessage + 1, 'x') + "\r\n"), L"");
    EXPECT_EQ(RoundTrip(std::wstring(kMaxRestoredMessage, L'\n')).size(), kMaxRestoredMessage);
    EXPECT_EQ(RoundTrip(std::wstring(kMaxRestoredMessage + 1, L'\n')), L"");
}

TEST(ProfileFile, ReadsKeysAsTheProfileCallsDo) {
    const ProfileSection general(
        "\xEF\xBB\xBF[ General ]\r\n  Key = \"quoted\" \r\nkey=second\r\nbare\r\n[Other]\r\nX=1\r\n"
        "[general]\r\nLate='q'\r\nNoBracket=[x\r\n[broken\r\nY=2",
        "General");
    EXPECT_EQ(general.Value("KEY"), "quoted");
    EXPECT_EQ(general.Value("bare"), "");
    EXPECT_EQ(general.Value("late"), "q");
    EXPECT_EQ(general.Value("NoBracket"), "[x");
    EXPECT_EQ(general.Value("Y"), "2");
    EXPECT_FALSE(general.Value("X").has_value());
}

TEST(SettingsPath, JoinsTheFolderAndTheFileWithOneSeparator) {
    EXPECT_EQ(SettingsPathFor(L"C:\\Program Files\\Velmora"), L"C:\\Program Files\\Velmora\\Msg.ini");
    EXPECT_EQ(SettingsPathFor(L"D:\\"), L"D:\\Msg.ini");
    EXPECT_EQ(SettingsPathFor(L"\\\\server\\share\\"), L"\\\\server\\share\\Msg.ini");
}

}  // namespace
}  // namespace velmora
