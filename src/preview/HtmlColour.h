#pragma once
// Colours as a buddy's IM client reads them from away-message markup, and how readable one
// colour is on another.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// The HTML reader's rule for legacy colour attributes (BGCOLOR, COLOR): a colour name, "#rgb",
// or any other text turned into a colour digit by digit ("zz" is black). Only an empty text,
// or "transparent", gives no colour; the element then keeps the colour it had.
std::optional<Rgb> ParseLegacyColour(std::wstring_view text);

// The WCAG 2 contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double ContrastRatio(Rgb first, Rgb second);

// Below this ratio normal-sized text is hard to read (WCAG 2, level AA).
constexpr double kReadableContrast = 4.5;

// "Contrast 4.4 : 1": the ratio cut (not rounded) to one decimal, so a ratio just under
// the readable one never shows as reaching it.
std::wstring ContrastText(double ratio);

}  // namespace velmora
