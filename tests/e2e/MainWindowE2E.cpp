// velmora.exe started as a process and driven from outside; what it leaves in Msg.ini checked.
#include <gtest/gtest.h>

#include "app/AwayControls.h"
#include "preview/PreviewControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using testing::ReadWholeFile;
using testing::VelmoraProcess;
using testing::WriteWholeFile;

class MainWindowE2E : public ::testing::Test {
protected:
    std::wstring SettingsFile() const { return folder_.File(L"Msg.ini"); }
    testing::TempFolder folder_;
};

TEST_F(MainWindowE2E, FirstStartShowsTheDesignedDefaults) {
    VelmoraProcess velmora(folder_.Path());
    ASSERT_NE(velmora.MainWindow(), nullptr);
    std::vector<std::wstring> sizes, slots;
    for (int i = 1; i <= 32; ++i) sizes.push_back(std::to_wstring(i));
    for (int i = 1; i <= 15; ++i) slots.push_back(std::to_wstring(i));
    EXPECT_EQ(velmora.ComboItems(Combo1), sizes);
    EXPECT_EQ(velmora.ComboItems(Combo2), slots);
    EXPECT_EQ(velmora.Text(Combo1), L"1");
    EXPECT_EQ(velmora.Text(Combo2), L"1");
    EXPECT_EQ(velmora.Text(Text2_0), L"");
    EXPECT_EQ(velmora.Text(Text5), L"Harlowpine");
    EXPECT_EQ(velmora.Text(Text1), L"My Velmora Message");
    EXPECT_EQ(velmora.Text(Text6), L"FFFFFF");
    EXPECT_EQ(velmora.Text(Text7), L"FFFFFF");
    EXPECT_FALSE(velmora.IsTicked(Check1));
    EXPECT_FALSE(velmora.IsTicked(Check2));

    velmora.CloseMainWindow();
    ASSERT_TRUE(velmora.WaitForExit());
    EXPECT_EQ(velmora.ExitCode(), 0u);
    // Nothing asked for a save, so no settings file appears.
    EXPECT_FALSE(ReadWholeFile(SettingsFile()).has_value());
}

TEST_F(MainWindowE2E, TheLastMessageComesBackFromMsgIni) {
    WriteWholeFile(SettingsFile(), "[General]\r\nMsg=Gone fishing\r\n");
    VelmoraProcess velmora(folder_.Path());
    EXPECT_EQ(velmora.Text(Text2_0), L"Gone fishing");
}

TEST_F(MainWindowE2E, AMsgIniSavedAsUtf16ComesBackAndIsSavedWholeAsUtf16) {
    const std::wstring greeting = L"\u041f\u0440\u0438\u0432\u0435\u0442 caf\u00e9";
    const auto utf16 = [](const std::wstring& text) {
        return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    };
    WriteWholeFile(SettingsFile(), utf16(L"[General]\r\nMsg=" + greeting + L"\r\n"));
    {
        VelmoraProcess velmora(folder_.Path());
        EXPECT_EQ(velmora.Text(Text2_0), greeting);
        velmora.Type(Text2_0, greeting + L"!");
        velmora.Click(Check2);
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    const std::string file = *ReadWholeFile(SettingsFile());
    const std::wstring exact = L"\\u041F\\u0440\\u0438\\u0432\\u0435\\u0442\\scaf\\u00E9!";
    // The composer's fields in their own section, after the message.
    const std::wstring composer =
        L"[Composer]\r\nScreenName=Harlowpine\r\nLabel=My\\sVelmora\\sMessage\r\n"
        L"FontColour=FFFFFF\r\nBodyColour=FFFFFF\r\nFontSize=1\r\nSlot=1\r\n"
        L"BroadcastWinamp=0\r\n";
    EXPECT_EQ(file, utf16(L"[General]\r\nMsg=" + greeting + L"!\r\nMsgExact=" + exact + L"\r\n" + composer));
    VelmoraProcess again(folder_.Path());
    EXPECT_EQ(again.Text(Text2_0), greeting + L"!");
}

TEST_F(MainWindowE2E, AnEmptySavedMessageLeavesTheBoxEmpty) {
    WriteWholeFile(SettingsFile(), "[General]\r\nMsg=\r\n");
    VelmoraProcess velmora(folder_.Path());
    EXPECT_EQ(velmora.Text(Text2_0), L"");
}

TEST_F(MainWindowE2E, SaveLastMsgTickedSavesAtCloseAndTheNextStartRestores) {
    {
        VelmoraProcess velmora(folder_.Path());
        velmora.Type(Text2_0, L"Out until five");
        velmora.Click(Check2);
        ASSERT_TRUE(velmora.IsTicked(Check2));
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    EXPECT_NE(ReadWholeFile(SettingsFile())->find("Msg=Out until five"), std::string::npos);
    VelmoraProcess again(folder_.Path());
    EXPECT_EQ(again.Text(Text2_0), L"Out until five");
    // The box is not itself remembered.
    EXPECT_FALSE(again.IsTicked(Check2));
}

TEST_F(MainWindowE2E, SaveLastMsgUntickedLeavesTheEarlierFileAsItWas) {
    const std::string earlier = "[General]\r\nMsg=Earlier message\r\n";
    WriteWholeFile(SettingsFile(), earlier);
    VelmoraProcess velmora(folder_.Path());
    velmora.Type(Text2_0, L"typed but not kept");
    velmora.CloseMainWindow();
    ASSERT_TRUE(velmora.WaitForExit());
    EXPECT_EQ(*ReadWholeFile(SettingsFile()), earlier);
}

TEST_F(MainWindowE2E, AnEmptyMessageSavedLeavesNothingToRestore) {
    WriteWholeFile(SettingsFile(), "[General]\r\nMsg=Earlier message\r\n");
    {
        VelmoraProcess velmora(folder_.Path());
        velmora.Type(Text2_0, L"");
        velmora.Click(Check2);
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    VelmoraProcess again(folder_.Path());
    EXPECT_EQ(again.Text(Text2_0), L"");
}

TEST_F(MainWindowE2E, ALongMultiLineMessageSurvivesARestartExactly) {
    std::wstring message = L"[x]\r\na=b\r\n";
    while (message.size() < 600) message += L"Out of the office, back on Monday. ";
    message += L"\r\n\u0416\u0434\u0443 \U0001F600 tab\t form feed\f\r\n  last line\x1a  ";
    {
        VelmoraProcess velmora(folder_.Path());
        velmora.Type(Text2_0, message);
        velmora.Click(Check2);
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    const std::string file = *ReadWholeFile(SettingsFile());
    // One section, Velmora's two keys: no line of the message became a section or a key.
    EXPECT_EQ(file.find("\n[x]"), std::string::npos) << file;
    EXPECT_EQ(file.find("\na=b"), std::string::npos) << file;
    int lines = 0;
    for (char c : file.substr(0, file.find("[Composer]"))) lines += c == '\n';
    EXPECT_EQ(lines, 3) << file;

    VelmoraProcess again(folder_.Path());
    EXPECT_EQ(again.Text(Text2_0), message);
}

// The box is filled from code at start, which a multi-line box does not tell of: the preview
// shows it all the same, characters outside the code page too.
TEST_F(MainWindowE2E, TheRestoredMessageIsWhatThePreviewShows) {
    const std::wstring message = L"Back at five, \u0416\u0434\u0443 \U0001F600 <b>caf\u00e9</b>";
    {
        VelmoraProcess velmora(folder_.Path());
        velmora.Type(Text2_0, message);
        velmora.Click(Check2);
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    VelmoraProcess again(folder_.Path());
    ASSERT_EQ(again.Text(Text2_0), message);
    again.ChooseMenu(MenuPreview);
    HWND preview = again.WaitForWindowTitled(L"Preview");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(testing::WindowText(GetDlgItem(preview, PreviewIds::Pane)),
              L"Back at five, \u0416\u0434\u0443 \U0001F600 caf\u00e9");
}

TEST_F(MainWindowE2E, EndingTheSessionSavesWhenTicked) {
    VelmoraProcess velmora(folder_.Path());
    velmora.Type(Text2_0, L"Logged off");
    velmora.Click(Check2);
    // Windows asks, then ends the program without a WM_CLOSE.
    EXPECT_EQ(SendMessageW(velmora.MainWindow(), WM_QUERYENDSESSION, 0, static_cast<LPARAM>(ENDSESSION_LOGOFF)), TRUE);
    SendMessageW(velmora.MainWindow(), WM_ENDSESSION, TRUE, static_cast<LPARAM>(ENDSESSION_LOGOFF));
    const auto file = ReadWholeFile(SettingsFile());
    ASSERT_TRUE(file.has_value());
    EXPECT_NE(file->find("Msg=Logged off"), std::string::npos);
}

TEST_F(MainWindowE2E, ACancelledEndOfSessionSavesNothing) {
    VelmoraProcess velmora(folder_.Path());
    velmora.Type(Text2_0, L"Still here");
    velmora.Click(Check2);
    SendMessageW(velmora.MainWindow(), WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(ReadWholeFile(SettingsFile()).has_value());
    EXPECT_TRUE(velmora.IsRunning());
}

TEST_F(MainWindowE2E, TheSlotBoxTakesTypedTextAndTheSizeListOnlyItsItems) {
    VelmoraProcess velmora(folder_.Path());
    velmora.Type(Combo2, L"12b");
    EXPECT_EQ(velmora.Text(Combo2), L"12b");
    velmora.Choose(Combo1, 11);
    EXPECT_EQ(velmora.Text(Combo1), L"12");
    // A drop-down list has no text field to type into.
    SendMessageW(velmora.Control(Combo1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99"));
    EXPECT_EQ(velmora.Text(Combo1), L"12");
}

TEST_F(MainWindowE2E, TwoCopiesClosingTogetherLeaveOneWholeMessageAndTheUsersKeys) {
    WriteWholeFile(SettingsFile(), "[Window]\r\nLeft=10\r\n");
    std::wstring a, b;  // long, of many lines: several exact keys each
    while (a.size() < 120000) a += L"Alpha \"away\" until Monday,\r\n", b += L"Bravo \"away\" until Friday,\r\n";
    {
        VelmoraProcess first(folder_.Path()), second(folder_.Path());
        first.Type(Text2_0, a);
        second.Type(Text2_0, b);
        first.Click(Check2);
        second.Click(Check2);
        // As at log-off: both asked to close at once.
        first.PostCloseMainWindow();
        second.PostCloseMainWindow();
        ASSERT_TRUE(first.WaitForExit() && second.WaitForExit());
    }
    EXPECT_EQ(ReadWholeFile(SettingsFile())->rfind("[Window]\r\nLeft=10\r\n", 0), 0u);
    const std::wstring restored = VelmoraProcess(folder_.Path()).Text(Text2_0);
    EXPECT_TRUE(restored == a || restored == b) << "neither came back whole: " << restored.size() << " characters";
}

TEST_F(MainWindowE2E, ACloseThatCannotSaveAsksNoGoesBackYesClosesAndLogOffAsksNothing) {
    const std::string earlier = "[General]\r\nMsg=Earlier message\r\n";
    WriteWholeFile(SettingsFile(), earlier);
    ASSERT_TRUE(SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_READONLY));
    VelmoraProcess velmora(folder_.Path());
    velmora.Type(Text2_0, L"Not to be lost");
    velmora.Click(Check2);

    velmora.PostCloseMainWindow();
    HWND box = testing::WaitForOwnedWindow(velmora.MainWindow());
    ASSERT_NE(box, nullptr);
    const std::wstring question = testing::MessageBoxText(box);
    EXPECT_NE(question.find(SettingsFile()), std::wstring::npos) << question;
    EXPECT_NE(question.find(L"(error 5)"), std::wstring::npos) << question;
    ASSERT_TRUE(testing::PressMessageBoxButton(box, IDNO));
    EXPECT_EQ(velmora.Text(Text2_0), L"Not to be lost");

    // At log-off the save is tried once, silently: a message box would hold this call.
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(velmora.MainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 20000, &result));

    velmora.PostCloseMainWindow();
    box = testing::WaitForOwnedWindow(velmora.MainWindow());
    ASSERT_TRUE(box && testing::PressMessageBoxButton(box, IDYES));
    EXPECT_TRUE(velmora.WaitForExit());
    SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(*ReadWholeFile(SettingsFile()), earlier);
}

}  // namespace
}  // namespace velmora
