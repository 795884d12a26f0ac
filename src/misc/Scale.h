#pragma once
// Window layouts are written in pixels at 96 dots per inch and fonts in points; these turn
// them into device pixels for a window's DPI, rounding to nearest as MulDiv does.
#include <cstdint>

namespace velmora {

constexpr int kDesignDpi = 96;

constexpr int MulDivRounded(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

constexpr int ScaleForDpi(int pixelsAt96, int dpi) { return MulDivRounded(pixelsAt96, dpi, kDesignDpi); }

// Logical font height (negative: character height) for a size in hundredths of a point.
constexpr int FontHeightForDpi(int centiPoints, int dpi) { return -MulDivRounded(centiPoints, dpi, 7200); }

// A colour as the design writes it, 0xRRGGBB, or a system colour, or "leave the default", or
// (for a label's background) "see-through": the window's own painting shows behind the text.
struct Paint {
    enum class Kind : std::uint8_t { Default, Colour, System, Transparent };
    Kind kind = Kind::Default;
    std::uint32_t value = 0;

    static constexpr Paint Rgb(std::uint32_t rrggbb) { return {Kind::Colour, rrggbb}; }
    static constexpr Paint System(int index) { return {Kind::System, static_cast<std::uint32_t>(index)}; }
    static constexpr Paint None() { return {}; }
    static constexpr Paint Transparent() { return {Kind::Transparent, 0}; }
    constexpr bool IsSet() const { return kind != Kind::Default; }
};

// 0xRRGGBB as the Windows colour value (red in the low byte).
constexpr std::uint32_t ColourRefFromRgb(std::uint32_t rrggbb) {
    return ((rrggbb >> 16) & 0xFFu) | (rrggbb & 0xFF00u) | ((rrggbb & 0xFFu) << 16);
}

}  // namespace velmora
