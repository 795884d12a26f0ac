// Any message read and laid out: it ends, every piece lies inside the text and inside the width
// (a piece wider than the width is one character), lines follow each other without gaps, and
// colours read from any text give a contrast between 1 and 21.
#include <cstring>

#include "FuzzInput.h"
#include "preview/HtmlColour.h"
#include "preview/Markup.h"
#include "preview/TextLayout.h"

namespace {

class FixedWidthMeasurer final : public velmora::TextMeasurer {
public:
    velmora::FontMetrics Metrics(const velmora::MarkupDocument&, const velmora::TextStyle& style) override {
        const int points = velmora::PointsOfHtmlSize(style.htmlSize);
        return {points, points / 4};
    }
    void Advances(const velmora::MarkupDocument&, const velmora::TextStyle& style, std::wstring_view text,
                  int* advances) override {
        // Characters of different widths, so breaks fall at varied places.
        int x = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            x += velmora::PointsOfHtmlSize(style.htmlSize) / 2 + static_cast<int>(text[i] % 7);
            advances[i] = x;
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    if (size < 1) return 0;
    const int width = data[0] * 4;
    const std::wstring markup = fuzz::WideFrom(data + 1, size - 1);
    const MarkupDocument document = ReadMarkup(markup);
    VELMORA_FUZZ_CHECK(document.text.size() <= markup.size());
    for (const MarkupItem& item : document.items) {
        VELMORA_FUZZ_CHECK(item.style < document.styles.size());
        VELMORA_FUZZ_CHECK(std::size_t{item.begin} + item.length <= document.text.size());
    }
    for (const TextStyle& style : document.styles) {
        VELMORA_FUZZ_CHECK(style.htmlSize >= 1 && style.htmlSize <= 7);
        VELMORA_FUZZ_CHECK(style.face < document.faces.size());
    }

    FixedWidthMeasurer measurer;
    const TextLayout layout = LayOutMarkup(document, measurer, width, 6);
    int bottom = 0;
    for (const LaidLine& line : layout.lines) {
        VELMORA_FUZZ_CHECK(line.top == bottom);
        bottom += line.height;
    }
    VELMORA_FUZZ_CHECK(layout.height == bottom);
    std::uint32_t previousLine = 0;
    for (const PlacedText& piece : layout.pieces) {
        VELMORA_FUZZ_CHECK(piece.line < layout.lines.size() && piece.line >= previousLine);
        VELMORA_FUZZ_CHECK(std::size_t{piece.begin} + piece.length <= document.text.size());
        VELMORA_FUZZ_CHECK(piece.x >= 0);
        VELMORA_FUZZ_CHECK(piece.x + piece.width <= std::max(width, 1) || (piece.x == 0 && piece.length == 1));
        previousLine = piece.line;
    }

    const std::optional<Rgb> colour = ParseLegacyColour(markup);
    VELMORA_FUZZ_CHECK(!colour || *colour <= 0xFFFFFF);
    const double ratio = ContrastRatio(colour.value_or(0), document.bodyColour.value_or(0xFFFFFF));
    VELMORA_FUZZ_CHECK(ratio >= 1.0 && ratio <= 21.0 + 1e-9);
    return 0;
}
