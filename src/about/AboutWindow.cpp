#include "about/AboutWindow.h"

#include <commctrl.h>

#include <array>

#include "about/AboutControls.h"
#include "misc/Shell.h"
#include "res/resource.h"

namespace velmora {
namespace {

using namespace AboutIds;

constexpr FontSpec kTitleFont = Tahoma(975, true);

constexpr Paint kSeeThrough = Paint::Transparent();
constexpr Paint kNavy = Paint::Rgb(0x000080);

// Word-wrapped, and text shown as written (no "&" accelerators).
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;

// The labels lie on the white panel and let it show through.
constexpr std::array kControls{
    ControlSpec{Label2, WC_STATICW, L"About Velmora", SS_CENTER | SS_NOPREFIX, 0, 16, 16, 273, 33, kTitleFont,
                Paint::System(COLOR_DESKTOP), kSeeThrough},
    ControlSpec{Label3, WC_STATICW, L"Written by the Velmora developers", kLabel, 0, 24, 56, 233, 17, kOwnFont,
                Paint::System(COLOR_BTNTEXT), kSeeThrough},
    ControlSpec{Label4, WC_STATICW, L"Velmora (c) 2026", kLabel, 0, 24, 72, 233, 25, kOwnFont,
                Paint::System(COLOR_BTNTEXT), kSeeThrough},
    ControlSpec{Label5, WC_STATICW, L"Visit My Website:", kLabel, 0, 24, 96, 97, 17, kOwnFont, kNavy, kSeeThrough},
    // The caption is both what is shown and what is opened.
    ControlSpec{Label6, WC_STATICW, L"https://velmora.github.io", kLabel | SS_NOTIFY, 0, 128, 96, 153, 17, kOwnFont,
                kNavy, kSeeThrough},
};

// Label1, the white panel.
constexpr std::array kRects{
    PaintedRect{8, 8, 297, 113, Paint::Rgb(0xFFFFFF), kNone},
};

// Line1 under the title, then the frame: dark at the top and left, light at the right and bottom.
constexpr std::array kLines{
    PaintedLine{16, 40, 288, 40, Paint::Rgb(0xE0E0E0)},  PaintedLine{8, 8, 304, 8, Paint::Rgb(0x404040)},
    PaintedLine{304, 8, 304, 120, Paint::Rgb(0xC0C0C0)}, PaintedLine{304, 120, 8, 120, Paint::Rgb(0xC0C0C0)},
    PaintedLine{8, 8, 8, 120, Paint::Rgb(0x404040)},
};

constexpr TableDesign kDesign{
    {L"VelmoraAbout", L"About", 312, 129, false, IDI_INFO}, kControls, Tahoma(825, true), kRects, kLines,
};

}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance) : TableWindow(instance, kDesign) {}

LRESULT AboutWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == Label6 && HIWORD(wParam) == STN_CLICKED) {
        OnLinkClicked();
        return 0;
    }
    return TableWindow::HandleOwnMessage(message, wParam, lParam);
}

void AboutWindow::OnCreate() { AddTip(Label6, L"Opens the website (Enter)"); }

bool AboutWindow::OnKey(const MSG& message) {
    // The window has no box that Enter would belong to.
    if (message.wParam != VK_RETURN || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 ||
        GetKeyState(VK_SHIFT) < 0)
        return false;
    if (IsFirstPress(message)) OnLinkClicked();
    return message.message == WM_KEYDOWN;
}

// The caption is both what is shown and what is opened.
void AboutWindow::OnLinkClicked() { OpenWithShell(Text(Label6)); }

}  // namespace velmora
