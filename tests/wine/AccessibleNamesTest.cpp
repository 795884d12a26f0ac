// Every control of every window, the design's and Velmora's own, made in this process and asked
// through oleacc, as a screen reader asks: each has a name that says what it is for, and a role.
#include <windows.h>
// (oleacc.h needs windows.h first.)
#include <gtest/gtest.h>
#include <oleacc.h>
// (commctrl.h too.)
#include <commctrl.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "about/AboutControls.h"
#include "aim/PersonalControls.h"
#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "autoreply/AutoReplyControls.h"
#include "colour/ColourPickerControls.h"
#include "preview/PreviewControls.h"
#include "storage/Reg.h"
#include "stored/BackUpControls.h"
#include "stored/CopyControls.h"
#include "stored/RestoreControls.h"
#include "stored/StoredControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

struct Accessible {
    std::wstring name;
    long role = 0;
};

Accessible AccessibleOf(HWND control) {
    Accessible found;
    IAccessible* accessible = nullptr;
    // __uuidof: the IID_IAccessible that MinGW's libraries link is not the interface's.
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))) ||
        !accessible)
        return found;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name) {
        found.name = name;
        SysFreeString(name);
    }
    VARIANT role{};
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) found.role = role.lVal;
    accessible->Release();
    return found;
}

std::wstring ClassOf(HWND control) {
    wchar_t name[64]{};
    GetClassNameW(control, name, 64);
    return name;
}

// A caption as it is shown and read: "&" marks the access key, "&&" is an "&".
std::wstring WithoutAccessKey(const std::wstring& text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && ++i == text.size()) break;
        shown += text[i];
    }
    return shown;
}

// The role each kind of control has where oleacc knows the kind; Wine's knows only a text box
// and calls the others a client area.
long RoleOfKind(HWND control) {
    const std::wstring kind = ClassOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (lstrcmpiW(kind.c_str(), L"Edit") == 0) return ROLE_SYSTEM_TEXT;
    if (lstrcmpiW(kind.c_str(), L"ComboBox") == 0) return ROLE_SYSTEM_COMBOBOX;
    if (lstrcmpiW(kind.c_str(), L"ListBox") == 0 || lstrcmpiW(kind.c_str(), WC_LISTVIEWW) == 0) return ROLE_SYSTEM_LIST;
    if (lstrcmpiW(kind.c_str(), L"ScrollBar") == 0) return ROLE_SYSTEM_SCROLLBAR;
    if (lstrcmpiW(kind.c_str(), L"Static") == 0) return ROLE_SYSTEM_STATICTEXT;
    if (lstrcmpiW(kind.c_str(), L"Button") == 0 && !(style & BS_PUSHLIKE)) {
        if ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX) return ROLE_SYSTEM_CHECKBUTTON;
        if ((style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) return ROLE_SYSTEM_RADIOBUTTON;
    }
    if (lstrcmpiW(kind.c_str(), L"Button") == 0) return ROLE_SYSTEM_PUSHBUTTON;
    return ROLE_SYSTEM_CLIENT;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// A control that shows no name of its own (a list, a drop-down list, a bar) is named by the
// label just before it among its window's children, shown or not: the name Windows' oleacc
// gives it. Wine's reads the control's own text instead, and takes the label for a text box.
std::wstring LabelBefore(HWND control) {
    HWND before = GetWindow(control, GW_HWNDPREV);
    return before && lstrcmpiW(ClassOf(before).c_str(), L"Static") == 0 ? testing::WindowText(before) : L"";
}

class AccessibleNames : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow()->Handle();
    }
    void TearDown() override {
        testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + screenName_);
        CoUninitialize();
    }
    HWND Open(int menuEntry, const wchar_t* title) const {
        SendMessageW(main_, WM_COMMAND, MAKEWPARAM(menuEntry, 0), 0);
        return testing::FindWindowOfProcess(GetCurrentProcessId(), title);
    }
    HWND Press(int button, const wchar_t* title) const {
        SendMessageW(GetDlgItem(main_, button), BM_CLICK, 0, 0);
        return testing::FindWindowOfProcess(GetCurrentProcessId(), title);
    }

    // A window Stored Messages opens, once its reading has chosen the first message.
    HWND OpenFromStored(HWND stored, int button, const wchar_t* title) const {
        HWND messages = GetDlgItem(stored, StoredIds::Messages);
        if (!testing::WaitUntil([&] { return SendMessageW(messages, LB_GETCURSEL, 0, 0) == 0; })) return nullptr;
        SendMessageW(GetDlgItem(stored, button), BM_CLICK, 0, 0);
        return testing::FindWindowOfProcess(GetCurrentProcessId(), title);
    }

    Program program_{GetModuleHandleW(nullptr)};
    HWND main_ = nullptr;
    const std::wstring screenName_ = testing::UniqueScreenName(L"named");
};

TEST_F(AccessibleNames, EveryControlOfEveryWindowHasANameThatSaysWhatItIsForAndItsRole) {
    using namespace AwayIds;
    // A message stored, so Stored Messages offers to copy it; its label has an "&".
    testing::TypeInto(GetDlgItem(main_, Text1), L"Tom & Jerry");
    testing::TypeInto(GetDlgItem(main_, Text5), screenName_);
    testing::TypeInto(GetDlgItem(main_, Text2_0), L"Back at two");
    SendMessageW(GetDlgItem(main_, Command5), BM_CLICK, 0, 0);
    ASSERT_TRUE(testing::WaitUntil([&] {
        return testing::ReadRegistryValue(HKEY_CURRENT_USER, AwayKeyPath(screenName_), L"GoneMsg1").has_value();
    }));
    std::vector<std::pair<HWND, std::map<int, std::wstring>>> windows{
        {main_,
         {{Text1, L"Labels for message"},
          {Text2_0, L"Message"},
          {Text5, L"Screen name to update"},
          {Text6, L"Font Color"},
          {Combo1, L"Font Size"},
          {Text7, L"Body Color"},
          {Combo2, L"Msg #"},
          // The ".." buttons keep their caption; a screen reader says what they open.
          {Command7, L"Mix the font colour..."},
          {Command8, L"Mix the body colour..."}}},
        {Open(MenuPerna, L"Personal Away Msg"),
         {{PersonalIds::Text1, L"Names to answer"},
          {PersonalIds::Text2, L"Last sender seen"},
          {PersonalIds::Text3, L"Reply"}}},
        {Open(MenuHlpe, L"Help"), {}},
        {Open(MenuAbast, L"About"), {}},
        {Open(MenuPreview, L"Preview"), {{PreviewIds::TextReader, L"Reader"}}},
        {Open(MenuStored, L"Stored Messages"),
         {{StoredIds::ScreenNames, L"Screen name"}, {StoredIds::Messages, L"Stored messages"}}},
        {Open(MenuAutoReply, L"Auto Reply"),
         {{AutoReplyIds::Rules, L"Rules: the first row whose names match the sender answers"},
          {AutoReplyIds::Names, L"Names\r\n(a, b, c)"},
          {AutoReplyIds::Reply, L"Reply"},
          {AutoReplyIds::AnswerAgain, L"Answer again after"},
          {AutoReplyIds::Idle, L"Only when I am away from the keyboard"},
          {AutoReplyIds::Log, L"Replies sent, newest first"}}},
    };
    const std::map<int, std::wstring> picker{{ColourPickerIds::H1_0, L"Red"},
                                             {ColourPickerIds::H1_1, L"Green"},
                                             {ColourPickerIds::H1_2, L"Blue"},
                                             {ColourPickerIds::Text1_0, L"Red value"},
                                             {ColourPickerIds::Text1_1, L"Green value"},
                                             {ColourPickerIds::Text1_2, L"Blue value"}};
    windows.emplace_back(Press(Command7, L"Font Color"), picker);
    windows.emplace_back(Press(Command8, L"Body Color"), picker);
    HWND stored = windows[5].first;
    windows.emplace_back(OpenFromStored(stored, StoredIds::CopyTo, L"Copy Stored Messages"),
                         std::map<int, std::wstring>{{CopyIds::ToScreenName, L"To screen name"},
                                                     {CopyIds::SlotBox, L"Slot to copy into"}});
    windows.emplace_back(
        OpenFromStored(stored, StoredIds::BackUp, L"Back Up Stored Messages"),
        std::map<int, std::wstring>{{BackUpIds::Names, L"Screen names to back up"}, {BackUpIds::FilePath, L"File"}});
    windows.emplace_back(OpenFromStored(stored, StoredIds::RestoreFrom, L"Restore Stored Messages"),
                         std::map<int, std::wstring>{{RestoreIds::FilePath, L"File"},
                                                     {RestoreIds::Found, L"Messages in the file"},
                                                     {RestoreIds::Skipped, L"Lines of the file left out"}});

    const bool wine = UnderWine();
    int checked = 0;
    for (const auto& [window, expected] : windows) {
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(testing::WindowText(window).size());
        size_t named = 0;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            const int id = GetDlgCtrlID(child);
            const std::wstring kind = ClassOf(child);
            // A label with nothing to say (a status line while all is well, the colour square)
            // is not read.
            if (lstrcmpiW(kind.c_str(), L"Static") == 0 && testing::WindowText(child).empty()) continue;
            SCOPED_TRACE(id);
            const Accessible found = AccessibleOf(child);
            const long role = RoleOfKind(child);
            EXPECT_TRUE(found.role == role || (wine && found.role == ROLE_SYSTEM_CLIENT)) << found.role;
            ++checked;
            if (kind == L"VelmoraRenderPane") {
                // A pane drawn by Velmora is read through its text: what it shows.
                EXPECT_EQ(found.name, testing::WindowText(child));
                continue;
            }
            const bool namedByLabel =
                lstrcmpiW(kind.c_str(), L"ComboBox") == 0 || lstrcmpiW(kind.c_str(), L"ListBox") == 0 ||
                lstrcmpiW(kind.c_str(), WC_LISTVIEWW) == 0 || lstrcmpiW(kind.c_str(), L"ScrollBar") == 0;
            const std::wstring name = namedByLabel ? WithoutAccessKey(LabelBefore(child)) : found.name;
            EXPECT_FALSE(name.empty()) << found.name;
            const auto wanted = expected.find(id);
            if (wanted == expected.end()) continue;
            ++named;
            EXPECT_EQ(WithoutAccessKey(name), wanted->second);
        }
        EXPECT_EQ(named, expected.size());
    }
    // Copy shows the label as typed, its "&" no access key.
    HWND thisMessage = GetDlgItem(windows[9].first, CopyIds::ThisMessage);
    EXPECT_NE(WithoutAccessKey(testing::WindowText(thisMessage)).find(L"'Tom & Jerry'"), std::wstring::npos);
    // The preview reads as the message it shows.
    HWND pane = GetDlgItem(windows[4].first, PreviewIds::Pane);
    EXPECT_NE(AccessibleOf(pane).name.find(L"Back at two"), std::wstring::npos) << AccessibleOf(pane).name;
    EXPECT_GT(checked, 80);
}

struct TipSearch {
    HWND window;
    HWND tips = nullptr;
};

// Named, not a lambda: a 32-bit callback is stdcall.
BOOL CALLBACK FindTipsOfWindow(HWND candidate, LPARAM found) {
    auto& wanted = *reinterpret_cast<TipSearch*>(found);
    wchar_t kind[64]{};
    GetClassNameW(candidate, kind, 64);
    if (lstrcmpiW(kind, TOOLTIPS_CLASSW) != 0 || GetWindow(candidate, GW_OWNER) != wanted.window) return TRUE;
    wanted.tips = candidate;
    return FALSE;
}

// The tip a window shows while the pointer rests on a control.
std::wstring TipOf(HWND window, HWND control) {
    TipSearch search{window};
    EnumThreadWindows(GetCurrentThreadId(), FindTipsOfWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.tips) return L"";
    wchar_t text[256]{};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(search.tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST_F(AccessibleNames, TheClickableLabelsTellTheirKeysInATip) {
    HWND personal = Open(AwayIds::MenuPerna, L"Personal Away Msg");
    HWND about = Open(AwayIds::MenuAbast, L"About");
    EXPECT_NE(TipOf(personal, GetDlgItem(personal, PersonalIds::Label2)).find(L"Ctrl+Enter"), std::wstring::npos);
    EXPECT_NE(TipOf(about, GetDlgItem(about, AboutIds::Label6)).find(L"(Enter)"), std::wstring::npos);
}

}  // namespace
}  // namespace velmora
