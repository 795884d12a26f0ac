// Stored messages moved as a person moves them: one message copied to another screen name with
// the pointer and typed keys, and a backup written and restored the same way.
#include <gtest/gtest.h>

#include "app/AwayControls.h"
#include "storage/Reg.h"
#include "stored/BackUpControls.h"
#include "stored/CopyControls.h"
#include "stored/RestoreControls.h"
#include "stored/StoredControls.h"
#include "support/RealInput.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using namespace testing;

class TravelRealInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil([&] { return velmora_.MainWindow() && IsWindowVisible(velmora_.MainWindow()); }));
        Settle();
    }
    void TearDown() override {
        for (const std::wstring& name : {from_, to_})
            DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);
    }

    void TypeInto(HWND field, const std::wstring& text, bool multiLine = false) const {
        ASSERT_TRUE(ClickToFocus(field));
        SelectAllInField(multiLine);
        TypeText(text);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(field) == text; })) << Narrow(WindowText(field));
    }
    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    std::optional<RegistryValue> Stored(const std::wstring& screenName, const wchar_t* valueName) const {
        return ReadRegistryValue(HKEY_CURRENT_USER, AwayKeyPath(screenName), valueName);
    }
    void Shot(const std::wstring& step) const {
        Settle();
        SaveScreenshot(L"Travel-" + step);
    }
    // A message stored with Update, then Stored Messages opened from the Options menu by pointer.
    HWND StoreAndOpenStored(const std::wstring& label, const std::wstring& message) {
        TypeInto(velmora_.Control(Text5), from_);
        TypeInto(velmora_.Control(Text1), label);
        TypeInto(velmora_.Control(Text2_0), message, true);
        ClickControl(velmora_.Control(Command5));
        EXPECT_TRUE(WaitUntil([&] { return Stored(from_, L"GoneMsg1").has_value(); }));
        // "Stored Messages" is the entry above the last: six entries and two separators half as
        // high, inside a frame of a few pixels.
        ClickControl(velmora_.Control(Label2));
        EXPECT_TRUE(WaitUntil([] { return FindWindowW(L"#32768", nullptr) != nullptr; }));
        Settle();
        RECT menu{};
        GetWindowRect(FindWindowW(L"#32768", nullptr), &menu);
        const int row = (menu.bottom - menu.top - 6) * 2 / 14;
        ClickAt(POINT{(menu.left + menu.right) / 2, menu.bottom - 3 - row - row / 2});
        HWND stored = velmora_.WaitForWindowTitled(L"Stored Messages");
        HWND list = GetDlgItem(stored, StoredIds::Messages);
        EXPECT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }));
        return stored;
    }

    TempFolder folder_;
    std::wstring from_ = UniqueScreenName(L"Harlowpine");
    std::wstring to_ = UniqueScreenName(L"pal");
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(TravelRealInput, OneMessageIsCopiedToAnotherScreenNameByPointerAndKeys) {
    HWND stored = StoreAndOpenStored(L"Weekend", L"Gone for the weekend");
    ClickControl(GetDlgItem(stored, StoredIds::CopyTo));
    HWND copy = velmora_.WaitForWindowTitled(L"Copy Stored Messages");
    ASSERT_NE(copy, nullptr);
    // The screen name box has the keys when the window opens.
    ASSERT_TRUE(WaitUntil(
        [&] { return HasFocus(FindWindowExW(GetDlgItem(copy, CopyIds::ToScreenName), nullptr, L"Edit", nullptr)); }));
    TypeText(to_);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(copy, CopyIds::ToScreenName)) == to_; }));
    Shot(L"01-copy");
    ClickControl(GetDlgItem(copy, CopyIds::Copy));
    ASSERT_TRUE(WaitUntil([&] { return Stored(to_, L"GoneMsg1").has_value(); }));
    EXPECT_EQ(Stored(to_, L"GoneMsg1")->data, Stored(from_, L"GoneMsg1")->data);
    EXPECT_TRUE(
        WaitUntil([&] { return WindowText(GetDlgItem(copy, CopyIds::Outcome)).find(L"1 message copied") == 0; }));
    Shot(L"02-copied");
}

TEST_F(TravelRealInput, ABackupIsWrittenAndRestoredByPointerAndKeys) {
    HWND stored = StoreAndOpenStored(L"Lunch", L"Out to lunch,\r\nback at two");
    const std::vector<BYTE> before = Stored(from_, L"GoneMsg1")->data;
    ClickControl(GetDlgItem(stored, StoredIds::BackUp));
    HWND backUp = velmora_.WaitForWindowTitled(L"Back Up Stored Messages");
    ASSERT_NE(backUp, nullptr);
    const std::wstring path = folder_.File(L"backup.reg");
    TypeInto(GetDlgItem(backUp, BackUpIds::FilePath), path);
    ClickControl(GetDlgItem(backUp, BackUpIds::BackUp));
    ASSERT_TRUE(WaitUntil(
        [&] { return WindowText(GetDlgItem(backUp, BackUpIds::Outcome)).find(L"backed up") != std::wstring::npos; }));
    Shot(L"03-backed-up");

    DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + from_);
    ClickControl(GetDlgItem(stored, StoredIds::RestoreFrom));
    HWND restore = velmora_.WaitForWindowTitled(L"Restore Stored Messages");
    ASSERT_NE(restore, nullptr);
    TypeInto(GetDlgItem(restore, RestoreIds::FilePath), path);
    ClickControl(GetDlgItem(restore, RestoreIds::ReadFile));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(restore, RestoreIds::Restore)) != FALSE; }));
    Shot(L"04-read");
    ClickControl(GetDlgItem(restore, RestoreIds::Restore));
    ASSERT_TRUE(WaitUntil([&] { return Stored(from_, L"GoneMsg1").has_value(); }));
    EXPECT_EQ(Stored(from_, L"GoneMsg1")->data, before);
    Shot(L"05-restored");
}

}  // namespace
}  // namespace velmora
