// The away-message markup as a buddy's client reads it: colours, sizes, contrast, entities,
// whitespace, and markup that is broken in every way a typed message can break it.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "compose/AwayDocument.h"
#include "preview/HtmlColour.h"
#include "preview/Markup.h"

namespace velmora {
namespace {

// The visible text of a document, with "|" for a line break, "¶" for a paragraph, "—" for a rule.
std::wstring Shown(const MarkupDocument& document) {
    std::wstring shown;
    for (const MarkupItem& item : document.items) {
        switch (item.kind) {
            case MarkupItem::Kind::Text: shown.append(document.text, item.begin, item.length); break;
            case MarkupItem::Kind::LineBreak: shown += L'|'; break;
            case MarkupItem::Kind::Paragraph: shown += L'\u00B6'; break;
            case MarkupItem::Kind::Rule: shown += L'\u2014'; break;
        }
    }
    return shown;
}
std::wstring Shown(std::wstring_view markup) { return Shown(ReadMarkup(markup)); }

// The style of the first text item that holds the given text.
TextStyle StyleOf(const MarkupDocument& document, std::wstring_view text) {
    for (const MarkupItem& item : document.items)
        if (item.kind == MarkupItem::Kind::Text &&
            std::wstring_view(document.text).substr(item.begin, item.length).find(text) != std::wstring_view::npos)
            return document.styles[item.style];
    ADD_FAILURE() << "no item holds the text";
    return {};
}

TEST(LegacyColour, HexFormsNamesAndOtherText) {
    struct Case {
        std::wstring_view text;
        std::optional<Rgb> rgb;
    };
    const Case cases[] = {
        {L"#FFFFFF", 0xFFFFFF},
        {L"FFFFFF", 0xFFFFFF},
        {L"#000080", 0x000080},
        {L"#fff", 0xFFFFFF},
        {L"#f0a", 0xFF00AA},
        {L"f0a", 0x0F000A},  // without "#" three digits are one per channel, not doubled
        {L"  #123456\n", 0x123456},
        {L"navy", 0x000080},
        {L"Silver", 0xC0C0C0},
        {L"FUCHSIA", 0xFF00FF},
        {L"orange", 0xFFA500},
        {L"zz", 0x000000},
        {L"#", 0x000000},
        {L"#zz", 0x000000},
        {L"chucknorris", 0xC00000},  // the well-known oddity of the rule
        {L"#12345", 0x123450},
        {L"#1234567", 0x124570},                   // padded to 9 digits: 123 456 700, two kept of each
        {L"#abcdefabcdefabcdefabcdef", 0xABCDEF},  // 8 digits kept of each part, then 2
        {L"#000100020003", 0x010203},              // leading zeros go from all three parts together
        {L"", std::nullopt},
        {L"transparent", std::nullopt},
        {L"  TRANSPARENT ", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::string(c.text.begin(), c.text.end()) << "\"");
        EXPECT_EQ(ParseLegacyColour(c.text), c.rgb);
    }
    // Text longer than 128 characters is cut before it is split.
    EXPECT_EQ(ParseLegacyColour(std::wstring(1000, L'f')), 0xFFFFFF);
    EXPECT_EQ(ParseLegacyColour(L"#" + std::wstring(200, L'1')), 0x111111);
}

TEST(Contrast, RatiosAndTheirText) {
    EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0x777777, 0x777777), 1.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);  // the lightest grey that passes on white
    EXPECT_NEAR(ContrastRatio(0x777777, 0xFFFFFF), 4.48, 0.01);
    EXPECT_NEAR(ContrastRatio(0xFFFF00, 0xFFFFFF), 1.07, 0.01);
    EXPECT_EQ(ContrastText(21.0), L"Contrast 21.0 : 1");
    EXPECT_EQ(ContrastText(1.0), L"Contrast 1.0 : 1");
    // Cut, not rounded: 4.48 must not look as if it passed.
    EXPECT_EQ(ContrastText(ContrastRatio(0x777777, 0xFFFFFF)), L"Contrast 4.4 : 1");
    EXPECT_EQ(ContrastText(ContrastRatio(0x0000FF, 0x000080)), L"Contrast 1.8 : 1");
}

TEST(FontSize, NumbersSignsAndClamping) {
    const std::pair<std::wstring_view, std::optional<int>> cases[] = {
        {L"1", 1},
        {L"7", 7},
        {L"2", 2},
        {L"32", 7},
        {L"0", 1},
        {L"+1", 4},
        {L"+9", 7},
        {L"-1", 2},
        {L"-5", 1},
        {L" 5", 5},
        {L"4px", 4},
        {L"", std::nullopt},
        {L"x", std::nullopt},
        {L"+", std::nullopt},
        {L"99999999999999999999", 7},
    };
    for (const auto& [text, size] : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::string(text.begin(), text.end()) << "\"");
        EXPECT_EQ(ParseFontSize(text), size);
    }
    const int points[] = {8, 8, 10, 12, 14, 18, 24, 36, 36};
    for (int size = 0; size <= 8; ++size) EXPECT_EQ(PointsOfHtmlSize(size), points[size]) << size;
}

TEST(Markup, TheStoredDocumentReadsAsTheClientShowsIt) {
    const std::wstring stored =
        BuildAwayDocument(L"Lunch", L"000080", L"FFFF00", L"4", L"Back  soon,\r\n%n", std::wstring_view(L"A - B"));
    const MarkupDocument document = ReadMarkup(stored);
    EXPECT_EQ(document.title, L"Lunch");
    EXPECT_EQ(document.bodyColour, 0x000080u);
    EXPECT_EQ(Shown(document), L"Back soon, %n|Last Song Played on winamp: A - B");
    const TextStyle style = StyleOf(document, L"Back");
    EXPECT_EQ(style.colour, 0xFFFF00u);
    EXPECT_EQ(style.htmlSize, 4);
    EXPECT_TRUE(style.bold);
    EXPECT_EQ(document.faces[style.face], L"Tahoma");
}

TEST(Markup, TagsInAnyCaseQuotedOrNot) {
    const MarkupDocument document = ReadMarkup(
        L"<b>bold</B><i>it</i><u>under</U><S>gone</s><strike>past</STRIKE>"
        L"<font color=red back='#00ff00' size=+2 face=\"Comic Sans MS, Arial\">big</font>"
        L"<A HREF=\"http://x\">link</a><Font COLOR=#0000fF>blue</Font>");
    EXPECT_TRUE(StyleOf(document, L"bold").bold);
    EXPECT_TRUE(StyleOf(document, L"it").italic);
    EXPECT_TRUE(StyleOf(document, L"under").underline);
    EXPECT_TRUE(StyleOf(document, L"gone").strike);
    EXPECT_TRUE(StyleOf(document, L"past").strike);
    const TextStyle big = StyleOf(document, L"big");
    EXPECT_EQ(big.colour, 0xFF0000u);
    EXPECT_EQ(big.back, 0x00FF00u);
    EXPECT_EQ(big.htmlSize, 5);
    EXPECT_EQ(document.faces[big.face], L"Comic Sans MS");
    const TextStyle link = StyleOf(document, L"link");
    EXPECT_EQ(link.colour, 0x0000FFu);
    EXPECT_TRUE(link.underline);
    EXPECT_FALSE(StyleOf(document, L"blue").underline);
    EXPECT_EQ(Shown(document), L"bolditundergonepastbiglinkblue");
}

TEST(Markup, EndTagsCloseTheNearestOfTheirKind) {
    const MarkupDocument document =
        ReadMarkup(L"<font color=red><b>1<font color=blue>2</font>3</b>4</font>5</i></font></b>6");
    EXPECT_EQ(StyleOf(document, L"1").colour, 0xFF0000u);
    EXPECT_EQ(StyleOf(document, L"2").colour, 0x0000FFu);
    EXPECT_EQ(StyleOf(document, L"3").colour, 0xFF0000u);
    EXPECT_TRUE(StyleOf(document, L"3").bold);
    EXPECT_FALSE(StyleOf(document, L"4").bold);
    EXPECT_EQ(StyleOf(document, L"5"), TextStyle{});
    EXPECT_EQ(StyleOf(document, L"6"), TextStyle{});
    // A colour that names nothing leaves the colour as it was; "zz" names black.
    const MarkupDocument odd = ReadMarkup(L"<font color=red><font color=\"\">a</font><font color=zz>b</font></font>");
    EXPECT_EQ(StyleOf(odd, L"a").colour, 0xFF0000u);
    EXPECT_EQ(StyleOf(odd, L"b").colour, 0x000000u);
}

TEST(Markup, BlocksEntitiesCommentsAndUnknownTags) {
    EXPECT_EQ(Shown(L"a<br>b<BR/>c<p>d</P>e<hr>f"), L"a|b|c\u00B6d\u00B6e\u2014f");
    EXPECT_EQ(Shown(L"&amp; &lt;b&gt; &quot;q&quot; &AMP; &#65;&#x42;&#X43 &#9731; &copy; &bogus &"),
              L"& <b> \"q\" & ABC \u2603 &copy; &bogus &");
    EXPECT_EQ(Shown(L"x&nbsp;&nbsp;y"), L"x\u00A0\u00A0y");
    EXPECT_EQ(Shown(L"&#0;&#55296;&#99999999999;"), L"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Shown(L"see <!-- hidden <b> --> this <!DOCTYPE html><?xml?>too"), L"see this too");
    EXPECT_EQ(Shown(L"<blink>still</blink> <marquee a=1>here</marquee>"), L"still here");
    EXPECT_EQ(Shown(L"1 < 2 and 3 <3 you, a<>b </ > c"), L"1 < 2 and 3 <3 you, a<>b c");
    // A link's address is never shown nor followed.
    EXPECT_EQ(Shown(L"<a href=\"http://example.com/?a=1&b=2\">here</a>"), L"here");
}

TEST(Markup, WhitespaceAsAnHtmlReader) {
    EXPECT_EQ(Shown(L"  one\r\n\r\n  two\t\tthree  "), L"one two three ");
    EXPECT_EQ(Shown(L"a <b> b </b> c"), L"a b c");
    EXPECT_EQ(Shown(L"a<br>  b<br>\r\n<br>c"), L"a|b||c");
    EXPECT_TRUE(HasLineBreaksReadersJoin(L"one\r\ntwo"));
    EXPECT_TRUE(HasLineBreaksReadersJoin(L"one\ntwo <bright>"));
    EXPECT_FALSE(HasLineBreaksReadersJoin(L"one<BR>\r\ntwo"));
    EXPECT_FALSE(HasLineBreaksReadersJoin(L"one<br/>\r\ntwo"));
    EXPECT_FALSE(HasLineBreaksReadersJoin(L"one line"));
}

TEST(Markup, TitleIsTheLabelNotText) {
    const MarkupDocument document = ReadMarkup(L"<TITLE>  Out <b>to</b> &amp; lunch </Title>shown");
    EXPECT_EQ(document.title, L"Out <b>to</b> & lunch");
    EXPECT_EQ(Shown(document), L"shown");
    EXPECT_EQ(ReadMarkup(L"<title>never closed").title, L"never closed");
    // The first BODY colour counts; a later one (the song line's) cannot change the page.
    EXPECT_EQ(ReadMarkup(L"<body bgcolor=red><body bgcolor=blue>").bodyColour, 0xFF0000u);
    EXPECT_EQ(ReadMarkup(L"<body bgcolor=\"\"><body bgcolor=blue>").bodyColour, std::nullopt);
}

TEST(Markup, BrokenMarkupStillReads) {
    EXPECT_EQ(Shown(L"text <b"), L"text ");
    EXPECT_EQ(Shown(L"text <font color=\"red>never"), L"text ");
    EXPECT_EQ(Shown(L"<!-- never closed"), L"");
    EXPECT_EQ(Shown(L"<"), L"<");
    EXPECT_EQ(Shown(L"&"), L"&");
    EXPECT_EQ(Shown(L"</b></font></a>x"), L"x");

    std::wstring nested;
    for (int i = 0; i < 10000; ++i) nested += L"<B><i>";
    nested += L"deep";
    for (int i = 0; i < 10000; ++i) nested += L"</i></B>";
    nested += L"after";
    const MarkupDocument deep = ReadMarkup(nested);
    EXPECT_EQ(Shown(deep), L"deepafter");
    EXPECT_TRUE(StyleOf(deep, L"deep").bold);
    EXPECT_EQ(StyleOf(deep, L"after"), TextStyle{});

    // A megabyte of message, every kind of markup repeated.
    std::wstring big;
    while (big.size() < (1u << 20)) big += L"<font color=#abc size=9 face=F>w&amp;rd</font> <b><u>x";
    const MarkupDocument large = ReadMarkup(big);
    EXPECT_FALSE(large.items.empty());
    EXPECT_LE(large.faces.size(), 256u);
}

TEST(Placeholders, FilledAsTheClientSendsThem) {
    EXPECT_EQ(FillPlaceholders(L"Hi %n, it is %t on %d.", L"Buddy", L"12/7/2026", L"10:45 AM"),
              L"Hi Buddy, it is 10:45 AM on 12/7/2026.");
    EXPECT_EQ(FillPlaceholders(L"100% %N %x %%n %", L"B", L"D", L"T"), L"100% %N %x %B %");
    EXPECT_EQ(FillPlaceholders(L"%n%n", L"%n", L"", L""), L"%n%n");  // a name is not filled again
    // In a stored document the label stays as typed; the message, and the song line, are filled.
    EXPECT_EQ(FillDocumentPlaceholders(L"<title>%n's %d</title><B>%n</B><BR>%t", L"pal", L"D", L"T"),
              L"<title>%n's %d</title><B>pal</B><BR>T");
    EXPECT_EQ(FillDocumentPlaceholders(L"%n<TITLE >%n</Title >%n<titles>%n", L"p", L"", L""),
              L"p<TITLE >%n</Title >p<titles>p");
    EXPECT_EQ(FillDocumentPlaceholders(L"<titlex>%n<title>%n", L"p", L"", L""), L"<titlex>p<title>%n");
}

}  // namespace
}  // namespace velmora
