// "Auto Reply" opened from the "Options" menu with the pointer, a rule typed with the keys and
// the switch clicked, against the AIM stand-in with two conversations: both are answered, once.
// (The menu entry is also opened by keys with the others: PersonalMessageRealInput.)
#include <gtest/gtest.h>

#include <cstdint>

#include "app/AwayControls.h"
#include "autoreply/AutoReplyControls.h"
#include "support/RealInput.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace testing;

// Until `count` more ticks of the watch have run to their end, as the window tells them.
bool WaitForTicks(HWND window, std::uint64_t count) {
    const UINT query = RegisterWindowMessageW(AutoReplyIds::kTicksDoneQueryName);
    const auto ticks = [&] {
        DWORD_PTR done = 0;
        SendMessageTimeoutW(window, query, 0, 0, SMTO_ABORTIFHUNG, 5000, &done);
        return static_cast<std::uint64_t>(done);
    };
    const std::uint64_t target = ticks() + count;
    return WaitUntil([&] { return ticks() >= target; });
}

class AutoReplyRealInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil([&] { return velmora_.MainWindow() && IsWindowVisible(velmora_.MainWindow()); }));
        Settle();
    }
    std::size_t SentIn(int window) { return aim_.Command("at " + std::to_string(window) + " sent").size(); }

    StandInProcess aim_ = StandInProcess::Start(StandInPath(L"aim-standin.exe"), L"--im bob");
    TempFolder folder_;
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(AutoReplyRealInput, ARuleTypedAndSwitchedOnAnswersTwoConversations) {
    aim_.Command("recv pal42 read before");
    // "Auto Reply" is the menu's last entry: a click half a row above its bottom frame (six
    // entries and two separators half as high).
    ClickControl(velmora_.Control(AwayIds::Label2));
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"#32768", nullptr) != nullptr; }));
    Settle();
    RECT menu{};
    GetWindowRect(FindWindowW(L"#32768", nullptr), &menu);
    const int row = (menu.bottom - menu.top - 6) * 2 / 14;
    ClickAt(POINT{(menu.left + menu.right) / 2, menu.bottom - 3 - row / 2});
    HWND window = velmora_.WaitForWindowTitled(L"Auto Reply");
    ASSERT_NE(window, nullptr);
    Settle();

    ASSERT_TRUE(ClickToFocus(GetDlgItem(window, AutoReplyIds::Names)));
    TypeText(L"pal42, bob");
    PressKey(VK_TAB);
    ASSERT_TRUE(HasFocus(GetDlgItem(window, AutoReplyIds::Reply)));
    TypeText(L"Away from the keys, %n.");
    ASSERT_TRUE(
        WaitUntil([&] { return WindowText(GetDlgItem(window, AutoReplyIds::Reply)) == L"Away from the keys, %n."; }));
    ClickControl(GetDlgItem(window, AutoReplyIds::Switch));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(window, AutoReplyIds::Switch)) == L"On"; }));
    ASSERT_TRUE(WaitForTicks(window, 2));  // the lines shown now are taken as read

    aim_.Command("recv pal42 hello?");
    aim_.Command("at 2 recv bob hi there");
    ASSERT_TRUE(WaitUntil([&] { return SentIn(1) == 1 && SentIn(2) == 1; }));
    EXPECT_EQ(aim_.Command("at 2 sent").at(0), "sent Away from the keys, bob.");
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(GetDlgItem(window, AutoReplyIds::Log), LB_GETCOUNT, 0, 0) == 2; }));
    BringWindowToTop(window);
    Settle();
    SaveScreenshot(L"AutoReply-answered");
    ASSERT_TRUE(WaitForTicks(window, 3));  // nothing more comes
    EXPECT_EQ(SentIn(1), 1u);
    EXPECT_EQ(SentIn(2), 1u);
}

}  // namespace
}  // namespace velmora
