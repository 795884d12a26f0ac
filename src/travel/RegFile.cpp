#include "travel/RegFile.h"

#include <algorithm>
#include <map>
#include <optional>

#include "misc/Text.h"
#include "storage/Reg.h"

namespace velmora {
namespace {

constexpr std::wstring_view kUnicodeHeader = L"Windows Registry Editor Version 5.00";
constexpr std::wstring_view kAnsiHeader = L"REGEDIT4";
constexpr std::wstring_view kCurrentUser = L"HKEY_CURRENT_USER\\";
constexpr std::wstring_view kCurrentUserShort = L"HKCU\\";
constexpr std::wstring_view kListKey = L"\\IAmGoneList";
constexpr std::wstring_view kValuePrefix = L"GoneMsg";
constexpr std::size_t kKeyNameMost = 255;
// The registry editor breaks hex data once a line reaches this many characters, and carries on
// after two blanks.
constexpr std::size_t kHexLineWidth = 77;
constexpr std::size_t kToldLineLength = 100;

// The UTF-16 LE unit at bytes[at], bytes[at + 1].
wchar_t UnitAt(std::string_view bytes, std::size_t at) {
    return static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                (static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8));
}

bool SameAsciiLetters(std::wstring_view left, std::wstring_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i)
        if (AsciiLower(left[i]) != AsciiLower(right[i])) return false;
    return true;
}

bool StartsLike(std::wstring_view text, std::wstring_view start) {
    return text.size() >= start.size() && SameAsciiLetters(text.substr(0, start.size()), start);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view TrimmedEnd(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}
std::wstring_view TrimmedStart(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

bool HasLineBreakOrNul(std::wstring_view text) {
    return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != text.npos;
}

// A name in quotes, with the two escapes the registry editor writes.
std::wstring Quoted(std::wstring_view text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"') quoted += L'\\';
        quoted += c;
    }
    quoted += L'"';
    return quoted;
}

// Data the quoted form carries exactly: whole units, one NUL and only at the end, no line break.
bool QuotedFormCarries(std::string_view data) {
    if (data.size() < 2 || data.size() % 2) return false;
    const std::wstring text = TextOfData(data);
    return text.size() * 2 + 2 == data.size() && !HasLineBreakOrNul(text);
}

void AppendHex(std::wstring& out, std::size_t lineLength, std::string_view data) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    out += L"hex(1):";
    lineLength += 7;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
        if (i + 1 == data.size()) break;
        out += L',';
        lineLength += 3;
        if (lineLength >= kHexLineWidth) {
            out += L"\\\r\n  ";
            lineLength = 2;
        }
    }
}

std::string Utf16Bytes(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        bytes += static_cast<char>(static_cast<std::size_t>(c) & 0xFF);
        bytes += static_cast<char>((static_cast<std::size_t>(c) >> 8) & 0xFF);
    }
    return bytes;
}

// --- Reading -----------------------------------------------------------------------------------

struct Line {
    std::wstring_view text;
    bool ended = true;  // a line break follows it (false only for the file's last line)
};

std::vector<Line> SplitLines(std::wstring_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(L'\n', start);
        std::wstring_view line = text.substr(start, end == text.npos ? text.npos : end - start);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        lines.push_back({line, end != text.npos});
        if (end == text.npos) break;
        start = end + 1;
    }
    return lines;
}

std::optional<int> HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return std::nullopt;
}

// "xx,xx,..." (one or two digits each, blanks around them, a comma after the last allowed).
std::optional<std::string> HexBytes(std::wstring_view list) {
    std::string bytes;
    list = TrimmedEnd(TrimmedStart(list));
    if (list.empty()) return bytes;
    if (list.back() == L',') list.remove_suffix(1);
    while (true) {
        const std::size_t comma = list.find(L',');
        const std::wstring_view item = TrimmedEnd(TrimmedStart(list.substr(0, comma)));
        if (item.empty() || item.size() > 2) return std::nullopt;
        int value = 0;
        for (wchar_t c : item) {
            const std::optional<int> digit = HexDigit(c);
            if (!digit) return std::nullopt;
            value = value * 16 + *digit;
        }
        bytes += static_cast<char>(value);
        if (comma == list.npos) return bytes;
        list.remove_prefix(comma + 1);
    }
}

enum class QuoteEnd { Closed, EscapeAtEnd, Unclosed, UnknownEscape };
struct QuotedText {
    QuoteEnd end = QuoteEnd::Unclosed;
    std::wstring text;
    std::size_t length = 0;  // units read, both quotes included
};
// Quoted text at the start of `line` (which starts with the opening quote). Besides the registry
// editor's \\ and \", Wine's editor writes \n and \r for line breaks.
QuotedText ReadQuoted(std::wstring_view line) {
    QuotedText read;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const wchar_t c = line[i];
        if (c == L'"') {
            read.end = QuoteEnd::Closed;
            read.length = i + 1;
            return read;
        }
        if (c != L'\\') {
            read.text += c;
            continue;
        }
        if (++i == line.size()) {
            read.end = QuoteEnd::EscapeAtEnd;
            return read;
        }
        switch (line[i]) {
            case L'\\': read.text += L'\\'; break;
            case L'"': read.text += L'"'; break;
            case L'n': read.text += L'\n'; break;
            case L'r': read.text += L'\r'; break;
            default: read.end = QuoteEnd::UnknownEscape; return read;
        }
    }
    return read;
}

// The screen name of a key path, when it is a screen name's IAmGoneList below Users.
enum class KeyKind { ScreenNameList, UnusableScreenName, Other };
struct KeyReading {
    KeyKind kind = KeyKind::Other;
    std::wstring screenName;
};
KeyReading ReadKeyPath(std::wstring_view path) {
    if (StartsLike(path, kCurrentUser))
        path.remove_prefix(kCurrentUser.size());
    else if (StartsLike(path, kCurrentUserShort))
        path.remove_prefix(kCurrentUserShort.size());
    else
        return {};
    const std::wstring users = UsersKeyPath() + L"\\";
    if (!StartsLike(path, users)) return {};
    path.remove_prefix(users.size());
    if (path.size() < kListKey.size() || !SameAsciiLetters(path.substr(path.size() - kListKey.size()), kListKey))
        return {};
    path.remove_suffix(kListKey.size());
    // "Users\IAmGoneList" names no screen name's key; a key that is one only by its list key
    // ("Users\a\IAmGoneList\IAmGoneList") is another key in Velmora's store.
    if (path.empty()) return {};
    if (!IsValidScreenNameKey(path)) return {KeyKind::UnusableScreenName, std::wstring(path)};
    return {KeyKind::ScreenNameList, std::wstring(path)};
}

class Reader {
public:
    Reader(bool ansiHex, FromCodePage fromCodePage) : ansiHex_(ansiHex), fromCodePage_(fromCodePage) {}

    void Read(const std::vector<Line>& lines, std::size_t first) {
        for (std::size_t index = first; index < lines.size(); ++index) {
            const std::wstring_view raw = lines[index].text;
            const std::wstring_view line = TrimmedStart(raw);
            if (TrimmedEnd(line).empty() || line.front() == L';') continue;
            if (line.front() == L'[') {
                ReadKeyLine(index, line);
                continue;
            }
            // A value, perhaps continued on the lines below with "\" at a line's end.
            std::wstring joined(TrimmedEnd(line));
            const std::size_t firstIndex = index;
            bool truncated = false;
            while (IsHexValue(joined) && !joined.empty() && joined.back() == L'\\') {
                joined.pop_back();
                if (index + 1 == lines.size()) {
                    truncated = true;
                    break;
                }
                ++index;
                joined += TrimmedEnd(TrimmedStart(lines[index].text));
            }
            if (truncated) {
                Skip(firstIndex, SkipReason::Truncated, raw);
                continue;
            }
            ReadValueLine(firstIndex, raw, joined, lines[index].ended);
        }
    }

    RegFileContents Finish() {
        for (std::size_t i = 0; i < found_.size(); ++i)
            if (found_[i].kept) contents_.messages.push_back(std::move(found_[i].message));
        return std::move(contents_);
    }

    void Skip(std::size_t index, SkipReason reason, std::wstring_view line) {
        ++contents_.skippedCount;
        if (contents_.skipped.size() < kMostSkippedLinesTold)
            contents_.skipped.push_back({index + 1, reason, ShownOnOneLine(line, kToldLineLength)});
    }

private:
    struct Found {
        TravellingMessage message;
        std::size_t line = 0;
        std::wstring text;
        bool kept = true;
    };

    // Hex data may go on below; text and numbers never do.
    static bool IsHexValue(std::wstring_view line) {
        std::size_t start = 0;
        if (line.front() == L'"') {
            const QuotedText quoted = ReadQuoted(line);
            if (quoted.end != QuoteEnd::Closed) return false;
            start = quoted.length;
        } else if (line.front() == L'@') {
            start = 1;
        }
        line = TrimmedStart(line.substr(start));
        return !line.empty() && line.front() == L'=' && StartsLike(TrimmedStart(line.substr(1)), L"hex");
    }

    void ReadKeyLine(std::size_t index, std::wstring_view line) {
        const std::size_t close = line.rfind(L']');
        if (close == line.npos || !TrimmedEnd(line.substr(close + 1)).empty()) {
            key_ = {};
            keyLine_ = std::nullopt;
            Skip(index, SkipReason::Malformed, line);
            return;
        }
        if (line.size() > 1 && line[1] == L'-') {
            key_ = {};
            keyLine_ = std::nullopt;
            Skip(index, SkipReason::KeyDeletion, line);
            return;
        }
        key_ = ReadKeyPath(line.substr(1, close - 1));
        keyLine_ = index;
        if (key_.kind == KeyKind::UnusableScreenName) Skip(index, SkipReason::UnusableScreenName, line);
    }

    void ReadValueLine(std::size_t index, std::wstring_view raw, std::wstring_view line, bool ended) {
        std::wstring name;
        if (line.front() == L'@') {
            line.remove_prefix(1);
        } else if (line.front() == L'"') {
            const QuotedText quoted = ReadQuoted(line);
            if (quoted.end != QuoteEnd::Closed) return Skip(index, QuoteProblem(quoted.end, ended), raw);
            name = quoted.text;
            line.remove_prefix(quoted.length);
        } else {
            return Skip(index, SkipReason::Malformed, raw);
        }
        line = TrimmedStart(line);
        if (line.empty() || line.front() != L'=') return Skip(index, SkipReason::Malformed, raw);
        line = TrimmedStart(line.substr(1));

        // What the data is decides what is told of a line beneath another key, so it is read first.
        std::optional<std::string> data;
        std::optional<SkipReason> problem;
        if (!line.empty() && line.front() == L'"') {
            const QuotedText quoted = ReadQuoted(line);
            if (quoted.end != QuoteEnd::Closed)
                problem = QuoteProblem(quoted.end, ended);
            else if (!TrimmedEnd(line.substr(quoted.length)).empty())
                problem = SkipReason::Malformed;
            else
                data = TextData(quoted.text);
        } else if (TrimmedEnd(line) == L"-") {
            problem = SkipReason::ValueDeletion;
        } else if (StartsLike(line, L"hex(1):")) {
            const std::optional<std::string> bytes = HexBytes(line.substr(7));
            if (!bytes)
                problem = SkipReason::Malformed;
            else
                data = ansiHex_ ? Utf16Bytes(fromCodePage_(*bytes)) : *bytes;
        } else if (StartsLike(line, L"hex") || StartsLike(line, L"dword:")) {
            problem = SkipReason::NotText;
        } else {
            problem = SkipReason::Malformed;
        }
        if (problem && *problem != SkipReason::NotText && *problem != SkipReason::ValueDeletion)
            return Skip(index, *problem, raw);
        if (!keyLine_) return Skip(index, SkipReason::OtherKey, raw);
        if (key_.kind == KeyKind::UnusableScreenName) return Skip(index, SkipReason::UnusableScreenName, raw);
        if (key_.kind != KeyKind::ScreenNameList) return Skip(index, SkipReason::OtherKey, raw);
        if (problem) return Skip(index, *problem, raw);
        if (!IsAwayValueName(name)) return Skip(index, SkipReason::NotAwayMessage, raw);

        // The registry compares names without regard to letter case: a value named again replaces
        // the one before, as importing the file would.
        const std::wstring identity = AsciiLower(key_.screenName) + L'\\' + AsciiLower(name);
        if (const auto earlier = byIdentity_.find(identity); earlier != byIdentity_.end()) {
            Found& previous = found_[earlier->second];
            previous.kept = false;
            Skip(previous.line, SkipReason::Repeated, previous.text);
        }
        byIdentity_[identity] = found_.size();
        found_.push_back({{key_.screenName, std::move(name), std::move(*data)}, index, std::wstring(raw), true});
    }

    static SkipReason QuoteProblem(QuoteEnd end, bool ended) {
        if (end == QuoteEnd::EscapeAtEnd) return ended ? SkipReason::EscapeAtLineEnd : SkipReason::Truncated;
        if (end == QuoteEnd::Unclosed && !ended) return SkipReason::Truncated;
        return SkipReason::Malformed;
    }

    bool ansiHex_;
    FromCodePage fromCodePage_;
    KeyReading key_;
    std::optional<std::size_t> keyLine_;  // none before the first key, or after a deleted or broken one
    RegFileContents contents_;
    std::vector<Found> found_;
    std::map<std::wstring, std::size_t> byIdentity_;
};

}  // namespace

bool IsAwayValueName(std::wstring_view valueName) { return StartsLike(valueName, kValuePrefix); }

std::wstring ShownOnOneLine(std::wstring_view text, std::size_t most) {
    std::wstring shown(text.substr(0, most));
    for (wchar_t& c : shown)
        if (c < L' ' || c == 0x7F) c = L' ';
    if (text.size() > most) shown += L"...";
    return shown;
}

bool IsValidScreenNameKey(std::wstring_view screenName) {
    if (screenName.empty() || HasLineBreakOrNul(screenName)) return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = screenName.find(L'\\', start);
        const std::size_t length = (end == screenName.npos ? screenName.size() : end) - start;
        if (length == 0 || length > kKeyNameMost) return false;
        if (end == screenName.npos) return true;
        start = end + 1;
    }
}

std::string TextData(std::wstring_view text) {
    std::string data = Utf16Bytes(text);
    data.append(2, '\0');
    return data;
}

std::wstring TextOfData(std::string_view data) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const wchar_t unit = UnitAt(data, i);
        if (unit == 0) break;
        text += unit;
    }
    return text;
}

RegFileWriting WriteRegFile(const std::vector<TravellingMessage>& messages) {
    RegFileWriting writing;
    std::wstring text(kUnicodeHeader);
    text += L"\r\n";
    std::vector<bool> written(messages.size());
    for (std::size_t first = 0; first < messages.size(); ++first) {
        if (written[first]) continue;
        const std::wstring& screenName = messages[first].screenName;
        if (!IsValidScreenNameKey(screenName)) {
            writing.leftOut.push_back(first);
            written[first] = true;
            continue;
        }
        text += L"\r\n[";
        text += kCurrentUser;
        text += AwayKeyPath(screenName);
        text += L"]\r\n";
        for (std::size_t i = first; i < messages.size(); ++i) {
            const TravellingMessage& message = messages[i];
            if (written[i] || !SameAsciiLetters(message.screenName, screenName)) continue;
            written[i] = true;
            if (HasLineBreakOrNul(message.valueName)) {
                writing.leftOut.push_back(i);
                continue;
            }
            const std::wstring name = Quoted(message.valueName) + L"=";
            text += name;
            if (QuotedFormCarries(message.data))
                text += Quoted(TextOfData(message.data));
            else
                AppendHex(text, name.size(), message.data);
            text += L"\r\n";
        }
    }
    text += L"\r\n";
    writing.bytes = "\xFF\xFE" + Utf16Bytes(text);
    std::sort(writing.leftOut.begin(), writing.leftOut.end());
    return writing;
}

RegFileContents ReadRegFile(std::string_view bytes, FromCodePage fromCodePage) {
    RegFileContents contents;
    if (bytes.size() > kMostRegFileBytes) {
        contents.problem = RegFileProblem::TooLarge;
        return contents;
    }
    std::wstring text;
    bool oddLastByte = false;
    if (bytes.starts_with("\xFF\xFE")) {
        bytes.remove_prefix(2);
        oddLastByte = bytes.size() % 2 != 0;
        text.reserve(bytes.size() / 2);
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) text += UnitAt(bytes, i);
    } else if (bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xEF\xBB\xBF") || bytes.find('\0') != bytes.npos) {
        contents.problem = RegFileProblem::OtherEncoding;
        return contents;
    } else {
        text = fromCodePage(bytes);
    }
    const std::vector<Line> lines = SplitLines(text);
    std::size_t first = 0;
    while (first < lines.size() && TrimmedEnd(TrimmedStart(lines[first].text)).empty()) ++first;
    if (first == lines.size()) {
        contents.problem = RegFileProblem::NotRegistryFile;
        return contents;
    }
    const std::wstring_view header = TrimmedEnd(lines[first].text);
    const bool ansiHex = header == kAnsiHeader;
    if (!ansiHex && header != kUnicodeHeader) {
        contents.problem = RegFileProblem::NotRegistryFile;
        return contents;
    }
    Reader reader(ansiHex, fromCodePage);
    reader.Read(lines, first + 1);
    if (oddLastByte) reader.Skip(lines.size() - 1, SkipReason::Truncated, L"(half a character at the end)");
    return reader.Finish();
}

std::wstring SkipReasonText(SkipReason reason) {
    switch (reason) {
        case SkipReason::OtherKey: return L"not a screen name's away messages (another key)";
        case SkipReason::KeyDeletion: return L"removes a key; Velmora never deletes anything";
        case SkipReason::ValueDeletion: return L"removes a value; Velmora never deletes anything";
        case SkipReason::NotAwayMessage: return L"not an away message (its name does not start with GoneMsg)";
        case SkipReason::NotText: return L"not text (another type than REG_SZ)";
        case SkipReason::Malformed: return L"not a line of a registry file";
        case SkipReason::EscapeAtLineEnd: return L"the line ends in the middle of an escape (\\)";
        case SkipReason::Truncated: return L"the file ends in the middle of this value";
        case SkipReason::UnusableScreenName: return L"the screen name is no valid key name";
        case SkipReason::Repeated: return L"the same value comes again further down, which wins";
    }
    return {};
}

std::wstring RegFileProblemText(RegFileProblem problem) {
    switch (problem) {
        case RegFileProblem::None: return {};
        case RegFileProblem::TooLarge:
            return L"The file is larger than 16 MB. A backup of away messages is far smaller: this is not one.";
        case RegFileProblem::OtherEncoding:
            return L"The file is in an encoding registry files do not use (UTF-8, or UTF-16 big-endian or without "
                   L"its byte-order mark). Save it as Unicode (UTF-16 little-endian) or ANSI and try again.";
        case RegFileProblem::NotRegistryFile:
            return L"The file is no registry file: its first line is neither \"Windows Registry Editor Version "
                   L"5.00\" nor \"REGEDIT4\".";
    }
    return {};
}

}  // namespace velmora
