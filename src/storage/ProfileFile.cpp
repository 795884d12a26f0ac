#include "storage/ProfileFile.h"

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

}  // namespace velmora
