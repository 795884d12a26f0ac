#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Puts "0" characters before text until it is width characters long.
// A text already as long as the width, or longer, comes back unchanged:
// nothing is ever cut off, so a longer text stays readable rather than wrong.
std::wstring PadLeftZeros(std::wstring_view text, int width);

// A whole number in decimal digits, with "-" before a negative one: what std::to_wstring
// gives, without the C library's formatted printing (a large part of a small exe).
std::wstring DecimalText(long long value);

}  // namespace velmora
