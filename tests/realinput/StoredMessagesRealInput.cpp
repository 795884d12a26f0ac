// A stored message loaded back into the main window with pointer clicks.
// (The menu entry itself is opened by pointer and keys with the others: PersonalMessageRealInput.)
#include <gtest/gtest.h>

#include "app/AwayControls.h"
#include "stored/StoredControls.h"
#include "support/RealInput.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using namespace testing;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

class StoredMessagesRealInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil([&] { return velmora_.MainWindow() && IsWindowVisible(velmora_.MainWindow()); }));
        Settle();
    }
    void TearDown() override { DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_); }

    void TypeInto(int id, const std::wstring& text) const {
        ASSERT_TRUE(ClickToFocus(velmora_.Control(id)));
        SelectAllInField(id == Text2_0);
        TypeText(text);
        ASSERT_TRUE(WaitUntil([&] { return velmora_.Text(id) == text; })) << velmora_.Text(id);
    }
    void Shot(const std::wstring& step) const {
        Settle();
        SaveScreenshot(L"Stored-" + step);
    }

    TempFolder folder_;
    std::wstring screenName_ = UniqueScreenName(L"hand");
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(StoredMessagesRealInput, AStoredMessageLoadsWithClicks) {
    TypeInto(Text5, screenName_);
    TypeInto(Text1, L"Lunch");
    TypeInto(Text2_0, L"Back at two");
    ClickControl(velmora_.Control(Command5));
    ASSERT_TRUE(WaitUntil([&] {
        return ReadRegistryValue(HKEY_CURRENT_USER, kUsers + screenName_ + L"\\IAmGoneList", L"GoneMsg1").has_value();
    }));
    TypeInto(Text2_0, L"typed over");

    // "Stored Messages" is the entry above the last ("Auto Reply"): six entries and two
    // separators half as high, inside a frame of a few pixels.
    ClickControl(velmora_.Control(Label2));
    ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"#32768", nullptr) != nullptr; }));
    Settle();
    RECT menu{};
    GetWindowRect(FindWindowW(L"#32768", nullptr), &menu);
    const int row = (menu.bottom - menu.top - 6) * 2 / 14;
    ClickAt(POINT{(menu.left + menu.right) / 2, menu.bottom - 3 - row - row / 2});
    HWND stored = velmora_.WaitForWindowTitled(L"Stored Messages");
    ASSERT_NE(stored, nullptr);
    HWND list = GetDlgItem(stored, StoredIds::Messages);
    // The list is read beside the window and comes a moment after it, its first row chosen.
    ASSERT_TRUE(WaitUntil(
        [&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1 && SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }));
    Shot(L"01-open");
    ClickControlAt(list, 30, 8);  // the first row
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(stored, StoredIds::Load)) != FALSE; }));
    ClickControl(GetDlgItem(stored, StoredIds::Load));
    EXPECT_TRUE(WaitUntil([&] { return velmora_.Text(Text2_0) == L"Back at two"; })) << velmora_.Text(Text2_0);
    Shot(L"02-loaded-by-pointer");

    EXPECT_EQ(velmora_.Text(Text1), L"Lunch");
}

}  // namespace
}  // namespace velmora
