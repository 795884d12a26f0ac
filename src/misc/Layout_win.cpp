#include <cwchar>

#include "misc/Layout.h"

namespace velmora {

bool FontSpec::operator==(const FontSpec& other) const {
    const bool sameFace =
        (face == nullptr || other.face == nullptr) ? face == other.face : std::wcscmp(face, other.face) == 0;
    return sameFace && centiPoints == other.centiPoints && bold == other.bold;
}

COLORREF ColourOf(Paint paint) noexcept {
    switch (paint.kind) {
        case Paint::Kind::Rgb: return ColourRefFromRgb(paint.value);
        case Paint::Kind::System: return GetSysColor(static_cast<int>(paint.value));
        case Paint::Kind::Default:
        case Paint::Kind::Transparent: break;
    }
    return GetSysColor(COLOR_WINDOW);
}

void ControlSet::Create(HWND parent, HINSTANCE instance, UINT dpi) {
    dpi_ = dpi;
    fonts_.clear();
    windows_.clear();
    backColours_.clear();
    // Each control is made at its place with its font: one trip to the window system for
    // each, and nothing drawn twice, since the parent is not shown yet.
    // Overlapping controls paint in their stacking order (a later label under an earlier box).
    for (const ControlSpec& spec : specs_) {
        const RECT rect = ScaleRect(spec.x, spec.y, spec.width, spec.height);
        HWND control = CreateWindowExW(spec.exStyle, spec.className, spec.text,
                                       spec.style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
        if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(FontOf(spec))), FALSE);
        windows_.push_back(control);
        backColours_.push_back(spec.backColour);
    }
}

void ControlSet::Layout(UINT dpi) {
    dpi_ = dpi;
    // Fonts are rebuilt for the new DPI; the old ones live until every control has a new one.
    std::vector<CachedFont> old;
    old.swap(fonts_);
    for (size_t i = 0; i < specs_.size(); ++i) {
        const ControlSpec& spec = specs_[i];
        HWND control = windows_[i];
        if (!control) continue;
        const RECT rect = ScaleRect(spec.x, spec.y, spec.width, spec.height);
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(FontOf(spec))), TRUE);
    }
}

const FontSpec& ControlSet::FontOf(const ControlSpec& spec) const noexcept {
    return spec.font.face ? spec.font : windowFont_;
}

RECT ControlSet::ScaleRect(int x, int y, int width, int height) const noexcept {
    const int left = Scale(x);
    const int top = Scale(y);
    return {left, top, left + Scale(width), top + Scale(height)};
}

HWND ControlSet::Control(int id) const noexcept {
    for (size_t i = 0; i < specs_.size(); ++i)
        if (specs_[i].id == id) return i < windows_.size() ? windows_[i] : nullptr;
    return nullptr;
}

std::wstring ControlSet::Text(int id) const {
    HWND control = Control(id);
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void ControlSet::SetText(int id, std::wstring_view text) const {
    SetWindowTextW(Control(id), std::wstring(text).c_str());
}

HFONT ControlSet::FontFor(const FontSpec& spec) {
    for (const CachedFont& cached : fonts_)
        if (cached.spec == spec) return cached.font.get();
    LOGFONTW logFont{};
    logFont.lfHeight = FontHeightForDpi(spec.centiPoints, static_cast<int>(dpi_));
    logFont.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = DEFAULT_QUALITY;
    wcsncpy(logFont.lfFaceName, spec.face, LF_FACESIZE - 1);
    fonts_.push_back({spec, UniqueFont(CreateFontIndirectW(&logFont))});
    return fonts_.back().font.get();
}

HBRUSH ControlSet::BrushFor(COLORREF colour) {
    for (const CachedBrush& cached : brushes_)
        if (cached.colour == colour) return cached.brush.get();
    brushes_.push_back({colour, UniqueBrush(CreateSolidBrush(colour))});
    return brushes_.back().brush.get();
}

void ControlSet::SetBackColour(int id, Paint colour) {
    for (size_t i = 0; i < specs_.size() && i < backColours_.size(); ++i)
        if (specs_[i].id == id) {
            backColours_[i] = colour;
            if (windows_[i]) InvalidateRect(windows_[i], nullptr, TRUE);
        }
}

Paint ControlSet::BackColour(int id) const noexcept {
    for (size_t i = 0; i < specs_.size() && i < backColours_.size(); ++i)
        if (specs_[i].id == id) return backColours_[i];
    return Paint::None();
}

HBRUSH ControlSet::ColourControl(HWND control, HDC dc) {
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (windows_[i] != control) continue;
        const ControlSpec& spec = specs_[i];
        if (spec.textColour.IsSet()) SetTextColor(dc, ColourOf(spec.textColour));
        if (!backColours_[i].IsSet()) return nullptr;
        if (backColours_[i].kind == Paint::Kind::Transparent) {
            // No background at all: the text lands on whatever the window painted there.
            SetBkMode(dc, TRANSPARENT);
            return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        }
        const COLORREF back = ColourOf(backColours_[i]);
        SetBkColor(dc, back);
        return BrushFor(back);
    }
    return nullptr;
}

void ControlSet::PaintRects(HDC dc, std::span<const PaintedRect> rects) {
    for (const PaintedRect& item : rects) {
        const RECT rect = ScaleRect(item.x, item.y, item.width, item.height);
        if (item.fill.kind != Paint::Kind::Transparent) FillRect(dc, &rect, BrushFor(ColourOf(item.fill)));
        if (item.border.IsSet()) FrameRect(dc, &rect, BrushFor(ColourOf(item.border)));
    }
}

void ControlSet::PaintLines(HDC dc, std::span<const PaintedLine> lines) {
    const int thickness = Scale(1);
    for (const PaintedLine& line : lines) {
        // Lines are one design pixel wide and include both end points.
        const int left = Scale(line.x1 < line.x2 ? line.x1 : line.x2);
        const int top = Scale(line.y1 < line.y2 ? line.y1 : line.y2);
        const int right = Scale(line.x1 < line.x2 ? line.x2 : line.x1) + thickness;
        const int bottom = Scale(line.y1 < line.y2 ? line.y2 : line.y1) + thickness;
        const RECT rect{left, top, right, bottom};
        FillRect(dc, &rect, BrushFor(ColourOf(line.colour)));
    }
}

void ControlSet::PaintBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
    if (!bitmap) return;
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    if (!source) return;
    ScopedSelect selected(source.get(), bitmap);
    const RECT rect = ScaleRect(x, y, width, height);
    // Halftone keeps a picture smooth when it is scaled up for a high DPI.
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.get(), 0, 0, width,
               height, SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}

}  // namespace velmora
