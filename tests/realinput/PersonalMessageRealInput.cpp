// The personal-message window opened from the "Options" menu and used with pointer and keys
// against the AIM stand-in: a listed name gets the reply once.
#include <gtest/gtest.h>

#include "aim/PersonalControls.h"
#include "app/AwayControls.h"
#include "support/RealInput.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace testing;

class PersonalMessageRealInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil([&] { return velmora_.MainWindow() && IsWindowVisible(velmora_.MainWindow()); }));
        Settle();
    }
    static HWND PopUpMenu() {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu) ? menu : nullptr;
    }
    // The rows of the "File" menu, top to bottom: true for an entry, false for a separator.
    static constexpr bool kMenuRows[] = {true, false, true, true, false, true, true, true};
    // The middle of a row of the menu: entries of one height and separators half as high,
    // inside a frame of a few pixels (another process's menu can't be asked for its rows).
    static POINT MenuEntryCentre(HWND menuWindow, int position) {
        RECT frame{};
        GetWindowRect(menuWindow, &frame);
        const int border = 3;
        int halfRows = 0;
        for (bool entry : kMenuRows) halfRows += entry ? 2 : 1;
        const int row = (frame.bottom - frame.top - 2 * border) * 2 / halfRows;
        int top = frame.top + border;
        for (int above = 0; above < position; ++above) top += kMenuRows[above] ? row : row / 2;
        return {(frame.left + frame.right) / 2, top + row / 2};
    }
    // Opens "Options" with a click and picks an entry: with the keyboard (arrow presses, then
    // Enter) or with the pointer (a click on the entry's row).
    void ChooseFromOptions(int position, bool withPointer) const {
        ClickControl(velmora_.Control(AwayIds::Label2));
        ASSERT_TRUE(WaitUntil([] { return PopUpMenu() != nullptr; }));
        Settle();
        if (withPointer) {
            ClickAt(MenuEntryCentre(PopUpMenu(), position));
        } else {
            // Separators are stepped over.
            for (int row = 0; row <= position; ++row)
                if (kMenuRows[row]) PressKey(VK_DOWN);
            PressKey(VK_RETURN);
        }
        ASSERT_TRUE(WaitUntil([] { return PopUpMenu() == nullptr; }));
    }
    void Shot(const std::wstring& step) const {
        Settle();
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        SaveScreenshot(L"Personal-" + std::wstring(name, name + strlen(name)) + L"-" + step);
    }

    StandInProcess aim_ = StandInProcess::Start(StandInPath(L"aim-standin.exe"), L"");
    TempFolder folder_;
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(PersonalMessageRealInput, AListedNameGetsTheReplyOnce) {
    aim_.Command("recv stranger hello");
    ChooseFromOptions(0, /*withPointer=*/false);
    HWND watch = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (watch = velmora_.FindWindowTitled(L"Personal Away Msg")) != nullptr; }));
    Settle();
    Shot(L"01-open");

    ASSERT_TRUE(ClickToFocus(GetDlgItem(watch, PersonalIds::Text1)));
    SelectAllInField();
    TypeText(L"PAL42 me99");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(watch, PersonalIds::Text1)) == L"PAL42 me99"; }));
    ClickControl(GetDlgItem(watch, PersonalIds::Label2));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(watch, PersonalIds::Label2)) == L"On"; }));
    Shot(L"02-on");

    aim_.Command("recv pal42 are you there?");
    ASSERT_TRUE(WaitUntil([&] { return !aim_.Command("sent").empty(); }));
    Shot(L"03-answered");
    // Exactly one reply, the message box's text with its line break.
    aim_.Command("recv pal42 hello again");
    Sleep(2500);  // two more timer periods: a watch that went on would answer again
    const auto sent = aim_.Command("sent");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(UnescapeLine(sent[0].substr(5)), "Personal Message - I'll  Be right back\r\n");
    EXPECT_EQ(WindowText(GetDlgItem(watch, PersonalIds::Label2)), L"On");
}

// A visible tooltip owned by search->first: search->second is then true.
BOOL CALLBACK FindBalloon(HWND candidate, LPARAM found) {
    auto* search = reinterpret_cast<std::pair<HWND, bool>*>(found);
    wchar_t className[32]{};
    GetClassNameW(candidate, className, 32);
    if (GetWindow(candidate, GW_OWNER) != search->first || !IsWindowVisible(candidate) ||
        lstrcmpiW(className, L"tooltips_class32") != 0)
        return TRUE;
    search->second = true;
    return FALSE;
}

// A visible balloon (tooltip) that the window owns.
bool ShowsBalloon(HWND window) {
    std::pair<HWND, bool> search{window, false};
    EnumWindows(FindBalloon, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Typed with the keys: Cyrillic, Greek, "&" and "<" reach the buddy, as references and
// entities in the client's HTML entry, with nothing warning of them beforehand, and the
// user's draft in the IM window comes back as it was.
TEST_F(PersonalMessageRealInput, CharactersTheCodePageLacksTypedIntoTheReplyReachTheBuddy) {
    if (GetACP() != 1252) GTEST_SKIP() << "the expected bytes are those of code page 1252";
    const std::string draft = "half a thought, caf\xE9 &amp;";
    aim_.Command("draft " + EscapeLine(draft));
    ChooseFromOptions(0, /*withPointer=*/false);
    HWND watch = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (watch = velmora_.FindWindowTitled(L"Personal Away Msg")) != nullptr; }));
    Settle();
    ASSERT_TRUE(ClickToFocus(GetDlgItem(watch, PersonalIds::Text1)));
    SelectAllInField();
    TypeText(L"pal42");
    HWND reply = GetDlgItem(watch, PersonalIds::Text3);
    ASSERT_TRUE(ClickToFocus(reply));
    SelectAllInField(/*multiLine=*/true);
    const std::wstring typed = L"Back soon, caf\u00e9 \u041f\u0440\u0438\u0432\u0435\u0442 \u03b1 & <3";
    TypeText(typed);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(reply) == typed; }));
    EXPECT_FALSE(ShowsBalloon(watch));
    Shot(L"01-typed");
    ClickControl(GetDlgItem(watch, PersonalIds::Label2));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(watch, PersonalIds::Label2)) == L"On"; }));

    aim_.Command("recv pal42 are you there?");
    ASSERT_TRUE(WaitUntil([&] { return !aim_.Command("sent").empty(); }));
    EXPECT_EQ(UnescapeLine(aim_.Command("sent").at(0).substr(5)),
              "Back soon, caf\xE9 &#1055;&#1088;&#1080;&#1074;&#1077;&#1090; &#945; &amp; &lt;3");
    EXPECT_EQ(UnescapeLine(aim_.Command("entry").at(0).substr(6)), draft);
}

TEST_F(PersonalMessageRealInput, ItOpensOnTheNamesAndTabLeavesTheReplyBoxBothWays) {
    using namespace PersonalIds;
    ChooseFromOptions(0, /*withPointer=*/false);
    HWND watch = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (watch = velmora_.FindWindowTitled(L"Personal Away Msg")) != nullptr; }));
    const auto focused = [&](int id) { return WaitUntil([&] { return HasFocus(GetDlgItem(watch, id)); }, 5000); };
    ASSERT_TRUE(focused(Text1));
    TypeText(L"pal42");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(watch, Text1)) == L"pal42"; }));
    const std::wstring reply = WindowText(GetDlgItem(watch, Text3));
    for (int id : {Text2, Text3, Text1, Text2, Text3}) {
        PressKey(VK_TAB);
        EXPECT_TRUE(focused(id)) << "Tab to " << id;
    }
    for (int id : {Text2, Text1, Text3, Text2}) {
        PressKeys({VK_SHIFT, VK_TAB});
        EXPECT_TRUE(focused(id)) << "Shift+Tab to " << id;
    }
    Shot(L"01-tabbed");
    EXPECT_EQ(WindowText(GetDlgItem(watch, Text3)), reply);
    EXPECT_EQ(WindowText(GetDlgItem(watch, Text1)), L"pal42");
    // Two quick clicks on the switch (a double-click to the system) switch it on and off again.
    ClickControl(GetDlgItem(watch, Label2));
    ClickControl(GetDlgItem(watch, Label2));
    Settle();
    EXPECT_EQ(WindowText(GetDlgItem(watch, Label2)), L"Off");
}

TEST_F(PersonalMessageRealInput, EveryMenuEntryOpensItsWindowWithPointerAndKeyboard) {
    const struct {
        int position;
        const wchar_t* title;
    } entries[] = {{0, L"Personal Away Msg"}, {2, L"Help"},      {3, L"About"}, {5, L"Preview"},
                   {6, L"Stored Messages"},   {7, L"Auto Reply"}};
    for (bool withPointer : {true, false}) {
        for (const auto& entry : entries) {
            SCOPED_TRACE(std::string(entry.title, entry.title + wcslen(entry.title)) +
                         (withPointer ? " by pointer" : " by keys"));
            ChooseFromOptions(entry.position, withPointer);
            HWND window = nullptr;
            ASSERT_TRUE(WaitUntil([&] { return (window = velmora_.FindWindowTitled(entry.title)) != nullptr; }));
            Shot(std::wstring(entry.title) + (withPointer ? L"-pointer" : L"-keys"));
            // Closed from the keyboard, so the next round opens it afresh.
            ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
            PressKeys({VK_MENU, VK_F4});
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
            // Alt+F4 handled to the end (its Alt is let go as the main window becomes active
            // again) before the next click; without this wait that click at times opened no menu.
            Settle();
            EXPECT_EQ(velmora_.CountWindowsTitled(entry.title), 0);
        }
    }
}

}  // namespace
}  // namespace velmora
