// The window "Stored Messages" made in this process, opened from the main window's menu, while
// the AIM client's keys are removed and made again under it. HKEY_CURRENT_USER stands for a key
// of this test's own in this process (RegOverridePredefKey), so the client's whole key can go
// without touching the keys of the tests running beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "storage/Reg.h"
#include "stored/StoredControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::WaitUntil;

class StoredMessagesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, own_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr),
            ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_), ERROR_SUCCESS);
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow();
        ASSERT_NE(main_, nullptr);
    }
    void TearDown() override {
        if (stored_) DestroyWindow(stored_);
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(root_);
        testing::DeleteRegistryTree(HKEY_CURRENT_USER, own_);
    }
    void OpenStored() {
        SendMessageW(main_->Handle(), WM_COMMAND, MAKEWPARAM(AwayIds::MenuStored, 0), 0);
        stored_ = testing::FindWindowOfProcess(GetCurrentProcessId(), L"Stored Messages");
        ASSERT_NE(stored_, nullptr);
    }
    // The slots the list shows, each row's text before its tab.
    std::vector<std::wstring> Slots() const {
        HWND list = GetDlgItem(stored_, StoredIds::Messages);
        std::vector<std::wstring> slots;
        for (LRESULT i = 0, count = SendMessageW(list, LB_GETCOUNT, 0, 0); i < count; ++i) {
            wchar_t row[256]{};
            if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
                SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
            const std::wstring text = row;
            slots.push_back(text.substr(0, text.find(L'\t')));
        }
        return slots;
    }
    bool Shows(const std::vector<std::wstring>& slots) const {
        return WaitUntil([&] { return Slots() == slots; });
    }

    std::wstring own_ = L"Software\\VelmoraTest\\" + testing::UniqueScreenName(L"user");
    HKEY root_ = nullptr;
    Program program_{GetModuleHandleW(nullptr)};
    AwayWindow* main_ = nullptr;
    HWND stored_ = nullptr;
    const std::wstring name_ = L"Harlowpine";
};

TEST_F(StoredMessagesWindowTest, TheListFollowsTheStoreAfterTheClientsWholeKeyIsRemovedAndWrittenAnew) {
    WriteAwayMessage(name_, L"1", L"first");
    OpenStored();
    EXPECT_TRUE(Shows({L"1"}));
    // As an IM client's reinstall or a cleanup does it.
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, L"SOFTWARE\\America Online");
    EXPECT_TRUE(Shows({}));
    WriteAwayMessage(name_, L"2", L"second");
    EXPECT_TRUE(Shows({L"2"}));
    WriteAwayMessage(name_, L"4", L"third");
    EXPECT_TRUE(Shows({L"2", L"4"}));
}

TEST_F(StoredMessagesWindowTest, TheListFollowsTheStoreAfterAnEmptyUsersKeyIsRemovedAndMadeAgain) {
    HKEY users = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, UsersKeyPath().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &users, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(users);
    OpenStored();
    EXPECT_TRUE(Shows({}));
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, UsersKeyPath().c_str()), ERROR_SUCCESS);
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, UsersKeyPath().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &users, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(users);
    WriteAwayMessage(name_, L"3", L"back");
    EXPECT_TRUE(Shows({L"3"}));
}

}  // namespace
}  // namespace velmora
