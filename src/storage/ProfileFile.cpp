#include "storage/ProfileFile.h"

#include <cstdint>
#include <vector>

#include "misc/Text.h"

namespace velmora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// One line of the file as a reader takes it.
struct Line {
    enum Kind { Empty, Header, Key } kind = Empty;
    std::string_view name;   // the section's or the key's
    std::string_view value;  // a key's
};

Line Parse(std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (line.empty()) return {};
    if (line.front() == '[') {
        const size_t close = line.find(']');
        // A header without its closing bracket is read as a key line.
        if (close != std::string_view::npos) return {Line::Header, Trim(line.substr(1, close - 1)), {}};
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {Line::Key, line, {}};
    std::string_view value = Trim(line.substr(equals + 1));
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return {Line::Key, Trim(line.substr(0, equals)), value};
}

// Calls each(raw line with its line break, parsed line) for every line of the file.
template <typename Each>
void ForEachLine(std::string_view file, Each each) {
    // A byte-order mark before the first line is not part of its text.
    size_t skip = file.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (!file.empty()) {
        const size_t end = file.find('\n');
        const size_t length = end == std::string_view::npos ? file.size() : end + 1;
        const std::string_view raw = file.substr(0, length);
        each(raw, Parse(raw.substr(skip)));
        skip = 0;
        file.remove_prefix(length);
    }
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

ProfileSection::ProfileSection(std::string_view file, std::string_view section) {
    bool inSection = false;
    ForEachLine(file, [&](std::string_view, const Line& line) {
        if (line.kind == Line::Header) {
            inSection = EqualsIgnoringAsciiCase(line.name, section);
        } else if (line.kind == Line::Key && inSection) {
            std::string name(line.name);
            for (char& c : name) c = AsciiLower(c);
            values_.emplace(std::move(name), line.value);  // keeps the first
        }
    });
}

std::optional<std::string_view> ProfileSection::Value(std::string_view key) const {
    std::string name(key);
    for (char& c : name) c = AsciiLower(c);
    const auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::string ReplaceProfileKeys(std::string_view file, std::string_view section,
                               bool (*isReplaced)(std::string_view key), std::string_view lines) {
    std::string result;
    result.reserve(file.size() + lines.size() + section.size() + 8);
    bool inSection = false;
    bool placed = false;
    ForEachLine(file, [&](std::string_view raw, const Line& line) {
        if (line.kind == Line::Header) inSection = EqualsIgnoringAsciiCase(line.name, section);
        if (line.kind == Line::Key && inSection && isReplaced(line.name)) return;
        result += raw;
        if (line.kind == Line::Header && inSection && !placed) {
            if (raw.back() != '\n') result += "\r\n";
            result += lines;
            placed = true;
        }
    });
    if (!placed) {
        if (!result.empty() && result.back() != '\n') result += "\r\n";
        result += '[';
        result += section;
        result += "]\r\n";
        result += lines;
    }
    return result;
}

namespace {

using CodeUnits = std::vector<std::uint16_t>;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

// UTF-16 code units as UTF-8; a pair is one character of four bytes, a lone surrogate three.
std::string Utf8FromUnits(const CodeUnits& units) {
    std::string text;
    text.reserve(units.size() + units.size() / 2);
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t c = units[i];
        if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (c >> 18));
            text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

// How many bytes a UTF-8 character starting with this byte has; 0 for none.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead < 0xC2) return 0;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return lead < 0xF5 ? 4 : 0;
}

// The inverse of Utf8FromUnits; a byte that starts no character of it reads as U+FFFD.
CodeUnits UnitsFromUtf8(std::string_view text) {
    CodeUnits units;
    units.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = SequenceLength(lead);
        std::uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        bool whole = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3Fu);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!whole || c < least[length] || c > 0x10FFFF) {
            units.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            units.push_back(static_cast<std::uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(c));
        }
        i += length;
    }
    return units;
}

}  // namespace

ProfileText DecodeProfileFile(std::string_view bytes) {
    if (bytes.substr(0, 3) == kUtf8Mark) return {ProfileEncoding::Utf8, std::string(bytes.substr(3))};
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    if (!little && bytes.substr(0, 2) != "\xFE\xFF") return {ProfileEncoding::CodePage, std::string(bytes)};
    CodeUnits units((bytes.size() - 2) / 2);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 + 2 * i]);
        const auto second = static_cast<unsigned char>(bytes[3 + 2 * i]);
        units[i] = static_cast<std::uint16_t>(little ? first | (second << 8) : (first << 8) | second);
    }
    return {little ? ProfileEncoding::Utf16LittleEndian : ProfileEncoding::Utf16BigEndian, Utf8FromUnits(units)};
}

std::string EncodeProfileFile(ProfileEncoding encoding, std::string_view text) {
    if (encoding == ProfileEncoding::CodePage) return std::string(text);
    if (encoding == ProfileEncoding::Utf8) return std::string(kUtf8Mark) + std::string(text);
    const bool little = encoding == ProfileEncoding::Utf16LittleEndian;
    const CodeUnits units = UnitsFromUtf8(text);
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    bytes.reserve(2 + 2 * units.size());
    for (const std::uint16_t unit : units) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += little ? low : high;
        bytes += little ? high : low;
    }
    return bytes;
}

std::string Utf8FromWide(std::wstring_view text) {
    CodeUnits units;
    units.reserve(text.size());
    for (const wchar_t c : text) {
        const auto value = static_cast<std::uint32_t>(c);
        // Only where wchar_t is wider than UTF-16: the pair it stands for there.
        if (value >= 0x10000) {
            units.push_back(static_cast<std::uint16_t>(0xD800 + (((value - 0x10000) >> 10) & 0x3FF)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(value));
        }
    }
    return Utf8FromUnits(units);
}

std::wstring WideFromUtf8(std::string_view bytes) {
    const CodeUnits units = UnitsFromUtf8(bytes);
    std::wstring text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t c = units[i];
        // Where wchar_t is wider than UTF-16, a pair is one character.
        if (sizeof(wchar_t) > 2 && IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
        text += static_cast<wchar_t>(c);
    }
    return text;
}

}  // namespace velmora
