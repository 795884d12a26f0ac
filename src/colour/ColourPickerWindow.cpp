#include "colour/ColourPickerWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "colour/ColourPickerControls.h"
#include "colour/ColourRules.h"
#include "compose/Composer.h"
#include "compose/Messages.h"
#include "res/resource.h"

namespace velmora {

using namespace ColourPickerIds;

namespace {

constexpr int kChannels = 3;
constexpr int kBarMin = 0;
constexpr int kBarMax = 255;

constexpr FontSpec kLabelFont = Tahoma(675, true);

constexpr Paint kBlack = Paint::Rgb(0x000000);
constexpr Paint kPanelWhite = Paint::Rgb(0xFFFFFF);

constexpr DWORD kBar = WS_TABSTOP | SBS_HORZ;
constexpr DWORD kBox = WS_TABSTOP | ES_AUTOHSCROLL;

// Controls both pickers place alike; the number boxes' places differ.
constexpr ControlSpec kRedBar{H1_0, WC_SCROLLBARW, L"", kBar, 0, 8, 8, 89, 17, kOwnFont, kNone, kNone};
constexpr ControlSpec kGreenBar{H1_1, WC_SCROLLBARW, L"", kBar, 0, 8, 32, 89, 17, kOwnFont, kNone, kNone};
constexpr ControlSpec kBlueBar{H1_2, WC_SCROLLBARW, L"", kBar, 0, 8, 56, 89, 17, kOwnFont, kNone, kNone};
constexpr ControlSpec kCancel{Command2, WC_BUTTONW, L"Cancel", kButton, 0, 112, 80, 49, 25, kOwnFont, kNone, kNone};
constexpr ControlSpec kOk{Command1, WC_BUTTONW, L"OK", kButton, 0, 168, 80, 33, 25, kOwnFont, kNone, kNone};
// The preview: an empty label (SS_LEFT) filled with the mixed colour, framed like a shape.
constexpr ControlSpec kPreview{Shape1, WC_STATICW, L"", WS_BORDER, 0, 136, 8, 65, 65, kOwnFont, kNone, kBlack};
// The colour string; it lies below the visible client area, and OK reads it.
constexpr ControlSpec kLabel1{Label1, WC_STATICW, L"000000", SS_LEFT, 0, 40, 152, 65, 17, kLabelFont, kNone, kNone};

constexpr ControlSpec NumberBox(int id, int x, int y) {
    return {id, WC_EDITW, L"0", kBox, WS_EX_CLIENTEDGE, x, y, 25, 17, kOwnFont, kNone, kNone};
}

// Table order is creation order, which is the Tab order; the labels take no focus and come last.
constexpr std::array kFontPickerControls{
    kBlueBar,
    kGreenBar,
    kCancel,
    kOk,
    NumberBox(Text1_2, 144, 192),
    NumberBox(Text1_1, 120, 208),
    kRedBar,
    NumberBox(Text1_0, 112, 224),
    kPreview,
    kLabel1,
};
// The body picker opens with the red number box focused: digits typed at once set red.
constexpr std::array kBodyPickerControls{
    NumberBox(Text1_0, 32, 152),
    kRedBar,
    NumberBox(Text1_1, 120, 152),
    NumberBox(Text1_2, 136, 152),
    kOk,
    kCancel,
    kGreenBar,
    kBlueBar,
    kPreview,
    kLabel1,
};

// The white panel Label2 behind everything, and a sunken frame round the client area.
constexpr Paint kGrey80 = Paint::Rgb(0x808080);
constexpr Paint kGreyE0 = Paint::Rgb(0xE0E0E0);
constexpr std::array kPanel{PaintedRect{0, 0, 209, 113, kPanelWhite, kNone}};
constexpr std::array kFrame{
    PaintedLine{0, 0, 0, 112, kGrey80},
    PaintedLine{0, 0, 208, 0, kGrey80},
    PaintedLine{0, 112, 208, 112, kGreyE0},
    PaintedLine{208, 112, 208, 0, kGreyE0},
};

// The bars and the boxes have no label: their names for a screen reader.
constexpr std::array kNames{
    AccessibleName{H1_0, L"Red"},
    AccessibleName{H1_1, L"Green"},
    AccessibleName{H1_2, L"Blue"},
    AccessibleName{Text1_0, L"Red value"},
    AccessibleName{Text1_1, L"Green value"},
    AccessibleName{Text1_2, L"Blue value"},
};

int BarId(int channel) { return H1_0 + channel; }
int BoxId(int channel) { return Text1_0 + channel; }

// The preview value is in Windows' order (red in the low byte) and Paint takes 0xRRGGBB; the
// byte swap is its own inverse.
Paint PaintOfColourRef(std::uint32_t colourRef) { return Paint::Rgb(ColourRefFromRgb(colourRef)); }

}  // namespace

const TableDesign& ColourPickerWindow::DesignFor(Kind kind) {
    static constexpr TableDesign kFontPicker{
        {L"VelmoraFontColour", L"Font Color", 210, 113, false, IDI_TOOLS},
        kFontPickerControls,
        Tahoma(825),
        kPanel,
        kFrame,
        Side::Right,
        false,
        false,
        kNames,
    };
    static constexpr TableDesign kBodyPicker{
        {L"VelmoraBodyColour", L"Body Color", 209, 112, false, IDI_TOOLS},
        kBodyPickerControls,
        Tahoma(825),
        kPanel,
        kFrame,
        Side::Right,
        false,
        false,
        kNames,
    };
    return kind == Kind::FontColour ? kFontPicker : kBodyPicker;
}

ColourPickerWindow::ColourPickerWindow(HINSTANCE instance, Composer& composer, Kind kind)
    : TableWindow(instance, DesignFor(kind)), composer_(composer), kind_(kind) {}

LRESULT ColourPickerWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case DM_GETDEFID: return OnGetDefaultButton();
        case WM_HSCROLL: OnBarScrolled(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam)); return 0;
        default: return TableWindow::HandleOwnMessage(message, wParam, lParam);
    }
}

void ColourPickerWindow::OnCreate() {
    for (int channel = 0; channel < kChannels; ++channel) {
        SCROLLINFO range{};
        range.cbSize = sizeof(range);
        range.fMask = SIF_RANGE | SIF_POS;
        range.nMin = kBarMin;
        range.nMax = kBarMax;
        range.nPos = kBarMin;
        SetScrollInfo(Control(BarId(channel)), SB_CTL, &range, TRUE);
    }
}

LRESULT ColourPickerWindow::OnGetDefaultButton() const {
    // Enter asks for the default button. There is none: Enter presses a button only while it
    // has the focus, and otherwise nothing.
    HWND focus = GetFocus();
    for (int button : {Command1, Command2})
        if (focus && focus == Control(button)) return MAKELRESULT(button, DC_HASDEFID);
    return 0;
}

void ColourPickerWindow::OnCommand(int id, int notification) {
    // Esc, and Enter with no button focused, arrive as IDOK and IDCANCEL, which no control here
    // has: they press nothing.
    switch (id) {
        case Command1:
            if (notification == BN_CLICKED) OnOkClicked();
            break;
        case Command2:
            if (notification == BN_CLICKED) OnCancelClicked();
            break;
        case Text1_0:
        case Text1_1:
        case Text1_2:
            if (notification == EN_CHANGE) OnNumberBoxChanged(id - Text1_0);
            break;
        default: break;
    }
}

void ColourPickerWindow::OnBarScrolled(HWND bar, int request, int thumbPosition) {
    const int channel = GetDlgCtrlID(bar) - H1_0;
    if (channel < 0 || channel >= kChannels || Control(BarId(channel)) != bar) return;
    // A scroll bar control only reports; the position moves when it is set here.
    int value = BarValue(channel);
    switch (request) {
        case SB_LINELEFT: value -= kArrowStep; break;
        case SB_LINERIGHT: value += kArrowStep; break;
        case SB_PAGELEFT: value -= kPageStep; break;
        case SB_PAGERIGHT: value += kPageStep; break;
        case SB_LEFT: value = kBarMin; break;   // Home
        case SB_RIGHT: value = kBarMax; break;  // End
        case SB_THUMBPOSITION: value = thumbPosition; break;
        // SB_THUMBTRACK: nothing changes while the thumb is dragged, only when it is released.
        // SB_ENDSCROLL: the change itself has already run.
        default: return;
    }
    SetBarValue(channel, std::clamp(value, kBarMin, kBarMax));
    OnBarChanged(channel);
}

// Runs after every completed change of a bar: preview, that channel's box, the colour string.
void ColourPickerWindow::OnBarChanged(int channel) {
    const int red = BarValue(0);
    const int green = BarValue(1);
    const int blue = BarValue(2);
    Controls().SetBackColour(Shape1, PaintOfColourRef(PreviewColour(red, green, blue)));

    // The rewrite raises EN_CHANGE; the box rule then reads the bar's own value and stops.
    // An unchanged text is left alone: rewriting it would only move the caret of a box being typed in.
    const std::wstring boxText = ChannelText(BarValue(channel));
    if (Text(BoxId(channel)) != boxText) SetText(BoxId(channel), boxText);

    // Built apart and set once, so nothing ever sees a partial or overlong colour string.
    SetText(Label1, ColourString(BarValue(0), BarValue(1), BarValue(2)));
}

// Runs after every change of a number box's text, typed or set by the bar rule.
void ColourPickerWindow::OnNumberBoxChanged(int channel) {
    // Every failure leaves bar, box, preview and colour string as they are, silently.
    const std::optional<std::int16_t> number = ParseChannelText(Text(BoxId(channel)));
    if (!number || !IsChannelValue(*number)) return;
    if (*number == BarValue(channel)) return;
    SetBarValue(channel, *number);
    OnBarChanged(channel);
}

void ColourPickerWindow::OnOkClicked() {
    const std::wstring colour = Text(Label1);
    // A picker outlives the main window; with no box left to write to, the colour is dropped
    // and the main window is not brought back.
    if (composer_.IsOpen()) {
        if (kind_ == Kind::FontColour)
            composer_.SetFontColour(colour);
        else
            composer_.SetBodyColour(colour);
    }
    Close();
}

void ColourPickerWindow::OnCancelClicked() { Close(); }

void ColourPickerWindow::Close() {
    // Everything goes with the window; the next opening starts from the design.
    DestroyWindow(Handle());
}

LRESULT ColourPickerWindow::OnControlColour(UINT message, HWND control, HDC dc) {
    if (control == Control(Shape1)) {
        // The preview takes any of 16 million colours: the DC's own brush paints it, so no
        // brush is made (and kept) per colour.
        SetDCBrushColor(dc, ColourOf(Controls().BackColour(Shape1)));
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    return TableWindow::OnControlColour(message, control, dc);
}

int ColourPickerWindow::BarValue(int channel) const { return GetScrollPos(Control(BarId(channel)), SB_CTL); }

void ColourPickerWindow::SetBarValue(int channel, int value) {
    SetScrollPos(Control(BarId(channel)), SB_CTL, value, TRUE);
}

}  // namespace velmora
