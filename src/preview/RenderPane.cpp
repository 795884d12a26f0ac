#include "preview/RenderPane.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "misc/Dpi.h"
#include "misc/Scale.h"

namespace velmora {
namespace {

constexpr wchar_t kClassName[] = L"VelmoraRenderPane";
constexpr int kMargin = 6;       // 96-DPI pixels round the text
constexpr int kRuleHeight = 12;  // the line an <HR> takes
constexpr int kScrollLine = 20;  // one arrow step

constexpr COLORREF Colour(Rgb rgb) { return ColourRefFromRgb(rgb); }

// Today's date or the time now in the user's short formats, as the IM client fills %d and %t.
std::wstring DateOrTime(bool date) {
    wchar_t buffer[128]{};
    int written = 0;
    if (date) {
        written = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, 128);
    } else {
        // The short time format has its own setting; without it, the long one less its seconds.
        constexpr LCTYPE kShortTime = 0x79;  // LOCALE_SSHORTTIME, which older headers lack
        wchar_t format[80]{};
        written = GetLocaleInfoW(LOCALE_USER_DEFAULT, kShortTime, format, 80) > 1
                      ? GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, format, buffer, 128)
                      : GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buffer, 128);
    }
    return written > 0 ? std::wstring(buffer) : std::wstring();
}

}  // namespace

// ---- Measuring with GDI ----

void RenderPane::GdiMeasurer::Begin(HWND window, UINT dpi) {
    if (dpi != dpi_) fonts_.clear();
    dpi_ = dpi;
    if (!dc_) {
        HDC windowDc = GetDC(window);
        dc_.reset(CreateCompatibleDC(windowDc));
        if (windowDc) ReleaseDC(window, windowDc);
        // Measured on a device-independent bitmap, as the text is painted.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 1;
        info.bmiHeader.biHeight = 1;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        surface_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (surface_) SelectObject(dc_.get(), surface_.get());
    }
}

HFONT RenderPane::GdiMeasurer::FontFor(const MarkupDocument& document, const TextStyle& style) {
    return FontOf(document, style).handle.get();
}

RenderPane::GdiMeasurer::Font& RenderPane::GdiMeasurer::FontOf(const MarkupDocument& document, const TextStyle& style) {
    const std::wstring& face =
        style.face < document.faces.size() && style.face != 0 ? document.faces[style.face] : std::wstring(kDefaultFace);
    FontKey key{face, style.htmlSize, style.bold, style.italic, style.underline, style.strike};
    auto found = fonts_.find(key);
    if (found != fonts_.end()) {
        found->second.used = generation_;
        return found->second;
    }
    LOGFONTW font{};
    font.lfHeight = -MulDivRounded(PointsOfHtmlSize(style.htmlSize), static_cast<int>(dpi_), 72);
    font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = style.italic;
    font.lfUnderline = style.underline;
    font.lfStrikeOut = style.strike;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    Font& made = fonts_[std::move(key)];
    made.handle.reset(CreateFontIndirectW(&font));
    made.pages.resize(256);
    made.used = generation_;
    return made;
}

void RenderPane::GdiMeasurer::EndLayout() {
    // Painting draws only what the layout measured, so nothing let go here is needed again.
    std::erase_if(fonts_, [this](const auto& entry) { return entry.second.used != generation_; });
}

FontMetrics RenderPane::GdiMeasurer::Metrics(const MarkupDocument& document, const TextStyle& style) {
    ScopedSelect font(dc_.get(), FontFor(document, style));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_.get(), &metrics);
    return {metrics.tmAscent, metrics.tmDescent};
}

void RenderPane::GdiMeasurer::Advances(const MarkupDocument& document, const TextStyle& style, std::wstring_view text,
                                       int* advances) {
    // GDI lays text out without kerning: a run is as wide as its characters' advances together.
    Font& font = FontOf(document, style);
    int x = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned>(text[i]) & 0xFFFF;
        auto& page = font.pages[code >> 8];
        if (!page) {
            page = std::make_unique<std::array<int, 256>>();
            ScopedSelect selected(dc_.get(), font.handle.get());
            const UINT first = code & ~0xFFu;
            if (!GetCharWidth32W(dc_.get(), first, first + 255, page->data())) page->fill(0);
        }
        x += (*page)[code & 0xFF];
        advances[i] = x;
    }
}

// ---- The pane ----

bool RenderPane::Create(HWND parent, int id, const RECT& rect) {
    date_ = DateOrTime(true);
    time_ = DateOrTime(false);
    if (!CreateChild(kClassName, parent, id, rect, WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS,
                     WS_EX_CLIENTEDGE))
        return false;
    Refill();
    return true;
}

void RenderPane::SetDocument(std::wstring_view document) {
    if (document == document_) return;
    document_.assign(document);
    Refill();
}

void RenderPane::SetReader(std::wstring_view reader) {
    if (reader == reader_) return;
    reader_.assign(reader);
    Refill();
}

void RenderPane::RefreshClock() {
    std::wstring date = DateOrTime(true);
    std::wstring time = DateOrTime(false);
    if (date == date_ && time == time_) return;
    date_ = std::move(date);
    time_ = std::move(time);
    Refill();
}

void RenderPane::Move(const RECT& rect) {
    if (!Handle()) return;
    SetWindowPos(Handle(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int RenderPane::Scale(int pixelsAt96) const noexcept { return ScaleForDpi(pixelsAt96, static_cast<int>(dpi_)); }

void RenderPane::Refill() {
    markup_ = ReadMarkup(FillDocumentPlaceholders(document_, reader_, date_, time_));
    LayOut();
}

void RenderPane::LayOut() {
    if (!Handle()) return;
    dpi_ = DpiForWindow(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    measurer_.Begin(Handle(), dpi_);
    measurer_.BeginLayout();
    layout_ = LayOutMarkup(markup_, measurer_, client.right - 2 * Scale(kMargin), Scale(kRuleHeight));
    measurer_.EndLayout();
    shownText_.reset();
    UpdateScrollBar();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void RenderPane::UpdateScrollBar() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int content = layout_.height + 2 * Scale(kMargin);
    scrollY_ = std::clamp(scrollY_, 0, std::max(0, content - static_cast<int>(client.bottom)));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    // The bar is always there (greyed when everything fits), so the width to wrap at never
    // changes with the length of the text.
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(content - 1, 0);
    info.nPage = static_cast<UINT>(std::max<LONG>(client.bottom, 0));
    info.nPos = scrollY_;
    // Typing rarely changes the bar; redrawing it for nothing is not free.
    if (shownBar_ && shownBar_->nMax == info.nMax && shownBar_->nPage == info.nPage && shownBar_->nPos == info.nPos)
        return;
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    shownBar_ = info;
}

void RenderPane::ScrollTo(int y) {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int content = layout_.height + 2 * Scale(kMargin);
    y = std::clamp(y, 0, std::max(0, content - static_cast<int>(client.bottom)));
    if (y == scrollY_) return;
    scrollY_ = y;
    UpdateScrollBar();
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT RenderPane::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: OnPaint(); return 0;
        case WM_PRINTCLIENT: {
            RECT client{};
            GetClientRect(Handle(), &client);
            PaintOn(reinterpret_cast<HDC>(wParam), client);
            return 0;
        }
        case WM_SIZE: OnSize(); return 0;
        case WM_VSCROLL: OnVScroll(LOWORD(wParam)); return 0;
        case WM_MOUSEWHEEL: OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
        case WM_LBUTTONDOWN: SetFocus(Handle()); return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS;
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(ShownText().size());
        case WM_GETTEXT: return OnGetText(static_cast<std::size_t>(wParam), reinterpret_cast<wchar_t*>(lParam));
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) return 0;
            break;
        default: break;
    }
    return DefaultHandling(message, wParam, lParam);
}

const std::wstring& RenderPane::ShownText() {
    // Made when asked for: handing the window system the text on every change would cost more
    // than the layout itself.
    if (!shownText_) shownText_ = PlainTextOf(markup_, layout_);
    return *shownText_;
}

LRESULT RenderPane::OnGetText(std::size_t capacity, wchar_t* buffer) {
    if (!buffer || capacity == 0) return 0;
    const std::wstring& text = ShownText();
    const std::size_t count = std::min(text.size(), capacity - 1);
    std::copy_n(text.data(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<LRESULT>(count);
}

void RenderPane::OnSize() {
    // A new width wraps afresh; a new height only changes how far it scrolls.
    LayOut();
}

void RenderPane::OnVScroll(int request) {
    RECT client{};
    GetClientRect(Handle(), &client);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(Handle(), SB_VERT, &info);
    switch (request) {
        case SB_LINEUP: ScrollTo(scrollY_ - Scale(kScrollLine)); break;
        case SB_LINEDOWN: ScrollTo(scrollY_ + Scale(kScrollLine)); break;
        case SB_PAGEUP: ScrollTo(scrollY_ - client.bottom); break;
        case SB_PAGEDOWN: ScrollTo(scrollY_ + client.bottom); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(layout_.height); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(info.nTrackPos); break;
        default: break;
    }
}

void RenderPane::OnMouseWheel(int delta) { ScrollTo(scrollY_ - delta * 3 * Scale(kScrollLine) / WHEEL_DELTA); }

bool RenderPane::OnKeyDown(WPARAM key) {
    switch (key) {
        case VK_UP: OnVScroll(SB_LINEUP); return true;
        case VK_DOWN: OnVScroll(SB_LINEDOWN); return true;
        case VK_PRIOR: OnVScroll(SB_PAGEUP); return true;
        case VK_NEXT: OnVScroll(SB_PAGEDOWN); return true;
        case VK_HOME: OnVScroll(SB_TOP); return true;
        case VK_END: OnVScroll(SB_BOTTOM); return true;
        default: return false;
    }
}

void RenderPane::OnPaint() {
    ScopedPaint paint(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // Drawn off-screen, then copied once. A device-independent bitmap, so the text is drawn by
    // the same font engine that measured it (Wine draws into X pixmaps with another).
    UniqueMemoryDc memory(CreateCompatibleDC(paint.dc()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(paint.dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap) {
        PaintOn(paint.dc(), client);
        return;
    }
    {
        ScopedSelect select(memory.get(), bitmap.get());
        PaintOn(memory.get(), client);
        BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
}

void RenderPane::PaintOn(HDC dc, const RECT& client) {
    measurer_.Begin(Handle(), dpi_);
    UniqueBrush page(CreateSolidBrush(Colour(PageColour())));
    FillRect(dc, &client, page.get());

    const int left = Scale(kMargin);
    const int top = Scale(kMargin) - scrollY_;
    const int saved = SaveDC(dc);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    // The first line that reaches into view; the lines lie top to bottom.
    const auto& lines = layout_.lines;
    const auto firstLine = std::partition_point(
        lines.begin(), lines.end(), [&](const LaidLine& line) { return top + line.top + line.height <= client.top; });
    const auto firstIndex = static_cast<std::uint32_t>(firstLine - lines.begin());
    auto piece = std::partition_point(layout_.pieces.begin(), layout_.pieces.end(),
                                      [&](const PlacedText& placed) { return placed.line < firstIndex; });
    std::vector<int> advances;
    for (auto line = firstLine; line != lines.end() && top + line->top < client.bottom; ++line) {
        const auto index = static_cast<std::uint32_t>(line - lines.begin());
        if (line->rule) {
            const int y = top + line->top + line->height / 2;
            UniqueBrush dark(CreateSolidBrush(RGB(0x80, 0x80, 0x80)));
            UniqueBrush light(CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0)));
            const RECT upper{left, y - 1, client.right - left, y};
            const RECT lower{left, y, client.right - left, y + 1};
            FillRect(dc, &upper, dark.get());
            FillRect(dc, &lower, light.get());
        }
        for (; piece != layout_.pieces.end() && piece->line == index; ++piece) {
            const TextStyle& style = markup_.styles[piece->style];
            SelectObject(dc, measurer_.FontFor(markup_, style));
            SetTextColor(dc, Colour(style.colour));
            if (style.back) {
                SetBkMode(dc, OPAQUE);
                SetBkColor(dc, Colour(*style.back));
            } else {
                SetBkMode(dc, TRANSPARENT);
            }
            // Each character goes where the layout measured it, whatever advances the drawing
            // itself would take (Wine's differ from its measuring at some sizes).
            const std::wstring_view text(markup_.text.data() + piece->begin, piece->length);
            advances.assign(text.size(), 0);
            measurer_.Advances(markup_, style, text, advances.data());
            for (std::size_t i = advances.size(); i-- > 1;) advances[i] -= advances[i - 1];
            ExtTextOutW(dc, left + piece->x, top + line->top + line->baseline, 0, nullptr, text.data(),
                        static_cast<UINT>(text.size()), advances.data());
        }
    }
    RestoreDC(dc, saved);
}

}  // namespace velmora
