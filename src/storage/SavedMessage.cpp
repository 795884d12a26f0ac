#include "storage/SavedMessage.h"

#include <algorithm>
#include <array>

#include "misc/Text.h"
#include "storage/ProfileFile.h"

namespace velmora {
namespace {

// Profile readers drop blanks, control characters and a pair of quote marks at a value's ends.
bool IsEdgeSensitive(wchar_t c) { return c <= L' ' || c == 0x7F || c == L'"' || c == L'\''; }
bool IsEdgeSensitiveByte(char c) { return IsEdgeSensitive(static_cast<wchar_t>(static_cast<unsigned char>(c))); }
// Printable ASCII reads the same in every code page a profile file may be in.
bool IsPrintableAscii(wchar_t c) { return c >= L' ' && c < 0x7F; }

// The characters written as a backslash and a letter, and their letters.
struct Escaped {
    wchar_t character;
    wchar_t letter;
};
constexpr std::array<Escaped, 7> kEscapes{{
    {L'\\', L'\\'},
    {L'\r', L'r'},
    {L'\n', L'n'},
    {L'\t', L't'},
    {L'"', L'q'},
    {L'\'', L'a'},
    {L' ', L's'},
}};

std::wstring_view TrimEdges(std::wstring_view line) {
    while (!line.empty() && IsEdgeSensitive(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsEdgeSensitive(line.back())) line.remove_suffix(1);
    return line;
}

std::string_view TrimEdgeBytes(std::string_view line) {
    while (!line.empty() && IsEdgeSensitiveByte(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsEdgeSensitiveByte(line.back())) line.remove_suffix(1);
    return line;
}

std::wstring PlainFirstLine(std::wstring_view message) {
    std::wstring_view line = TrimEdges(message.substr(0, std::min(message.find_first_of(L"\r\n"), message.size())));
    return std::wstring(TrimEdges(line.substr(0, std::min(line.size(), kMaxProfileValue))));
}

// Msg's value as the file holds it; trimmed again after the code page, which may turn a
// character into a blank or a quote mark.
std::string StoredFirstLine(std::wstring_view message, FileCodePage codePage) {
    return std::string(TrimEdgeBytes(codePage.toFile(PlainFirstLine(message))));
}

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

void EscapeCodeUnit(std::wstring& encoded, unsigned long unit) {
    encoded += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) encoded += kHexDigits[(unit >> shift) & 0xF];
}

void EscapeCharacter(std::wstring& encoded, wchar_t c) {
    const auto value = static_cast<unsigned long>(c);
    if constexpr (sizeof(wchar_t) > 2) {
        // Only where wchar_t is wider than UTF-16: the pair it stands for there.
        if (value > 0xFFFF) {
            EscapeCodeUnit(encoded, 0xD800 + (((value - 0x10000) >> 10) & 0x3FF));
            EscapeCodeUnit(encoded, 0xDC00 + ((value - 0x10000) & 0x3FF));
            return;
        }
    }
    EscapeCodeUnit(encoded, value);
}

std::wstring Escape(std::wstring_view message) {
    std::wstring encoded;
    encoded.reserve(message.size() + message.size() / 8 + 4);
    // No blank, quote, control character or line break is left, and nothing beyond ASCII,
    // so the text may be cut into parts anywhere and crosses every code page unchanged.
    for (const wchar_t c : message) {
        const auto escaped =
            std::find_if(kEscapes.begin(), kEscapes.end(), [c](const Escaped& e) { return e.character == c; });
        if (escaped != kEscapes.end()) {
            encoded += L'\\';
            encoded += escaped->letter;
        } else if (IsPrintableAscii(c)) {
            encoded += c;
        } else {
            EscapeCharacter(encoded, c);
        }
    }
    return encoded;
}

// \uXXXX: the code unit, or -1 when four hexadecimal digits do not follow at `at`.
long CodeUnitAt(std::wstring_view encoded, size_t at) {
    if (encoded.size() - at < 4) return -1;
    long unit = 0;
    for (size_t i = at; i < at + 4; ++i) {
        const int digit = HexValue(encoded[i]);
        if (digit < 0) return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

std::wstring Unescape(std::wstring_view encoded) {
    std::wstring message;
    message.reserve(encoded.size());
    for (size_t i = 0; i < encoded.size(); ++i) {
        const wchar_t c = encoded[i];
        if (c != L'\\' || i + 1 == encoded.size()) {
            message += c;
            continue;
        }
        const wchar_t letter = encoded[++i];
        const auto escaped =
            std::find_if(kEscapes.begin(), kEscapes.end(), [letter](const Escaped& e) { return e.letter == letter; });
        if (escaped != kEscapes.end()) {
            message += escaped->character;
            continue;
        }
        switch (letter) {
            case L'u':
                if (const long unit = CodeUnitAt(encoded, i + 1); unit >= 0) {
                    i += 4;
                    if constexpr (sizeof(wchar_t) > 2) {
                        const long low = encoded.substr(i + 1, 2) == L"\\u" ? CodeUnitAt(encoded, i + 3) : -1;
                        // A surrogate pair is one character where wchar_t is wider than UTF-16.
                        if (unit >= 0xD800 && unit < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
                            message += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                            i += 6;
                            break;
                        }
                    }
                    message += static_cast<wchar_t>(unit);
                    break;
                }
                [[fallthrough]];
            default:  // not ours: kept as it stands
                message += L'\\';
                message += encoded[i];
        }
    }
    return message;
}

std::string Narrow(std::wstring_view asciiText) { return std::string(asciiText.begin(), asciiText.end()); }

// The text of a UTF-16 file, as its UTF-8.
constexpr FileCodePage kUnicode{Utf8FromWide, WideFromUtf8};

}  // namespace

std::string EscapeExactText(std::wstring_view text) { return Narrow(Escape(text)); }

std::wstring UnescapeExactText(std::string_view escaped) {
    return Unescape(std::wstring(escaped.begin(), escaped.end()));
}

std::wstring ExactPartKey(size_t index) {
    std::wstring key(kExactMessageKey);
    if (index > 0) key += DecimalText(static_cast<long long>(index) + 1);
    return key;
}

bool IsPlainProfileValue(std::wstring_view text) {
    if (text.size() > kMaxProfileValue) return false;
    for (wchar_t c : text)
        if (!IsPrintableAscii(c) && c != L'\t') return false;
    return text.empty() || (!IsEdgeSensitive(text.front()) && !IsEdgeSensitive(text.back()));
}

SavedMessageEntries EncodeSavedMessage(std::wstring_view message) {
    if (IsPlainProfileValue(message)) return {std::wstring(message), {}};
    const std::wstring exact = Escape(message);
    SavedMessageEntries entries{PlainFirstLine(message), {}};
    for (size_t start = 0; start < exact.size(); start += kMaxProfileValue)
        entries.exactParts.push_back(exact.substr(start, kMaxProfileValue));
    return entries;
}

bool IsSavedMessageKey(std::string_view key) {
    const std::string message = Narrow(kMessageKey);
    const std::string exact = Narrow(kExactMessageKey);
    if (EqualsIgnoringAsciiCase(key, message)) return true;
    if (key.size() < exact.size() || !EqualsIgnoringAsciiCase(key.substr(0, exact.size()), exact)) return false;
    return std::all_of(key.begin() + static_cast<std::ptrdiff_t>(exact.size()), key.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::wstring LoadWholeSavedMessage(std::string_view bytes, FileCodePage codePage) {
    const ProfileText file = DecodeProfileFile(bytes);
    const bool unicode = file.encoding != ProfileEncoding::CodePage;
    const FileCodePage page = unicode ? kUnicode : codePage;
    const ProfileSection general(file.text, Narrow(kSettingsSection));
    const std::string_view stored = general.Value(Narrow(kMessageKey)).value_or(std::string_view{});
    std::string exact;
    for (size_t part = 0;; ++part) {
        const std::optional<std::string_view> value = general.Value(Narrow(ExactPartKey(part)));
        if (!value || value->empty()) break;
        exact += *value;
    }
    if (!exact.empty()) {
        // Earlier versions left characters of the code page unescaped in the exact keys.
        std::wstring message = Unescape(page.fromFile(exact));
        // Velmora's own file saved again as UTF-16 in an editor still has Msg as the code page made it.
        if (StoredFirstLine(message, page) == stored ||
            (unicode && Utf8FromWide(codePage.fromFile(StoredFirstLine(message, codePage))) == stored))
            return message;
    }
    return page.fromFile(stored);
}

std::wstring LoadSavedMessage(std::string_view bytes, FileCodePage codePage) {
    std::wstring message = LoadWholeSavedMessage(bytes, codePage);
    return message.size() > kMaxRestoredMessage ? std::wstring() : message;
}

std::string SaveMessageInto(std::string_view bytes, std::wstring_view message, FileCodePage codePage) {
    const ProfileText file = DecodeProfileFile(bytes);
    const FileCodePage page = file.encoding == ProfileEncoding::CodePage ? codePage : kUnicode;
    const SavedMessageEntries entries = EncodeSavedMessage(message);
    std::string lines = Narrow(kMessageKey) + "=" + StoredFirstLine(message, page) + "\r\n";
    for (size_t part = 0; part < entries.exactParts.size(); ++part)
        lines += Narrow(ExactPartKey(part)) + "=" + Narrow(entries.exactParts[part]) + "\r\n";
    return EncodeProfileFile(file.encoding,
                             ReplaceProfileKeys(file.text, Narrow(kSettingsSection), IsSavedMessageKey, lines));
}

std::string SaveMessageOver(std::string_view file, std::wstring_view asLoaded, std::wstring_view message,
                            FileCodePage codePage) {
    if (message == asLoaded &&
        ProfileSection(DecodeProfileFile(file).text, Narrow(kSettingsSection)).Value(Narrow(kMessageKey)).has_value())
        return std::string(file);
    return SaveMessageInto(file, message, codePage);
}

std::wstring SaveFailureQuestion(std::wstring_view filePath, std::wstring_view reason) {
    std::wstring text = L"Your message could not be saved for the next start in\r\n";
    text += filePath;
    text += L"\r\n\r\nWhy: ";
    text += reason;
    text += L"\r\n\r\nClose anyway? Yes closes Velmora and the message is lost; No goes back to it.";
    return text;
}

namespace {

// 1234567 as "1,234,567".
std::wstring GroupedDigits(std::size_t value) {
    const std::wstring digits = DecimalText(static_cast<long long>(value));
    std::wstring grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += L',';
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

std::wstring TooLongToRestoreNotice(std::size_t length, std::wstring_view filePath) {
    std::wstring text = L"The message saved in ";
    text += filePath;
    text += L" is " + GroupedDigits(length) + L" characters long, more than the message box takes (" +
            GroupedDigits(kMaxRestoredMessage) + L").";
    text +=
        L" It stays saved there: closing with \"Save Last Msg\" ticked keeps it, unless you type, clear or load"
        L" another message first.";
    return text;
}

std::wstring SettingsPathFor(std::wstring_view exeFolder) {
    std::wstring path(exeFolder);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
    path += kSettingsFileName;
    return path;
}

}  // namespace velmora
