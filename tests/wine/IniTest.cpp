// The settings file on a real disk, checked in the file itself and through the profile calls
// older versions read it with.
#include <gtest/gtest.h>

#include <cstring>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "autoreply/AutoReplyControls.h"
#include "autoreply/AutoReplySettings.h"
#include "misc/Handles.h"
#include "misc/Paths.h"
#include "storage/INI.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::ReadWholeFile;
using testing::WriteWholeFile;

class SettingsFileTest : public ::testing::Test {
protected:
    std::string ReadIniValue(const char* section, const char* key) const {
        std::string buffer(70000, '\0'), path(path_.begin(), path_.end());
        buffer.resize(GetPrivateProfileStringA(section, key, "", buffer.data(), 70000, path.c_str()));
        return buffer;
    }
    testing::TempFolder folder_;
    std::wstring path_ = folder_.File(L"Msg.ini");
};

TEST_F(SettingsFileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(LoadLastMessage(path_), L"");
    WriteWholeFile(path_, "[Other]\r\nMsg=not ours\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"");
    WriteWholeFile(path_, "[General]\r\nOther=x\r\nMsg=\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"");
}

TEST_F(SettingsFileTest, APlainMessageIsStoredAsMsgEqualsText) {
    SaveLastMessage(path_, L"Back at 3; a=b");
    const auto file = ReadWholeFile(path_);
    ASSERT_TRUE(file.has_value());
    EXPECT_NE(file->find("[General]"), std::string::npos);
    EXPECT_NE(file->find("Msg=Back at 3; a=b"), std::string::npos);
    EXPECT_EQ(file->find("MsgExact"), std::string::npos);
    EXPECT_EQ(LoadLastMessage(path_), L"Back at 3; a=b");
}

TEST_F(SettingsFileTest, AFileWrittenByAnEarlierVersionReadsAsBefore) {
    WriteWholeFile(path_, "[General]\r\nMsg=Out to lunch\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"Out to lunch");
}

TEST_F(SettingsFileTest, LongMultiLineMessagesComeBackExactlyAndAddNoSectionOrKey) {
    std::wstring message = L" lead\r\n[Other]\r\nkey=value\r\n\"quoted\"\r\nlone\rcr and lone\nlf ";
    message += L"\u0411\u043e\u0440\u0438\u0441 caf\u00e9 \U0001F600 form feed\f ctrl z\x1a vt\v";
    message += std::wstring(600, L'w');
    message += L"\r\n";
    SaveLastMessage(path_, message);
    EXPECT_EQ(LoadLastMessage(path_), message);
    EXPECT_EQ(ReadIniValue("General", "Msg"), "lead");

    const std::string file = *ReadWholeFile(path_);
    EXPECT_EQ(file.find("\n[Other]"), std::string::npos);
    EXPECT_EQ(file.find("\nkey=value"), std::string::npos);
    // One section, two keys, nothing else.
    int lines = 0;
    for (char c : file) lines += c == '\n';
    EXPECT_EQ(lines, 3) << file;
}

TEST_F(SettingsFileTest, SavingAPlainMessageAfterAnExactOneDropsTheExactKey) {
    SaveLastMessage(path_, L"two\r\nlines");
    SaveLastMessage(path_, L"one line");
    EXPECT_EQ(ReadWholeFile(path_)->find("MsgExact"), std::string::npos);
    EXPECT_EQ(LoadLastMessage(path_), L"one line");
}

TEST_F(SettingsFileTest, OtherSectionsAndKeysOfTheFileAreLeftAlone) {
    WriteWholeFile(path_, "[Window]\r\nLeft=10\r\n[General]\r\nMine=yes\r\n");
    SaveLastMessage(path_, L"a\r\nb");
    EXPECT_EQ(ReadIniValue("Window", "Left"), "10");
    EXPECT_EQ(ReadIniValue("General", "Mine"), "yes");
    EXPECT_EQ(LoadLastMessage(path_), L"a\r\nb");
}

TEST_F(SettingsFileTest, AMessageLongerThanOneValueMayHoldComesBackWhole) {
    std::wstring message;
    while (message.size() < 100000) message += L"Away for the weekend. \"See\" you Monday.\r\n";
    SaveLastMessage(path_, message);
    EXPECT_EQ(LoadLastMessage(path_), message);
    EXPECT_FALSE(ReadIniValue("General", "MsgExact4").empty());
    // A shorter one later leaves no stale parts behind.
    SaveLastMessage(path_, L"short\r\none");
    EXPECT_EQ(ReadIniValue("General", "MsgExact2"), "");
    EXPECT_EQ(LoadLastMessage(path_), L"short\r\none");
}

TEST_F(SettingsFileTest, AnEmptyMessageIsSavedAsEmpty) {
    SaveLastMessage(path_, L"earlier");
    SaveLastMessage(path_, L"");
    EXPECT_EQ(LoadLastMessage(path_), L"");
}

TEST_F(SettingsFileTest, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    const std::string earlier = "[General]\r\nMsg=earlier\r\n";
    WriteWholeFile(path_, earlier);
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(SaveLastMessage(path_, L"new"), static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    // Held open by another program that shares it with nobody.
    UniqueKernelHandle lock(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(SaveLastMessage(path_, L"new"), static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    lock.reset();
    EXPECT_EQ(*ReadWholeFile(path_), earlier);
}

TEST_F(SettingsFileTest, AHugeFileIsReplacedWholeButAHugeMessageIsNotRestored) {
    const std::string other = "[Other]\r\nPad=" + std::string(10 << 20, 'p') + "\r\n";
    WriteWholeFile(path_, other + "[General]\r\nMsg=" + std::string(32000, 'y') +
                              "\r\nMsgExact=" + std::string(2 << 20, 'y') + "\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"");
    EXPECT_EQ(SaveLastMessage(path_, L"kept"), 0u);
    EXPECT_EQ(*ReadWholeFile(path_), other + "[General]\r\nMsg=kept\r\n");
}

TEST_F(SettingsFileTest, AutoReplysSectionAndTheMessageEachKeepTheOthersThroughTheOneStepSave) {
    AutoReplySettings settings;
    settings.rules = {{L"pal42 Ren\u00e9e", L" brb\r\n\"%n\" \u0411 "}, {L"", std::wstring(70000, L'x')}};
    settings.on = true;
    settings.answerAgainMinutes = 60;
    const auto save = [&](const AutoReplySettings& what) {
        return RewriteSettingsFile(path_,
                                   [&](std::string_view file) { return WriteAutoReplySettingsInto(file, what); });
    };
    EXPECT_EQ(save(settings), 0u);
    EXPECT_EQ(ReadAutoReplySettings(ReadSettingsFile(path_)), settings);
    EXPECT_EQ(SaveLastMessage(path_, L"lunch\r\nat one"), 0u);
    EXPECT_EQ(ReadAutoReplySettings(ReadSettingsFile(path_)), settings);
    EXPECT_EQ(save(AutoReplySettings{}), 0u);
    EXPECT_EQ(LoadLastMessage(path_), L"lunch\r\nat one");
    EXPECT_EQ(ReadAutoReplySettings(ReadSettingsFile(path_)), AutoReplySettings{});
    // The profile calls of older versions read the message as before and see the section as keys.
    EXPECT_EQ(ReadIniValue("General", "Msg"), "lunch");
    EXPECT_EQ(ReadIniValue("AutoReply", "Switch"), "Off");
    // Read-only: reported, and the file stays as it was.
    const std::string before = *ReadWholeFile(path_);
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(save(settings), 0u);
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(*ReadWholeFile(path_), before);
    EXPECT_EQ(ReadSettingsFile(folder_.File(L"none.ini")), "");
}

// A file an editor saved as UTF-16: the byte-order mark, then the text's code units.
std::string Utf16File(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

TEST_F(SettingsFileTest, AUtf16FileReadsAsTheProfileCallsReadItAndStaysUtf16WhenSaved) {
    const std::wstring greeting = L"\u041f\u0440\u0438\u0432\u0435\u0442 caf\u00e9";
    WriteWholeFile(path_, Utf16File(L"[General]\r\nMsg=" + greeting + L"\r\n[Other]\r\nKey=\u0416\u4e2d\r\n"));
    const auto profileValue = [&](const wchar_t* section, const wchar_t* key) {
        std::wstring buffer(1000, L'\0');
        buffer.resize(GetPrivateProfileStringW(section, key, L"", buffer.data(), 1000, path_.c_str()));
        return buffer;
    };
    ASSERT_EQ(profileValue(L"General", L"Msg"), greeting);  // the system reads it so
    EXPECT_EQ(LoadLastMessage(path_), greeting);

    const std::wstring message = greeting + L"\r\nsecond line";
    ASSERT_EQ(SaveLastMessage(path_, message), 0u);
    const std::string file = *ReadWholeFile(path_);
    ASSERT_EQ(file.substr(0, 2), "\xFF\xFE");
    ASSERT_EQ(file.size() % 2, 0u);
    std::wstring text(file.size() / 2 - 1, L'\0');
    std::memcpy(text.data(), file.data() + 2, text.size() * sizeof(wchar_t));
    // All of it UTF-16: the other section as it was, Msg the first line in Unicode.
    EXPECT_EQ(text.substr(0, text.find(L"MsgExact=")), L"[General]\r\nMsg=" + greeting + L"\r\n");
    EXPECT_NE(text.find(L"\r\n[Other]\r\nKey=\u0416\u4e2d\r\n"), std::wstring::npos);
    EXPECT_EQ(profileValue(L"General", L"Msg"), greeting);
    EXPECT_EQ(profileValue(L"Other", L"Key"), L"\u0416\u4e2d");
    EXPECT_EQ(LoadLastMessage(path_), message);
}

TEST_F(SettingsFileTest, AFileMarkedAsUtf8ReadsAsUtf8AndStaysUtf8) {
    WriteWholeFile(path_, "\xEF\xBB\xBF[General]\r\nMsg=caf\xC3\xA9\r\n");
    std::wstring buffer(100, L'\0');
    buffer.resize(GetPrivateProfileStringW(L"General", L"Msg", L"", buffer.data(), 100, path_.c_str()));
    ASSERT_EQ(buffer, L"caf\u00e9");  // as Wine's profile calls read it
    EXPECT_EQ(LoadLastMessage(path_), L"caf\u00e9");
    ASSERT_EQ(SaveLastMessage(path_, L"\u0416 caf\u00e9"), 0u);
    EXPECT_EQ(*ReadWholeFile(path_),
              "\xEF\xBB\xBF[General]\r\nMsg=\xD0\x96 caf\xC3\xA9\r\nMsgExact=\\u0416\\scaf\\u00E9\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"\u0416 caf\u00e9");
}

// ---------------------------------------------------------------------------
// Where Msg.ini lives: beside the exe when its folder can be written or already holds one, else
// in the user's application data. The exe folder's answer comes from a probe the test chooses
// (every folder a test can make is writable to it), and from the real probe where it can be.

bool NeverWritable(const std::wstring&) { return false; }
bool AlwaysWritable(const std::wstring&) { return true; }
bool NotToBeAsked(const std::wstring&) {
    ADD_FAILURE() << "the exe folder was tried though a Msg.ini is there";
    return false;
}

class SettingsPlaceTest : public ::testing::Test {
protected:
    testing::TempFolder exeFolder_;
    testing::TempFolder appData_;
};

TEST_F(SettingsPlaceTest, AnExeFolderThatCannotBeWrittenPutsMsgIniInAppDataMadeAtTheFirstSave) {
    const std::wstring path = DecideSettingsPath(exeFolder_.Path(), appData_.Path(), &NeverWritable);
    EXPECT_EQ(path, appData_.Path() + L"\\Velmora\\Msg.ini");
    // Nothing is made at start; the first save makes the folder and the file, and reads back.
    EXPECT_EQ(GetFileAttributesW(appData_.File(L"Velmora").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LoadLastMessage(path), L"");
    EXPECT_EQ(SaveLastMessage(path, L"kept where I can write"), 0u);
    EXPECT_EQ(LoadLastMessage(path), L"kept where I can write");
    EXPECT_FALSE(ReadWholeFile(exeFolder_.File(L"Msg.ini")).has_value());
    // The next start finds it there again: the exe folder has not changed.
    EXPECT_EQ(DecideSettingsPath(exeFolder_.Path(), appData_.Path(), &NeverWritable), path);
}

TEST_F(SettingsPlaceTest, AMsgIniBesideTheExeOrAFolderThatCanBeWrittenKeepsItBesideTheExe) {
    const std::wstring beside = exeFolder_.File(L"Msg.ini");
    EXPECT_EQ(DecideSettingsPath(exeFolder_.Path(), appData_.Path(), &AlwaysWritable), beside);
    WriteWholeFile(beside, "[General]\r\nMsg=portable\r\n");
    EXPECT_EQ(DecideSettingsPath(exeFolder_.Path(), appData_.Path(), &NotToBeAsked), beside);
    // With no application-data folder known there is nowhere else.
    EXPECT_EQ(DecideSettingsPath(appData_.Path(), L"", &NeverWritable), appData_.File(L"Msg.ini"));
}

TEST_F(SettingsPlaceTest, TheRealProbeLeavesNothingBehindAndAnswersNoWhereNothingCanBeMade) {
    EXPECT_TRUE(CanWriteInFolder(exeFolder_.Path()));
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((exeFolder_.Path() + L"\\*").c_str(), &found);
    int entries = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do entries += found.cFileName[0] != L'.';
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(entries, 0);
    EXPECT_FALSE(CanWriteInFolder(exeFolder_.File(L"not made")));
    // A folder nobody may write, not even an administrator: under Wine, Linux's /proc.
    if (GetFileAttributesW(L"Z:\\proc\\self") == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no Z:\\proc here (not Wine)";
    EXPECT_FALSE(CanWriteInFolder(L"Z:\\proc"));
    EXPECT_EQ(DecideSettingsPath(L"Z:\\proc", appData_.Path(), &CanWriteInFolder),
              appData_.Path() + L"\\Velmora\\Msg.ini");
}

TEST_F(SettingsPlaceTest, TheMainWindowReadsAndWritesThePathTheProgramDecided) {
    const std::wstring path = appData_.File(L"Msg.ini");
    WriteWholeFile(path,
                   "[General]\r\nMsg=from the decided file\r\n[Composer]\r\nSlot=4\r\n"
                   "[AutoReply]\r\nRules=1\r\nRule1Names=pal42\r\nRule1Reply=away\r\n");
    Program program(GetModuleHandleW(nullptr), path);
    ASSERT_TRUE(program.Start());
    HWND main = program.OpenMainWindow()->Handle();
    EXPECT_EQ(testing::WindowText(GetDlgItem(main, AwayIds::Text2_0)), L"from the decided file");
    EXPECT_EQ(testing::WindowText(GetDlgItem(main, AwayIds::Combo2)), L"4");
    // Auto Reply reads its rules from the same file.
    program.Show(ChildWindow::AutoReply);
    Window* autoReply = program.OpenChild(ChildWindow::AutoReply);
    ASSERT_NE(autoReply, nullptr);
    EXPECT_EQ(testing::WindowText(GetDlgItem(autoReply->Handle(), AutoReplyIds::Names)), L"pal42");
    SendDlgItemMessageW(main, AwayIds::Check2, BM_SETCHECK, BST_CHECKED, 0);
    SetDlgItemTextW(main, AwayIds::Text2_0, L"written back there");
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(LoadLastMessage(path), L"written back there");
}

}  // namespace
}  // namespace velmora
