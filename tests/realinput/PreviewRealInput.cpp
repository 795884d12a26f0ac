// The preview opened from the "Options" menu by keys, then used beside the main window with
// typed keys and clicks: it follows the message as it is typed and fills %n from its own box.
#include <gtest/gtest.h>

#include "app/AwayControls.h"
#include "preview/PreviewControls.h"
#include "support/RealInput.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace testing;

class PreviewRealInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil([&] { return velmora_.MainWindow() && IsWindowVisible(velmora_.MainWindow()); }));
        Settle();
    }
    static HWND PopUpMenu() {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu) ? menu : nullptr;
    }
    void Shot(const std::wstring& step) const {
        Settle();
        SaveScreenshot(L"Preview-" + step);
    }

    TempFolder folder_;
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(PreviewRealInput, FollowsTheMessageAsItIsTypedAndFillsTheReadersName) {
    ClickControl(velmora_.Control(AwayIds::Label2));
    ASSERT_TRUE(WaitUntil([] { return PopUpMenu() != nullptr; }));
    Settle();
    // "Preview" is the fourth entry, after a separator.
    for (int entry = 0; entry < 4; ++entry) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    HWND preview = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (preview = velmora_.FindWindowTitled(L"Preview")) != nullptr; }));
    HWND pane = GetDlgItem(preview, PreviewIds::Pane);
    Shot(L"01-open");

    ASSERT_TRUE(ClickToFocus(velmora_.Control(AwayIds::Text2_0)));
    TypeText(L"Hi %n,\r\nback <b>soon</b><BR>bye");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(pane) == L"Hi Buddy, back soon\r\nbye"; }))
        << WindowText(pane).size();
    Shot(L"02-typed");

    ASSERT_TRUE(ClickToFocus(GetDlgItem(preview, PreviewIds::TextReader)));
    SelectAllInField();
    TypeText(L"pal42");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(pane) == L"Hi pal42, back soon\r\nbye"; }));
    Shot(L"03-reader");
    // The pane takes the keyboard too: Tab reaches it, and the arrows scroll it.
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return HasFocus(pane); }));
}

}  // namespace
}  // namespace velmora
