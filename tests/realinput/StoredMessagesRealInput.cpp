// Stored Messages opened from the "Options" menu by pointer and by keyboard, and a stored
// message loaded back into the main window with clicks and key presses.
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
        ASSERT_NE(velmora_.MainWindow(), nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(velmora_.MainWindow()) != FALSE; }));
        Settle();
    }
    void TearDown() override { DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_); }

    void TypeInto(int id, const std::wstring& text, bool multiLine = false) const {
        ASSERT_TRUE(ClickToFocus(velmora_.Control(id)));
        SelectAllInField(multiLine);
        TypeText(text);
        ASSERT_TRUE(WaitUntil([&] { return velmora_.Text(id) == text; })) << velmora_.Text(id);
    }
    static HWND PopUpMenu() {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu) ? menu : nullptr;
    }
    // "Stored Messages" is the menu's last entry: by pointer a click just above the menu's
    // bottom frame, by keyboard one Up from no choice (which wraps to the last entry) and Enter.
    HWND OpenStored(bool withPointer) const {
        ClickControl(velmora_.Control(Label2));
        if (!WaitUntil([] { return PopUpMenu() != nullptr; })) return nullptr;
        Settle();
        if (withPointer) {
            RECT frame{};
            GetWindowRect(PopUpMenu(), &frame);
            ClickAt(POINT{(frame.left + frame.right) / 2, frame.bottom - 8});
        } else {
            PressKey(VK_UP);
            PressKey(VK_RETURN);
        }
        return velmora_.WaitForWindowTitled(L"Stored Messages");
    }
    void Shot(const std::wstring& step) const {
        Settle();
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        SaveScreenshot(L"Stored-" + std::wstring(name, name + strlen(name)) + L"-" + step);
    }
    // A message stored with the main window's Update, then the message box typed over.
    void StoreLunch() const {
        TypeInto(Text5, screenName_);
        TypeInto(Text1, L"Lunch");
        TypeInto(Text2_0, L"Back at two", true);
        ClickControl(velmora_.Control(Command5));
        ASSERT_TRUE(WaitUntil([&] {
            return ReadRegistryValue(HKEY_CURRENT_USER, kUsers + screenName_ + L"\\IAmGoneList", L"GoneMsg1")
                .has_value();
        }));
        TypeInto(Text1, L"Something else");
        TypeInto(Text2_0, L"typed over", true);
    }

    TempFolder folder_;
    std::wstring screenName_ = UniqueScreenName(L"hand");
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(StoredMessagesRealInput, OpenedByPointerAMessageLoadsWithClicks) {
    StoreLunch();
    HWND stored = OpenStored(/*withPointer=*/true);
    ASSERT_NE(stored, nullptr);
    HWND list = GetDlgItem(stored, StoredIds::Messages);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }));
    Shot(L"01-open");
    // The first row, near the list's top.
    ClickControlAt(list, 30, 8);
    ClickControl(GetDlgItem(stored, StoredIds::Load));
    EXPECT_TRUE(WaitUntil([&] { return velmora_.Text(Text2_0) == L"Back at two"; })) << velmora_.Text(Text2_0);
    EXPECT_EQ(velmora_.Text(Text1), L"Lunch");
    Shot(L"02-loaded");
}

TEST_F(StoredMessagesRealInput, OpenedByKeyboardAMessageLoadsWithKeys) {
    StoreLunch();
    HWND stored = OpenStored(/*withPointer=*/false);
    ASSERT_NE(stored, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == stored; }));
    Settle();
    HWND list = GetDlgItem(stored, StoredIds::Messages);
    // Tab goes round the chooser, the list and the buttons.
    for (int press = 0; press < 5 && !HasFocus(list); ++press) PressKey(VK_TAB);
    ASSERT_TRUE(HasFocus(list));
    PressKey(VK_HOME);
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return HasFocus(GetDlgItem(stored, StoredIds::Load)); }));
    Shot(L"01-on-load");
    PressKey(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return velmora_.Text(Text2_0) == L"Back at two"; })) << velmora_.Text(Text2_0);
    EXPECT_EQ(velmora_.Text(Text1), L"Lunch");
    Shot(L"02-loaded");
    PressKeys({VK_MENU, VK_F4});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(stored); }));
}

}  // namespace
}  // namespace velmora
