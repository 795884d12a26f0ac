// Every window reached with the keyboard alone, from a fresh start: the main window's menu keys
// open "Options" from whichever control has the keys, the entry is chosen with arrows and Enter,
// and the window opens with the keys where a click would have put them.
#include <gtest/gtest.h>

#include <vector>
// The list view's messages need windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "aim/PersonalControls.h"
#include "app/AwayControls.h"
#include "autoreply/AutoReplyControls.h"
#include "storage/Reg.h"
#include "stored/BackUpControls.h"
#include "stored/CopyControls.h"
#include "stored/RestoreControls.h"
#include "stored/StoredControls.h"
#include "support/RealInput.h"
#include "support/ShellRecorder.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using namespace testing;

HWND PopUpMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

struct MenuEntry {
    const wchar_t* title;
    int downPresses;  // from a menu just opened, separators stepped over
    int focusId;      // the control a click on the entry leaves the keys in; 0: the first of the Tab order
};

constexpr MenuEntry kEntries[] = {
    {L"Personal Away Msg", 1, PersonalIds::Text1}, {L"Help", 2, 0},       {L"About", 3, 0}, {L"Preview", 4, 0},
    {L"Stored Messages", 5, StoredIds::Messages},  {L"Auto Reply", 6, 0},
};

class KeyboardRealInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil([&] { return velmora_.MainWindow() && IsWindowVisible(velmora_.MainWindow()); }));
        // A fresh start leaves the keys in the first field.
        ASSERT_TRUE(WaitUntil([&] { return HasFocus(velmora_.Control(Text1)); }));
        Settle();
    }
    void Shot(const std::wstring& step) const {
        Settle();
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        SaveScreenshot(L"Keyboard-" + std::wstring(name, name + strlen(name)) + L"-" + step);
    }
    // The menu opened by a key stands under the "Options" label.
    bool MenuUnderOptions() const {
        HWND menu = PopUpMenu();
        if (!menu) return false;
        RECT label{}, shown{};
        GetWindowRect(velmora_.Control(Label2), &label);
        GetWindowRect(menu, &shown);
        return shown.left == label.left && shown.top == label.bottom;
    }
    void OpenByKeys(std::initializer_list<WORD> menuKey, const MenuEntry& entry) const {
        PressKeys(menuKey);
        ASSERT_TRUE(WaitUntil([&] { return MenuUnderOptions(); })) << "no Options menu for " << entry.title;
        for (int press = 0; press < entry.downPresses; ++press) PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        ASSERT_TRUE(WaitUntil([] { return PopUpMenu() == nullptr; }));
        HWND window = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (window = velmora_.FindWindowTitled(entry.title)) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; })) << entry.title;
        HWND expected = entry.focusId ? GetDlgItem(window, entry.focusId) : GetNextDlgTabItem(window, nullptr, FALSE);
        // A window with nothing to focus (About) takes the keys itself.
        if (!expected) expected = window;
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(window) == expected || GetParent(FocusOf(window)) == expected; }))
            << entry.title;
    }
    void CloseByKeys(const wchar_t* title) const {
        HWND window = velmora_.FindWindowTitled(title);
        PressKeys({VK_MENU, VK_F4});
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); })) << title;
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == velmora_.MainWindow(); }));
    }

    TempFolder folder_;
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(KeyboardRealInput, F10OpensEveryWindowOfTheMenuFromTheFirstField) {
    for (const MenuEntry& entry : kEntries) {
        ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_F10}, entry));
        Shot(entry.title);
        ASSERT_NO_FATAL_FAILURE(CloseByKeys(entry.title));
        // Closing gives the keys back where they were.
        EXPECT_TRUE(WaitUntil([&] { return HasFocus(velmora_.Control(Text1)); })) << entry.title;
    }
}

TEST_F(KeyboardRealInput, ShiftF10AndTheMenuKeyOpenOptionsFromAButtonOrAList) {
    // Tab to the font colour's ".." button, then on to the size list.
    for (int id : {Text2_0, Text5, Text6, Command7}) {
        PressKey(VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return HasFocus(velmora_.Control(id)); })) << id;
    }
    ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_SHIFT, VK_F10}, kEntries[0]));
    ASSERT_NO_FATAL_FAILURE(CloseByKeys(kEntries[0].title));
    ASSERT_TRUE(WaitUntil([&] { return HasFocus(velmora_.Control(Command7)); }));
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return HasFocus(velmora_.Control(Combo1)); }));
    ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_APPS}, kEntries[2]));
    ASSERT_NO_FATAL_FAILURE(CloseByKeys(kEntries[2].title));
    // The size stays as it was: the key did not move the list.
    EXPECT_EQ(velmora_.Text(Combo1), L"1");
}

TEST_F(KeyboardRealInput, ATextBoxKeepsItsOwnMenuOnShiftF10AndTheMenuKey) {
    for (std::initializer_list<WORD> key : {std::initializer_list<WORD>{VK_SHIFT, VK_F10}, {VK_APPS}}) {
        PressKeys(key);
        ASSERT_TRUE(WaitUntil([] { return PopUpMenu() != nullptr; }));
        Settle();
        EXPECT_FALSE(MenuUnderOptions());
        PressKey(VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([] { return PopUpMenu() == nullptr; }));
    }
    // F10 there opens Options.
    ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_F10}, kEntries[1]));
    ASSERT_NO_FATAL_FAILURE(CloseByKeys(kEntries[1].title));
}

TEST_F(KeyboardRealInput, TheColourPickersOpenFromTheirButtonsBySpace) {
    const std::pair<int, const wchar_t*> pickers[] = {{Command7, L"Font Color"}, {Command8, L"Body Color"}};
    for (const auto& [button, title] : pickers) {
        for (int presses = 0; presses < 20 && !HasFocus(velmora_.Control(button)); ++presses) {
            PressKey(VK_TAB);
            Settle();
        }
        ASSERT_TRUE(HasFocus(velmora_.Control(button))) << title;
        PressKey(VK_SPACE);
        HWND picker = nullptr;
        ASSERT_TRUE(WaitUntil([&, title = title] { return (picker = velmora_.FindWindowTitled(title)) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == picker; })) << title;
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(picker) == GetNextDlgTabItem(picker, nullptr, FALSE); })) << title;
        CloseByKeys(title);
    }
}

TEST_F(KeyboardRealInput, CtrlEnterSwitchesThePersonalWatchFromEveryBoxAndTypesNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_F10}, kEntries[0]));
    HWND personal = velmora_.FindWindowTitled(kEntries[0].title);
    HWND reply = GetDlgItem(personal, PersonalIds::Text3);
    const std::wstring replyBefore = WindowText(reply);
    const std::wstring off = WindowText(GetDlgItem(personal, PersonalIds::Label2));
    PressKeys({VK_CONTROL, VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(personal, PersonalIds::Label2)) != off; }));
    Shot(L"01-on");
    // From the reply box, where Enter starts a new line, it switches back and adds none.
    ASSERT_TRUE(ClickToFocus(reply));
    PressKeys({VK_CONTROL, VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(personal, PersonalIds::Label2)) == off; }));
    Settle();
    EXPECT_EQ(WindowText(reply), replyBefore);
}

TEST_F(KeyboardRealInput, EnterInAboutOpensItsLink) {
    ShellRecorder shell;
    ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_F10}, kEntries[2]));
    PressKey(VK_RETURN);
    EXPECT_EQ(shell.WaitForCalls(1), (std::vector<ShellCall>{{SW_SHOWMAXIMIZED, L"https://velmora.github.io"}}));
}

TEST_F(KeyboardRealInput, EscClosesVelmorasOwnWindowsFromAnyField) {
    for (const MenuEntry& entry : {kEntries[3], kEntries[4], kEntries[5]}) {
        ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_F10}, entry));
        HWND window = velmora_.FindWindowTitled(entry.title);
        // From the second field as well as the first.
        PressKey(VK_TAB);
        Settle();
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); })) << entry.title;
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == velmora_.MainWindow(); }));
    }
}

TEST_F(KeyboardRealInput, StoredMessagesLoadsOnEnterAndItsRemoveQuestionDefaultsToNo) {
    const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";
    const std::wstring screenName = UniqueScreenName(L"keys");
    struct Cleanup {
        std::wstring key;
        ~Cleanup() { DeleteRegistryTree(HKEY_CURRENT_USER, key); }
    } cleanup{kUsers + screenName};
    velmora_.Type(Text5, screenName);
    velmora_.Type(Text2_0, L"Back at two");
    velmora_.Click(Command5);
    const auto stored = [&] {
        return ReadRegistryValue(HKEY_CURRENT_USER, kUsers + screenName + L"\\IAmGoneList", L"GoneMsg1").has_value();
    };
    ASSERT_TRUE(WaitUntil(stored));
    velmora_.Type(Text2_0, L"typed over");

    ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_F10}, kEntries[4]));
    HWND window = velmora_.FindWindowTitled(kEntries[4].title);
    HWND list = GetDlgItem(window, StoredIds::Messages);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }));
    // Load is the default button: Enter in the list loads the chosen message.
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return velmora_.Text(Text2_0) == L"Back at two"; })) << velmora_.Text(Text2_0);

    // Alt+D presses Delete; Enter on the question keeps the message.
    PressKeys({VK_MENU, 'D'});
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (question = VisibleDialogOfProcess(velmora_.ProcessId())) != nullptr; }));
    Shot(L"01-question");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
    Settle();
    EXPECT_TRUE(stored());
    // Alt+S goes to the screen names.
    PressKeys({VK_MENU, 'S'});
    EXPECT_TRUE(WaitUntil([&] { return HasFocus(GetDlgItem(window, StoredIds::ScreenNames)); }));
}

TEST_F(KeyboardRealInput, AutoReplyAddsARowToTypeInAndASpaceNeverRemovesOneBySurprise) {
    ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_F10}, kEntries[5]));
    HWND window = velmora_.FindWindowTitled(kEntries[5].title);
    HWND rules = GetDlgItem(window, AutoReplyIds::Rules);
    const auto rows = [&] { return SendMessageW(rules, LB_GETCOUNT, 0, 0); };
    const LRESULT before = rows();
    // Alt+A adds a row and leaves the keys in its names.
    PressKeys({VK_MENU, 'A'});
    ASSERT_TRUE(WaitUntil([&] { return rows() == before + 1; }));
    ASSERT_TRUE(WaitUntil([&] { return HasFocus(GetDlgItem(window, AutoReplyIds::Names)); }));
    TypeText(L"pal42");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(window, AutoReplyIds::Names)) == L"pal42"; }));
    // Alt+M removes it; the keys leave the button, so the spaces typed next remove nothing.
    PressKeys({VK_MENU, 'M'});
    ASSERT_TRUE(WaitUntil([&] { return rows() == before; }));
    Settle();
    EXPECT_FALSE(HasFocus(GetDlgItem(window, AutoReplyIds::Remove)));
    TypeText(L"   ");
    Settle();
    EXPECT_EQ(rows(), before);
    // Alt+R reaches the reply box through its label.
    PressKeys({VK_MENU, 'R'});
    EXPECT_TRUE(WaitUntil([&] { return HasFocus(GetDlgItem(window, AutoReplyIds::Reply)); }));
}

TEST_F(KeyboardRealInput, CopyBackUpAndRestoreFromStoredMessagesByTheirKeys) {
    const std::wstring from = UniqueScreenName(L"keys");
    const std::wstring to = UniqueScreenName(L"pal");
    struct Cleanup {
        std::vector<std::wstring> names;
        ~Cleanup() {
            for (const std::wstring& name : names) DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);
        }
    } cleanup{{from, to}};
    velmora_.Type(Text5, from);
    velmora_.Type(Text2_0, L"Back at two");
    velmora_.Click(Command5);
    const auto storedFor = [](const std::wstring& name) {
        return ReadRegistryValue(HKEY_CURRENT_USER, AwayKeyPath(name), L"GoneMsg1");
    };
    ASSERT_TRUE(WaitUntil([&] { return storedFor(from).has_value(); }));
    ASSERT_NO_FATAL_FAILURE(OpenByKeys({VK_F10}, kEntries[4]));
    HWND stored = velmora_.FindWindowTitled(kEntries[4].title);
    ASSERT_TRUE(
        WaitUntil([&] { return SendMessageW(GetDlgItem(stored, StoredIds::Messages), LB_GETCURSEL, 0, 0) == 0; }));

    // Alt+C opens Copy, with the keys in the screen name to copy to.
    PressKeys({VK_MENU, 'C'});
    HWND copy = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (copy = velmora_.FindWindowTitled(L"Copy Stored Messages")) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == copy; }));
    HWND toName = GetDlgItem(copy, CopyIds::ToScreenName);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(copy) == toName || GetParent(FocusOf(copy)) == toName; }));
    // Alt+A chooses all messages, Alt+N goes back to the screen name; Enter there copies.
    PressKeys({VK_MENU, 'A'});
    EXPECT_TRUE(WaitUntil(
        [&] { return SendMessageW(GetDlgItem(copy, CopyIds::AllMessages), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    PressKeys({VK_MENU, 'N'});
    ASSERT_TRUE(WaitUntil([&] { return GetParent(FocusOf(copy)) == toName; }));
    TypeText(to);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(toName) == to; }));
    Shot(L"01-copy");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return storedFor(to).has_value(); }));
    EXPECT_EQ(storedFor(to)->data, storedFor(from)->data);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(copy); }));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == stored; }));

    // Alt+B opens Back Up; Alt+F goes to its file, and Enter there backs up.
    const std::wstring backup = folder_.File(L"keys.reg");
    PressKeys({VK_MENU, 'B'});
    HWND backUp = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (backUp = velmora_.FindWindowTitled(L"Back Up Stored Messages")) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == backUp; }));
    PressKeys({VK_MENU, 'F'});
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(backUp) == GetDlgItem(backUp, BackUpIds::FilePath); }));
    TypeText(backup);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(backup).has_value(); }));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(backUp); }));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == stored; }));

    // The copy lost; Alt+R opens Restore, and Enter after the path typed reads the backup.
    const std::optional<RegistryValue> copied = storedFor(to);
    DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + to);
    PressKeys({VK_MENU, 'R'});
    HWND restore = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (restore = velmora_.FindWindowTitled(L"Restore Stored Messages")) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(restore) == GetDlgItem(restore, RestoreIds::FilePath); }));
    TypeText(backup);
    PressKey(VK_RETURN);
    HWND found = GetDlgItem(restore, RestoreIds::Found);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(found, LVM_GETITEMCOUNT, 0, 0) >= 2; }));
    // In the list Enter restores nothing by surprise; Alt+R presses Restore.
    for (int press = 0; press < 3; ++press) PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(restore) == found; }));
    PressKey(VK_RETURN);
    Settle();
    EXPECT_FALSE(storedFor(to).has_value());
    Shot(L"02-restore");
    PressKeys({VK_MENU, 'R'});
    ASSERT_TRUE(WaitUntil([&] { return storedFor(to).has_value(); }));
    EXPECT_EQ(storedFor(to)->data, copied->data);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(restore); }));
}

}  // namespace
}  // namespace velmora
