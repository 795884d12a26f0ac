#include "aim/PersonalWindow.h"

#include <commctrl.h>

#include <array>
#include <span>

#include "aim/AIM.h"
#include "aim/PersonalControls.h"
#include "res/resource.h"

namespace velmora {
namespace {

using namespace PersonalIds;

constexpr FontSpec kSmallBold = Tahoma(675, true);
constexpr FontSpec kSansSerif{L"MS Sans Serif", 825, false};

constexpr Paint kBlue = Paint::Rgb(0x0000C0);
constexpr Paint kPanelWhite = Paint::Rgb(0xFFFFFF);
constexpr Paint kSystemWindow = Paint::System(COLOR_WINDOW);
constexpr Paint kGrey80 = Paint::Rgb(0x808080);
constexpr Paint kGreyC0 = Paint::Rgb(0xC0C0C0);

constexpr DWORD kEdit = WS_TABSTOP | ES_AUTOHSCROLL;

// Table order is creation order, which is the Tab order: Text1, Text2, Text3.
constexpr std::array kControls{
    ControlSpec{Text1, WC_EDITW, L"Pellbrook", kEdit, WS_EX_CLIENTEDGE, 16, 32, 161, 19, kSmallBold, kBlue,
                kSystemWindow},
    // Below the bottom of the client area (203): the user does not see it.
    ControlSpec{Text2, WC_EDITW, L"", kEdit, WS_EX_CLIENTEDGE, 16, 248, 145, 19, kSansSerif, kNone, kNone},
    ControlSpec{Text3, WC_EDITW, L"Personal Message - I'll  Be right back\r\n",
                WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, WS_EX_CLIENTEDGE, 16, 64, 273,
                113, kSmallBold, kNone, kNone},
    // The switch lies on the white panel and shows it through.
    ControlSpec{Label2, WC_STATICW, L"Off", SS_LEFT | SS_NOTIFY, 0, 208, 28, 57, 17, kOwnFont, kNone, kPanelWhite},
};

// Label1, the white panel behind the visible controls.
constexpr std::array kPanel{PaintedRect{8, 8, 297, 185, kPanelWhite, kNone}};

// Shape1, the state lamp, as designed (switched off). It is painted in the colour of the state
// that the switch's caption and Timer1 show, so it can never disagree with them.
constexpr PaintedRect kShape1{192, 32, 9, 9, Paint::Rgb(0xC00000), kGreyC0};

// Line1 to Line4: a sunken frame round the panel.
constexpr std::array kLines{
    PaintedLine{8, 8, 304, 8, kGrey80},
    PaintedLine{304, 8, 304, 192, kGreyC0},
    PaintedLine{304, 192, 8, 192, kGreyC0},
    PaintedLine{8, 8, 8, 192, kGrey80},
};

// The boxes have no label: their names for a screen reader.
constexpr std::array kNames{
    AccessibleName{Text1, L"Names to answer"},
    AccessibleName{Text2, L"Last sender seen"},
    AccessibleName{Text3, L"Reply"},
};

constexpr TableDesign kDesign{
    {L"VelmoraPersonal", L"Personal Away Msg", 314, 203, false, IDI_TOOLS},
    kControls,
    Tahoma(825, true),
    kPanel,
    kLines,
    Side::Right,
    false,
    false,
    kNames,
};

}  // namespace

PersonalWindow::PersonalWindow(HINSTANCE instance)
    : TableWindow(instance, kDesign), timer1_(Timer1, Timer1IntervalMs) {}

LRESULT PersonalWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_TIMER: OnTimer(wParam); return 0;
        default: return TableWindow::HandleOwnMessage(message, wParam, lParam);
    }
}

void PersonalWindow::OnCreate() { AddTip(Label2, L"Switches the watch on or off (Ctrl+Enter)"); }

bool PersonalWindow::OnKey(const MSG& message) {
    // From any box, the reply's too, where Enter alone starts a new line.
    if (message.wParam != VK_RETURN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
    if (IsFirstPress(message)) OnSwitchClicked();
    return message.message == WM_KEYDOWN;
}

void PersonalWindow::OnCommand(int id, int notification) {
    // A second click soon after the first arrives as a double-click: it is a click too.
    if (id == Label2 && (notification == STN_CLICKED || notification == STN_DBLCLK)) OnSwitchClicked();
    if (id == Text2 && notification == EN_CHANGE) OnSenderChanged();
}

WatchState PersonalWindow::State() const { return StateFromLook(Text(Label2), timer1_.Runs()); }

void PersonalWindow::OnSwitchClicked() { ShowLook(LookOf(AfterSwitchClick(State()))); }

void PersonalWindow::ShowLook(const WatchLook& look) {
    SetText(Label2, look.caption);
    if (look.timerRuns)
        timer1_.Start(Handle());
    else
        timer1_.Stop(Handle());
    // The lamp's colour follows from the caption and the timer.
    const RECT lamp = LampRect();
    InvalidateRect(Handle(), &lamp, FALSE);
}

void PersonalWindow::OnTimer(UINT_PTR id) {
    // Only ticks of the running watch clock read the IM window.
    if (id != timer1_.Id() || !timer1_.Runs()) return;
    const ImReading sender = LastImSender();
    // A client that did not answer in time, or answered nonsense, tells nothing about the sender.
    if (sender.Failed()) return;
    // Writing the same name again is no change, so the box only changes with a new sender;
    // its EN_CHANGE runs the reply test inside this tick.
    if (sender.text != Text(Text2)) SetText(Text2, sender.text);
}

void PersonalWindow::OnSenderChanged() {
    // A sender that arrives while the reply is on its way (the client may answer slowly) sends
    // nothing more.
    if (replying_) return;
    const std::wstring sender = Text(Text2);
    // The reply goes into the first IM window only when its title names this sender as its
    // buddy: a line that merely reads as a listed name's, typed by someone else, gets nothing.
    ImWindow im = FirstImWindow();
    if (!SenderIsTheBuddy(ImWindowTitle(im), sender)) return;
    const SenderOutcome outcome = AfterSenderChange(State(), Text(Text1), sender);
    if (!outcome.sendReply) return;
    // Send, then stop the watch; the switch and the lamp stay as they are.
    {
        replying_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{replying_};
        SendImTextTo(im, Text(Text3));
    }
    if (!LookOf(outcome.next).timerRuns) timer1_.Stop(Handle());
}

// Shape1 over the panel.
void PersonalWindow::PaintMore(HDC dc) {
    PaintedRect lamp = kShape1;
    lamp.fill = Paint::Rgb(LookOf(State()).lampRgb);
    Controls().PaintRects(dc, std::span(&lamp, 1));
}

RECT PersonalWindow::LampRect() const noexcept {
    return Controls().ScaleRect(kShape1.x, kShape1.y, kShape1.width, kShape1.height);
}

}  // namespace velmora
