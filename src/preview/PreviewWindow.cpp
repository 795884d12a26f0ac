#include "preview/PreviewWindow.h"

#include <commctrl.h>

#include <array>

#include "compose/AwayDocument.h"
#include "compose/Composer.h"
#include "compose/Messages.h"
#include "misc/Ansi.h"
#include "misc/Dpi.h"
#include "preview/HtmlColour.h"
#include "preview/Markup.h"
#include "preview/PreviewControls.h"
#include "res/resource.h"
#include "winamp/Winamp.h"

namespace velmora {
namespace {

using namespace PreviewIds;

constexpr FontSpec kBold = Tahoma(825, true);

constexpr Paint kFace = Paint::System(COLOR_BTNFACE);
constexpr Paint kWarningRed = Paint::Rgb(0xC00000);

constexpr DWORD kOneLine = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS;

// The first size; the window can be resized, and the controls follow the edges they are
// anchored to.
constexpr int kClientWidth = 360;
constexpr int kClientHeight = 326;

// Each box follows its label, which names it for a screen reader and lends it its access key.
constexpr std::array kControls{
    ControlSpec{LabelReader, WC_STATICW, L"&Reader", SS_LEFT, 0, 8, 11, 42, 17, kOwnFont, kNone, kNone},
    ControlSpec{TextReader, WC_EDITW, L"Buddy", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 52, 8, 121, 21, kOwnFont,
                kNone, kNone},
    ControlSpec{LabelTitle, WC_STATICW, L"", kOneLine, 0, 8, 36, 344, 17, kBold, kNone, kNone},
    ControlSpec{LabelContrast, WC_STATICW, L"", kOneLine, 0, 8, 268, 344, 17, kOwnFont, kNone, kNone},
    ControlSpec{LabelWarning, WC_STATICW, L"", kOneLine, 0, 8, 286, 344, 17, kOwnFont, kWarningRed, kFace},
    ControlSpec{LabelLineBreaks, WC_STATICW, L"", kOneLine, 0, 8, 304, 344, 17, kOwnFont, kNone, kNone},
};

// The rendering, between the label and the readability lines.
constexpr int kPaneX = 8;
constexpr int kPaneY = 56;
constexpr int kPaneWidth = 344;
constexpr int kPaneHeight = 206;

// How each control follows a resize: wider with the window, and down with its bottom edge.
struct Anchor {
    int id;
    bool widens;
    bool followsBottom;
};
constexpr std::array kAnchors{
    Anchor{LabelTitle, true, false},
    Anchor{LabelContrast, true, true},
    Anchor{LabelWarning, true, true},
    Anchor{LabelLineBreaks, true, true},
};

// The smallest client area that still shows every line.
constexpr int kMinClientWidth = 220;
constexpr int kMinClientHeight = 200;

constexpr wchar_t kHardToRead[] = L"Hard to read: the text colour is too close to the page colour.";
constexpr wchar_t kLineBreaksJoin[] = L"Readers see line breaks as spaces; use <BR> for a new line";

constexpr TableDesign kDesign{
    {L"VelmoraPreview", L"Preview", kClientWidth, kClientHeight, true, IDI_VELMORA, true},
    kControls,
    Tahoma(825),
    {},
    {},
    // Beside the main window rather than over it, so the fields being typed in stay in view:
    // to its right, else to its left, else as far right as the screen allows.
    Side::Right,
    true,
    true,
};

// The colours as the stored document carries them: behind a "#", read as a buddy's client does.
double ContrastOf(const AwayFields& fields) {
    const Rgb text = ParseLegacyColour(L"#" + fields.fontColour).value_or(0x000000);
    const Rgb page = ParseLegacyColour(L"#" + fields.bodyColour).value_or(0xFFFFFF);
    return ContrastRatio(text, page);
}

}  // namespace

PreviewWindow::PreviewWindow(HINSTANCE instance, Composer& composer)
    : TableWindow(instance, kDesign), composer_(composer) {}

HWND PreviewWindow::Control(int id) const noexcept { return id == Pane ? pane_.Handle() : TableWindow::Control(id); }

LRESULT PreviewWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: OnSize(); return 0;
        case WM_GETMINMAXINFO: OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_TIMER: OnTimer(wParam); return 0;
        case WM_MOUSEWHEEL: OnMouseWheel(wParam, lParam); return 0;
        case kCompositionChangedMessage: OnCompositionChanged(); return 0;
        default: return TableWindow::HandleOwnMessage(message, wParam, lParam);
    }
}

void PreviewWindow::OnCreate() {
    pane_.Create(Handle(), Pane, Controls().ScaleRect(kPaneX, kPaneY, kPaneWidth, kPaneHeight));
    SetTimer(Handle(), kClockTimer, kClockIntervalMs, nullptr);
    ShowComposition();
}

void PreviewWindow::OnSize() { PlaceControls(); }

void PreviewWindow::PlaceControls() {
    if (!pane_.Handle()) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    // A minimised window has no client area; the layout waits for the restore.
    if (client.right == 0 && client.bottom == 0) return;
    // Narrower or lower than designed too, down to the smallest size WM_GETMINMAXINFO allows.
    const int dx = static_cast<int>(client.right) - Controls().Scale(kClientWidth);
    const int dy = static_cast<int>(client.bottom) - Controls().Scale(kClientHeight);
    for (const Anchor& anchor : kAnchors) {
        for (const ControlSpec& spec : kControls) {
            if (spec.id != anchor.id) continue;
            RECT rect = Controls().ScaleRect(spec.x, spec.y, spec.width, spec.height);
            if (anchor.widens) rect.right += dx;
            if (anchor.followsBottom) OffsetRect(&rect, 0, dy);
            SetWindowPos(Control(spec.id), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    RECT pane = Controls().ScaleRect(kPaneX, kPaneY, kPaneWidth, kPaneHeight);
    pane.right += dx;
    pane.bottom += dy;
    pane_.Move(pane);
}

void PreviewWindow::OnGetMinMaxInfo(MINMAXINFO& limits) {
    const UINT dpi = DpiForWindow(Handle());
    const SIZE smallest = OuterSizeForClient(
        {ScaleForDpi(kMinClientWidth, static_cast<int>(dpi)), ScaleForDpi(kMinClientHeight, static_cast<int>(dpi))},
        static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), 0, dpi);
    limits.ptMinTrackSize.x = smallest.cx;
    limits.ptMinTrackSize.y = smallest.cy;
}

HWND PreviewWindow::OpensBeside() const noexcept { return composer_.IsOpen() ? composer_.Handle() : nullptr; }

void PreviewWindow::OnLayout(UINT /*dpi*/) { PlaceControls(); }

void PreviewWindow::OnCommand(int id, int notification) {
    if (id == TextReader && notification == EN_CHANGE) OnReaderChanged();
}

void PreviewWindow::OnReaderChanged() { pane_.SetReader(Controls().Text(TextReader)); }

void PreviewWindow::OnCompositionChanged() { ShowComposition(); }

void PreviewWindow::OnTimer(UINT_PTR id) {
    if (id != kClockTimer) return;
    pane_.RefreshClock();
    // A new song shows within about a second; the document is only rebuilt when it changed.
    if (songWanted_ && composer_.IsOpen()) ShowComposition();
}

void PreviewWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    // The wheel scrolls the rendering wherever the pointer is in the window.
    SendMessageW(pane_.Handle(), WM_MOUSEWHEEL, wParam, lParam);
}

const std::optional<std::wstring>& PreviewWindow::Song() {
    // Typing never reads Winamp: a reading younger than this is used again.
    constexpr unsigned long long kFreshMs = kClockIntervalMs - 100;
    const unsigned long long now = GetTickCount64();
    if (!songRead_ || now - songReadAt_ >= kFreshMs) {
        song_ = GetWinampSong();
        songReadAt_ = now;
        songRead_ = true;
    }
    return song_;
}

void PreviewWindow::ShowComposition() {
    if (!composer_.IsOpen()) return;
    const AwayFields fields = composer_.ComposedFields();
    songWanted_ = fields.songWanted;
    static const std::optional<std::wstring> kNoSong;
    // The very text Update would store, references and all.
    pane_.SetDocument(BuildAwayDocument(fields, fields.songWanted ? Song() : kNoSong, AnsiCarries));

    const double contrast = ContrastOf(fields);
    // Lines are only rewritten when they change, so the clock's rebuilds never flicker them.
    auto show = [this](int id, std::wstring_view text) {
        if (Controls().Text(id) != text) Controls().SetText(id, text);
    };
    show(LabelTitle, pane_.Label());
    show(LabelContrast, ContrastText(contrast));
    show(LabelWarning, contrast < kReadableContrast ? kHardToRead : L"");
    show(LabelLineBreaks, HasLineBreaksReadersJoin(fields.message) ? kLineBreaksJoin : L"");
}

}  // namespace velmora
