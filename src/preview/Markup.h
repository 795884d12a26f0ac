#pragma once
// The away-message markup as a buddy's IM client reads it: the tags and entities people put in
// away messages, whitespace as an HTML reader treats it, and the placeholders the client fills
// in when it sends the message.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "misc/Text.h"  // FillPlaceholders, with the document's own below
#include "preview/HtmlColour.h"

namespace velmora {

struct TextStyle {
    Rgb colour = 0x000000;
    std::optional<Rgb> back;  // FONT BACK: the colour behind the text
    int htmlSize = 3;         // 1 to 7
    std::uint16_t face = 0;   // index into MarkupDocument::faces; 0 is the client's usual face
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;

    bool operator==(const TextStyle&) const = default;
};

struct MarkupItem {
    enum class Kind : std::uint8_t {
        Text,       // text[begin, begin + length) in the item's style
        LineBreak,  // <BR>
        Paragraph,  // <P> or </P>
        Rule,       // <HR>
    };
    Kind kind;
    std::uint32_t style;  // index into MarkupDocument::styles
    std::uint32_t begin;
    std::uint32_t length;
};

struct MarkupDocument {
    std::wstring title;               // the label, from <TITLE>
    std::optional<Rgb> bodyColour;    // the first BODY BGCOLOR that names a colour
    std::vector<std::wstring> faces;  // faces[0], an empty name, is the client's usual face
    std::vector<TextStyle> styles;
    std::vector<MarkupItem> items;
    std::wstring text;  // the visible text of every item, blanks already collapsed
};

// The face shown where the markup names none.
inline constexpr std::wstring_view kDefaultFace = L"Arial";

// Nested styles deeper than this are read as text in the innermost style kept; the reader
// never recurses, so no depth of nesting can exhaust the stack.
inline constexpr std::size_t kStyleDepthLimit = 64;

// Reads the markup. Any text gives a document: stray and unclosed tags, a lone "<" or "&",
// unknown tags (ignored, their text shown) and comments (hidden) never stop it.
MarkupDocument ReadMarkup(std::wstring_view markup);

// FONT SIZE as an HTML reader takes it: "1" to "7" (larger shows as 7, smaller as 1), "+n" and
// "-n" counted from 3; blanks before the number and anything after it are ignored. No number:
// no size.
std::optional<int> ParseFontSize(std::wstring_view text);

// Points of an HTML size 1 to 7: 8, 10, 12, 14, 18, 24, 36 (clamped).
int PointsOfHtmlSize(int htmlSize);

// The same for a whole stored document: the message is filled, the label (the TITLE element)
// is left as typed, since the client lists it and does not send it.
std::wstring FillDocumentPlaceholders(std::wstring_view document, std::wstring_view reader, std::wstring_view date,
                                      std::wstring_view time);

// True when the message has line breaks that an HTML reader shows as blanks: it holds CR or LF
// and no <BR>.
bool HasLineBreaksReadersJoin(std::wstring_view message);

}  // namespace velmora
