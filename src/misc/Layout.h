#pragma once
// A window's controls and decorations as tables in 96-DPI pixels, created and laid out for
// the window's DPI, with the fonts and colours each control names.
#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "misc/Handles.h"
#include "misc/Scale.h"

namespace velmora {

struct FontSpec {
    const wchar_t* face = nullptr;  // nullptr: the window's own font
    int centiPoints = 0;            // 825 is 8.25 pt
    bool bold = false;

    bool operator==(const FontSpec& other) const;
};

// Velmora's windows are set in Tahoma.
constexpr FontSpec Tahoma(int centiPoints, bool bold = false) { return {L"Tahoma", centiPoints, bold}; }
// A control of this font takes the window's own font.
inline constexpr FontSpec kOwnFont{};
// A control whose colours are the system's own, and the plain push button every window has.
inline constexpr Paint kNone = Paint::None();
inline constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

// What a box whose content is known can hold at most: so many of these characters. It is
// made wide enough for the widest of them, in whatever font the system gives it.
struct KnownContent {
    const wchar_t* characters = nullptr;
    int length = 0;
};
inline constexpr KnownContent kSixHexDigits{L"0123456789ABCDEFabcdef", 6};
constexpr KnownContent Digits(int length) { return {L"0123456789", length}; }

struct ControlSpec {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;  // 96-DPI pixels on the client area
    FontSpec font;
    Paint textColour;
    Paint backColour;           // labels and check boxes: their background
    KnownContent content = {};  // text boxes and combo boxes that hold only this
};

// Filled rectangles (panels, lamps, banners) and lines drawn by the window itself.
struct PaintedRect {
    int x, y, width, height;
    Paint fill;
    Paint border;
};
struct PaintedLine {
    int x1, y1, x2, y2;
    Paint colour;
};

COLORREF ColourOf(Paint paint) noexcept;

class ControlSet {
public:
    ControlSet(std::span<const ControlSpec> controls, FontSpec windowFont)
        : specs_(controls), windowFont_(windowFont) {}

    // Creates every control, in table order (which is the Tab order), laid out for the DPI.
    // Text boxes take text of any length; a button that names its own text colour is drawn
    // without the visual theme, which would ignore the colour.
    void Create(HWND parent, HINSTANCE instance, UINT dpi);
    // Positions every control again and rebuilds the fonts, for a new DPI.
    void Layout(UINT dpi);
    UINT Dpi() const noexcept { return dpi_; }
    HWND Control(int id) const noexcept;
    // A control's text as it stands now, and a new text for it.
    std::wstring Text(int id) const;
    void SetText(int id, std::wstring_view text) const;
    // Answers WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT / WM_CTLCOLORBTN for controls in the table;
    // returns nullptr for the others.
    HBRUSH ColourControl(HWND control, HDC dc);
    // A colour may change at run time (a lamp, a preview); the table keeps the design value.
    void SetBackColour(int id, Paint colour);
    Paint BackColour(int id) const noexcept;

    void PaintRects(HDC dc, std::span<const PaintedRect> rects);
    void PaintLines(HDC dc, std::span<const PaintedLine> lines);
    // Draws the top-left width x height pixels of a bitmap at x, y (96-DPI pixels), scaled.
    void PaintBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);
    int Scale(int pixelsAt96) const noexcept { return ScaleForDpi(pixelsAt96, static_cast<int>(dpi_)); }
    RECT ScaleRect(int x, int y, int width, int height) const noexcept;

private:
    // A control whose text the font of this system cannot show whole in its designed box
    // (a label, a button, a check box, a box of known content) is widened just enough, as far
    // as the space to its right is free, and where that is not enough a text that can wrap
    // grows down as far as the space below is free; the others keep their designed rectangles.
    // A label that needs more lines than the space below it holds moves the labels just below
    // it down, as far as the space below them is free.
    void FitTexts();
    RECT FittedLabelRect(size_t index, const RECT& designed);
    RECT FittedControlRect(size_t index, const RECT& designed);
    int RightLimit(size_t index, const RECT& designed) const;
    int BottomLimit(size_t index, const RECT& designed, const RECT& fitted) const;
    bool MakeRoomBelow(size_t index, const RECT& fitted, int bottom);
    HFONT FontFor(const FontSpec& spec);
    const FontSpec& FontOf(const ControlSpec& spec) const noexcept;
    HBRUSH BrushFor(COLORREF colour);

    std::span<const ControlSpec> specs_;
    FontSpec windowFont_;
    std::vector<HWND> windows_;
    std::vector<RECT> placed_;  // where each control is, once fitted
    std::vector<Paint> backColours_;
    struct CachedFont {
        FontSpec spec;
        UniqueFont font;
    };
    struct CachedBrush {
        COLORREF colour;
        UniqueBrush brush;
    };
    std::vector<CachedFont> fonts_;
    std::vector<CachedBrush> brushes_;
    UINT dpi_ = 96;
};

}  // namespace velmora
