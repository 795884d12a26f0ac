// What the user set stays set: velmora.exe closed and started again from outside, Msg.ini read
// back, and the balloons Velmora shows found as another program would find them.
#include <windows.h>
// (commctrl.h needs windows.h first.)
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/AwayControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using testing::ReadWholeFile;
using testing::VelmoraProcess;
using testing::WriteWholeFile;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

struct BalloonSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleBalloon(HWND candidate, LPARAM search) {
    auto* wanted = reinterpret_cast<BalloonSearch*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    wchar_t className[32]{};
    GetClassNameW(candidate, className, 32);
    if (owner != wanted->processId || !IsWindowVisible(candidate) || lstrcmpiW(className, TOOLTIPS_CLASSW) != 0)
        return TRUE;
    wanted->found = candidate;
    return FALSE;
}

// What the balloon a process shows says (a tooltip answers WM_GETTEXT with the text it shows,
// also to another process); empty when it shows none.
std::wstring ShownBalloonText(DWORD processId) {
    BalloonSearch search{processId, nullptr};
    EnumWindows(FindVisibleBalloon, reinterpret_cast<LPARAM>(&search));
    return search.found ? testing::WindowText(search.found) : L"";
}

class ComposerKeptE2E : public ::testing::Test {
protected:
    std::wstring SettingsFile() const { return folder_.File(L"Msg.ini"); }
    testing::TempFolder folder_;
};

TEST_F(ComposerKeptE2E, SaveLastMsgTickedBringsBackEveryFieldButItsOwnTick) {
    {
        VelmoraProcess velmora(folder_.Path());
        velmora.Type(Text5, L"night owl");
        velmora.Type(Text1, L"Lunch \"break\" \u2013 caf\u00e9");
        velmora.Type(Text6, L"000080");
        velmora.Type(Text7, L"FFFFE0");
        velmora.Choose(Combo1, 11);
        velmora.Type(Combo2, L"12b");
        velmora.Click(Check1);
        velmora.Type(Text2_0, L"Back at two\r\nor three");
        velmora.Click(Check2);
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    VelmoraProcess again(folder_.Path());
    EXPECT_EQ(again.Text(Text5), L"night owl");
    EXPECT_EQ(again.Text(Text1), L"Lunch \"break\" \u2013 caf\u00e9");
    EXPECT_EQ(again.Text(Text6), L"000080");
    EXPECT_EQ(again.Text(Text7), L"FFFFE0");
    EXPECT_EQ(again.Text(Combo1), L"12");
    EXPECT_EQ(again.Text(Combo2), L"12b");
    EXPECT_TRUE(again.IsTicked(Check1));
    EXPECT_EQ(again.Text(Text2_0), L"Back at two\r\nor three");
    EXPECT_FALSE(again.IsTicked(Check2));
    // The lists are still whole: a restored size chose an item, it added none.
    EXPECT_EQ(again.ComboItems(Combo1).size(), 32u);
}

TEST_F(ComposerKeptE2E, AnUntickedCloseLeavesTheFileByteForByteOrMakesNone) {
    {
        VelmoraProcess velmora(folder_.Path());
        velmora.Type(Text5, L"someone");
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    EXPECT_FALSE(ReadWholeFile(SettingsFile()).has_value());

    const std::string earlier = "[General]\nMsg=Earlier\n[Composer]\nScreenName=kept\nFontSize=7\n; note\n";
    WriteWholeFile(SettingsFile(), earlier);
    {
        VelmoraProcess velmora(folder_.Path());
        EXPECT_EQ(velmora.Text(Text5), L"kept");
        EXPECT_EQ(velmora.Text(Combo1), L"7");
        // Fields the section does not name keep the design's text.
        EXPECT_EQ(velmora.Text(Text1), L"My Velmora Message");
        velmora.Type(Text5, L"changed");
        velmora.Choose(Combo1, 2);
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    EXPECT_EQ(*ReadWholeFile(SettingsFile()), earlier);
}

TEST_F(ComposerKeptE2E, HostileFieldsInTheFileLeaveTheDesignsTextAndTheWindowWorks) {
    WriteWholeFile(SettingsFile(), "[Composer]\r\nScreenName=" + std::string(200000, 'n') +
                                       "\r\nFontSize=99\r\nSlot=\\u0000\r\nBroadcastWinamp=2\r\nLabel=\"\"\r\n");
    VelmoraProcess velmora(folder_.Path());
    EXPECT_EQ(velmora.Text(Text5), L"Harlowpine");
    EXPECT_EQ(velmora.Text(Combo1), L"1");
    EXPECT_EQ(velmora.Text(Combo2), L"1");
    EXPECT_FALSE(velmora.IsTicked(Check1));
    // A value the profile reader reads as empty is an empty label, as the user may have left it.
    EXPECT_EQ(velmora.Text(Text1), L"");
}

TEST_F(ComposerKeptE2E, ASavedMessageTooLongForTheBoxIsToldAtStartAndKeptByAnUntouchedClose) {
    std::string message;
    while (message.size() <= (size_t{1} << 20)) message += "Away for the summer, write to me. ";
    WriteWholeFile(SettingsFile(), "[General]\r\nMsg=" + message + "\r\n");
    {
        VelmoraProcess velmora(folder_.Path());
        EXPECT_EQ(velmora.Text(Text2_0), L"");
        std::wstring notice;
        ASSERT_TRUE(testing::WaitUntil([&] { return !(notice = ShownBalloonText(velmora.ProcessId())).empty(); }));
        EXPECT_NE(notice.find(L"characters long, more than the message box takes"), std::wstring::npos) << notice;
        EXPECT_NE(notice.find(SettingsFile()), std::wstring::npos) << notice;
        velmora.Type(Text5, L"summer name");
        velmora.Click(Check2);
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    const std::string kept = *ReadWholeFile(SettingsFile());
    EXPECT_NE(kept.find("Msg=" + message + "\r\n"), std::string::npos);
    EXPECT_NE(kept.find("ScreenName=summer\\sname"), std::string::npos) << kept.substr(kept.size() - 200);

    // Once the user types another message, the close keeps that one, and nothing is told.
    {
        VelmoraProcess velmora(folder_.Path());
        ASSERT_TRUE(testing::WaitUntil([&] { return !ShownBalloonText(velmora.ProcessId()).empty(); }));
        velmora.Type(Text2_0, L"Back in autumn");
        EXPECT_EQ(ShownBalloonText(velmora.ProcessId()), L"");
        velmora.Click(Check2);
        velmora.CloseMainWindow();
        ASSERT_TRUE(velmora.WaitForExit());
    }
    VelmoraProcess again(folder_.Path());
    EXPECT_EQ(again.Text(Text2_0), L"Back in autumn");
    EXPECT_EQ(ShownBalloonText(again.ProcessId()), L"");
}

TEST_F(ComposerKeptE2E, UpdateWithColoursTooCloseStoresTheMessageAndSaysSoInABalloon) {
    const std::wstring screenName = testing::UniqueScreenName(L"contrast");
    VelmoraProcess velmora(folder_.Path());
    velmora.Type(Text5, screenName);
    velmora.Type(Text2_0, L"Invisible ink");
    // The design's first start: white on white.
    velmora.Click(Command5);
    const auto stored =
        testing::ReadRegistryValue(HKEY_CURRENT_USER, kUsers + screenName + L"\\IAmGoneList", L"GoneMsg1");
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName);
    ASSERT_TRUE(stored.has_value());
    // No box stops the user.
    EXPECT_EQ(testing::VisibleDialogOfProcess(velmora.ProcessId()), nullptr);
    const std::wstring notice = ShownBalloonText(velmora.ProcessId());
    EXPECT_NE(notice.find(L"The message was stored"), std::wstring::npos) << notice;
    EXPECT_NE(notice.find(L"Contrast 1.0 : 1"), std::wstring::npos) << notice;

    // A colour changed takes the balloon away; an Update with readable colours shows none.
    velmora.Type(Text6, L"000000");
    EXPECT_EQ(ShownBalloonText(velmora.ProcessId()), L"");
    velmora.Click(Command5);
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName);
    EXPECT_EQ(ShownBalloonText(velmora.ProcessId()), L"");
    // Just under the line (1.4 : 1) is told; a pale grey on white at 1.6 : 1 is not.
    velmora.Type(Text6, L"D4D4D4");
    velmora.Click(Command5);
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName);
    EXPECT_NE(ShownBalloonText(velmora.ProcessId()).find(L"Contrast 1.4 : 1"), std::wstring::npos);
    velmora.Type(Text6, L"CCCCCC");
    velmora.Click(Command5);
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName);
    EXPECT_EQ(ShownBalloonText(velmora.ProcessId()), L"");
}

}  // namespace
}  // namespace velmora
