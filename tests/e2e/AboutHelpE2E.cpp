// Help and About in the real velmora.exe, opened from its menu and driven from outside.
#include <gtest/gtest.h>

#include <vector>

#include "about/AboutControls.h"
#include "about/HelpControls.h"
#include "app/AwayControls.h"
#include "support/ShellRecorder.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using testing::ShellCall;
using testing::VelmoraProcess;

class AboutHelpE2E : public ::testing::Test {
protected:
    testing::TempFolder folder_;
};

TEST_F(AboutHelpE2E, EachMenuEntryOpensItsWindowOnceHoweverOftenChosen) {
    VelmoraProcess velmora(folder_.Path());
    for (int i = 0; i < 3; ++i) {
        velmora.ChooseMenu(MenuHlpe);
        velmora.ChooseMenu(MenuAbast);
    }
    EXPECT_EQ(velmora.CountWindowsTitled(L"Help"), 1);
    EXPECT_EQ(velmora.CountWindowsTitled(L"About"), 1);
    HWND help = velmora.FindWindowTitled(L"Help");
    HWND about = velmora.FindWindowTitled(L"About");
    EXPECT_EQ(testing::WindowText(GetDlgItem(help, HelpIds::Label2)), L"Velmora Help");
    EXPECT_EQ(testing::WindowText(GetDlgItem(about, AboutIds::Label2)), L"About Velmora");
    EXPECT_TRUE(IsWindowVisible(help));
    EXPECT_TRUE(IsWindowVisible(about));
}

TEST_F(AboutHelpE2E, TheLinkOpensTheHomePageMaximisedAndNothingElseOpensAnything) {
    testing::ShellRecorder shell;
    VelmoraProcess velmora(folder_.Path());
    velmora.ChooseMenu(MenuAbast);
    HWND about = velmora.FindWindowTitled(L"About");
    ASSERT_NE(about, nullptr);
    for (int id : {AboutIds::Label2, AboutIds::Label3, AboutIds::Label4, AboutIds::Label5})
        testing::ClickAt(about, testing::CentreOf(GetDlgItem(about, id)));
    testing::ClickAt(about, POINT{5, 5});
    testing::ClickAt(about, testing::CentreOf(GetDlgItem(about, AboutIds::Label6)));
    EXPECT_EQ(shell.WaitForCalls(1), (std::vector<ShellCall>{{SW_SHOWMAXIMIZED, L"https://velmora.github.io"}}));
}

TEST_F(AboutHelpE2E, ClosingHelpOrAboutLeavesEveryOtherWindowOpen) {
    VelmoraProcess velmora(folder_.Path());
    velmora.ChooseMenu(MenuHlpe);
    velmora.ChooseMenu(MenuAbast);
    HWND help = velmora.FindWindowTitled(L"Help");
    HWND about = velmora.FindWindowTitled(L"About");
    SendMessageW(help, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(help));
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_TRUE(IsWindowVisible(velmora.MainWindow()));
    SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowVisible(velmora.MainWindow()));
    EXPECT_TRUE(velmora.IsRunning());
    // Asked for again, each comes back fresh.
    velmora.ChooseMenu(MenuHlpe);
    EXPECT_EQ(velmora.CountWindowsTitled(L"Help"), 1);
}

TEST_F(AboutHelpE2E, AboutOpenKeepsVelmoraRunningAfterTheMainWindowClosesUntilItClosesToo) {
    VelmoraProcess velmora(folder_.Path());
    velmora.ChooseMenu(MenuAbast);
    HWND about = velmora.FindWindowTitled(L"About");
    ASSERT_NE(about, nullptr);
    velmora.CloseMainWindow();
    EXPECT_FALSE(IsWindow(velmora.MainWindow()));
    EXPECT_TRUE(velmora.IsRunning());
    EXPECT_TRUE(IsWindowVisible(about));
    SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(velmora.WaitForExit());
    EXPECT_EQ(velmora.ExitCode(), 0u);
}

}  // namespace
}  // namespace velmora
