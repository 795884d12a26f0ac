#include "preview/Markup.h"

#include <algorithm>
#include <array>

#include "misc/CharacterReferences.h"
#include "misc/Text.h"

namespace velmora {
namespace {

bool SameNoCase(std::wstring_view text, std::wstring_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (AsciiLower(text[i]) != lower[i]) return false;
    return true;
}

// Where lowerNeedle next starts in text at or after from, letter case ignored; npos if nowhere.
std::size_t FindNoCase(std::wstring_view text, std::wstring_view lowerNeedle, std::size_t from) {
    if (lowerNeedle.empty() || text.size() < lowerNeedle.size()) return std::wstring_view::npos;
    for (std::size_t i = from; i + lowerNeedle.size() <= text.size(); ++i) {
        if (AsciiLower(text[i]) != lowerNeedle[0]) continue;
        if (SameNoCase(text.substr(i, lowerNeedle.size()), lowerNeedle)) return i;
    }
    return std::wstring_view::npos;
}

// The tags that change the style, and so open a level of the style stack.
enum class StyleTag : std::uint8_t { None, Bold, Italic, Underline, Strike, Font, Anchor };

// The tags the reader acts on; every other tag is ignored.
enum class TagKind : std::uint8_t { Other, Style, Break, Paragraph, Rule, Body, Title };

struct KnownTag {
    std::wstring_view name;  // lower case
    TagKind kind;
    StyleTag style;
};

constexpr std::array<KnownTag, 14> kKnownTags{{
    {std::wstring_view(L"b"), TagKind::Style, StyleTag::Bold},
    {std::wstring_view(L"strong"), TagKind::Style, StyleTag::Bold},
    {std::wstring_view(L"i"), TagKind::Style, StyleTag::Italic},
    {std::wstring_view(L"em"), TagKind::Style, StyleTag::Italic},
    {std::wstring_view(L"u"), TagKind::Style, StyleTag::Underline},
    {std::wstring_view(L"s"), TagKind::Style, StyleTag::Strike},
    {std::wstring_view(L"strike"), TagKind::Style, StyleTag::Strike},
    {std::wstring_view(L"font"), TagKind::Style, StyleTag::Font},
    {std::wstring_view(L"a"), TagKind::Style, StyleTag::Anchor},
    {std::wstring_view(L"br"), TagKind::Break, StyleTag::None},
    {std::wstring_view(L"p"), TagKind::Paragraph, StyleTag::None},
    {std::wstring_view(L"hr"), TagKind::Rule, StyleTag::None},
    {std::wstring_view(L"body"), TagKind::Body, StyleTag::None},
    {std::wstring_view(L"title"), TagKind::Title, StyleTag::None},
}};

const KnownTag* KnownTagOf(std::wstring_view name) {
    constexpr std::size_t kLongest = 6;
    if (name.empty() || name.size() > kLongest) return nullptr;
    wchar_t lower[kLongest];
    for (std::size_t i = 0; i < name.size(); ++i) lower[i] = AsciiLower(name[i]);
    const std::wstring_view key(lower, name.size());
    for (const KnownTag& known : kKnownTags)
        if (known.name == key) return &known;
    return nullptr;
}

constexpr Rgb kLinkBlue = 0x0000FF;

struct Attribute {
    std::wstring_view name;
    std::wstring_view value;  // raw: entities not yet read
};

struct Tag {
    std::wstring_view name;
    bool closing = false;
    // Tags carry few attributes; a flood of them is read but not kept.
    std::array<Attribute, 16> attributes{};
    std::size_t attributeCount = 0;
};

// Appends a character given by its number, in two halves where wchar_t has 16 bits.
void AppendCodePoint(std::wstring& out, std::uint32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    AppendCharacter(out, code);
}

// Reads an entity at text[at] == '&'. On success appends its character and returns the length
// read; 0 when it is no entity the reader knows, and then the "&" is shown as typed.
std::size_t ReadEntity(std::wstring_view text, std::size_t at, std::wstring& out) {
    static constexpr std::array<std::pair<std::wstring_view, wchar_t>, 5> kNamed{{
        {L"amp;", L'&'},
        {L"lt;", L'<'},
        {L"gt;", L'>'},
        {L"quot;", L'"'},
        {L"nbsp;", L'\u00A0'},
    }};
    const std::wstring_view rest = text.substr(at + 1);
    if (!rest.empty() && rest[0] == L'#') {
        std::size_t i = 1;
        const bool hex = i < rest.size() && (rest[i] == L'x' || rest[i] == L'X');
        if (hex) ++i;
        const std::size_t firstDigit = i;
        std::uint32_t code = 0;
        for (; i < rest.size(); ++i) {
            int digit = -1;
            const wchar_t c = rest[i];
            if (IsAsciiDigit(c))
                digit = c - L'0';
            else if (hex && AsciiLower(c) >= L'a' && AsciiLower(c) <= L'f')
                digit = AsciiLower(c) - L'a' + 10;
            if (digit < 0) break;
            // Held just above the largest character, so long digit strings cannot overflow.
            code = std::min<std::uint32_t>(code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit), 0x110000);
        }
        if (i == firstDigit) return 0;
        if (i < rest.size() && rest[i] == L';') ++i;
        AppendCodePoint(out, code);
        return 1 + i;
    }
    for (const auto& [name, character] : kNamed) {
        // Named entities are read in either letter case, as old IM clients did.
        if (rest.size() >= name.size() && SameNoCase(rest.substr(0, name.size()), name)) {
            out += character;
            return 1 + name.size();
        }
    }
    return 0;
}

// Text of an attribute value with its entities read.
std::wstring DecodeValue(std::wstring_view raw) {
    std::wstring out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == L'&') {
            const std::size_t used = ReadEntity(raw, i, out);
            if (used) {
                i += used - 1;
                continue;
            }
        }
        out += raw[i];
    }
    return out;
}

class Reader {
public:
    explicit Reader(std::wstring_view markup) : in_(markup) {
        document_.text.reserve(markup.size());
        document_.faces.emplace_back();
        stack_.push_back({StyleTag::None, TextStyle{}, -1});
    }

    MarkupDocument Read() {
        while (at_ < in_.size()) {
            const wchar_t c = in_[at_];
            if (c == L'<') {
                ReadMarkupAt();
            } else if (c == L'&') {
                std::wstring decoded;
                const std::size_t used = ReadEntity(in_, at_, decoded);
                if (used) {
                    for (wchar_t d : decoded) AddCharacter(d);
                    at_ += used;
                } else {
                    AddCharacter(c);
                    ++at_;
                }
            } else if (IsHtmlBlank(c)) {
                AddCharacter(c);
                ++at_;
            } else {
                // Plain characters up to the next blank, tag or entity go in at once.
                std::size_t end = at_ + 1;
                while (end < in_.size() && !IsHtmlBlank(in_[end]) && in_[end] != L'<' && in_[end] != L'&') ++end;
                AddWord(in_.substr(at_, end - at_));
                at_ = end;
            }
        }
        CloseText();
        return std::move(document_);
    }

private:
    struct Level {
        StyleTag tag;
        TextStyle style;
        int interned;  // index in document_.styles, -1 until text uses it
    };

    void ReadMarkupAt() {
        const std::wstring_view rest = in_.substr(at_);
        if (rest.size() >= 4 && rest.substr(0, 4) == L"<!--") {
            // A comment hides everything up to "-->"; an unclosed one hides the rest.
            const std::size_t end = in_.find(L"-->", at_ + 4);
            at_ = end == std::wstring_view::npos ? in_.size() : end + 3;
            return;
        }
        const wchar_t next = rest.size() > 1 ? rest[1] : L'\0';
        if (next == L'!' || next == L'?' || (next == L'/' && !(rest.size() > 2 && IsAsciiLetter(rest[2])))) {
            // <!DOCTYPE>, <?...>, </ > and the like: hidden up to the next ">".
            const std::size_t end = in_.find(L'>', at_ + 1);
            at_ = end == std::wstring_view::npos ? in_.size() : end + 1;
            return;
        }
        if (!IsAsciiLetter(next) && next != L'/') {
            // A "<" that starts no tag is text.
            AddCharacter(L'<');
            ++at_;
            return;
        }
        Tag tag;
        if (!ReadTag(tag)) {
            // A tag cut off by the end of the message is dropped, as an HTML reader does.
            at_ = in_.size();
            return;
        }
        Apply(tag);
    }

    // Reads "<name attributes>" from at_; false when no ">" ends it.
    bool ReadTag(Tag& tag) {
        std::size_t i = at_ + 1;
        if (in_[i] == L'/') {
            tag.closing = true;
            ++i;
        }
        const std::size_t nameStart = i;
        while (i < in_.size() && !IsHtmlBlank(in_[i]) && in_[i] != L'/' && in_[i] != L'>') ++i;
        tag.name = in_.substr(nameStart, i - nameStart);
        for (;;) {
            while (i < in_.size() && (IsHtmlBlank(in_[i]) || in_[i] == L'/')) ++i;
            if (i >= in_.size()) return false;
            if (in_[i] == L'>') break;
            const std::size_t attrStart = i;
            // The first character always belongs to the name, even "=".
            ++i;
            while (i < in_.size() && !IsHtmlBlank(in_[i]) && in_[i] != L'/' && in_[i] != L'>' && in_[i] != L'=') ++i;
            Attribute attribute{in_.substr(attrStart, i - attrStart), {}};
            std::size_t j = i;
            while (j < in_.size() && IsHtmlBlank(in_[j])) ++j;
            if (j < in_.size() && in_[j] == L'=') {
                i = j + 1;
                while (i < in_.size() && IsHtmlBlank(in_[i])) ++i;
                if (i >= in_.size()) return false;
                if (in_[i] == L'"' || in_[i] == L'\'') {
                    const wchar_t quote = in_[i];
                    const std::size_t end = in_.find(quote, i + 1);
                    if (end == std::wstring_view::npos) return false;
                    attribute.value = in_.substr(i + 1, end - i - 1);
                    i = end + 1;
                } else {
                    const std::size_t valueStart = i;
                    while (i < in_.size() && !IsHtmlBlank(in_[i]) && in_[i] != L'>') ++i;
                    attribute.value = in_.substr(valueStart, i - valueStart);
                }
            }
            if (tag.attributeCount < tag.attributes.size()) tag.attributes[tag.attributeCount++] = attribute;
        }
        at_ = i + 1;
        return true;
    }

    static const Attribute* Find(const Tag& tag, std::wstring_view lowerName) {
        for (std::size_t i = 0; i < tag.attributeCount; ++i)
            if (SameNoCase(tag.attributes[i].name, lowerName)) return &tag.attributes[i];
        return nullptr;
    }

    void Apply(const Tag& tag) {
        const KnownTag* known = KnownTagOf(tag.name);
        // Any other tag is ignored; the text around it shows.
        if (!known) return;
        switch (known->kind) {
            case TagKind::Style:
                if (tag.closing)
                    CloseStyle(known->style);
                else
                    OpenStyle(known->style, tag);
                break;
            case TagKind::Paragraph: AddBlock(MarkupItem::Kind::Paragraph); break;
            case TagKind::Break:
                if (!tag.closing) AddBlock(MarkupItem::Kind::LineBreak);
                break;
            case TagKind::Rule:
                if (!tag.closing) AddBlock(MarkupItem::Kind::Rule);
                break;
            case TagKind::Body:
                // The first BGCOLOR given counts, even one that names no colour.
                if (const Attribute* colour = Find(tag, L"bgcolor"); colour && !tag.closing && !bodyColourGiven_) {
                    document_.bodyColour = ParseLegacyColour(DecodeValue(colour->value));
                    bodyColourGiven_ = true;
                }
                break;
            case TagKind::Title:
                if (!tag.closing) ReadTitle();
                break;
            case TagKind::Other: break;
        }
    }

    void OpenStyle(StyleTag styleTag, const Tag& tag) {
        if (stack_.size() >= kStyleDepthLimit) return;
        TextStyle style = stack_.back().style;
        switch (styleTag) {
            case StyleTag::Bold: style.bold = true; break;
            case StyleTag::Italic: style.italic = true; break;
            case StyleTag::Underline: style.underline = true; break;
            case StyleTag::Strike: style.strike = true; break;
            case StyleTag::Anchor:
                // A link shows blue and underlined whether or not it has an address.
                style.colour = kLinkBlue;
                style.underline = true;
                break;
            case StyleTag::Font: ApplyFont(tag, style); break;
            case StyleTag::None: break;
        }
        stack_.push_back({styleTag, style, -1});
    }

    void ApplyFont(const Tag& tag, TextStyle& style) {
        if (const Attribute* colour = Find(tag, L"color"))
            if (const std::optional<Rgb> rgb = ParseLegacyColour(DecodeValue(colour->value))) style.colour = *rgb;
        if (const Attribute* back = Find(tag, L"back"))
            if (const std::optional<Rgb> rgb = ParseLegacyColour(DecodeValue(back->value))) style.back = *rgb;
        if (const Attribute* size = Find(tag, L"size"))
            if (const std::optional<int> htmlSize = ParseFontSize(DecodeValue(size->value))) style.htmlSize = *htmlSize;
        if (const Attribute* face = Find(tag, L"face")) {
            // The first face of a list is the one shown.
            std::wstring name = DecodeValue(face->value);
            name = name.substr(0, name.find(L','));
            while (!name.empty() && IsHtmlBlank(name.back())) name.pop_back();
            std::size_t lead = 0;
            while (lead < name.size() && IsHtmlBlank(name[lead])) ++lead;
            name.erase(0, lead);
            if (!name.empty()) style.face = FaceIndex(name);
        }
    }

    std::uint16_t FaceIndex(const std::wstring& name) {
        auto& faces = document_.faces;
        for (std::size_t i = 1; i < faces.size(); ++i)
            if (faces[i] == name) return static_cast<std::uint16_t>(i);
        // Past a few hundred faces the others show in the usual one.
        if (faces.size() >= 256) return 0;
        faces.push_back(name.substr(0, 31));  // longer than any font name Windows takes
        return static_cast<std::uint16_t>(faces.size() - 1);
    }

    void CloseStyle(StyleTag styleTag) {
        // The nearest open tag of the kind closes, with any opened inside it; a stray end tag
        // does nothing. The stack is short, so the search is too.
        for (std::size_t level = stack_.size(); level-- > 1;) {
            if (stack_[level].tag == styleTag) {
                stack_.resize(level);
                return;
            }
        }
    }

    void ReadTitle() {
        // The title is plain text up to </title>; tags inside it are its text.
        std::size_t end = FindNoCase(in_, L"</title", at_);
        if (end == std::wstring_view::npos) end = in_.size();
        std::wstring title;
        bool blank = true;  // drops leading blanks and joins runs of them
        const std::wstring decoded = DecodeValue(in_.substr(at_, end - at_));
        for (wchar_t c : decoded) {
            if (IsHtmlBlank(c)) {
                if (!blank) title += L' ';
                blank = true;
            } else {
                title += c;
                blank = false;
            }
        }
        if (!title.empty() && title.back() == L' ') title.pop_back();
        if (document_.title.empty()) document_.title = std::move(title);
        const std::size_t close = end < in_.size() ? in_.find(L'>', end) : std::wstring_view::npos;
        at_ = close == std::wstring_view::npos ? in_.size() : close + 1;
    }

    std::uint32_t CurrentStyle() {
        Level& top = stack_.back();
        if (top.interned < 0) {
            // Styles repeat (every "<B>x</B>" is the same); look back a little before adding.
            const auto& styles = document_.styles;
            const std::size_t lookBack = std::min<std::size_t>(styles.size(), 8);
            for (std::size_t i = styles.size() - lookBack; i < styles.size(); ++i)
                if (styles[i] == top.style) top.interned = static_cast<int>(i);
            if (top.interned < 0) {
                document_.styles.push_back(top.style);
                top.interned = static_cast<int>(document_.styles.size() - 1);
            }
        }
        return static_cast<std::uint32_t>(top.interned);
    }

    void AddCharacter(wchar_t c) {
        if (IsHtmlBlank(c)) {
            // Runs of blanks and line breaks show as one blank, and none at the start of a line.
            if (atLineStart_ || lastWasBlank_) return;
            c = L' ';
            lastWasBlank_ = true;
        } else {
            lastWasBlank_ = false;
        }
        atLineStart_ = false;
        OpenText();
        document_.text += c;
    }

    // Characters that are neither blanks nor markup.
    void AddWord(std::wstring_view word) {
        lastWasBlank_ = false;
        atLineStart_ = false;
        OpenText();
        document_.text.append(word);
    }

    void OpenText() {
        const std::uint32_t style = CurrentStyle();
        if (!textOpen_ || openStyle_ != style) {
            CloseText();
            textOpen_ = true;
            openStyle_ = style;
            openBegin_ = static_cast<std::uint32_t>(document_.text.size());
        }
    }

    void CloseText() {
        if (!textOpen_) return;
        textOpen_ = false;
        const auto end = static_cast<std::uint32_t>(document_.text.size());
        if (end > openBegin_)
            document_.items.push_back({MarkupItem::Kind::Text, openStyle_, openBegin_, end - openBegin_});
    }

    void AddBlock(MarkupItem::Kind kind) {
        CloseText();
        document_.items.push_back({kind, CurrentStyle(), static_cast<std::uint32_t>(document_.text.size()), 0});
        atLineStart_ = true;
        lastWasBlank_ = false;
    }

    std::wstring_view in_;
    std::size_t at_ = 0;
    MarkupDocument document_;
    std::vector<Level> stack_;
    bool bodyColourGiven_ = false;
    bool atLineStart_ = true;
    bool lastWasBlank_ = false;
    bool textOpen_ = false;
    std::uint32_t openStyle_ = 0;
    std::uint32_t openBegin_ = 0;
};

}  // namespace

MarkupDocument ReadMarkup(std::wstring_view markup) {
    // Item offsets are 32-bit; longer text than that is not read past.
    if (markup.size() > 0x7FFFFFFF) markup = markup.substr(0, 0x7FFFFFFF);
    return Reader(markup).Read();
}

std::optional<int> ParseFontSize(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsHtmlBlank(text[i])) ++i;
    int sign = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        sign = text[i] == L'+' ? 1 : -1;
        ++i;
    }
    if (i >= text.size() || !IsAsciiDigit(text[i])) return std::nullopt;
    int value = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i) value = std::min(value * 10 + (text[i] - L'0'), 1000);
    const int size = sign == 0 ? value : 3 + sign * value;
    return std::clamp(size, 1, 7);
}

int PointsOfHtmlSize(int htmlSize) {
    static constexpr std::array<int, 7> kPoints{8, 10, 12, 14, 18, 24, 36};
    return kPoints[static_cast<std::size_t>(std::clamp(htmlSize, 1, 7) - 1)];
}

std::wstring FillDocumentPlaceholders(std::wstring_view document, std::wstring_view reader, std::wstring_view date,
                                      std::wstring_view time) {
    std::size_t open = FindNoCase(document, L"<title", 0);
    while (open != std::wstring_view::npos && open + 6 < document.size() && !IsHtmlBlank(document[open + 6]) &&
           document[open + 6] != L'>')
        open = FindNoCase(document, L"<title", open + 1);
    if (open == std::wstring_view::npos) return FillPlaceholders(document, reader, date, time);
    // The title runs to its end tag, or to the end of the document when it has none.
    std::size_t close = FindNoCase(document, L"</title", open);
    if (close != std::wstring_view::npos) close = document.find(L'>', close);
    const std::size_t end = close == std::wstring_view::npos ? document.size() : close + 1;
    std::wstring filled = FillPlaceholders(document.substr(0, open), reader, date, time);
    filled.append(document.substr(open, end - open));
    filled += FillPlaceholders(document.substr(end), reader, date, time);
    return filled;
}

bool HasLineBreaksReadersJoin(std::wstring_view message) {
    if (message.find_first_of(L"\r\n") == std::wstring_view::npos) return false;
    for (std::size_t at = FindNoCase(message, L"<br", 0); at != std::wstring_view::npos;
         at = FindNoCase(message, L"<br", at + 1)) {
        const std::size_t after = at + 3;
        if (after >= message.size() || !IsAsciiLetter(message[after])) return false;
    }
    return true;
}

}  // namespace velmora
