#pragma once
// A child window that shows an away-message document as a buddy's IM client shows it: laid out
// at the pane's width, painted off-screen and copied in one go (no flicker), the body colour
// over the whole page, scrolled up and down when it is long. %n is filled with the reader's
// name, %d and %t with today's date and the time in the system's short formats.
//
// The window text of the pane (WM_GETTEXT) is the text it shows, line by line: what a screen
// reader reads, and what the tests compare.
#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "misc/Handles.h"
#include "misc/Window.h"
#include "preview/Markup.h"
#include "preview/TextLayout.h"

namespace velmora {

class RenderPane final : public Window {
public:
    RenderPane() = default;

    // rect is in the parent's client pixels.
    bool Create(HWND parent, int id, const RECT& rect);
    // The document as stored (placeholders as typed).
    void SetDocument(std::wstring_view document);
    // The name %n shows; "Buddy" until set.
    void SetReader(std::wstring_view reader);
    void Move(const RECT& rect);
    // Reads the date and time again; lays out afresh only when %d or %t would now show other text.
    void RefreshClock();

    // The document's label (its title) and page colour, as read.
    const std::wstring& Label() const noexcept { return markup_.title; }
    Rgb PageColour() const noexcept { return markup_.bodyColour.value_or(kWhite); }

private:
    static constexpr Rgb kWhite = 0xFFFFFF;

    class GdiMeasurer final : public TextMeasurer {
    public:
        // Measures as the window paints: a memory DC like its own, for this DPI (fonts of
        // another DPI are dropped).
        void Begin(HWND window, UINT dpi);
        // Around a layout: the fonts it did not ask for are let go after it, so the cache holds
        // the shown document's fonts and no more, however many documents came before.
        void BeginLayout() noexcept { ++generation_; }
        void EndLayout();
        FontMetrics Metrics(const MarkupDocument& document, const TextStyle& style) override;
        void Advances(const MarkupDocument& document, const TextStyle& style, std::wstring_view text,
                      int* advances) override;
        HFONT FontFor(const MarkupDocument& document, const TextStyle& style);

    private:
        using FontKey = std::tuple<std::wstring, int, bool, bool, bool, bool>;
        // A font and the advance widths of its characters, read 256 at a time as text needs
        // them: one GDI call a page rather than one a run of text.
        struct Font {
            UniqueFont handle;
            std::vector<std::unique_ptr<std::array<int, 256>>> pages;
            std::uint64_t used = 0;  // the last layout that asked for it
        };
        Font& FontOf(const MarkupDocument& document, const TextStyle& style);
        std::map<FontKey, Font> fonts_;
        UniqueBitmap surface_;  // declared first: it goes after the DC it is selected into
        UniqueMemoryDc dc_;
        UINT dpi_ = 0;
        std::uint64_t generation_ = 0;
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnPaint();
    void OnSize();
    void OnVScroll(int request);
    void OnMouseWheel(int delta);
    bool OnKeyDown(WPARAM key);
    LRESULT OnGetText(std::size_t capacity, wchar_t* buffer);
    const std::wstring& ShownText();

    void Refill();  // placeholders filled, markup read, laid out
    void LayOut();  // at the current width
    void ScrollTo(int y);
    void UpdateScrollBar();
    void PaintOn(HDC dc, const RECT& client);
    int Scale(int pixelsAt96) const noexcept;

    UINT dpi_ = 96;
    std::wstring document_;
    std::wstring reader_ = L"Buddy";
    std::wstring date_;
    std::wstring time_;
    MarkupDocument markup_;
    TextLayout layout_;
    GdiMeasurer measurer_;
    int scrollY_ = 0;
    std::optional<std::wstring> shownText_;  // the window text, made when first asked for
    std::optional<SCROLLINFO> shownBar_;     // what the scroll bar was last given
};

}  // namespace velmora
