#pragma once
// Lays a read away message out in lines of a given width, as a buddy's IM client wraps it.
// Text is measured through an interface: GDI on Windows, a fixed-width stand-in in the tests.
#include <cstdint>
#include <string>
#include <vector>

#include "preview/Markup.h"

namespace velmora {

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual FontMetrics Metrics(const MarkupDocument& document, const TextStyle& style) = 0;
    // advances[i] is the width of text[0..i], as GetTextExtentExPoint reports it; advances
    // has text.size() places.
    virtual void Advances(const MarkupDocument& document, const TextStyle& style, std::wstring_view text,
                          int* advances) = 0;
};

struct LaidLine {
    int top = 0;
    int height = 0;
    int baseline = 0;   // from top
    bool rule = false;  // a horizontal rule fills this line
};

// A piece of one item's text on one line.
struct PlacedText {
    std::uint32_t line;
    std::uint32_t style;
    std::uint32_t begin;  // into MarkupDocument::text
    std::uint32_t length;
    int x;
    int width;
};

struct TextLayout {
    std::vector<LaidLine> lines;
    std::vector<PlacedText> pieces;  // in line order, left to right
    int height = 0;
};

// Wraps at blanks; a word wider than the whole width is broken between characters. Blanks at
// the end of a line are dropped. A width below 1 counts as 1. ruleHeight is the height of the
// line an <HR> takes.
TextLayout LayOutMarkup(const MarkupDocument& document, TextMeasurer& measurer, int width, int ruleHeight);

// The text as laid out, one line of text per line (rules as empty lines), lines joined by CR LF.
std::wstring PlainTextOf(const MarkupDocument& document, const TextLayout& layout);

}  // namespace velmora
