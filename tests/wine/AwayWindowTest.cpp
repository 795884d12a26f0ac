// The main window made in this process, examined through the window system.
#include <gtest/gtest.h>

#include <vector>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;

struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    RECT onPanel;  // x, y, width, height on the panel, which sits at 8,16
    const wchar_t* face;
    int height;  // font height at 96 DPI
    bool bold;
};

// The main window's design.
const Expected kExpected[] = {
    {Label1_4, L"Static", L"Screen name to update", {8, 56, 137, 17}, L"Tahoma", -11, true},
    {Text5, L"Edit", L"Harlowpine", {8, 72, 145, 19}, L"Tahoma", -11, true},
    {Label6_0, L"Static", L"%n - Persons Screename", {176, 64, 129, 17}, L"Tahoma", -9, true},
    {Label6_1, L"Static", L"%d - Current date", {176, 80, 97, 17}, L"Tahoma", -9, true},
    {Label6_2, L"Static", L"%t - Current time", {176, 96, 97, 17}, L"Tahoma", -9, true},
    {Label1_2, L"Static", L"Labels for message", {8, 96, 137, 17}, L"Tahoma", -11, true},
    {Text1, L"Edit", L"My Velmora Message", {8, 112, 145, 19}, L"Tahoma", -11, true},
    {Label2, L"Static", L"Options", {192, 112, 41, 17}, L"Tahoma", -9, true},
    {Label1_0, L"Static", L"Message", {8, 136, 97, 17}, L"Tahoma", -11, true},
    {Text2_0, L"Edit", L"", {8, 152, 209, 129}, L"Tahoma", -11, false},
    // Designed 9 pixels tall, less than its one line: it grows to the line, into free space.
    {Label4_0, L"Static", L"Font Color", {224, 144, 57, 11}, L"Tahoma", -9, true},
    {Text6, L"Edit", L"FFFFFF", {224, 160, 49, 19}, L"Tahoma", -11, false},
    {Command7, L"Button", L"..", {280, 160, 17, 17}, L"Tahoma", -11, false},
    {Label4_1, L"Static", L"Body Color", {224, 192, 57, 17}, L"Tahoma", -9, true},
    {Text7, L"Edit", L"FFFFFF", {224, 208, 49, 19}, L"Tahoma", -11, false},
    {Command8, L"Button", L"..", {280, 208, 17, 17}, L"Tahoma", -11, false},
    {Label5_0, L"Static", L"Font Size", {224, 240, 49, 17}, L"Tahoma", -9, true},
    {Combo1, L"ComboBox", L"1", {224, 256, 41, 21}, L"Tahoma", -11, false},
    {Label5_1, L"Static", L"Msg #", {8, 288, 49, 17}, L"Tahoma", -9, true},
    {Combo2, L"ComboBox", L"1", {40, 288, 49, 21}, L"Tahoma", -11, true},
    {Command2, L"Button", L"Delete", {96, 288, 57, 17}, L"Tahoma", -11, false},
    {Check1, L"Button", L"Brodcast Winamp", {200, 304, 121, 17}, L"Tahoma", -9, true},
    {Command5, L"Button", L"Update", {8, 320, 49, 25}, L"Tahoma", -11, false},
    {Command3, L"Button", L"Clear", {56, 320, 49, 25}, L"Tahoma", -11, false},
    {Check2, L"Button", L"Save Last Msg", {200, 320, 113, 17}, L"Tahoma", -9, true},
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow();
        ASSERT_NE(main_, nullptr);
    }
    HWND Main() const { return main_->Handle(); }
    HWND Control(int id) const { return GetDlgItem(Main(), id); }

    Program program_{GetModuleHandleW(nullptr)};
    AwayWindow* main_ = nullptr;
};

RECT ClientRectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(MainWindowTest, WindowIsTitledVelmoraWithItsClientSizeAndAMinimiseBoxOnly) {
    EXPECT_EQ(testing::WindowText(Main()), L"Velmora");
    RECT client{};
    GetClientRect(Main(), &client);
    EXPECT_EQ(client.right, 332);
    EXPECT_EQ(client.bottom, 386);
    const LONG style = GetWindowLongW(Main(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(GetMenu(Main()), nullptr);
}

TEST_F(MainWindowTest, WindowOpensCentredOnTheScreen) {
    RECT window{}, work{};
    GetWindowRect(Main(), &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(window.left - work.left, work.right - window.right, 1);
    EXPECT_NEAR(window.top - work.top, work.bottom - window.bottom, 1);
}

TEST_F(MainWindowTest, EveryControlHasItsKindTextPlaceAndFont) {
    for (const Expected& expected : kExpected) {
        SCOPED_TRACE(expected.text);
        HWND control = Control(expected.id);
        ASSERT_NE(control, nullptr);
        wchar_t className[64]{};
        GetClassNameW(control, className, 64);
        EXPECT_STRCASEEQ(std::string(className, className + wcslen(className)).c_str(),
                         std::string(expected.className, expected.className + wcslen(expected.className)).c_str());
        EXPECT_EQ(testing::WindowText(control), expected.text);
        const RECT rect = ClientRectOf(control);
        EXPECT_EQ(rect.left, expected.onPanel.left + 8);
        EXPECT_EQ(rect.top, expected.onPanel.top + 16);
        EXPECT_EQ(rect.right - rect.left, expected.onPanel.right);
        EXPECT_EQ(rect.bottom - rect.top, expected.onPanel.bottom);
        LOGFONTW font{};
        ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font));
        EXPECT_STREQ(std::string(font.lfFaceName, font.lfFaceName + wcslen(font.lfFaceName)).c_str(), "Tahoma");
        EXPECT_EQ(font.lfHeight, expected.height);
        EXPECT_EQ(font.lfWeight >= FW_BOLD, expected.bold);
    }
}

TEST_F(MainWindowTest, ListsOfferSizesOneToThirtyTwoAndSlotsOneToFifteen) {
    for (auto [id, count] : {std::pair{Combo1, 32}, std::pair{Combo2, 15}}) {
        HWND combo = Control(id);
        ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), count);
        for (int i = 0; i < count; ++i) {
            wchar_t item[8]{};
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            EXPECT_EQ(std::wstring(item), std::to_wstring(i + 1));
        }
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    }
    EXPECT_TRUE(GetWindowLongW(Control(Combo1), GWL_STYLE) & CBS_DROPDOWNLIST);
    EXPECT_EQ(GetWindowLongW(Control(Combo2), GWL_STYLE) & CBS_DROPDOWNLIST, CBS_DROPDOWN);
}

TEST_F(MainWindowTest, BothBoxesStartUntickedAndNoButtonIsTheDefault) {
    EXPECT_EQ(SendMessageW(Control(Check1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(Control(Check2), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    for (int id : {Command2, Command3, Command5, Command7, Command8})
        EXPECT_EQ(GetWindowLongW(Control(id), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
}

// GetMessage failing (as it does under Wine when a message cannot be handed over) loses that
// message, nothing more: the loop goes on, and the program ends only through its windows.
int g_failuresLeft = 0;
BOOL WINAPI FailingAtFirst(LPMSG message, HWND window, UINT first, UINT last) {
    if (g_failuresLeft > 0) {
        --g_failuresLeft;
        return -1;
    }
    return GetMessageW(message, window, first, last);
}
BOOL WINAPI AlwaysFailing(LPMSG, HWND, UINT, UINT) { return -1; }

TEST_F(MainWindowTest, AFailedGetMessageIsNoQuit) {
    HWND main = Main();
    g_failuresLeft = 3;
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_.Run(&FailingAtFirst), 0);
    EXPECT_EQ(g_failuresLeft, 0);
    EXPECT_FALSE(IsWindow(main)) << "the loop ended before the window was closed";
}

TEST_F(MainWindowTest, ALoopThatCanGetNoMessageClosesTheMainWindowAsTheUserWould) {
    HWND main = Main();
    EXPECT_EQ(program_.Run(&AlwaysFailing), 1);
    EXPECT_FALSE(IsWindow(main)) << "closed without its WM_CLOSE (and so without the save)";
}

TEST_F(MainWindowTest, TheMessageBoxTakesSeveralLines) {
    const LONG style = GetWindowLongW(Control(Text2_0), GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
}

TEST_F(MainWindowTest, ClosingTheMainWindowEndsTheProgramWhenNothingElseIsOpen) {
    EXPECT_EQ(Window::OpenWindowCount(), 1);
    SendMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program_.OpenMainWindow(), nullptr);
    EXPECT_EQ(Window::OpenWindowCount(), 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The visible list boxes of this thread (the suggestions under a box), with what they list.
struct SuggestionSearch {
    std::vector<std::vector<std::wstring>> lists;
};

BOOL CALLBACK FindSuggestionsIn(HWND candidate, LPARAM search);

BOOL CALLBACK FindSuggestions(HWND candidate, LPARAM search) {
    auto* found = reinterpret_cast<SuggestionSearch*>(search);
    wchar_t className[32]{};
    GetClassNameW(candidate, className, 32);
    if (IsWindowVisible(candidate) && lstrcmpiW(className, L"ListBox") == 0) {
        std::vector<std::wstring> items;
        const LRESULT count = SendMessageW(candidate, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            // A list that draws items of its own (Wine's) keeps no texts to give: one mark each.
            const bool texts = (GetWindowLongW(candidate, GWL_STYLE) & LBS_HASSTRINGS) != 0;
            const LRESULT length = texts ? SendMessageW(candidate, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) : LB_ERR;
            std::wstring item(length == LB_ERR ? 1 : static_cast<size_t>(length) + 1, L'?');
            if (length != LB_ERR) {
                SendMessageW(candidate, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
                item.resize(static_cast<size_t>(length));
            }
            items.push_back(item);
        }
        found->lists.push_back(items);
    }
    EnumChildWindows(candidate, FindSuggestionsIn, search);
    return TRUE;
}

BOOL CALLBACK FindSuggestionsIn(HWND candidate, LPARAM search) {
    // EnumChildWindows already reaches every descendant.
    wchar_t className[32]{};
    GetClassNameW(candidate, className, 32);
    if (IsWindowVisible(candidate) && lstrcmpiW(className, L"ListBox") == 0) FindSuggestions(candidate, search);
    return TRUE;
}

std::vector<std::vector<std::wstring>> ShownSuggestions() {
    SuggestionSearch search;
    EnumThreadWindows(GetCurrentThreadId(), FindSuggestions, reinterpret_cast<LPARAM>(&search));
    return search.lists;
}

// The screen-name box offers the names the IM client holds as the user types: the system's
// autocomplete lists those that start so under the box, and leaves the typed text as typed.
TEST_F(MainWindowTest, TheScreenNameBoxOffersTheClientsNamesAsTheUserTypes) {
    const std::wstring users = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";
    const std::wstring name = testing::UniqueScreenName(L"Zq");
    HKEY list = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (users + name + L"\\IAmGoneList").c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &list, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(list);
    HWND box = Control(Text5);
    SetForegroundWindow(Main());
    SetFocus(box);
    // Typed as keys arrive, lower case: the client's names compare without case. The names are
    // read beside the window, so the typing is tried again as messages arrive until they have.
    const std::wstring typed = L"zq" + name.substr(2, 3);
    const auto type = [&](const std::wstring& text) {
        SetWindowTextW(box, L"");
        for (wchar_t c : text) SendMessageW(box, WM_CHAR, c, 1);
    };
    std::vector<std::vector<std::wstring>> shown;
    testing::WaitUntil([&] {
        type(typed);
        return !(shown = ShownSuggestions()).empty();
    });
    const std::wstring typedText = testing::WindowText(box);
    // Letters no stored name starts with list nothing.
    type(L"zq" + name.substr(2, 3) + L"@");
    const auto none = ShownSuggestions();
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, users + name);
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].size(), 1u);
    if (shown[0][0] != L"?") {
        EXPECT_EQ(shown[0][0], name);
    }
    EXPECT_EQ(typedText, typed);
    EXPECT_TRUE(none.empty() || none[0].empty());
}

}  // namespace
}  // namespace velmora
