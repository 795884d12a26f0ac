#include <gtest/gtest.h>

#include <string>

#include "storage/ProfileFile.h"
#include "storage/SavedMessage.h"

namespace velmora {
namespace {

using namespace std::string_literals;

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

// A file as an editor saves it in UTF-16: the byte-order mark, then each code unit in that order.
std::string Utf16File(std::u16string_view text, bool littleEndian = true) {
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

TEST(SavedMessage, AUtf16FileReadsAsTheProfileCallsReadIt) {
    EXPECT_EQ(Load(Utf16File(u"[General]\r\nMsg=\u041f\u0440\u0438\u0432\u0435\u0442 caf\u00e9\r\n")),
              L"\u041f\u0440\u0438\u0432\u0435\u0442 caf\u00e9");
    EXPECT_EQ(Load(Utf16File(u"[General]\r\nMsg=\U0001F600 big-endian", false)), L"\U0001F600 big-endian");
    // Velmora's own file, made in the code page and then saved as UTF-16 by an editor.
    const std::wstring message = L"\u041f\u0440\u0438\u0432\u0435\u0442 caf\u00e9\r\nline two";
    const std::string ansi = SaveMessageInto("", message, kLatin1);
    std::u16string converted;
    for (const char c : ansi) converted += static_cast<char16_t>(static_cast<unsigned char>(c));
    EXPECT_EQ(Load(Utf16File(converted)), message);
    EXPECT_EQ(Load(Utf16File(u"")), L"");
    // Marked as UTF-8, the file is read as UTF-8 and stays so.
    const std::string utf8 = "\xEF\xBB\xBF[General]\r\nMsg=caf\xC3\xA9\r\n";
    EXPECT_EQ(Load(utf8), L"caf\u00e9");
    EXPECT_EQ(SaveMessageInto(utf8, L"\u0416", kLatin1),
              "\xEF\xBB\xBF[General]\r\nMsg=\xD0\x96\r\nMsgExact=\\u0416\r\n");
}

TEST(SavedMessage, AUtf16FileIsWrittenBackWholeInUtf16WithEveryOtherLineAsItWas) {
    // Other keys beyond the code page, a lone surrogate, a last line without its break.
    const std::u16string before =
        u"; \u00fcber\r\n[General]\r\nMsg=old\r\nMine=\u4e2d\xD800x\r\n[Other]\r\nA=\U0001F600";
    const std::wstring message = L"\u041f\u0440\u0438\u0432\u0435\u0442 caf\u00e9\r\n\U0001F600";
    for (const bool little : {true, false}) {
        SCOPED_TRACE(little);
        const std::string saved = SaveMessageInto(Utf16File(before, little), message, kLatin1);
        EXPECT_EQ(saved,
                  Utf16File(u"; \u00fcber\r\n[General]\r\nMsg=\u041f\u0440\u0438\u0432\u0435\u0442 caf\u00e9\r\n"
                            u"MsgExact=\\u041F\\u0440\\u0438\\u0432\\u0435\\u0442\\scaf\\u00E9\\r\\n\\uD83D\\uDE00\r\n"
                            u"Mine=\u4e2d\xD800x\r\n[Other]\r\nA=\U0001F600",
                            little));
        EXPECT_EQ(LoadSavedMessage(saved, kLatin1), message);
        EXPECT_EQ(SaveMessageInto(saved, message, kLatin1), saved);
    }
}

TEST(ProfileFile, Utf16TextGoesThroughTheLineReadersAndBackUnitForUnit) {
    const std::u16string units = u"a\r\n\xD800\xDC00\xDBFF\xDFFF\xDC00\xD800\xFFFF\x0000\xFEFF\u00e9\xD83D"s;
    for (const bool little : {true, false}) {
        const ProfileText text = DecodeProfileFile(Utf16File(units, little));
        EXPECT_EQ(text.encoding, little ? ProfileEncoding::Utf16LittleEndian : ProfileEncoding::Utf16BigEndian);
        EXPECT_EQ(text.text.substr(0, 3), "a\r\n");
        EXPECT_EQ(EncodeProfileFile(text.encoding, text.text), Utf16File(units, little));
        // Half a character at the end is no text.
        EXPECT_EQ(DecodeProfileFile(Utf16File(u"ab", little) + "x").text, "ab");
    }
    const std::string eightBit = "\xFF[General]\r\nMsg=\xE9\xFF";
    EXPECT_EQ(DecodeProfileFile(eightBit).encoding, ProfileEncoding::CodePage);
    EXPECT_EQ(DecodeProfileFile(eightBit).text, eightBit);
    EXPECT_EQ(EncodeProfileFile(ProfileEncoding::CodePage, eightBit), eightBit);
    const ProfileText utf8 = DecodeProfileFile("\xEF\xBB\xBF[General]\r\nMsg=caf\xC3\xA9");
    EXPECT_EQ(utf8.encoding, ProfileEncoding::Utf8);
    EXPECT_EQ(utf8.text, "[General]\r\nMsg=caf\xC3\xA9");
    EXPECT_EQ(EncodeProfileFile(utf8.encoding, utf8.text), "\xEF\xBB\xBF[General]\r\nMsg=caf\xC3\xA9");
    // The wide text's own characters, a lone surrogate among them.
    const std::wstring wide = L"caf\u00e9 \u4e2d \U0001F600";
    EXPECT_EQ(WideFromUtf8(Utf8FromWide(wide)), wide);
    EXPECT_EQ(Utf8FromWide(wide), "caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80");
    EXPECT_EQ(WideFromUtf8("\xFF\xC3"), L"\uFFFD\uFFFD");
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
