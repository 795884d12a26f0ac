#pragma once
// Text for an 8-bit code page that lacks some characters. An away message is HTML, and HTML
// carries any character through such a channel as a decimal character reference ("&#1055;" for
// "П"), which every HTML reader shows as the character itself.
//
// Text is read as UTF-16: a pair of halves is one character. Where wchar_t has 32 bits a unit
// above 0xFFFF is a character too.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Whether the code page carries a character (a Unicode code point, never a surrogate) as
// itself: converted to its bytes and back, without a look-alike.
using CarriesCharacter = std::function<bool(char32_t)>;

// Stands for a half of a surrogate pair without its other half, which is no character.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The text with every character the code page cannot carry written as "&#" decimal ";", a
// character beyond the Basic Multilingual Plane by its code point (never as two halves). A lone
// half is written as U+FFFD (as itself where the code page carries that). Everything else stays
// as it stands, so a text the code page carries comes out unchanged.
std::wstring WithCharacterReferences(std::wstring_view text, const CarriesCharacter& carries);

// The way back: each reference as WithCharacterReferences writes it ("&#", decimal digits
// without a leading zero, ";") of a character the code page cannot carry becomes the character.
// Any other reference stays as it stands: "&#65;" typed by the user (the code page carries "A"),
// "&#x41;", "&#01055;", "&#1055" without its ";", halves of pairs. So for any text t,
//   WithCharacterReferences(WithoutCharacterReferences(WithCharacterReferences(t)))
//     == WithCharacterReferences(t).
std::wstring WithoutCharacterReferences(std::wstring_view text, const CarriesCharacter& carries);

// The characters of the text the code page cannot carry, each once, in the order they first
// appear (a lone half as U+FFFD, when the code page cannot carry that).
std::vector<char32_t> UncarriedCharacters(std::wstring_view text, const CarriesCharacter& carries);

// A character as wide text: two halves where wchar_t has 16 bits.
void AppendCharacter(std::wstring& text, char32_t character);

}  // namespace velmora
