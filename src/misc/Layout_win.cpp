#include "misc/Layout.h"
// After windows.h, which it needs.
#include <commctrl.h>

#include <cwchar>

namespace velmora {
namespace {

bool IsClass(const ControlSpec& spec, const wchar_t* className) { return std::wcscmp(spec.className, className) == 0; }

using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

// The theme library is Windows' own but not one Velmora links to: it is looked up only when a
// window has a coloured button, from the system folder (never from beside the exe).
SetWindowThemeFunction LoadSetWindowTheme() {
    HMODULE theme = GetModuleHandleW(L"uxtheme.dll");
    if (!theme) {
        wchar_t path[MAX_PATH + 16]{};
        const UINT length = GetSystemDirectoryW(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        wcscat(path, L"\\uxtheme.dll");
        theme = LoadLibraryW(path);
    }
    if (!theme) return nullptr;
    return reinterpret_cast<SetWindowThemeFunction>(reinterpret_cast<void*>(GetProcAddress(theme, "SetWindowTheme")));
}

void TurnThemeOff(HWND control) {
    static const SetWindowThemeFunction setWindowTheme = LoadSetWindowTheme();
    // Without the theme library there are no themes, and the colour shows anyway.
    if (setWindowTheme) setWindowTheme(control, L"", L"");
}

// The platform's default limit (about 32,000 characters) would stop typing and pasting.
void LiftTextLimit(HWND control, const ControlSpec& spec) {
    if (IsClass(spec, WC_EDITW))
        SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    else if (IsClass(spec, WC_COMBOBOXW) && (spec.style & CBS_DROPDOWNLIST) == CBS_DROPDOWN)
        SendMessageW(control, CB_LIMITTEXT, 0, 0);
}

// The text's extent as a static control draws it, wrapped at the given width.
SIZE DrawnTextSize(HDC dc, const std::wstring& text, int width, DWORD style) {
    RECT rect{0, 0, width, 0};
    const UINT format =
        DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

bool FontSpec::operator==(const FontSpec& other) const {
    const bool sameFace =
        (face == nullptr || other.face == nullptr) ? face == other.face : std::wcscmp(face, other.face) == 0;
    return sameFace && centiPoints == other.centiPoints && bold == other.bold;
}

COLORREF ColourOf(Paint paint) noexcept {
    switch (paint.kind) {
        case Paint::Kind::Colour: return ColourRefFromRgb(paint.value);
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
        if (control) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(FontOf(spec))), FALSE);
            LiftTextLimit(control, spec);
            if (IsClass(spec, WC_BUTTONW) && spec.textColour.IsSet()) TurnThemeOff(control);
        }
        windows_.push_back(control);
        backColours_.push_back(spec.backColour);
    }
    FitTexts();
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
    FitTexts();
}

void ControlSet::FitTexts() {
    placed_.clear();
    for (const ControlSpec& spec : specs_) placed_.push_back(ScaleRect(spec.x, spec.y, spec.width, spec.height));
    for (size_t i = 0; i < specs_.size() && i < windows_.size(); ++i) {
        const ControlSpec& spec = specs_[i];
        if (!windows_[i]) continue;
        // Where the table puts it, or lower where a label above needed the room.
        const RECT designed = placed_[i];
        const RECT original = ScaleRect(spec.x, spec.y, spec.width, spec.height);
        const bool label = IsClass(spec, WC_STATICW) && spec.text && *spec.text;
        const RECT fitted = label ? FittedLabelRect(i, designed) : FittedControlRect(i, designed);
        if (IsClass(spec, WC_BUTTONW)) {
            // A button's text wraps only where one line could not be shown whole.
            const bool wraps = fitted.bottom > designed.bottom || (spec.style & BS_MULTILINE);
            const LONG_PTR style = GetWindowLongPtrW(windows_[i], GWL_STYLE);
            const LONG_PTR wanted = wraps ? (style | BS_MULTILINE) : (style & ~static_cast<LONG_PTR>(BS_MULTILINE));
            if (wanted != style) SetWindowLongPtrW(windows_[i], GWL_STYLE, wanted);
        }
        placed_[i] = fitted;
        if (!EqualRect(&fitted, &original))
            SetWindowPos(windows_[i], nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                         fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool ControlSet::MakeRoomBelow(size_t index, const RECT& fitted, int bottom) {
    // The labels in the way: later in the table (not fitted yet), starting below this one's top.
    std::vector<size_t> inWay;
    int shift = 0;
    for (size_t j = 0; j < placed_.size(); ++j) {
        const RECT& other = placed_[j];
        if (j == index || other.top <= fitted.top || other.top >= bottom || other.left >= fitted.right ||
            other.right <= fitted.left)
            continue;
        const ControlSpec& spec = specs_[j];
        if (j < index || !IsClass(spec, WC_STATICW) || !spec.text || !*spec.text) return false;
        inWay.push_back(j);
        if (bottom - other.top > shift) shift = bottom - other.top;
    }
    for (size_t j : inWay)
        if (BottomLimit(j, placed_[j], placed_[j]) < placed_[j].bottom + shift) return false;
    for (size_t j : inWay) OffsetRect(&placed_[j], 0, shift);
    return !inWay.empty();
}

int ControlSet::RightLimit(size_t index, const RECT& designed) const {
    // The free space: up to the nearest control to the right, or the window's edge.
    RECT client{};
    GetClientRect(GetParent(windows_[index]), &client);
    int rightLimit = client.right;
    for (size_t j = 0; j < specs_.size(); ++j) {
        const RECT& rect = placed_[j];
        if (j != index && rect.top < designed.bottom && rect.bottom > designed.top && rect.left >= designed.right &&
            rect.left < rightLimit)
            rightLimit = rect.left;
    }
    return rightLimit;
}

int ControlSet::BottomLimit(size_t index, const RECT& designed, const RECT& fitted) const {
    RECT client{};
    GetClientRect(GetParent(windows_[index]), &client);
    int bottomLimit = client.bottom;
    // Below: starting lower than this one's top (some designs let two boxes share an edge).
    for (size_t j = 0; j < placed_.size(); ++j) {
        const RECT& rect = placed_[j];
        if (j != index && rect.left < fitted.right && rect.right > fitted.left && rect.top > designed.top &&
            rect.top < bottomLimit)
            bottomLimit = rect.top;
    }
    return bottomLimit > designed.bottom ? bottomLimit : designed.bottom;
}

RECT ControlSet::FittedLabelRect(size_t index, const RECT& designed) {
    const ControlSpec& spec = specs_[index];
    HWND label = windows_[index];
    const std::wstring text = Text(spec.id);
    const ScopedWindowDc windowDc(label);
    HDC dc = windowDc.dc();
    if (!dc) return designed;
    const ScopedSelect font(dc, FontFor(FontOf(spec)));
    const int height = designed.bottom - designed.top;
    const auto fits = [&](int width) {
        const SIZE drawn = DrawnTextSize(dc, text, width, spec.style);
        return drawn.cx <= width && drawn.cy <= height;
    };
    const int designedWidth = designed.right - designed.left;
    if (fits(designedWidth)) return designed;

    RECT fitted = designed;
    const int widest = RightLimit(index, designed) - designed.left;
    if (widest > designedWidth && fits(widest)) {
        // The narrowest width that shows the text whole.
        int narrow = designedWidth;
        int wide = widest;
        while (wide - narrow > 1) {
            const int middle = narrow + (wide - narrow) / 2;
            (fits(middle) ? wide : narrow) = middle;
        }
        fitted.right = designed.left + wide;
        return fitted;
    }
    // Wider alone is not enough (a text with its own line breaks): wider where that saves a
    // line, and lower as far as the space below is free.
    if (widest > designedWidth &&
        DrawnTextSize(dc, text, widest, spec.style).cy < DrawnTextSize(dc, text, designedWidth, spec.style).cy)
        fitted.right = designed.left + widest;
    int bottomLimit = BottomLimit(index, designed, fitted);
    const int needed = DrawnTextSize(dc, text, fitted.right - fitted.left, spec.style).cy;
    if (designed.top + needed > bottomLimit && MakeRoomBelow(index, fitted, designed.top + needed))
        bottomLimit = BottomLimit(index, designed, fitted);
    if (designed.top + needed > designed.bottom)
        fitted.bottom = designed.top + needed < bottomLimit ? designed.top + needed : bottomLimit;
    return fitted;
}

RECT ControlSet::FittedControlRect(size_t index, const RECT& designed) {
    const ControlSpec& spec = specs_[index];
    HWND control = windows_[index];
    const DWORD type = spec.style & BS_TYPEMASK;
    const bool button = IsClass(spec, WC_BUTTONW);
    const bool pushLike = button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || (spec.style & BS_PUSHLIKE));
    const bool checkLike = button && !pushLike &&
                           (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                            type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE);
    const bool lineBox = IsClass(spec, WC_EDITW) && !(spec.style & ES_MULTILINE);
    const bool hasContent = spec.content.characters && spec.content.length > 0;
    // A one-line box fits the text it starts with (a label, an example name) and its known content.
    const bool boxToFit =
        (lineBox && ((spec.text && *spec.text) || hasContent)) || (IsClass(spec, WC_COMBOBOXW) && hasContent);
    if (!pushLike && !checkLike && !boxToFit) return designed;
    const std::wstring text = button ? Text(spec.id) : std::wstring();
    if (button && text.empty()) return designed;

    const ScopedWindowDc windowDc(control);
    HDC dc = windowDc.dc();
    if (!dc) return designed;
    const ScopedSelect font(dc, FontFor(FontOf(spec)));
    const int designedWidth = designed.right - designed.left;

    // What the control takes beside its text: a button's edges and focus frame, a check
    // box's box and the gap after it, a text box's border and margins, a combo box's arrow.
    int textWidth = 0;
    int besideText = 0;
    if (button) {
        RECT line{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line, DT_CALCRECT | DT_SINGLELINE);
        textWidth = line.right - line.left;
        SIZE zero{};
        GetTextExtentPoint32W(dc, L"0", 1, &zero);
        besideText = pushLike ? Scale(8) : Scale(13) + zero.cx / 2 + Scale(3);
    } else {
        int widestCharacter = 0;
        for (const wchar_t* character = spec.content.characters; hasContent && *character; ++character) {
            SIZE size{};
            GetTextExtentPoint32W(dc, character, 1, &size);
            if (size.cx > widestCharacter) widestCharacter = size.cx;
        }
        textWidth = widestCharacter * spec.content.length;
        if (lineBox && spec.text && *spec.text) {
            SIZE first{};
            GetTextExtentPoint32W(dc, spec.text, static_cast<int>(std::wcslen(spec.text)), &first);
            if (first.cx > textWidth) textWidth = first.cx;
        }
        if (IsClass(spec, WC_EDITW)) {
            const auto besideShown = [&] {
                RECT shown{};
                SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
                // One pixel more for the caret after the last character.
                return designedWidth - (shown.right - shown.left) + 1;
            };
            besideText = besideShown();
            // A wide font brings wide margins; a box too narrow for its content gives them
            // up first (a new font brings them back).
            if (textWidth + besideText > designedWidth) {
                SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
                besideText = besideShown();
            }
        } else {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (!GetComboBoxInfo(control, &info)) return designed;
            besideText = designedWidth - (info.rcItem.right - info.rcItem.left) + Scale(4);
        }
    }
    if (textWidth + besideText <= designedWidth) return designed;

    RECT fitted = designed;
    const int widest = RightLimit(index, designed) - designed.left;
    if (textWidth + besideText <= widest) {
        fitted.right = designed.left + textWidth + besideText;
        return fitted;
    }
    if (widest > designedWidth) fitted.right = designed.left + widest;
    if (!button) return fitted;
    // One line cannot be shown whole even as wide as the space allows: the text wraps, and
    // the button grows down as far as the space below is free.
    RECT wrapped{0, 0, (fitted.right - fitted.left) - besideText, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped, DT_CALCRECT | DT_WORDBREAK);
    const int needed = (wrapped.bottom - wrapped.top) + Scale(4);
    if (needed > designed.bottom - designed.top) {
        const int bottomLimit = BottomLimit(index, designed, fitted);
        fitted.bottom = designed.top + needed < bottomLimit ? designed.top + needed : bottomLimit;
    }
    return fitted;
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
