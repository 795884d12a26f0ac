#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

#include "aim/ImText.h"
#include "misc/Text.h"

namespace velmora {
namespace {

std::string Visible(std::wstring_view text) {
    std::string shown;
    for (const wchar_t c : text) {
        if (c == L'\r') {
            shown += "[CR]";
        } else if (c == L'\n') {
            shown += "[LF]";
        } else if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            shown += "[?]";
        }
    }
    return shown;
}

struct ConversationCase {
    std::wstring_view markup;
    std::wstring_view plain;
    std::wstring_view lastLine;
    std::wstring_view sender;
};

// The conversation table, with the two rows whose sender used to lose its
// first letter when the text held no line break.
const ConversationCase kConversations[] = {
    {L"<B>pal42</B>: hi<BR><B>me99</B>: brb<BR><B>pal42</B>: where are you?",
     L"pal42: hi\r\nme99: brb\r\npal42: where are you?", L"\npal42: where are you?", L"pal42"},
    {L"<B>me99</B>: back soon<BR>", L"me99: back soon\r\n", L"\n", L""},
    {L"pal42: hi", L"pal42: hi", L"pal42: hi", L"pal42"},
    {L"<BR>12:30 pal42: hi", L"\r\n12:30 pal42: hi", L"\n12:30 pal42: hi", L"12"},
    {L"a > b<BR>pal42: 1 < 2", L"a  b\r\npal42: 1 ", L"\npal42: 1 ", L"pal42"},
    {L"x<br>pal42: hi", L"xpal42: hi", L"xpal42: hi", L"xpal42"},
    {L"<BR>no colon here", L"\r\nno colon here", L"\nno colon here", L""},
    {L"<BR>: hi", L"\r\n: hi", L"\n: hi", L""},
    {L"", L"", L"", L""},
};

TEST(ImText, ConversationTableHtmlToPlainText) {
    for (const ConversationCase& c : kConversations) {
        SCOPED_TRACE(Visible(c.markup));
        EXPECT_EQ(Visible(HtmlToPlainText(c.markup)), Visible(c.plain));
    }
}

TEST(ImText, ConversationTableLastLine) {
    for (const ConversationCase& c : kConversations) {
        SCOPED_TRACE(Visible(c.markup));
        EXPECT_EQ(Visible(LastImLineOf(c.plain)), Visible(c.lastLine));
    }
}

TEST(ImText, ConversationTableSender) {
    for (const ConversationCase& c : kConversations) {
        SCOPED_TRACE(Visible(c.markup));
        EXPECT_EQ(Visible(SenderOfLine(c.lastLine)), Visible(c.sender));
        EXPECT_EQ(Visible(SenderOfConversation(c.markup)), Visible(c.sender));
    }
}

TEST(HtmlToPlainText, TagsLineBreaksAndStrayBrackets) {
    struct Case {
        std::wstring_view markup;
        std::wstring_view plain;
    };
    const Case cases[] = {
        {L"plain text", L"plain text"},
        {L"<BR>", L"\r\n"},
        {L"<BR><BR>", L"\r\n\r\n"},
        {L"a<BR>b<BR>c", L"a\r\nb\r\nc"},
        {L"<br>", L""},  // other case is just a tag
        {L"<Br>x<bR>", L"x"},
        {L"<BR >x", L"x"},
        {L"<<BR>x", L""},  // the first "<" opens a tag that never closes
        {L"<BR>>", L"\r\n"},
        {L"<BRR>x", L"x"},
        {L"<BR", L""},
        {L"a<b", L"a"},            // unmatched "<" removes the rest
        {L"a<b\r\nc<BR>d", L"a"},  // line breaks included
        {L"a>b", L"ab"},           // a lone ">" goes, the text stays
        {L">>x>>", L"x"},
        {L"<a<b>c", L"c"},                                             // "<" inside a tag changes nothing
        {L"<a<BR>b>c", L"c"},                                          // a line break inside a tag goes with it
        {L"1 &lt; 2 &amp; &gt;&nbsp;", L"1 &lt; 2 &amp; &gt;&nbsp;"},  // entities are kept
        {L"<font color=\"#ff0000\">red</font>", L"red"},
        {L"  spaced  <i> out </i>", L"  spaced   out "},
        {L"keep\r\nown\nbreaks\r", L"keep\r\nown\nbreaks\r"},
        {L"<>", L""},
        {L"<", L""},
        {L">", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Visible(c.markup));
        EXPECT_EQ(Visible(HtmlToPlainText(c.markup)), Visible(c.plain));
    }
}

TEST(HtmlToPlainText, TextLongerThan32767CharactersIsConvertedWhole) {
    std::wstring markup;
    std::wstring plain;
    while (plain.size() < 40000) {
        markup += L"<B>pal42</B>: hello there<BR>";
        plain += L"pal42: hello there\r\n";
    }
    markup += L"tail";
    plain += L"tail";
    ASSERT_GT(plain.size(), 32767u);
    const std::wstring converted = HtmlToPlainText(markup);
    EXPECT_EQ(converted.size(), plain.size());
    EXPECT_TRUE(converted == plain);
    EXPECT_EQ(LastImLineOf(converted), L"\ntail");
}

TEST(HtmlToPlainText, OneMegabyteConversation) {
    const std::wstring_view line = L"<B><FONT COLOR=\"#0000ff\">pal42</FONT></B>: message &amp; more<BR>";
    std::wstring markup;
    markup.reserve(1 << 20);
    std::size_t lines = 0;
    while (markup.size() + line.size() <= (1u << 20)) {
        markup += line;
        ++lines;
    }
    markup += L"<B>me99</B>: last one";
    const std::wstring plain = HtmlToPlainText(markup);
    const std::wstring_view plainLine = L"pal42: message &amp; more\r\n";
    ASSERT_EQ(plain.size(), lines * plainLine.size() + std::wstring_view(L"me99: last one").size());
    EXPECT_EQ(std::wstring_view(plain).substr(0, plainLine.size()), plainLine);
    EXPECT_EQ(std::wstring_view(plain).substr(plain.size() - 16), L"\r\nme99: last one");
    EXPECT_EQ(SenderOfConversation(markup), L"me99");
}

TEST(HtmlToPlainText, UnmatchedOpenerNearTheStartDropsAMegabyte) {
    std::wstring markup = L"ok<";
    markup.append(1 << 20, L'x');
    markup += L"<BR>pal42: hi";
    EXPECT_EQ(HtmlToPlainText(markup), L"ok");
    EXPECT_EQ(SenderOfConversation(markup), L"");
}

TEST(LastImLineOf, LastCrLfPairDecides) {
    struct Case {
        std::wstring_view plain;
        std::wstring_view lastLine;
    };
    const Case cases[] = {
        {L"", L""},
        {L"one line", L"one line"},
        {L"a\r\nb", L"\nb"},
        {L"a\r\nb\r\nc", L"\nc"},
        {L"a\r\n", L"\n"},
        {L"\r\n", L"\n"},
        {L"a\nb", L"a\nb"},  // a bare LF is no line break
        {L"a\rb", L"a\rb"},  // nor is a bare CR
        {L"a\r\nb\nc\rd", L"\nb\nc\rd"},
        {L"a\r\r\nb", L"\nb"},
        {L"a\r\n\r\n", L"\n"},
        {L"a\n\r", L"a\n\r"},  // LF CR is not a pair
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Visible(c.plain));
        EXPECT_EQ(Visible(LastImLineOf(c.plain)), Visible(c.lastLine));
    }
}

TEST(SenderOfLine, NameBeforeTheFirstColon) {
    struct Case {
        std::wstring_view line;
        std::wstring_view sender;
    };
    const Case cases[] = {
        {L"pal42: hi", L"pal42"},  // no line break: the first letter stays
        {L"\npal42: hi", L"pal42"},
        {L"\n: hi", L""},
        {L": hi", L""},
        {L"\n12:30 pal42: hi", L"12"},  // a time stamp's colon comes first
        {L"\nno colon", L""},
        {L"\n", L""},
        {L"", L""},
        {L"\n\npal42: hi", L"\npal42"},      // only one leading LF is dropped
        {L"\n  pal 42 : hi", L"  pal 42 "},  // blanks belong to the name
        {L"\nx:", L"x"},
        {L"\n::", L""},
        {L"\na:b:c", L"a"},
        {L"\nBj\u00f6rk: hej", L"Bj\u00f6rk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Visible(c.line));
        EXPECT_EQ(Visible(SenderOfLine(c.line)), Visible(c.sender));
    }
}

TEST(SenderOfConversation, MarkupCases) {
    struct Case {
        std::wstring_view markup;
        std::wstring_view sender;
    };
    const Case cases[] = {
        {L"<B>pal42</B>: hi", L"pal42"},
        {L"<B>pal<i>4</i>2</B>: hi", L"pal42"},
        {L"\npal42: hi", L"pal42"},            // whole text starting with a bare LF
        {L"x\r<b>\n</b>pal42: hi", L"pal42"},  // CR and LF meet across a tag
        {L"x\r<BR>pal42: hi", L"pal42"},
        {L"pal42: hi\r", L"pal42"},
        {L"me99: a<BR>pal42<b:</b>: hi", L"pal42"},  // the tag hides its own colon
        {L"me99: a<BR>pal42<BR", L""},
        {L"me99: a<BR>\r\n<BR>", L""},
        {L"me99: a<BR><BR>\npal42: hi", L"\npal42"},
        {L"<BR><i>\n</i>pal42: hi", L"\npal42"},
        {L"me99: a<BR><p>pal42</p> :x", L"pal42 "},
        {L"me99: a<BR>&lt;pal42&gt;: hi", L"&lt;pal42&gt;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Visible(c.markup));
        EXPECT_EQ(Visible(SenderOfConversation(c.markup)), Visible(c.sender));
    }
}

// SenderOfConversation and LastImLineOfConversation read the markup without building the
// whole plain text, so they are checked against the plain composition on every short text
// made of the pieces that matter, and on longer pseudo-random ones.
std::wstring ComposedSender(std::wstring_view markup) { return SenderOfLine(LastImLineOf(HtmlToPlainText(markup))); }

::testing::AssertionResult LastLineAgrees(std::wstring_view markup) {
    const std::wstring composed = LastImLineOf(HtmlToPlainText(markup));
    const std::wstring actual = LastImLineOfConversation(markup);
    if (actual == composed) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "markup " << Visible(markup) << ": last line " << Visible(actual)
                                         << ", composed rules give " << Visible(composed);
}

TEST(SenderOfConversation, NamesOfAnyLengthComeWhole) {
    for (std::size_t length : {1u, 63u, 64u, 65u, 200u, 5000u}) {
        SCOPED_TRACE(length);
        std::wstring name;
        for (std::size_t i = 0; i < length; ++i) name += static_cast<wchar_t>(L'a' + i % 26);
        // Split by a tag, so that the name's characters come in two runs.
        std::wstring markup =
            L"me99: hi<BR><B>" + name.substr(0, length / 2) + L"<i>" + name.substr(length / 2) + L"</i></B>: there";
        EXPECT_EQ(SenderOfConversation(markup), name);
        EXPECT_EQ(LastImLineOfConversation(markup), L"\n" + name + L": there");
    }
}

TEST(ConversationReadings, AgreeWithTheComposedRulesOnAllShortTexts) {
    const std::wstring_view pieces[] = {L"<BR>", L"<", L">", L"\r", L"\n", L":", L"a", L"B"};
    constexpr std::size_t pieceCount = std::size(pieces);
    constexpr int maxPieces = 6;
    std::size_t checked = 0;
    for (int length = 0; length <= maxPieces; ++length) {
        std::size_t combinations = 1;
        for (int i = 0; i < length; ++i) {
            combinations *= pieceCount;
        }
        for (std::size_t code = 0; code < combinations; ++code) {
            std::wstring markup;
            for (std::size_t rest = code, i = 0; i < static_cast<std::size_t>(length); ++i, rest /= pieceCount) {
                markup += pieces[rest % pieceCount];
            }
            const std::wstring expected = ComposedSender(markup);
            // Whole-text walks, and walks that start near the end and reach back.
            for (std::size_t window : {std::size_t{256}, std::size_t{1}, std::size_t{3}}) {
                const std::wstring actual = SenderOfConversation(markup, window);
                if (actual != expected) {
                    ADD_FAILURE() << "markup " << Visible(markup) << ", first window " << window << ": got "
                                  << Visible(actual) << ", composed rules give " << Visible(expected);
                    return;
                }
            }
            if (!LastLineAgrees(markup)) {
                ADD_FAILURE() << LastLineAgrees(markup).message();
                return;
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 299593u);  // 8^0 + 8^1 + ... + 8^6
}

TEST(ConversationReadings, AgreeWithTheComposedRulesOnLongerRandomTexts) {
    const std::wstring_view pieces[] = {L"<BR>", L"<B>", L"</B>", L"<", L">", L"\r",  L"\n", L"\r\n",
                                        L":",    L"pal", L"42",   L" ", L"R", L"<BR", L"BR>"};
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 20000; ++round) {
        std::wstring markup;
        const std::uint32_t length = next() % 40;
        for (std::uint32_t i = 0; i < length; ++i) {
            markup += pieces[next() % std::size(pieces)];
        }
        const std::wstring expected = ComposedSender(markup);
        for (std::size_t window = 1; window <= 9; window += 2) {
            const std::wstring actual = SenderOfConversation(markup, window);
            if (actual != expected) {
                ADD_FAILURE() << "markup " << Visible(markup) << ", first window " << window << ": got "
                              << Visible(actual) << ", composed rules give " << Visible(expected);
                return;
            }
        }
        EXPECT_EQ(SenderOfConversation(markup), expected);
        ASSERT_TRUE(LastLineAgrees(markup));
    }
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// Another program's answers about its texts, as Velmora takes them.
struct NewestCase {
    std::wstring_view markup;
    std::wstring_view sender;
    std::wstring_view text;
};

TEST(NewestImMessageOf, TheLastLineNamingASenderStartsTheMessageAndTheLinesUnderItBelongToIt) {
    const NewestCase cases[] = {
        {L"<B>pal42</B>: hi", L"pal42", L"hi"},
        {L"<B>me99</B>: brb<BR><B>pal42</B>: hi<BR>are you there?", L"pal42", L"hi\r\nare you there?"},
        // A colon the buddy typed is text, not a sender: ahead of a line, in a time, at the end.
        {L"<B>pal42</B>: hi<BR>note: call me", L"pal42", L"hi\r\nnote: call me"},
        {L"<B>pal42</B>: one<BR>two: 2<BR>three<BR>four at 12:30<BR>five:", L"pal42",
         L"one\r\ntwo: 2\r\nthree\r\nfour at 12:30\r\nfive:"},
        {L"<B>Sam 7</B>: a: b", L"Sam 7", L"a: b"},
        // The client's own markup around the name, in other forms.
        {L"<FONT COLOR=\"#0000ff\">pal42</FONT><FONT>: hi</FONT>", L"pal42", L"hi"},
        {L"<B>pal42:</B> hi", L"pal42", L"hi"},
        {L"<B> pal42 </B>: hi", L"pal42", L"hi"},
        // A message ending in a line break: its empty last line belongs to it.
        {L"<B>pal42</B>: hi<BR>", L"pal42", L"hi\r\n"},
        // Lines that name nobody.
        {L"pal42: hi", L"", L""},
        {L"<BR>no colon here", L"", L""},
        {L"<B></B>: hi", L"", L""},
        {L"<BR>: hi", L"", L""},
        {L"x:<BR>y", L"", L""},
        {L"", L"", L""},
        // A line inside a tag is no line; a literal CR LF is one.
        {L"<B>pal42</B>: a<I<BR><B>eve</B>: x>b", L"pal42", L"aeve: xb"},
        {L"<B>pal42</B>: a\r\n<B>bob</B>: b", L"bob", L"b"},
    };
    for (const NewestCase& c : cases) {
        SCOPED_TRACE(Visible(c.markup));
        const ImMessage newest = NewestImMessageOf(c.markup);
        EXPECT_EQ(Visible(newest.sender), Visible(c.sender));
        EXPECT_EQ(Visible(newest.text), Visible(c.text));
        // Read from near the end first, reaching back as far as needed: the same message.
        for (std::size_t window = 1; window <= c.markup.size(); ++window) {
            const ImMessage fromNearTheEnd = NewestImMessageOf(c.markup, window);
            EXPECT_EQ(fromNearTheEnd.sender, newest.sender) << window;
            EXPECT_EQ(fromNearTheEnd.text, newest.text) << window;
        }
    }
}

TEST(ForeignText, LengthsAndCopiedCountsAreBounded) {
    EXPECT_EQ(TrustedTextLength(12), 12u);
    EXPECT_EQ(TrustedTextLength(static_cast<long long>(kMaxForeignTextLength)), kMaxForeignTextLength);
    for (long long nonsense :
         {-1LL, 0x7FFFFFFFLL, static_cast<long long>(kMaxForeignTextLength) + 1, std::numeric_limits<long long>::min()})
        EXPECT_FALSE(TrustedTextLength(nonsense)) << nonsense;
    EXPECT_EQ(TrustedCopiedLength(3, 5), 3u);
    EXPECT_EQ(TrustedCopiedLength(0x7FFFFFFF, 5), 5u);
    EXPECT_EQ(TrustedCopiedLength(0x7FFFFFFF, 0), 0u);
    EXPECT_FALSE(TrustedCopiedLength(-1, 5));
}

}  // namespace
}  // namespace velmora
