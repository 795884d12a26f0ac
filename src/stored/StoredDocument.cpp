#include "stored/StoredDocument.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "compose/AwayDocument.h"
#include "misc/Text.h"

namespace velmora {
namespace {

// The builder's own pieces, and two joins of them: the label's end with the style header, and
// the closing tags with the song line's header. A reading is only called Velmora's own after
// the fields have been built again into the very same document, so a join that drifted from
// the builder's would show as foreign text, never as a wrong reading.
using namespace AwayDocumentPieces;
constexpr std::wstring_view kLabelEnd = L"</title><HTML><BODY BGCOLOR=\"#";
constexpr std::wstring_view kClosingToSongHeader = L"</FONT></BODY></HTML><BR><HTML><BODY BGCOLOR=\"#";
constexpr std::size_t kSongBreakToHeader = kClosingTags.size() + kSongBreak.size();

// A label holding the title's end and the style header again is possible but absurd; each such
// copy costs one pass over the document, so only this many places of the label's end are tried.
constexpr std::size_t kMostLabelEnds = 64;

struct Header {
    std::wstring_view bodyColour, fontColour, fontSize;
};

// Where the size starts in a style header beginning at `start`: after the leftmost font piece
// and the leftmost face piece that follows it. Any split of the header rebuilds the same text,
// and the leftmost one exists whenever some split does.
std::size_t SizeStart(std::wstring_view text, std::size_t start) {
    const std::size_t font = text.find(kFontOpen, start + kBodyOpen.size());
    if (font == std::wstring_view::npos) return std::wstring_view::npos;
    const std::size_t face = text.find(kFontFace, font + kFontOpen.size());
    if (face == std::wstring_view::npos) return std::wstring_view::npos;
    return face + kFontFace.size();
}

// The style header text[start, end): starts with the body piece and ends with ">".
std::optional<Header> SplitHeader(std::wstring_view text, std::size_t start, std::size_t end) {
    const std::wstring_view header = text.substr(start, end - start);
    if (!header.starts_with(kBodyOpen) || header.back() != L'>') return std::nullopt;
    const std::size_t sizeAt = SizeStart(header, 0);
    if (sizeAt == std::wstring_view::npos || sizeAt > header.size() - 1) return std::nullopt;
    const std::size_t font = header.find(kFontOpen, kBodyOpen.size());
    const std::size_t face = header.find(kFontFace, font + kFontOpen.size());
    return Header{header.substr(kBodyOpen.size(), font - kBodyOpen.size()),
                  header.substr(font + kFontOpen.size(), face - font - kFontOpen.size()),
                  header.substr(sizeAt, header.size() - 1 - sizeAt)};
}

std::optional<StoredComposition> Verified(std::wstring_view document, std::wstring_view label, const Header& header,
                                          std::wstring_view message, std::optional<std::wstring_view> song) {
    if (BuildAwayDocument(label, header.bodyColour, header.fontColour, header.fontSize, message, song) != document)
        return std::nullopt;
    StoredComposition fields;
    fields.label.emplace(label);
    fields.bodyColour.emplace(header.bodyColour);
    fields.fontColour.emplace(header.fontColour);
    fields.fontSize.emplace(header.fontSize);
    fields.message.emplace(message);
    if (song) fields.song.emplace(*song);
    fields.ownShape = true;
    return fields;
}

// "<title>" label "</title>" header message "</FONT></BODY></HTML>": the leftmost place of each
// piece gives a split whenever there is one.
std::optional<StoredComposition> ReadOwnWithoutSong(std::wstring_view document) {
    if (!document.starts_with(kTitleOpen) || !document.ends_with(kClosingTags)) return std::nullopt;
    const std::size_t labelEnd = document.find(kLabelEnd, kTitleOpen.size());
    if (labelEnd == std::wstring_view::npos) return std::nullopt;
    const std::size_t headerStart = labelEnd + kTitleClose.size();
    const std::size_t sizeAt = SizeStart(document, headerStart);
    if (sizeAt == std::wstring_view::npos) return std::nullopt;
    const std::size_t close = document.find(L'>', sizeAt);
    const std::size_t messageEnd = document.size() - kClosingTags.size();
    if (close == std::wstring_view::npos || close >= messageEnd) return std::nullopt;
    const auto header = SplitHeader(document, headerStart, close + 1);
    if (!header) return std::nullopt;
    const std::wstring_view label = document.substr(kTitleOpen.size(), labelEnd - kTitleOpen.size());
    return Verified(document, label, *header, document.substr(close + 1, messageEnd - close - 1), std::nullopt);
}

// Z[i]: how many characters text[i...] shares with the start of text.
void PrefixMatches(std::wstring_view text, std::vector<std::size_t>& z) {
    const std::size_t n = text.size();
    z.assign(n, 0);
    if (n == 0) return;
    z[0] = n;
    std::size_t left = 0, right = 0;
    for (std::size_t i = 1; i < n; ++i) {
        std::size_t length = i < right ? std::min(right - i, z[i - left]) : 0;
        while (i + length < n && text[length] == text[i + length]) ++length;
        z[i] = length;
        if (i + length > right) {
            left = i;
            right = i + length;
        }
    }
}

// "<title>" label "</title>" H message "</FONT></BODY></HTML><BR>" H "Last Song..." song, with the
// same style header H twice. For a place of the label's end, the header's first copy is compared
// with every song break at once (prefix matches); its length is then fixed by where the song's
// introduction starts.
std::optional<StoredComposition> ReadOwnWithSong(std::wstring_view document) {
    if (!document.starts_with(kTitleOpen)) return std::nullopt;
    // Where a second header may start, and where an introduction follows a header's ">".
    std::vector<std::size_t> secondHeaders;
    for (std::size_t at = document.find(kClosingToSongHeader); at != std::wstring_view::npos;
         at = document.find(kClosingToSongHeader, at + 1))
        secondHeaders.push_back(at + kSongBreakToHeader);
    if (secondHeaders.empty()) return std::nullopt;
    std::vector<std::size_t> intros;
    for (std::size_t at = document.find(kSongIntro); at != std::wstring_view::npos;
         at = document.find(kSongIntro, at + 1))
        if (at > 0 && document[at - 1] == L'>') intros.push_back(at);
    if (intros.empty()) return std::nullopt;

    std::vector<std::size_t> z;
    std::size_t tried = 0;
    for (std::size_t labelEnd = document.find(kLabelEnd, kTitleOpen.size());
         labelEnd != std::wstring_view::npos && tried < kMostLabelEnds;
         labelEnd = document.find(kLabelEnd, labelEnd + 1), ++tried) {
        const std::size_t first = labelEnd + kTitleClose.size();
        const std::size_t sizeAt = SizeStart(document, first);
        // No later label end can find the pieces either.
        if (sizeAt == std::wstring_view::npos) break;
        const std::wstring_view rest = document.substr(first);
        PrefixMatches(rest, z);
        const std::size_t shortest = sizeAt - first + 1;  // the size may be empty, the ">" may not
        // The last song break first: a message quoting a song line keeps its quote.
        for (auto second = secondHeaders.rbegin(); second != secondHeaders.rend(); ++second) {
            if (*second < first + kSongBreakToHeader + shortest) break;
            const std::size_t room = *second - kSongBreakToHeader - first;  // header and message
            const std::size_t longest = std::min(z[*second - first], room);
            if (longest < shortest) continue;
            const auto intro = std::lower_bound(intros.begin(), intros.end(), *second + shortest);
            if (intro == intros.end() || *intro > *second + longest) continue;
            const std::size_t headerLength = *intro - *second;
            const auto header = SplitHeader(document, first, first + headerLength);
            if (!header) continue;
            const std::size_t messageStart = first + headerLength;
            const std::wstring_view label = document.substr(kTitleOpen.size(), labelEnd - kTitleOpen.size());
            const std::wstring_view message =
                document.substr(messageStart, *second - kSongBreakToHeader - messageStart);
            const std::wstring_view song = document.substr(*intro + kSongIntro.size());
            if (auto fields = Verified(document, label, *header, message, song)) return fields;
        }
    }
    return std::nullopt;
}

// Foreign text: tags are read the way HTML readers read them, in one pass over the text.

struct Tag {
    std::size_t end = std::wstring_view::npos;  // one past its ">"; npos when it never ends
    std::optional<std::wstring_view> colour, bgcolour, size;
};

// The start tag `name` (lower case) at or after `from`: "<name" and then a blank, "/" or ">".
std::size_t FindTag(std::wstring_view lower, std::wstring_view name, std::size_t from) {
    for (std::size_t at = lower.find(name, from); at != std::wstring_view::npos; at = lower.find(name, at + 1)) {
        if (at == 0 || lower[at - 1] != L'<') continue;
        const std::size_t after = at + name.size();
        if (after < lower.size() && (IsHtmlBlank(lower[after]) || lower[after] == L'/' || lower[after] == L'>'))
            return at - 1;
    }
    return std::wstring_view::npos;
}

// The attributes of the tag whose name ends at `at`, up to its ">". A quoted value runs to its
// closing quote, even past a ">"; with no closing quote the tag never ends.
Tag ReadTag(std::wstring_view text, std::wstring_view lower, std::size_t at) {
    Tag tag;
    const std::size_t n = text.size();
    while (true) {
        while (at < n && (IsHtmlBlank(text[at]) || text[at] == L'/')) ++at;
        if (at >= n) return tag;
        if (text[at] == L'>') {
            tag.end = at + 1;
            return tag;
        }
        const std::size_t nameStart = at++;  // a first "=" belongs to the name
        while (at < n && !IsHtmlBlank(text[at]) && text[at] != L'/' && text[at] != L'>' && text[at] != L'=') ++at;
        const std::wstring_view name = lower.substr(nameStart, at - nameStart);
        while (at < n && IsHtmlBlank(text[at])) ++at;
        std::wstring_view value;
        if (at < n && text[at] == L'=') {
            ++at;
            while (at < n && IsHtmlBlank(text[at])) ++at;
            if (at < n && (text[at] == L'"' || text[at] == L'\'')) {
                const std::size_t close = text.find(text[at], at + 1);
                if (close == std::wstring_view::npos) return tag;
                value = text.substr(at + 1, close - at - 1);
                at = close + 1;
            } else {
                const std::size_t valueStart = at;
                while (at < n && !IsHtmlBlank(text[at]) && text[at] != L'>') ++at;
                value = text.substr(valueStart, at - valueStart);
            }
        }
        // The first of a repeated attribute counts, as in HTML.
        if (name == L"color" && !tag.colour) tag.colour = value;
        if (name == L"bgcolor" && !tag.bgcolour) tag.bgcolour = value;
        if (name == L"size" && !tag.size) tag.size = value;
    }
}

// A colour box holds the digits without the "#".
std::wstring ColourField(std::wstring_view value) {
    if (!value.empty() && value.front() == L'#') value.remove_prefix(1);
    return std::wstring(value);
}

StoredComposition ReadForeign(std::wstring_view text) {
    StoredComposition fields;
    const std::wstring lowered = AsciiLower(text);
    const std::wstring_view lower = lowered;
    constexpr std::size_t npos = std::wstring_view::npos;

    // The title: its text runs to the first "</title", whatever it holds.
    std::size_t titleStart = FindTag(lower, L"title", 0);
    std::size_t titleEnd = npos;
    if (titleStart != npos) {
        const Tag tag = ReadTag(text, lower, titleStart + 6);
        const std::size_t close = tag.end == npos ? npos : lower.find(L"</title", tag.end);
        if (close != npos) {
            fields.label.emplace(text.substr(tag.end, close - tag.end));
            const std::size_t closeEnd = lower.find(L'>', close);
            titleEnd = closeEnd == npos ? text.size() : closeEnd + 1;
        } else {
            titleStart = npos;
        }
    }

    const std::size_t bodyStart = FindTag(lower, L"body", 0);
    const Tag body = bodyStart == npos ? Tag{} : ReadTag(text, lower, bodyStart + 5);
    if (body.bgcolour) fields.bodyColour = ColourField(*body.bgcolour);

    for (std::size_t at = FindTag(lower, L"font", 0); at != npos && (!fields.fontColour || !fields.fontSize);) {
        const Tag font = ReadTag(text, lower, at + 5);
        if (font.colour && !fields.fontColour) fields.fontColour = ColourField(*font.colour);
        if (font.size && !fields.fontSize) fields.fontSize.emplace(*font.size);
        if (font.end == npos) break;
        at = FindTag(lower, L"font", font.end);
    }

    if (body.end != npos) {
        const std::size_t close = lower.find(L"</body", body.end);
        const std::size_t end = close == npos ? text.size() : close;
        fields.message.emplace(text.substr(body.end, end - body.end));
    } else if (titleStart != npos) {
        fields.message.emplace(text.substr(0, titleStart));
        fields.message->append(text.substr(titleEnd));
    } else {
        fields.message.emplace(text);
    }
    return fields;
}

}  // namespace

StoredComposition ReadAwayDocument(std::wstring_view document, const CarriesCharacter& carries) {
    return ReadAwayDocument(WithoutCharacterReferences(document, carries));
}

StoredComposition ReadAwayDocument(std::wstring_view document) {
    // A document ending in the closing tags is read as one without a song first: a song ending
    // in those tags is less likely than a message quoting a song line.
    if (auto own = ReadOwnWithoutSong(document)) return std::move(*own);
    if (auto own = ReadOwnWithSong(document)) return std::move(*own);
    return ReadForeign(document);
}

}  // namespace velmora
