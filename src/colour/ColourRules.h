#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Reads a colour picker's number box as a 16-bit whole number: optional blanks
// (spaces, tabs) around an optional sign and a decimal number, which may carry
// a fraction ("12.", ".5" and "12.5" all count). A fraction is rounded to the
// nearest whole number, exact halves to the even neighbour. Anything else, or
// a value outside -32768..32767, gives std::nullopt.
std::optional<std::int16_t> ParseChannelText(std::wstring_view text);

// A colour bar holds 0..255.
bool IsChannelValue(int value);

// The colour string of a picker: two upper-case hex digits per channel, red,
// green, blue, no "#". Channels outside 0..255 are clamped so the string always
// has six digits.
std::wstring ColourString(int red, int green, int blue);

// The preview square's colour, red + 256 * green + 65536 * blue (Windows'
// COLORREF order). Channels are clamped to 0..255 like ColourString's.
std::uint32_t PreviewColour(int red, int green, int blue);

// A channel's number-box text: plain decimal, no padding.
std::wstring ChannelText(int value);

}  // namespace velmora
