#include "about/AboutWindow.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "about/AboutControls.h"
#include "misc/Dpi.h"
#include "misc/Shell.h"
#include "res/resource.h"

namespace velmora {
namespace {

using namespace AboutIds;

constexpr FontSpec kWindowFont{L"Tahoma", 825, true};
constexpr FontSpec kTitleFont{L"Tahoma", 975, true};
constexpr FontSpec kOwnFont{};  // the window font

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

constexpr Paint kNone = Paint::None();

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

constexpr WindowDesign kDesign{L"VelmoraAbout", L"About", 312, 129, false, IDI_INFO};

}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance) : instance_(instance), controls_(kControls, kWindowFont) {}

bool AboutWindow::Open() { return Create(kDesign, instance_); }

LRESULT AboutWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_PAINT: OnPaint(); return 0;
        case WM_PRINTCLIENT: PaintOn(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_CTLCOLORSTATIC: return OnControlColour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
        default: return DefaultHandling(message, wParam, lParam);
    }
}

void AboutWindow::OnCreate() { controls_.Create(Handle(), instance_, DpiForWindow(Handle())); }

void AboutWindow::OnCommand(int id, int notification) {
    if (id == Label6 && notification == STN_CLICKED) OnLinkClicked();
}

void AboutWindow::OnLinkClicked() {
    HWND link = controls_.Control(Label6);
    std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(link)) + 1, L'\0');
    caption.resize(static_cast<size_t>(GetWindowTextW(link, caption.data(), static_cast<int>(caption.size()))));
    OpenWithShell(caption);
}

void AboutWindow::OnPaint() {
    ScopedPaint paint(Handle());
    PaintOn(paint.dc());
}

void AboutWindow::PaintOn(HDC dc) {
    controls_.PaintRects(dc, kRects);
    controls_.PaintLines(dc, kLines);
}

void AboutWindow::OnDpiChanged(UINT dpi) { controls_.Layout(dpi); }

LRESULT AboutWindow::OnControlColour(HWND control, HDC dc) {
    if (HBRUSH brush = controls_.ColourControl(control, dc)) return reinterpret_cast<LRESULT>(brush);
    return DefaultHandling(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

}  // namespace velmora
