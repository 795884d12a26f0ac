#include "storage/SavedMessage.h"

#include <algorithm>

#include "misc/Text.h"

namespace velmora {
namespace {

// Profile readers drop blanks and a pair of quote marks at a value's ends.
bool IsEdgeSensitive(wchar_t c) { return c == L' ' || c == L'\t' || c == L'"' || c == L'\''; }
bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

std::wstring_view TrimEdges(std::wstring_view line) {
    while (!line.empty() && IsEdgeSensitive(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsEdgeSensitive(line.back())) line.remove_suffix(1);
    return line;
}

std::wstring PlainFirstLine(std::wstring_view message) {
    std::wstring_view line = TrimEdges(message.substr(0, std::min(message.find_first_of(L"\r\n"), message.size())));
    return std::wstring(TrimEdges(line.substr(0, std::min(line.size(), kMaxProfileValue))));
}

std::wstring Escape(std::wstring_view message) {
    std::wstring encoded;
    encoded.reserve(message.size() + message.size() / 8 + 4);
    // No blank, quote or line break is left, so the text may be cut into parts anywhere.
    for (const wchar_t c : message) {
        switch (c) {
            case L'\\': encoded += L"\\\\"; break;
            case L'\r': encoded += L"\\r"; break;
            case L'\n': encoded += L"\\n"; break;
            case L'\t': encoded += L"\\t"; break;
            case L'"': encoded += L"\\q"; break;
            case L'\'': encoded += L"\\a"; break;
            case L' ': encoded += L"\\s"; break;
            default: encoded += c;
        }
    }
    return encoded;
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
        switch (encoded[++i]) {
            case L'\\': message += L'\\'; break;
            case L'r': message += L'\r'; break;
            case L'n': message += L'\n'; break;
            case L't': message += L'\t'; break;
            case L'q': message += L'"'; break;
            case L'a': message += L'\''; break;
            case L's': message += L' '; break;
            default:  // not ours: kept as it stands
                message += L'\\';
                message += encoded[i];
        }
    }
    return message;
}

}  // namespace

std::wstring ExactPartKey(size_t index) {
    std::wstring key(kExactMessageKey);
    if (index > 0) key += DecimalText(static_cast<long long>(index) + 1);
    return key;
}

bool IsPlainProfileValue(std::wstring_view text) {
    if (text.size() > kMaxProfileValue) return false;
    for (wchar_t c : text)
        if (IsLineBreak(c)) return false;
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

std::wstring DecodeSavedMessage(std::wstring_view message, std::wstring_view exact) {
    if (exact.empty()) return std::wstring(message);
    std::wstring decoded = Unescape(exact);
    if (PlainFirstLine(decoded) != message) return std::wstring(message);
    return decoded;
}

std::wstring SettingsPathFor(std::wstring_view exeFolder) {
    std::wstring path(exeFolder);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
    path += kSettingsFileName;
    return path;
}

}  // namespace velmora
