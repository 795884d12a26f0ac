#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The small character rules of ASCII that HTML, the settings file and the IM client's names
// use; letters beyond ASCII are never folded.
constexpr bool IsAsciiDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }
constexpr bool IsAsciiLetter(wchar_t c) noexcept { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
// HTML's blanks: space, tab, line feed, form feed and carriage return.
constexpr bool IsHtmlBlank(wchar_t c) noexcept {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}
constexpr wchar_t AsciiLower(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
constexpr char AsciiLower(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
std::wstring AsciiLower(std::wstring_view text);

// Puts "0" characters before text until it is width characters long.
// A text already as long as the width, or longer, comes back unchanged:
// nothing is ever cut off, so a longer text stays readable rather than wrong.
std::wstring PadLeftZeros(std::wstring_view text, int width);

// A whole number in decimal digits, with "-" before a negative one: what std::to_wstring
// gives, without the C library's formatted printing (a large part of a small exe).
std::wstring DecimalText(long long value);

// Another program's answers about a text of its own are not trusted. The longest text
// Velmora takes from one, in characters: far beyond any title or conversation.
inline constexpr std::size_t kMaxForeignTextLength = std::size_t{64} * 1024 * 1024;
// A text length another program answered (WM_GETTEXTLENGTH), or nothing when it is below
// zero or beyond kMaxForeignTextLength.
std::optional<std::size_t> TrustedTextLength(long long answer);
// How many characters another program says it copied (WM_GETTEXT) into a buffer of
// bufferLength characters, never more than that; nothing when the count is below zero.
std::optional<std::size_t> TrustedCopiedLength(long long answer, std::size_t bufferLength);

}  // namespace velmora
