// Lines as the preview lays them out, measured by a stand-in font in which every character is
// as wide as its size in points (so "abc" at size 3, 12 pt, is 36 wide) and a line as high as
// the points plus a quarter below the baseline.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "preview/Markup.h"
#include "preview/TextLayout.h"

namespace velmora {
namespace {

class FixedWidthMeasurer final : public TextMeasurer {
public:
    FontMetrics Metrics(const MarkupDocument&, const TextStyle& style) override {
        ++metricsCalls;
        const int points = PointsOfHtmlSize(style.htmlSize);
        return {points, points / 4};
    }
    void Advances(const MarkupDocument&, const TextStyle& style, std::wstring_view text, int* advances) override {
        const int points = PointsOfHtmlSize(style.htmlSize);
        for (std::size_t i = 0; i < text.size(); ++i) advances[i] = static_cast<int>(i + 1) * points;
    }
    int metricsCalls = 0;
};

struct Laid {
    MarkupDocument document;
    TextLayout layout;
    std::wstring Text() const { return PlainTextOf(document, layout); }
};

Laid LayOut(std::wstring_view markup, int width, int ruleHeight = 6) {
    Laid laid{ReadMarkup(markup), {}};
    FixedWidthMeasurer measurer;
    laid.layout = LayOutMarkup(laid.document, measurer, width, ruleHeight);
    return laid;
}

TEST(Layout, WrapsAtBlanksWithinTheWidth) {
    // 12 pt: 10 characters per 120.
    const Laid laid = LayOut(L"one two three four five", 120);
    EXPECT_EQ(laid.Text(), L"one two\r\nthree four\r\nfive");
    for (const PlacedText& piece : laid.layout.pieces) EXPECT_LE(piece.x + piece.width, 120);
    ASSERT_EQ(laid.layout.lines.size(), 3u);
    EXPECT_EQ(laid.layout.lines[1].top, 15);
    EXPECT_EQ(laid.layout.height, 45);
    // Exactly the width fits; one character more wraps.
    EXPECT_EQ(LayOut(L"abcd efghi", 120).Text(), L"abcd efghi");
    EXPECT_EQ(LayOut(L"abcd efghij", 120).Text(), L"abcd\r\nefghij");
}

TEST(Layout, OneStyleOnALineIsOnePiece) {
    const Laid laid = LayOut(L"a b c d e f", 1000);
    ASSERT_EQ(laid.layout.pieces.size(), 1u);
    EXPECT_EQ(laid.layout.pieces[0].width, 11 * 12);
}

TEST(Layout, AWordAcrossStylesStaysTogether) {
    // "Hel" bold and "lo" plain make one word; it moves to the next line whole.
    const Laid laid = LayOut(L"abcdefg <b>Hel</b>lo", 120);
    EXPECT_EQ(laid.Text(), L"abcdefg\r\nHello");
    ASSERT_EQ(laid.layout.pieces.size(), 3u);
    EXPECT_EQ(laid.layout.pieces[1].x, 0);
    EXPECT_EQ(laid.layout.pieces[2].x, 36);
}

TEST(Layout, LongWordsBreakBetweenCharacters) {
    EXPECT_EQ(LayOut(L"abcdefghijklmnopqrstuvwxy", 120).Text(), L"abcdefghij\r\nklmnopqrst\r\nuvwxy");
    EXPECT_EQ(LayOut(L"ab abcdefghijkl", 120).Text(), L"ab\r\nabcdefghij\r\nkl");
    // Narrower than one character: one character a line, never none.
    EXPECT_EQ(LayOut(L"abc", 5).Text(), L"a\r\nb\r\nc");
    EXPECT_EQ(LayOut(L"abc", 0).Text(), L"a\r\nb\r\nc");
}

TEST(Layout, LinesTakeTheHeightOfTheirLargestText) {
    const Laid laid = LayOut(L"small <font size=7>BIG</font><br><font size=1>tiny</font>", 1000);
    ASSERT_EQ(laid.layout.lines.size(), 2u);
    EXPECT_EQ(laid.layout.lines[0].height, 36 + 9);
    EXPECT_EQ(laid.layout.lines[0].baseline, 36);
    EXPECT_EQ(laid.layout.lines[1].top, 45);
    EXPECT_EQ(laid.layout.lines[1].height, 8 + 2);
}

TEST(Layout, BreaksParagraphsAndRules) {
    const Laid laid = LayOut(L"a<br><br>b<p><p>c</p>d<hr>e", 1000, 6);
    // An empty line for the second BR, one blank line between paragraphs however many tags.
    EXPECT_EQ(laid.Text(), L"a\r\n\r\nb\r\n\r\nc\r\n\r\nd\r\n\r\ne");
    int rules = 0;
    for (const LaidLine& line : laid.layout.lines) rules += line.rule ? 1 : 0;
    EXPECT_EQ(rules, 1);
    EXPECT_EQ(LayOut(L"<p>first", 1000).Text(), L"first");
    EXPECT_EQ(LayOut(L"", 1000).layout.height, 0);
}

TEST(Layout, BlanksAtLineEndsAreDropped) {
    const Laid laid = LayOut(L"abcdefgh   ijk", 120);
    EXPECT_EQ(laid.Text(), L"abcdefgh\r\nijk");
    EXPECT_EQ(laid.layout.pieces.back().x, 0);
}

TEST(Layout, HugeAndDeepInputStaysLinear) {
    std::wstring deep;
    for (int i = 0; i < 10000; ++i) deep += L"<B>";
    deep += L"x";
    EXPECT_EQ(LayOut(deep, 100).Text(), L"x");

    std::wstring big;
    while (big.size() < (1u << 20)) big += L"word <b>bold</b> <font size=+4>big</font>&nbsp;<br>";
    const Laid laid = LayOut(big, 300);
    EXPECT_GT(laid.layout.lines.size(), 10000u);
    for (std::size_t i = 1; i < laid.layout.lines.size(); ++i)
        ASSERT_EQ(laid.layout.lines[i].top, laid.layout.lines[i - 1].top + laid.layout.lines[i - 1].height);

    // One megabyte without a blank: broken into lines, every character kept.
    const std::wstring solid(1u << 20, L'z');
    const Laid wall = LayOut(solid, 1200);
    std::size_t characters = 0;
    for (const PlacedText& piece : wall.layout.pieces) characters += piece.length;
    EXPECT_EQ(characters, solid.size());
    EXPECT_EQ(wall.layout.lines.size(), (solid.size() + 99) / 100);
}

TEST(Layout, EachStyleIsMeasuredOnce) {
    std::wstring text;
    for (int i = 0; i < 1000; ++i) text += L"<b>a</b> b ";
    const MarkupDocument document = ReadMarkup(text);
    FixedWidthMeasurer measurer;
    LayOutMarkup(document, measurer, 200, 6);
    EXPECT_LE(measurer.metricsCalls, 2);
}

}  // namespace
}  // namespace velmora
