#include <gtest/gtest.h>

#include "travel/RegFile.h"

namespace velmora {
namespace {

const std::wstring kList =
    L"HKEY_CURRENT_USER\\SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

// Latin-1 stands in for the system's code page.
std::wstring Latin1(std::string_view bytes) {
    std::wstring text;
    for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

std::string Utf16File(std::wstring_view text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

std::string Ansi(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) bytes += static_cast<char>(c);
    return bytes;
}

RegFileContents Read(const std::string& bytes) { return ReadRegFile(bytes, &Latin1); }

std::vector<SkipReason> Reasons(const RegFileContents& contents) {
    std::vector<SkipReason> reasons;
    for (const SkippedLine& line : contents.skipped) reasons.push_back(line.reason);
    return reasons;
}

TEST(RegFile, WritesTheRegistryEditorsUnicodeFileWithEscapes) {
    const RegFileWriting file = WriteRegFile({{L"pal42", L"GoneMsg1", TextData(L"Lunch \"out\" C:\\x\ttab")},
                                              {L"Harlowpine", L"GoneMsg3", TextData(L"")},
                                              {L"PAL42", L"GoneMsg2", TextData(L"é&#8364;")}});
    EXPECT_TRUE(file.leftOut.empty());
    EXPECT_EQ(file.bytes, Utf16File(L"Windows Registry Editor Version 5.00\r\n\r\n[" + kList +
                                    L"pal42\\IAmGoneList]\r\n\"GoneMsg1\"=\"Lunch \\\"out\\\" C:\\\\x\ttab\"\r\n"
                                    L"\"GoneMsg2\"=\"é&#8364;\"\r\n\r\n[" +
                                    kList + L"Harlowpine\\IAmGoneList]\r\n\"GoneMsg3\"=\"\"\r\n\r\n"));
}

TEST(RegFile, DataTheQuotedFormCannotCarryIsHexWrappedAtTheEditorsWidth) {
    // 30 characters, a line break and the NUL: 64 bytes. The registry editor writes 20 of them on
    // the first line after "GoneMsg1"=hex(1):, then 25 on each line after two blanks.
    const RegFileWriting file = WriteRegFile({{L"pal42", L"GoneMsg1", TextData(std::wstring(30, L'A') + L"\n")}});
    std::wstring expected =
        L"Windows Registry Editor Version 5.00\r\n\r\n[" + kList + L"pal42\\IAmGoneList]\r\n\"GoneMsg1\"=hex(1):";
    for (int i = 0; i < 10; ++i) expected += L"41,00,";
    expected += L"\\\r\n  ";
    for (int i = 0; i < 12; ++i) expected += L"41,00,";
    expected += L"41,\\\r\n  00,";
    for (int i = 0; i < 7; ++i) expected += L"41,00,";
    expected += L"0a,00,00,00\r\n\r\n";
    EXPECT_EQ(file.bytes, Utf16File(expected));
}

TEST(RegFile, EveryByteAndEveryUnitComesBackExactly) {
    std::vector<TravellingMessage> messages;
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    messages.push_back({L"pal42", L"GoneMsg1", everyByte});
    std::wstring everyUnit;
    for (int u = 1; u < 0x10000; ++u) everyUnit += static_cast<wchar_t>(u);
    messages.push_back({L"pal42", L"GoneMsg2", TextData(everyUnit)});
    messages.push_back({L"pal42", L"GoneMsg3", std::string("A\0B\0", 4)});          // no terminating NUL
    messages.push_back({L"pal42", L"GoneMsg4", std::string("A\0\0\0B\0\0\0", 8)});  // a NUL inside
    messages.push_back({L"pal42", L"GoneMsg5", std::string("A\0B", 3)});            // odd length
    messages.push_back({L"pal42", L"GoneMsg6", ""});
    messages.push_back({L"pal42", L"GoneMsg7", TextData(L"line one\r\nline two\\ \"q\"")});
    messages.push_back({L"a\\b]c", L"GoneMsg\"x\\", TextData(L"nested key, odd value name")});
    messages.push_back({std::wstring(255, L'n'), L"GoneMsg1", TextData(L"longest key name")});
    const RegFileWriting file = WriteRegFile(messages);
    EXPECT_TRUE(file.leftOut.empty());
    const RegFileContents read = Read(file.bytes);
    EXPECT_EQ(read.problem, RegFileProblem::None);
    EXPECT_EQ(read.skippedCount, 0u);
    EXPECT_EQ(read.messages, messages);
}

TEST(RegFile, NamesNoFileCanCarryAreLeftOutAndTold) {
    const RegFileWriting file = WriteRegFile({{L"pal\n42", L"GoneMsg1", TextData(L"a")},
                                              {L"pal42", L"GoneMsg\r\n2", TextData(L"b")},
                                              {L"a\\\\b", L"GoneMsg1", TextData(L"c")},
                                              {std::wstring(256, L'n'), L"GoneMsg1", TextData(L"d")},
                                              {L"pal42", L"GoneMsg3", TextData(L"kept")}});
    EXPECT_EQ(file.leftOut, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(Read(file.bytes).messages, (std::vector<TravellingMessage>{{L"pal42", L"GoneMsg3", TextData(L"kept")}}));
}

TEST(RegFile, ReadsWhatWinesRegExportWrites) {
    // Parent keys, Wine's \r\n escapes, a multi-string, a value of the key above, any letter case.
    const std::wstring exported =
        L"Windows Registry Editor Version 5.00\r\n\r\n"
        L"[HKEY_CURRENT_USER\\Software\\America Online]\r\n\r\n"
        L"[" +
        kList +
        L"pal42]\r\n\"Sounds\"=\"1\"\r\n\r\n"
        L"[HKEY_CURRENT_USER\\software\\america online\\aol instant messenger (tm)\\"
        L"currentversion\\users\\pal42\\iamgonelist]\r\n"
        L"\"GoneMsg1\"=\"a\\\"b\\\\c\"\r\n"
        L"\"GoneMsg2\"=hex(7):78,00,00,00,79,00,00,00,00,00\r\n"
        L"\"GoneMsg3\"=\"A\\r\\nB\"\r\n\r\n";
    const RegFileContents read = Read(Utf16File(exported));
    EXPECT_EQ(read.messages, (std::vector<TravellingMessage>{{L"pal42", L"GoneMsg1", TextData(L"a\"b\\c")},
                                                             {L"pal42", L"GoneMsg3", TextData(L"A\r\nB")}}));
    EXPECT_EQ(Reasons(read), (std::vector<SkipReason>{SkipReason::OtherKey, SkipReason::NotText}));
    EXPECT_EQ(read.skipped[0].line, 6u);
    EXPECT_EQ(read.skipped[1].text, L"\"GoneMsg2\"=hex(7):78,00,00,00,79,00,00,00,00,00");
}

TEST(RegFile, ReadsTheOlderAnsiFormWithCodePageTextAndHex) {
    // "é" is 0xE9 in the code page; hex(1) there is code-page bytes, not UTF-16.
    const std::string file = "REGEDIT4\r\n\r\n[" + Ansi(kList) +
                             "Harlowpine\\IAmGoneList]\r\n\"GoneMsg1\"=\"caf\xE9\"\r\n" +
                             "\"GoneMsg2\"=hex(1):6c,69,6e,65,0d,0a,\\\r\n  e9,00\r\n";
    const RegFileContents read = Read(file);
    EXPECT_EQ(read.problem, RegFileProblem::None);
    EXPECT_EQ(read.messages,
              (std::vector<TravellingMessage>{{L"Harlowpine", L"GoneMsg1", TextData(L"caf\u00E9")},
                                              {L"Harlowpine", L"GoneMsg2", TextData(L"line\r\n\u00E9")}}));
}

TEST(RegFile, HostileLinesAreSkippedEachWithItsReason) {
    const std::wstring list = L"[" + kList + L"pal42\\IAmGoneList]\r\n";
    const std::wstring file =
        L"Windows Registry Editor Version 5.00\r\n"
        L"\"GoneMsg1\"=\"before any key\"\r\n"
        L"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        L"\"GoneMsg1\"=\"evil.exe\"\r\n"
        L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\pal42\\"
        L"IAmGoneList]\r\n"
        L"\"GoneMsg1\"=\"machine wide\"\r\n"
        L"[-" +
        kList +
        L"pal42\\IAmGoneList]\r\n"
        L"\"GoneMsg1\"=\"under a deleted key\"\r\n"
        L"[" +
        kList +
        L"a\\\\b\\IAmGoneList]\r\n"
        L"\"GoneMsg1\"=\"empty key name part\"\r\n"
        L"[" +
        kList +
        L"pal42\\IAmGoneList\\Deeper]\r\n"
        L"\"GoneMsg1\"=\"a key below the list\"\r\n" +
        list +
        L"\"GoneMsg1\"=-\r\n"
        L"\"Sounds\"=\"not a message\"\r\n"
        L"@=\"default value\"\r\n"
        L"\"GoneMsg2\"=dword:00000001\r\n"
        L"\"GoneMsg3\"=hex:01,02,\\\r\n  03\r\n"
        L"\"GoneMsg4\"=hex(1):4x,00\r\n"
        L"\"GoneMsg5\"=\"ends in an escape\\\r\n"
        L"\"GoneMsg6\"=\"unknown escape \\q\"\r\n"
        L"\"GoneMsg7\"=\"unclosed\r\n"
        L"\"GoneMsg8\"=\"after\" trailing\r\n"
        L"GoneMsg9=\"unquoted\"\r\n"
        L"[no closing bracket\r\n"
        L"\"GoneMsg10\"=\"below a broken key line\"\r\n"
        L"\"GoneMsg11\"=hex(1):41,00,\\\r\n";
    const RegFileContents read = Read(Utf16File(file));
    using enum SkipReason;
    EXPECT_EQ(Reasons(read),
              (std::vector<SkipReason>{OtherKey,      OtherKey,           OtherKey,           KeyDeletion,
                                       OtherKey,      UnusableScreenName, UnusableScreenName, OtherKey,
                                       ValueDeletion, NotAwayMessage,     NotAwayMessage,     NotText,
                                       NotText,       Malformed,          EscapeAtLineEnd,    Malformed,
                                       Malformed,     Malformed,          Malformed,          Malformed,
                                       OtherKey,      Truncated}));
    EXPECT_EQ(read.messages, (std::vector<TravellingMessage>{}));
}

TEST(RegFile, AValueNamedAgainInAnyLetterCaseReplacesTheOneBefore) {
    const std::wstring file = L"Windows Registry Editor Version 5.00\r\n[" + kList +
                              L"pal42\\IAmGoneList]\r\n\"GoneMsg1\"=\"first\"\r\n\"GONEMSG1\"=\"second\"\r\n";
    const RegFileContents read = Read(Utf16File(file));
    EXPECT_EQ(read.messages, (std::vector<TravellingMessage>{{L"pal42", L"GONEMSG1", TextData(L"second")}}));
    ASSERT_EQ(read.skipped.size(), 1u);
    EXPECT_EQ(read.skipped[0].line, 3u);
    EXPECT_EQ(read.skipped[0].reason, SkipReason::Repeated);
}

TEST(RegFile, AFileEndingInsideAValueIsToldAsTruncated) {
    const std::wstring start = L"Windows Registry Editor Version 5.00\r\n[" + kList + L"pal42\\IAmGoneList]\r\n";
    EXPECT_EQ(Reasons(Read(Utf16File(start + L"\"GoneMsg1\"=\"cut"))), (std::vector{SkipReason::Truncated}));
    EXPECT_EQ(Reasons(Read(Utf16File(start + L"\"GoneMsg1\"=\"cut\\"))), (std::vector{SkipReason::Truncated}));
    EXPECT_EQ(Reasons(Read(Utf16File(start + L"\"GoneMsg1\"=hex(1):41,\\"))), (std::vector{SkipReason::Truncated}));
    // Half a UTF-16 unit at the end.
    const RegFileContents odd = Read(Utf16File(start + L"\"GoneMsg1\"=\"whole\"\r\n") + "A");
    EXPECT_EQ(odd.messages.size(), 1u);
    EXPECT_EQ(Reasons(odd), (std::vector{SkipReason::Truncated}));
}

TEST(RegFile, OtherEncodingsAndOtherFilesAreRefusedWhole) {
    const std::wstring file =
        L"Windows Registry Editor Version 5.00\r\n[" + kList + L"pal42\\IAmGoneList]\r\n\"GoneMsg1\"=\"x\"\r\n";
    std::string bigEndian = "\xFE\xFF";
    for (wchar_t c : file) bigEndian += {'\0', static_cast<char>(c)};
    EXPECT_EQ(Read(bigEndian).problem, RegFileProblem::OtherEncoding);
    EXPECT_EQ(Read("\xEF\xBB\xBF" + Ansi(file)).problem, RegFileProblem::OtherEncoding);
    EXPECT_EQ(Read(Utf16File(file).substr(2)).problem, RegFileProblem::OtherEncoding);  // no mark
    EXPECT_EQ(Read("").problem, RegFileProblem::NotRegistryFile);
    EXPECT_EQ(Read(Utf16File(L"[HKEY_CURRENT_USER\\x]\r\n")).problem, RegFileProblem::NotRegistryFile);
    EXPECT_EQ(Read(std::string(kMostRegFileBytes + 1, 'x')).problem, RegFileProblem::TooLarge);
    // The 5.00 header in an ANSI file is read as the code page.
    EXPECT_EQ(Read(Ansi(file)).messages.size(), 1u);
    for (RegFileProblem problem :
         {RegFileProblem::TooLarge, RegFileProblem::OtherEncoding, RegFileProblem::NotRegistryFile})
        EXPECT_FALSE(RegFileProblemText(problem).empty());
}

TEST(RegFile, ManySkippedLinesAreCountedButToldOnlyToABound) {
    std::wstring file = L"Windows Registry Editor Version 5.00\r\n";
    for (int i = 0; i < 5000; ++i) file += L"nonsense " + std::wstring(300, L'x') + L"\r\n";
    const RegFileContents read = Read(Utf16File(file));
    EXPECT_EQ(read.skippedCount, 5000u);
    EXPECT_EQ(read.skipped.size(), kMostSkippedLinesTold);
    EXPECT_EQ(read.skipped.back().line, kMostSkippedLinesTold + 1);
    EXPECT_LT(read.skipped.back().text.size(), 110u);  // cut, with "..."
}

}  // namespace
}  // namespace velmora
