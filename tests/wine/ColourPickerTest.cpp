// The two colour pickers made in this process and driven through their controls: bars
// scrolled with the WM_HSCROLL requests a scroll bar sends, number boxes typed into (WM_SETTEXT,
// which raises EN_CHANGE as typing does), buttons clicked, keys pressed.
#include <windows.h>
// (commctrl.h needs windows.h first.)
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "colour/ColourPickerControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace ColourPickerIds;
using testing::WindowText;

constexpr int kBars[] = {H1_0, H1_1, H1_2};
constexpr int kBoxes[] = {Text1_0, Text1_1, Text1_2};

RECT ClientRectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// What a window paints into its own client area, taken with WM_PRINTCLIENT into a bitmap that
// starts out in a colour no picker uses, so unpainted spots show.
class ClientPicture {
public:
    static constexpr COLORREF kUnpainted = RGB(0x12, 0x34, 0x56);

    explicit ClientPicture(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        HBRUSH marker = CreateSolidBrush(kUnpainted);
        FillRect(dc_, &client, marker);
        DeleteObject(marker);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~ClientPicture() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    ClientPicture(const ClientPicture&) = delete;
    ClientPicture& operator=(const ClientPicture&) = delete;

    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Every text a control is given while it is watched, in order.
class TextsSet {
public:
    explicit TextsSet(HWND control) : control_(control) {
        SetWindowSubclass(control_, &Record, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~TextsSet() { RemoveWindowSubclass(control_, &Record, 1); }
    TextsSet(const TextsSet&) = delete;
    TextsSet& operator=(const TextsSet&) = delete;
    const std::vector<std::wstring>& Texts() const { return texts_; }

private:
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
        if (message == WM_SETTEXT)
            reinterpret_cast<TextsSet*>(self)->texts_.emplace_back(reinterpret_cast<const wchar_t*>(lParam));
        return DefSubclassProc(window, message, wParam, lParam);
    }
    HWND control_;
    std::vector<std::wstring> texts_;
};

class ColourPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow();
        ASSERT_NE(main_, nullptr);
    }

    // Presses the main window's ".." button of that picker and returns the picker then open.
    HWND Press(ChildWindow which) {
        const int button = which == ChildWindow::FontColour ? AwayIds::Command7 : AwayIds::Command8;
        SendMessageW(main_->Control(button), BM_CLICK, 0, 0);
        Window* picker = program_.OpenChild(which);
        return picker ? picker->Handle() : nullptr;
    }
    HWND OpenFontPicker() { return Press(ChildWindow::FontColour); }
    HWND OpenBodyPicker() { return Press(ChildWindow::BodyColour); }

    static HWND Item(HWND picker, int id) { return GetDlgItem(picker, id); }
    static std::wstring Text(HWND picker, int id) { return WindowText(Item(picker, id)); }
    static int Bar(HWND picker, int bar) { return GetScrollPos(Item(picker, bar), SB_CTL); }
    // As the scroll bar reports an arrow click, a track click, a key or the thumb.
    static void Scroll(HWND picker, int bar, int request, int position = 0) {
        SendMessageW(picker, WM_HSCROLL, MAKEWPARAM(request, position), reinterpret_cast<LPARAM>(Item(picker, bar)));
    }
    // A whole drag as the scroll bar reports it: the thumb moving, its release, the end.
    static void Drag(HWND picker, int bar, int to) {
        for (int step = 1; step <= 4; ++step) Scroll(picker, bar, SB_THUMBTRACK, to * step / 4);
        Scroll(picker, bar, SB_THUMBPOSITION, to);
        Scroll(picker, bar, SB_ENDSCROLL);
    }
    static void Type(HWND picker, int box, const wchar_t* text) {
        SendMessageW(Item(picker, box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    static void Click(HWND picker, int button) { SendMessageW(Item(picker, button), BM_CLICK, 0, 0); }
    static COLORREF Preview(HWND picker) { return ClientPicture(Item(picker, Shape1)).At(20, 20); }
    // A key as the program's message loop hands it on: through IsDialogMessage first.
    static void PressKey(HWND picker, WPARAM key) {
        MSG message{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
        if (!IsDialogMessageW(picker, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    std::wstring MainText(int id) const { return WindowText(main_->Control(id)); }

    // Bars, boxes, colour string and preview all at once, for one look at a picker's state.
    static void ExpectState(HWND picker, int red, int green, int blue, const std::vector<std::wstring>& boxes,
                            const wchar_t* colour) {
        EXPECT_EQ(Bar(picker, H1_0), red);
        EXPECT_EQ(Bar(picker, H1_1), green);
        EXPECT_EQ(Bar(picker, H1_2), blue);
        for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(Text(picker, kBoxes[i]), boxes[i]) << "box " << i;
        EXPECT_EQ(Text(picker, Label1), colour);
        EXPECT_EQ(Preview(picker), RGB(red, green, blue));
    }

    Program program_{GetModuleHandleW(nullptr)};
    AwayWindow* main_ = nullptr;
};

// ---- The windows as designed ----

struct Placed {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    RECT at;  // x, y, width, height at 96 DPI
};

const std::vector<Placed> kSameInBoth = {
    {H1_0, L"ScrollBar", L"", {8, 8, 89, 17}},           {H1_1, L"ScrollBar", L"", {8, 32, 89, 17}},
    {H1_2, L"ScrollBar", L"", {8, 56, 89, 17}},          {Shape1, L"Static", L"", {136, 8, 65, 65}},
    {Command2, L"Button", L"Cancel", {112, 80, 49, 25}}, {Command1, L"Button", L"OK", {168, 80, 33, 25}},
    {Label1, L"Static", L"000000", {40, 152, 65, 17}},
};

void ExpectPlaced(HWND picker, std::vector<Placed> controls) {
    for (const Placed& expected : controls) {
        SCOPED_TRACE(::testing::Message() << "control " << expected.id);
        HWND control = GetDlgItem(picker, expected.id);
        ASSERT_NE(control, nullptr);
        wchar_t className[64]{};
        GetClassNameW(control, className, 64);
        EXPECT_STRCASEEQ(Narrow(className).c_str(), Narrow(expected.className).c_str());
        EXPECT_EQ(WindowText(control), expected.text);
        const RECT rect = ClientRectOf(control);
        EXPECT_EQ(rect.left, expected.at.left);
        EXPECT_EQ(rect.top, expected.at.top);
        EXPECT_EQ(rect.right - rect.left, expected.at.right);
        EXPECT_EQ(rect.bottom - rect.top, expected.at.bottom);
    }
}

std::vector<Placed> Plus(std::vector<Placed> controls, std::initializer_list<Placed> more) {
    controls.insert(controls.end(), more);
    return controls;
}

TEST_F(ColourPickerTest, FontPickerIsAFixedWindowCaptionedFontColorWithItsControlsInPlace) {
    HWND picker = OpenFontPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(WindowText(picker), L"Font Color");
    RECT client{};
    GetClientRect(picker, &client);
    EXPECT_EQ(client.right, 210);
    EXPECT_EQ(client.bottom, 113);
    ExpectPlaced(picker, Plus(kSameInBoth, {{Text1_0, L"Edit", L"0", {112, 224, 25, 17}},
                                            {Text1_1, L"Edit", L"0", {120, 208, 25, 17}},
                                            {Text1_2, L"Edit", L"0", {144, 192, 25, 17}}}));
}

TEST_F(ColourPickerTest, BodyPickerIsAFixedWindowCaptionedBodyColorWithItsControlsInPlace) {
    HWND picker = OpenBodyPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(WindowText(picker), L"Body Color");
    RECT client{};
    GetClientRect(picker, &client);
    EXPECT_EQ(client.right, 209);
    EXPECT_EQ(client.bottom, 112);
    ExpectPlaced(picker, Plus(kSameInBoth, {{Text1_0, L"Edit", L"0", {32, 152, 25, 17}},
                                            {Text1_1, L"Edit", L"0", {120, 152, 25, 17}},
                                            {Text1_2, L"Edit", L"0", {136, 152, 25, 17}}}));
}

TEST_F(ColourPickerTest, BothPickersHaveNoMinimiseOrMaximiseBoxAreNotSizableAndOpenCentred) {
    for (HWND picker : {OpenFontPicker(), OpenBodyPicker()}) {
        ASSERT_NE(picker, nullptr);
        SCOPED_TRACE(Narrow(WindowText(picker)));
        const LONG style = GetWindowLongW(picker, GWL_STYLE);
        EXPECT_FALSE(style & WS_MINIMIZEBOX);
        EXPECT_FALSE(style & WS_MAXIMIZEBOX);
        EXPECT_FALSE(style & WS_THICKFRAME);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_EQ(GetWindow(picker, GW_OWNER), nullptr);
        RECT window{}, work{};
        GetWindowRect(picker, &window);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR(window.left - work.left, work.right - window.right, 1);
        EXPECT_NEAR(window.top - work.top, work.bottom - window.bottom, 1);
    }
}

TEST_F(ColourPickerTest, TheColourStringIsSmallTahomaBold) {
    HWND picker = OpenFontPicker();
    LOGFONTW font{};
    ASSERT_TRUE(
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(picker, Label1), WM_GETFONT, 0, 0)), sizeof font, &font));
    EXPECT_EQ(Narrow(font.lfFaceName), "Tahoma");
    EXPECT_EQ(font.lfHeight, -9);  // 6.75 pt at 96 DPI
    EXPECT_GE(font.lfWeight, FW_BOLD);
}

TEST_F(ColourPickerTest, AWhitePanelLiesBehindEverythingInASunkenFrame) {
    struct Probe {
        int x, y;
        COLORREF colour;
    };
    const COLORREF grey = RGB(0x80, 0x80, 0x80);
    const COLORREF light = RGB(0xE0, 0xE0, 0xE0);
    const COLORREF white = RGB(0xFF, 0xFF, 0xFF);
    const Probe common[] = {{0, 50, grey},    {100, 0, grey},    {208, 50, light},
                            {100, 50, white}, {120, 100, white}, {1, 1, white}};
    HWND font = OpenFontPicker();
    HWND body = OpenBodyPicker();
    for (HWND picker : {font, body}) {
        SCOPED_TRACE(Narrow(WindowText(picker)));
        ClientPicture picture(picker);
        for (const Probe& probe : common)
            EXPECT_EQ(picture.At(probe.x, probe.y), probe.colour) << probe.x << "," << probe.y;
    }
    // The font picker's client area is one pixel wider and taller than the panel's frame.
    ClientPicture picture(font);
    EXPECT_EQ(picture.At(100, 112), light);
    EXPECT_EQ(picture.At(209, 50), ClientPicture::kUnpainted);
}

TEST_F(ColourPickerTest, BarsRunFrom0To255AndEverythingStartsAtBlack) {
    for (HWND picker : {OpenFontPicker(), OpenBodyPicker()}) {
        SCOPED_TRACE(Narrow(WindowText(picker)));
        for (int bar : kBars) {
            int low = -1, high = -1;
            GetScrollRange(Item(picker, bar), SB_CTL, &low, &high);
            EXPECT_EQ(low, 0);
            EXPECT_EQ(high, 255);
            EXPECT_EQ(GetWindowLongW(Item(picker, bar), GWL_STYLE) & SBS_VERT, 0);
        }
        ExpectState(picker, 0, 0, 0, {L"0", L"0", L"0"}, L"000000");
    }
}

// ---- Focus and keys ----

void ExpectFocusOrder(HWND picker, const std::vector<int>& order) {
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), order.front()) << "focused on opening";
    HWND control = GetDlgItem(picker, order.front());
    for (size_t i = 1; i < order.size(); ++i) {
        control = GetNextDlgTabItem(picker, control, FALSE);
        EXPECT_EQ(GetDlgCtrlID(control), order[i]) << "after position " << i - 1;
    }
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(picker, control, FALSE)), order.front()) << "after the last";
}

TEST_F(ColourPickerTest, FontPickerOpensOnTheBlueBarAndTabsInItsOwnOrder) {
    HWND picker = OpenFontPicker();
    ExpectFocusOrder(picker, {H1_2, H1_1, Command2, Command1, Text1_2, Text1_1, H1_0, Text1_0});
}

TEST_F(ColourPickerTest, BodyPickerOpensOnTheHiddenRedBoxAndTabsInItsOwnOrder) {
    HWND picker = OpenBodyPicker();
    ExpectFocusOrder(picker, {Text1_0, H1_0, Text1_1, Text1_2, Command1, Command2, H1_1, H1_2});
}

TEST_F(ColourPickerTest, DigitsTypedStraightAfterOpeningTheBodyPickerSetRed) {
    HWND picker = OpenBodyPicker();
    HWND box = GetFocus();
    ASSERT_EQ(box, Item(picker, Text1_0));
    // The box's "0" is selected, so the typed digits replace it.
    for (wchar_t digit : std::wstring(L"12")) SendMessageW(box, WM_CHAR, digit, 1);
    ExpectState(picker, 12, 0, 0, {L"12", L"0", L"0"}, L"0C0000");
}

TEST_F(ColourPickerTest, KeysOnAFocusedBarStepByOneAndPageByFive) {
    HWND picker = OpenFontPicker();
    HWND blue = Item(picker, H1_2);
    ASSERT_EQ(GetFocus(), blue);
    PressKey(picker, VK_RIGHT);
    EXPECT_EQ(Bar(picker, H1_2), 1);
    PressKey(picker, VK_NEXT);
    EXPECT_EQ(Bar(picker, H1_2), 6);
    PressKey(picker, VK_LEFT);
    EXPECT_EQ(Bar(picker, H1_2), 5);
    PressKey(picker, VK_END);
    EXPECT_EQ(Bar(picker, H1_2), 255);
    PressKey(picker, VK_PRIOR);
    ExpectState(picker, 0, 0, 250, {L"0", L"0", L"250"}, L"0000FA");
    PressKey(picker, VK_HOME);
    ExpectState(picker, 0, 0, 0, {L"0", L"0", L"0"}, L"000000");
}

TEST_F(ColourPickerTest, EnterAndEscOnABarNeitherWriteNorClose) {
    HWND picker = OpenFontPicker();
    ASSERT_EQ(GetFocus(), Item(picker, H1_2));
    PressKey(picker, VK_RETURN);
    PressKey(picker, VK_ESCAPE);
    EXPECT_NE(program_.OpenChild(ChildWindow::FontColour), nullptr);
    EXPECT_TRUE(IsWindow(picker));
    EXPECT_EQ(MainText(AwayIds::Text6), L"FFFFFF");
}

TEST_F(ColourPickerTest, NeitherButtonIsTheDefaultButEnterPressesAFocusedButton) {
    HWND picker = OpenFontPicker();
    for (int button : {Command1, Command2})
        EXPECT_EQ(GetWindowLongW(Item(picker, button), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
    SetFocus(Item(picker, Command1));
    PressKey(picker, VK_ESCAPE);
    ASSERT_TRUE(IsWindow(picker)) << "Esc closed the picker";
    PressKey(picker, VK_RETURN);
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(MainText(AwayIds::Text6), L"000000");
}

// ---- The bar-change rule ----

TEST_F(ColourPickerTest, ArrowClicksStepByOneAndTrackClicksByFiveWithinTheRange) {
    HWND picker = OpenFontPicker();
    Scroll(picker, H1_0, SB_LINERIGHT);
    ExpectState(picker, 1, 0, 0, {L"1", L"0", L"0"}, L"010000");
    Scroll(picker, H1_0, SB_PAGERIGHT);
    ExpectState(picker, 6, 0, 0, {L"6", L"0", L"0"}, L"060000");
    Scroll(picker, H1_0, SB_PAGELEFT);
    Scroll(picker, H1_0, SB_LINELEFT);
    ExpectState(picker, 0, 0, 0, {L"0", L"0", L"0"}, L"000000");
    // Past either end the bar stops there.
    Scroll(picker, H1_0, SB_LINELEFT);
    Scroll(picker, H1_0, SB_PAGELEFT);
    EXPECT_EQ(Bar(picker, H1_0), 0);
    SetScrollPos(Item(picker, H1_1), SB_CTL, 253, FALSE);
    Scroll(picker, H1_1, SB_PAGERIGHT);
    ExpectState(picker, 0, 255, 0, {L"0", L"255", L"0"}, L"00FF00");
    Scroll(picker, H1_1, SB_LINERIGHT);
    EXPECT_EQ(Bar(picker, H1_1), 255);
}

TEST_F(ColourPickerTest, NothingChangesWhileAThumbIsDraggedOnlyWhenItIsReleased) {
    HWND picker = OpenFontPicker();
    for (int at : {50, 100, 200}) {
        Scroll(picker, H1_1, SB_THUMBTRACK, at);
        ExpectState(picker, 0, 0, 0, {L"0", L"0", L"0"}, L"000000");
    }
    Scroll(picker, H1_1, SB_THUMBPOSITION, 200);
    ExpectState(picker, 0, 200, 0, {L"0", L"200", L"0"}, L"00C800");
    Scroll(picker, H1_1, SB_ENDSCROLL);
    ExpectState(picker, 0, 200, 0, {L"0", L"200", L"0"}, L"00C800");
}

TEST_F(ColourPickerTest, ColourStringsAreTwoUpperCaseHexDigitsPerChannel) {
    HWND picker = OpenBodyPicker();
    Drag(picker, H1_0, 255);
    Drag(picker, H1_2, 128);
    ExpectState(picker, 255, 0, 128, {L"255", L"0", L"128"}, L"FF0080");
    Drag(picker, H1_0, 10);
    Drag(picker, H1_1, 11);
    Drag(picker, H1_2, 12);
    ExpectState(picker, 10, 11, 12, {L"10", L"11", L"12"}, L"0A0B0C");
    for (int bar : kBars) Drag(picker, bar, 255);
    ExpectState(picker, 255, 255, 255, {L"255", L"255", L"255"}, L"FFFFFF");
    Drag(picker, H1_1, 171);
    EXPECT_EQ(Text(picker, Label1), L"FFABFF");
}

TEST_F(ColourPickerTest, ABarChangeRewritesOnlyItsOwnBoxButRebuildsTheStringFromAllBars) {
    HWND picker = OpenFontPicker();
    Drag(picker, H1_2, 7);
    Type(picker, Text1_0, L"abc");  // refused: red stays 0 and the box keeps the text
    Type(picker, Text1_2, L"007");  // blue is 7 already: nothing happens
    Drag(picker, H1_1, 200);
    ExpectState(picker, 0, 200, 7, {L"abc", L"200", L"007"}, L"00C807");
}

TEST_F(ColourPickerTest, TheColourStringIsSetOnceWholePerChange) {
    HWND picker = OpenFontPicker();
    Drag(picker, H1_2, 1);
    TextsSet label(Item(picker, Label1));
    Scroll(picker, H1_0, SB_PAGERIGHT);
    Type(picker, Text1_1, L"16");
    Drag(picker, H1_2, 255);
    EXPECT_EQ(label.Texts(), (std::vector<std::wstring>{L"050001", L"051001", L"0510FF"}));
}

// ---- The number-box rule ----

TEST_F(ColourPickerTest, ANumberTypedIntoABoxMovesItsBar) {
    HWND picker = OpenFontPicker();
    Type(picker, Text1_0, L"12");
    ExpectState(picker, 12, 0, 0, {L"12", L"0", L"0"}, L"0C0000");
    Type(picker, Text1_2, L"255");
    Type(picker, Text1_1, L"0");
    ExpectState(picker, 12, 0, 255, {L"12", L"0", L"255"}, L"0C00FF");
}

TEST_F(ColourPickerTest, AcceptedNumbersAreRewrittenAsPlainDecimal) {
    struct Case {
        const wchar_t* typed;
        int value;
        const wchar_t* shown;
        const wchar_t* colour;
    };
    const Case cases[] = {
        {L" 12 ", 12, L"12", L"00000C"},    {L"+13", 13, L"13", L"00000D"}, {L"12.5", 12, L"12", L"00000C"},
        {L"13.5", 14, L"14", L"00000E"},    {L"007", 7, L"7", L"000007"},   {L"\t200", 200, L"200", L"0000C8"},
        {L"255.4", 255, L"255", L"0000FF"},
    };
    HWND picker = OpenFontPicker();
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.typed));
        Type(picker, Text1_2, L"1");  // another value first, so each case moves the bar
        Type(picker, Text1_2, c.typed);
        ExpectState(picker, 0, 0, c.value, {L"0", L"0", c.shown}, c.colour);
    }
}

TEST_F(ColourPickerTest, RefusedTextsStayInTheBoxAndChangeNothingElse) {
    HWND picker = OpenFontPicker();
    Drag(picker, H1_0, 10);
    Drag(picker, H1_1, 20);
    Drag(picker, H1_2, 30);
    for (const wchar_t* typed : {L"300", L"256", L"-1", L"abc", L"", L"32768", L"1e2", L"12a", L"-0.6"}) {
        SCOPED_TRACE(Narrow(typed));
        Type(picker, Text1_1, typed);
        ExpectState(picker, 10, 20, 30, {L"10", typed, L"30"}, L"0A141E");
    }
    EXPECT_EQ(Window::OpenWindowCount(), 2) << "no message box, no other window";
}

TEST_F(ColourPickerTest, ASameValueTypedAgainLeavesTheTextAsTyped) {
    HWND picker = OpenFontPicker();
    Type(picker, Text1_0, L"7");
    Type(picker, Text1_0, L"007");
    ExpectState(picker, 7, 0, 0, {L"007", L"0", L"0"}, L"070000");
}

// ---- OK, Cancel, the close box, and opening again ----

TEST_F(ColourPickerTest, OkAtOnceWritesBlackIntoTheFontBoxOnlyAndCloses) {
    HWND picker = OpenFontPicker();
    ASSERT_EQ(MainText(AwayIds::Text6), L"FFFFFF");
    Click(picker, Command1);
    EXPECT_EQ(MainText(AwayIds::Text6), L"000000");
    EXPECT_EQ(MainText(AwayIds::Text7), L"FFFFFF");
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(program_.OpenChild(ChildWindow::FontColour), nullptr);
}

TEST_F(ColourPickerTest, OkWritesTheMixedColourIntoTheBodyBoxOnly) {
    HWND picker = OpenBodyPicker();
    Drag(picker, H1_2, 128);
    Click(picker, Command1);
    EXPECT_EQ(MainText(AwayIds::Text7), L"000080");
    EXPECT_EQ(MainText(AwayIds::Text6), L"FFFFFF");
    EXPECT_FALSE(IsWindow(picker));
}

TEST_F(ColourPickerTest, WithBothOpenEachWritesOnlyItsOwnBox) {
    HWND font = OpenFontPicker();
    HWND body = OpenBodyPicker();
    ASSERT_NE(font, body);
    Drag(font, H1_0, 255);
    Drag(font, H1_2, 128);
    Type(body, Text1_2, L"128");
    Click(body, Command1);
    EXPECT_EQ(MainText(AwayIds::Text7), L"000080");
    EXPECT_EQ(MainText(AwayIds::Text6), L"FFFFFF");
    EXPECT_EQ(Text(font, Label1), L"FF0080") << "the other picker kept its state";
    Click(font, Command1);
    EXPECT_EQ(MainText(AwayIds::Text6), L"FF0080");
    EXPECT_EQ(MainText(AwayIds::Text7), L"000080");
}

TEST_F(ColourPickerTest, CancelAndTheCloseBoxWriteNothing) {
    HWND picker = OpenFontPicker();
    Drag(picker, H1_0, 255);
    Click(picker, Command2);
    EXPECT_FALSE(IsWindow(picker));
    picker = OpenBodyPicker();
    Drag(picker, H1_0, 255);
    SendMessageW(picker, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(MainText(AwayIds::Text6), L"FFFFFF");
    EXPECT_EQ(MainText(AwayIds::Text7), L"FFFFFF");
}

TEST_F(ColourPickerTest, AfterOkCancelOrTheCloseBoxThePickerOpensAgainAtBlack) {
    const auto close = std::vector<void (*)(HWND)>{
        [](HWND picker) { Click(picker, Command1); },
        [](HWND picker) { Click(picker, Command2); },
        [](HWND picker) { SendMessageW(picker, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (size_t way = 0; way < close.size(); ++way) {
        SCOPED_TRACE(way);
        HWND picker = OpenBodyPicker();
        Drag(picker, H1_0, 40);
        Drag(picker, H1_1, 50);
        Type(picker, Text1_2, L"60");
        close[way](picker);
        ASSERT_FALSE(IsWindow(picker));
        picker = OpenBodyPicker();
        ASSERT_NE(picker, nullptr);
        ExpectState(picker, 0, 0, 0, {L"0", L"0", L"0"}, L"000000");
        Click(picker, Command2);
    }
}

TEST_F(ColourPickerTest, PressingDotDotAgainBringsTheOpenPickerBackWithItsState) {
    HWND first = OpenFontPicker();
    Drag(first, H1_1, 99);
    Type(first, Text1_0, L"xyz");
    SetForegroundWindow(main_->Handle());
    HWND second = OpenFontPicker();
    EXPECT_EQ(second, first);
    EXPECT_EQ(Window::OpenWindowCount(), 2);
    EXPECT_EQ(GetForegroundWindow(), first);
    ExpectState(first, 0, 99, 0, {L"xyz", L"99", L"0"}, L"006300");
}

TEST_F(ColourPickerTest, OkAfterTheMainWindowClosedDropsTheColourAndEndsTheProgram) {
    HWND picker = OpenFontPicker();
    Drag(picker, H1_0, 255);
    SendMessageW(main_->Handle(), WM_CLOSE, 0, 0);
    ASSERT_EQ(program_.OpenMainWindow(), nullptr);
    ASSERT_TRUE(IsWindow(picker)) << "an open picker outlives the main window";
    Click(picker, Command1);
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(program_.OpenMainWindow(), nullptr);
    EXPECT_EQ(Window::OpenWindowCount(), 0);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace velmora
