#include "misc/CharacterReferences.h"

#include <cstddef>
#include <iterator>
#include <unordered_set>

namespace velmora {
namespace {

constexpr char32_t kLastCharacter = 0x10FFFF;
// The longest decimal reference Velmora writes: 1114111.
constexpr std::size_t kMostDigits = 7;

bool IsHighHalf(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowHalf(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsHalf(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// The character at text[at] and how many units it takes; a lone half, or a unit beyond the last
// character (only where wchar_t has 32 bits), is U+FFFD.
char32_t CharacterAt(std::wstring_view text, std::size_t at, std::size_t& units) {
    const auto unit = static_cast<char32_t>(text[at]);
    units = 1;
    if (IsHighHalf(unit) && at + 1 < text.size() && IsLowHalf(static_cast<char32_t>(text[at + 1]))) {
        units = 2;
        return 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(text[at + 1]) - 0xDC00);
    }
    if (IsHalf(unit) || unit > kLastCharacter) return kReplacementCharacter;
    return unit;
}

void AppendReference(std::wstring& text, char32_t character) {
    wchar_t reference[kMostDigits + 3];
    std::size_t at = std::size(reference);
    reference[--at] = L';';
    do {
        reference[--at] = static_cast<wchar_t>(L'0' + character % 10);
        character /= 10;
    } while (character != 0);
    reference[--at] = L'#';
    reference[--at] = L'&';
    text.append(reference + at, std::size(reference) - at);
}

// A reference at text[at] == '&' in the form WithCharacterReferences writes: its character and
// length, or 0 when it is none.
std::size_t ReadReference(std::wstring_view text, std::size_t at, char32_t& character) {
    std::size_t i = at + 1;
    if (i >= text.size() || text[i] != L'#') return 0;
    ++i;
    const std::size_t first = i;
    char32_t value = 0;
    while (i < text.size() && i - first < kMostDigits + 1 && text[i] >= L'0' && text[i] <= L'9') {
        value = value * 10 + static_cast<char32_t>(text[i] - L'0');
        ++i;
    }
    const std::size_t digits = i - first;
    if (digits == 0 || digits > kMostDigits || text[first] == L'0') return 0;
    if (i >= text.size() || text[i] != L';') return 0;
    if (value > kLastCharacter || IsHalf(value)) return 0;
    character = value;
    return i + 1 - at;
}

}  // namespace

void AppendCharacter(std::wstring& text, char32_t character) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (character > 0xFFFF) {
            character -= 0x10000;
            text += static_cast<wchar_t>(0xD800 + (character >> 10));
            text += static_cast<wchar_t>(0xDC00 + (character & 0x3FF));
            return;
        }
    }
    text += static_cast<wchar_t>(character);
}

std::wstring WithCharacterReferences(std::wstring_view text, const CarriesCharacter& carries) {
    std::wstring out;
    out.reserve(text.size());
    // What the code page carries is copied in runs, as it stands (a pair stays the same pair).
    std::size_t run = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t units = 1;
        const char32_t character = CharacterAt(text, at, units);
        const bool carried = carries(character);
        const bool replaced = character == kReplacementCharacter && static_cast<char32_t>(text[at]) != character;
        if (!carried || replaced) {
            out.append(text.substr(run, at - run));
            if (carried)
                AppendCharacter(out, character);
            else
                AppendReference(out, character);
            run = at + units;
        }
        at += units;
    }
    out.append(text.substr(run));
    return out;
}

std::wstring WithoutCharacterReferences(std::wstring_view text, const CarriesCharacter& carries) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == L'&') {
            char32_t character = 0;
            if (const std::size_t length = ReadReference(text, at, character); length && !carries(character)) {
                AppendCharacter(out, character);
                at += length - 1;
                continue;
            }
        }
        out += text[at];
    }
    return out;
}

std::vector<char32_t> UncarriedCharacters(std::wstring_view text, const CarriesCharacter& carries) {
    std::vector<char32_t> found;
    std::unordered_set<char32_t> seen;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t units = 1;
        const char32_t character = CharacterAt(text, at, units);
        if (!carries(character) && seen.insert(character).second) found.push_back(character);
        at += units;
    }
    return found;
}

}  // namespace velmora
