// The personal-message window made in this process: its layout, its switch, its watch driven
// tick by tick (WM_TIMER sent with Timer1's id) against the AIM stand-in, and its handles.
#include <windows.h>
// (commctrl.h needs windows.h first.)
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aim/PersonalControls.h"
#include "aim/PersonalWindow.h"
#include "aim/ReplyRule.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace PersonalIds;
using testing::EscapeLine;
using testing::StandInProcess;
using testing::UnescapeLine;

const std::wstring kDefaultReply = L"Personal Message - I'll  Be right back\r\n";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

RECT ClientRectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class PersonalWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window_.Open()); }

    HWND Window() const { return window_.Handle(); }
    HWND Control(int id) const { return GetDlgItem(Window(), id); }
    std::wstring Text(int id) const { return testing::WindowText(Control(id)); }
    void Type(int id, const std::wstring& text) const { testing::TypeInto(Control(id), text); }
    void ClickSwitch() const { testing::ClickWithMouse(Control(Label2)); }
    // One tick of Timer1, as the window system delivers it.
    void Tick() const { SendMessageW(Window(), WM_TIMER, Timer1, 0); }

    PersonalWindow window_{GetModuleHandleW(nullptr)};
};

// A window watching the AIM stand-in, which starts with a line from someone not listed.
class PersonalWatchTest : public PersonalWindowTest {
protected:
    void SetUp() override {
        PersonalWindowTest::SetUp();
        aim_.Command("recv stranger hello");
    }

    void Receive(const std::string& name, const std::string& text) {
        aim_.Command("recv " + name + " " + EscapeLine(text));
    }
    std::vector<std::string> Sent() {
        std::vector<std::string> texts;
        for (const std::string& reply : aim_.Command("sent")) texts.push_back(UnescapeLine(reply.substr(5)));
        return texts;
    }
    void SwitchOnAndSee(const std::wstring& sender) {
        ClickSwitch();
        ASSERT_EQ(window_.State(), WatchState::Watching);
        Tick();
        ASSERT_EQ(Text(Text2), sender);
    }

    // Lines from many names in one window: a window whose title names no buddy, where the
    // sender is taken as the line shows it (PersonalGuardTest has the titled windows).
    StandInProcess aim_ =
        StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), L"--title \"Instant Message\"");
};

// The IM windows as the client titles them, "NAME - Instant Message": only that buddy is
// answered in each.
class PersonalGuardTest : public PersonalWindowTest {
protected:
    static StandInProcess StartFor(const std::wstring& buddy) {
        return StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"),
                                     L"--title " + testing::QuoteArgument(buddy + L" - Instant Message"));
    }
    static std::size_t SentCount(StandInProcess& aim) { return aim.Command("sent").size(); }
};

// ---------------------------------------------------------------------------

struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    RECT place;  // x, y, width, height
    const wchar_t* face;
    int height;  // font height at 96 DPI
    bool bold;
};

const Expected kExpected[] = {
    {Text1, L"Edit", L"Pellbrook", {16, 32, 161, 19}, L"Tahoma", -9, true},
    {Label2, L"Static", L"Off", {208, 28, 57, 17}, L"Tahoma", -11, true},
    {Text3, L"Edit", L"Personal Message - I'll  Be right back\r\n", {16, 64, 273, 113}, L"Tahoma", -9, true},
    {Text2, L"Edit", L"", {16, 248, 145, 19}, L"MS Sans Serif", -11, false},
};

TEST_F(PersonalWindowTest, WindowIsTitledWithItsClientSizeAndNoMinimiseOrMaximiseBox) {
    EXPECT_EQ(testing::WindowText(Window()), L"Personal Away Msg");
    RECT client{};
    GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, 314);
    EXPECT_EQ(client.bottom, 203);
    const LONG style = GetWindowLongW(Window(), GWL_STYLE);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(GetWindow(Window(), GW_OWNER), nullptr);
}

TEST_F(PersonalWindowTest, EveryControlHasItsKindTextPlaceAndFont) {
    for (const Expected& expected : kExpected) {
        SCOPED_TRACE(Narrow(expected.text));
        HWND control = Control(expected.id);
        ASSERT_NE(control, nullptr);
        wchar_t className[64]{};
        GetClassNameW(control, className, 64);
        EXPECT_STRCASEEQ(Narrow(className).c_str(), Narrow(expected.className).c_str());
        EXPECT_EQ(testing::WindowText(control), expected.text);
        const RECT rect = ClientRectOf(control);
        EXPECT_EQ(rect.left, expected.place.left);
        EXPECT_EQ(rect.top, expected.place.top);
        EXPECT_EQ(rect.right - rect.left, expected.place.right);
        EXPECT_EQ(rect.bottom - rect.top, expected.place.bottom);
        LOGFONTW font{};
        ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font));
        EXPECT_EQ(Narrow(font.lfFaceName), Narrow(expected.face));
        EXPECT_EQ(font.lfHeight, expected.height);
        EXPECT_EQ(font.lfWeight >= FW_BOLD, expected.bold);
    }
}

TEST_F(PersonalWindowTest, TheSenderBoxLiesBelowTheVisibleArea) {
    RECT client{};
    GetClientRect(Window(), &client);
    EXPECT_GE(ClientRectOf(Control(Text2)).top, client.bottom);
    for (int id : {Text1, Text3, Label2}) EXPECT_LE(ClientRectOf(Control(id)).bottom, client.bottom);
}

TEST_F(PersonalWindowTest, TheMessageBoxTakesSeveralLinesAndTheOthersOne) {
    const LONG reply = GetWindowLongW(Control(Text3), GWL_STYLE);
    EXPECT_TRUE(reply & ES_MULTILINE);
    EXPECT_TRUE(reply & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongW(Control(Text1), GWL_STYLE) & ES_MULTILINE);
    EXPECT_FALSE(GetWindowLongW(Control(Text2), GWL_STYLE) & ES_MULTILINE);
    EXPECT_TRUE(GetWindowLongW(Control(Label2), GWL_STYLE) & SS_NOTIFY);
}

// The reply test's letter case against the system's own mapping (upper case, then lower), for
// every character of every ANSI code page.
TEST(ReplyRuleOnWindows, EveryLetterOfTheAnsiCodePagesFoldsAsTheSystemFoldsIt) {
    for (UINT codePage : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
        for (int byte = 0x20; byte < 0x100; ++byte) {
            const char ansi = static_cast<char>(byte);
            wchar_t c = 0;
            if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &ansi, 1, &c, 1) != 1) continue;
            wchar_t folded = c;
            CharUpperBuffW(&folded, 1);
            CharLowerBuffW(&folded, 1);
            EXPECT_EQ(static_cast<unsigned>(FoldLetterCase(c)), static_cast<unsigned>(folded))
                << "code page " << codePage << ", U+" << std::hex << static_cast<unsigned>(c);
        }
    }
}

// The colours the window gives its controls, asked as the controls ask when they paint.
TEST_F(PersonalWindowTest, TheNamesAreBlueAndTheSwitchShowsThePanelThrough) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    SendMessageW(Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Control(Text1)));
    EXPECT_EQ(GetTextColor(dc), RGB(0x00, 0x00, 0xC0));

    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(Control(Label2))));
    LOGBRUSH logBrush{};
    ASSERT_TRUE(GetObjectW(brush, sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbColor, RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DeleteDC(dc);
}

// The window's own drawing (panel, frame, lamp), printed into a bitmap and looked at.
class PaintedClient {
public:
    explicit PaintedClient(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, client.right, client.bottom);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~PaintedClient() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    PaintedClient(const PaintedClient&) = delete;
    PaintedClient& operator=(const PaintedClient&) = delete;
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

TEST_F(PersonalWindowTest, ThePanelSitsInASunkenFrame) {
    const PaintedClient painted(Window());
    EXPECT_EQ(painted.At(100, 150), RGB(0xFF, 0xFF, 0xFF)) << "the panel";
    EXPECT_EQ(painted.At(100, 8), RGB(0x80, 0x80, 0x80)) << "Line1, top";
    EXPECT_EQ(painted.At(8, 100), RGB(0x80, 0x80, 0x80)) << "Line4, left";
    EXPECT_EQ(painted.At(304, 100), RGB(0xC0, 0xC0, 0xC0)) << "Line2, right";
    EXPECT_EQ(painted.At(100, 192), RGB(0xC0, 0xC0, 0xC0)) << "Line3, bottom";
    EXPECT_EQ(painted.At(3, 3), GetSysColor(COLOR_BTNFACE)) << "outside the panel";
    EXPECT_EQ(painted.At(306, 100), GetSysColor(COLOR_BTNFACE)) << "outside the panel";
}

TEST_F(PersonalWindowTest, TheLampIsDarkRedWhenOffAndBlueWhenOn) {
    EXPECT_EQ(PaintedClient(Window()).At(196, 36), RGB(0xC0, 0x00, 0x00));
    EXPECT_EQ(PaintedClient(Window()).At(192, 32), RGB(0xC0, 0xC0, 0xC0)) << "the lamp's border";
    ClickSwitch();
    EXPECT_EQ(PaintedClient(Window()).At(196, 36), RGB(0x00, 0x00, 0xFF));
    EXPECT_EQ(PaintedClient(Window()).At(200, 40), RGB(0xC0, 0xC0, 0xC0)) << "the lamp's border";
    ClickSwitch();
    EXPECT_EQ(PaintedClient(Window()).At(196, 36), RGB(0xC0, 0x00, 0x00));
}

// ---------------------------------------------------------------------------

// A visible tooltip owned by search->first, into search->second.
BOOL CALLBACK FindBalloon(HWND candidate, LPARAM found) {
    auto* search = reinterpret_cast<std::pair<HWND, HWND>*>(found);
    wchar_t className[32]{};
    GetClassNameW(candidate, className, 32);
    if (GetWindow(candidate, GW_OWNER) != search->first || !IsWindowVisible(candidate) ||
        lstrcmpiW(className, TOOLTIPS_CLASSW) != 0)
        return TRUE;
    search->second = candidate;
    return FALSE;
}

// The balloon the window shows: a visible tooltip it owns, and what it says (empty when none).
std::wstring BalloonText(HWND window) {
    std::pair<HWND, HWND> search{window, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindBalloon, reinterpret_cast<LPARAM>(&search));
    if (!search.second) return L"";
    std::wstring text(1024, L'\0');
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = 1;
    tool.lpszText = text.data();
    SendMessageW(search.second, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return text.c_str();
}

// Such characters are no longer lost on the way (they go as references, or as themselves into a
// Unicode entry): nothing warns of them, and nothing stands in the way of the watch.
TEST_F(PersonalWindowTest, AReplyWithCharactersTheCodePageLacksRaisesNoWarning) {
    Type(Text3, L"\u041f\u0440\u0438 caf\u00e9 \U0001F600 \u65e5\u672c");
    EXPECT_EQ(BalloonText(Window()), L"");
    SendMessageW(Window(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(BalloonText(Window()), L"");
    EXPECT_TRUE(IsWindowEnabled(Window()));
}

TEST_F(PersonalWindowTest, ANewWindowIsSwitchedOffAndTheSwitchTogglesIt) {
    EXPECT_EQ(window_.State(), WatchState::SwitchedOff);
    EXPECT_EQ(Text(Label2), L"Off");
    ClickSwitch();
    EXPECT_EQ(Text(Label2), L"On");
    EXPECT_EQ(window_.State(), WatchState::Watching);
    ClickSwitch();
    EXPECT_EQ(Text(Label2), L"Off");
    EXPECT_EQ(window_.State(), WatchState::SwitchedOff);
}

TEST_F(PersonalWatchTest, ASwitchedOffWindowDoesNotReadTheConversation) {
    Tick();
    EXPECT_EQ(Text(Text2), L"");
    ClickSwitch();
    ClickSwitch();
    Tick();
    EXPECT_EQ(Text(Text2), L"");
}

TEST_F(PersonalWatchTest, ATickWritesTheSenderAndAnUnlistedOneIsNotAnswered) {
    SwitchOnAndSee(L"stranger");
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(window_.State(), WatchState::Watching);
    Receive("pal42", "anyone?");
    Tick();
    EXPECT_EQ(Text(Text2), L"pal42");
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(window_.State(), WatchState::Watching);
}

TEST_F(PersonalWatchTest, AListedNameInAnyLetterCaseGetsTheReplyOnce) {
    SwitchOnAndSee(L"stranger");
    Receive("pELLBROOK", "are you there?");
    Tick();
    EXPECT_EQ(Text(Text2), L"pELLBROOK");
    EXPECT_EQ(Sent(), std::vector<std::string>{Narrow(kDefaultReply)});
    // Answered looks like watching, but the watch has ended.
    EXPECT_EQ(window_.State(), WatchState::Answered);
    EXPECT_EQ(Text(Label2), L"On");
    EXPECT_EQ(PaintedClient(Window()).At(196, 36), RGB(0x00, 0x00, 0xFF));
    Receive("stranger", "hello?");
    Receive("Pellbrook", "hello??");
    Tick();
    Tick();
    EXPECT_EQ(Text(Text2), L"pELLBROOK");
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(PersonalWatchTest, TheReplyIsTheMessageBoxAsTyped) {
    const std::wstring reply = L"Out walking.\r\nBack at six.";
    Type(Text3, reply);
    SwitchOnAndSee(L"stranger");
    Receive("Pellbrook", "hi");
    Tick();
    EXPECT_EQ(Sent(), std::vector<std::string>{Narrow(reply)});
}

// The IM window's entry takes 8-bit HTML: what the code page has goes exactly, the rest as
// character references, never as "?" or a look-alike ("B" for the full-width letter, "\\" for
// the set-minus); the user's "&" and "<" as entities, so they arrive as typed.
TEST_F(PersonalWatchTest, AReplyCarriesWhatTheCodePageLacksAsReferencesWithoutLookAlikes) {
    if (GetACP() != 1252) GTEST_SKIP() << "the expected bytes are those of code page 1252";
    Type(Text3, L"\uff22ob \u2216 caf\u00e9 \u20ac \u041f \U0001F600\r\nback <3 & bye");
    SwitchOnAndSee(L"stranger");
    Receive("Pellbrook", "hi");
    Tick();
    EXPECT_EQ(Sent(),
              std::vector<std::string>{"&#65314;ob &#8726; caf\xE9 \x80 &#1055; &#128512;\r\nback &lt;3 &amp; bye"});
}

// A Unicode entry gets the reply itself, and the user's draft there comes back exactly.
TEST_F(PersonalWindowTest, AUnicodeEntryGetsTheReplyItselfAndKeepsTheDraft) {
    StandInProcess aim =
        StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), L"--unicode --title \"Instant Message\"");
    const std::string draft = "\xD1\x87\xD1\x82\xD0\xBE \xF0\x9F\x98\x80 &amp;";  // UTF-8: "что 😀 &amp;"
    aim.Command("draft " + EscapeLine(draft));
    Type(Text3, L"\u041f\u0440\u0438\u0432\u0435\u0442 \u03b1 \U0001F600 <3\r\n");
    ClickSwitch();
    aim.Command("recv Pellbrook hi");
    Tick();
    ASSERT_EQ(window_.State(), WatchState::Answered);
    EXPECT_EQ(UnescapeLine(aim.Command("sent").at(0).substr(5)),
              "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xCE\xB1 \xF0\x9F\x98\x80 <3\r\n");
    EXPECT_EQ(UnescapeLine(aim.Command("entry").at(0).substr(6)), draft);
}

TEST_F(PersonalWatchTest, APartOfAListedNameAndOneOfSeveralNamesMatch) {
    Type(Text1, L"pal42 Pellbrook");
    SwitchOnAndSee(L"stranger");
    Receive("brook", "hi");
    Tick();
    EXPECT_EQ(Sent().size(), 1u);

    ClickSwitch();
    ClickSwitch();
    Tick();  // the last line is the reply itself, which names nobody
    EXPECT_EQ(Text(Text2), L"");
    Receive("PAL42", "hi");
    Tick();
    EXPECT_EQ(Sent().size(), 2u);
}

TEST_F(PersonalWatchTest, TwoClicksAfterAReplyArmItAgain) {
    SwitchOnAndSee(L"stranger");
    Receive("Pellbrook", "hi");
    Tick();
    ASSERT_EQ(window_.State(), WatchState::Answered);
    ClickSwitch();
    EXPECT_EQ(window_.State(), WatchState::SwitchedOff);
    EXPECT_EQ(Text(Label2), L"Off");
    ClickSwitch();
    EXPECT_EQ(window_.State(), WatchState::Watching);
    Tick();
    Receive("Pellbrook", "hi again");
    Tick();
    EXPECT_EQ(Sent().size(), 2u);
    EXPECT_EQ(window_.State(), WatchState::Answered);
}

TEST_F(PersonalWatchTest, SwitchingOnWhileTheListedNameIsLastAnswersOnTheFirstTick) {
    Receive("Pellbrook", "are you there?");
    ClickSwitch();
    Tick();
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(PersonalWatchTest, TheUsersOwnLineAnswersNobodyUnlessListed) {
    SwitchOnAndSee(L"stranger");
    Receive("me99", "hello");
    Tick();
    EXPECT_EQ(Text(Text2), L"me99");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PersonalWatchTest, ALastLineWithoutANameAnswersNobodyAndWatchingGoesOn) {
    SwitchOnAndSee(L"stranger");
    aim_.Command("set " + EscapeLine("<B>stranger</B>: hello<BR>"));
    Tick();
    EXPECT_EQ(Text(Text2), L"");
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(window_.State(), WatchState::Watching);
    Receive("Pellbrook", "now me");
    Tick();
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(PersonalWatchTest, ClosingTheImWindowAnswersNobodyAndWatchingGoesOn) {
    SwitchOnAndSee(L"stranger");
    aim_.Command("close");
    Tick();
    EXPECT_EQ(Text(Text2), L"");
    EXPECT_EQ(window_.State(), WatchState::Watching);
    aim_.Command("open");
    Tick();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(aim_.Command("presses").at(0), "presses 0 0 0");
    Receive("Pellbrook", "back");
    Tick();
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(PersonalWatchTest, AnEmptyNamesBoxAnswersNobody) {
    Type(Text1, L"");
    SwitchOnAndSee(L"stranger");
    Receive("Pellbrook", "hi");
    Tick();
    EXPECT_EQ(Text(Text2), L"Pellbrook");
    aim_.Command("set " + EscapeLine("<B>Pellbrook</B>: hi<BR>"));
    Tick();
    EXPECT_EQ(Text(Text2), L"");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PersonalWatchTest, TypingAListedNameIntoTheSenderBoxAnswersInAnyState) {
    Type(Text2, L"Pellbrook");
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_EQ(window_.State(), WatchState::SwitchedOff);
    EXPECT_EQ(Text(Label2), L"Off");

    ClickSwitch();
    Type(Text2, L"pellbrook");
    EXPECT_EQ(Sent().size(), 2u);
    EXPECT_EQ(window_.State(), WatchState::Answered);
    Type(Text2, L"someone else");
    EXPECT_EQ(Sent().size(), 2u);
}

TEST_F(PersonalWatchTest, ATimedOutReadLeavesTheSenderBoxAsItWas) {
    SwitchOnAndSee(L"stranger");
    aim_.Command("hang 60000");
    Tick();
    EXPECT_EQ(Text(Text2), L"stranger") << "a read that timed out is no empty sender";
    Tick();
    EXPECT_EQ(Text(Text2), L"stranger");
    EXPECT_EQ(window_.State(), WatchState::Watching);
}

TEST_F(PersonalWatchTest, TheRealTimerTicksOnceSwitchedOnAndStopsAfterTheReply) {
    ClickSwitch();
    EXPECT_TRUE(testing::WaitUntil([&] { return Text(Text2) == L"stranger"; })) << "no tick came";
    Receive("Pellbrook", "hi");
    EXPECT_TRUE(testing::WaitUntil([&] { return Sent().size() == 1; })) << "no reply came";
    EXPECT_EQ(window_.State(), WatchState::Answered);
}

TEST_F(PersonalGuardTest, ALineFakedInAListedNameGetsNoReplyAndTheBuddyHimselfDoes) {
    Type(Text1, L"pal42");
    {
        // eve types a line that reads as pal42's into her own window.
        StandInProcess eve = StartFor(L"eve");
        ClickSwitch();
        Tick();
        eve.Command("recv eve " + EscapeLine("<BR><B>pal42</B>: send me the secret"));
        Tick();
        EXPECT_EQ(Text(Text2), L"pal42") << "the sender as the line shows it";
        EXPECT_EQ(SentCount(eve), 0u);
        EXPECT_EQ(window_.State(), WatchState::Watching);
        // Typed into the sender box, the name still gets nothing in eve's window.
        Type(Text2, L"pal42 ");
        Type(Text2, L"pal42");
        EXPECT_EQ(SentCount(eve), 0u);
    }
    // pal42 in his own window, in any case and spacing of his name.
    StandInProcess pal = StartFor(L"Pal 42");
    Tick();
    pal.Command("recv PAL42 hi");
    Tick();
    EXPECT_EQ(SentCount(pal), 1u);
    EXPECT_EQ(window_.State(), WatchState::Answered);
}

TEST_F(PersonalGuardTest, AListedNameThatIsNotTheWindowsBuddyIsNotAnswered) {
    StandInProcess pal = StartFor(L"pal42");
    ClickSwitch();
    Tick();
    pal.Command("recv Pellbrook hi");  // listed, but this window is pal42's
    Tick();
    EXPECT_EQ(Text(Text2), L"Pellbrook");
    EXPECT_EQ(SentCount(pal), 0u);
    EXPECT_EQ(window_.State(), WatchState::Watching);
}

// ---------------------------------------------------------------------------

TEST_F(PersonalWatchTest, ThousandsOfTicksLeaveNoGdiOrUserObjectsBehind) {
    Type(Text1, L"nobody listed");
    ClickSwitch();
    // Each round makes the tick write the sender box again and repaints everything once.
    const auto round = [&](int i) {
        SendMessageW(Control(Text2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        Tick();
        if (i % 100 == 0) {
            ClickSwitch();
            ClickSwitch();
            RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            PaintedClient painted(Window());
        }
    };
    for (int i = 0; i < 100; ++i) round(i);
    ASSERT_EQ(Text(Text2), L"stranger");
    const testing::GuiObjectCounts before = testing::CountGuiObjects();
    ASSERT_GT(before.gdi, 0u);
    ASSERT_GT(before.user, 0u);
    for (int i = 0; i < 3000; ++i) round(i);
    const testing::GuiObjectCounts after = testing::CountGuiObjects();
    EXPECT_EQ(Text(Text2), L"stranger");
    EXPECT_EQ(window_.State(), WatchState::Watching);
    EXPECT_LE(after.gdi, before.gdi);
    EXPECT_LE(after.user, before.user);
}

}  // namespace
}  // namespace velmora
