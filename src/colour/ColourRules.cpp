#include "colour/ColourRules.h"

#include <algorithm>

#include "misc/Text.h"

namespace velmora {

namespace {

constexpr int kChannelMin = 0;
constexpr int kChannelMax = 255;
constexpr std::int32_t kInt16Min = -32768;
constexpr std::int32_t kInt16Max = 32767;
// More significant digits than this cannot fit 16 bits even after rounding,
// and stopping there keeps the arithmetic far from overflowing.
constexpr std::size_t kMaxWholeDigits = 5;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::size_t DigitRunLength(std::wstring_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsAsciiDigit(text[end])) {
        ++end;
    }
    return end - from;
}

int ClampChannel(int value) { return std::clamp(value, kChannelMin, kChannelMax); }

wchar_t UpperHexDigit(int digit) { return static_cast<wchar_t>(digit < 10 ? L'0' + digit : L'A' + (digit - 10)); }

std::wstring UpperHex(int value) {
    std::wstring hex;
    do {
        hex.insert(hex.begin(), UpperHexDigit(value % 16));
        value /= 16;
    } while (value > 0);
    return hex;
}

// Whether a fraction's digits round its number up: above one half always,
// exactly one half only when the whole part is odd (halves go to even).
bool FractionRoundsUp(std::wstring_view fraction, bool wholeIsOdd) {
    if (fraction.empty() || fraction.front() < L'5') {
        return false;
    }
    if (fraction.front() > L'5') {
        return true;
    }
    const bool aboveHalf = std::any_of(fraction.begin() + 1, fraction.end(), [](wchar_t c) { return c != L'0'; });
    return aboveHalf || wholeIsOdd;
}

}  // namespace

std::optional<std::int16_t> ParseChannelText(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }

    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }

    const std::size_t wholeLength = DigitRunLength(text, 0);
    std::wstring_view whole = text.substr(0, wholeLength);
    std::wstring_view fraction;
    std::size_t used = wholeLength;
    if (used < text.size() && text[used] == L'.') {
        const std::size_t fractionLength = DigitRunLength(text, used + 1);
        fraction = text.substr(used + 1, fractionLength);
        used += 1 + fractionLength;
    }
    if (used != text.size() || (whole.empty() && fraction.empty())) {
        return std::nullopt;
    }

    while (!whole.empty() && whole.front() == L'0') {
        whole.remove_prefix(1);
    }
    if (whole.size() > kMaxWholeDigits) {
        return std::nullopt;
    }
    std::int32_t magnitude = 0;
    for (const wchar_t digit : whole) {
        magnitude = magnitude * 10 + (digit - L'0');
    }
    if (FractionRoundsUp(fraction, magnitude % 2 != 0)) {
        ++magnitude;
    }

    const std::int32_t value = negative ? -magnitude : magnitude;
    if (value < kInt16Min || value > kInt16Max) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

bool IsChannelValue(int value) { return value >= kChannelMin && value <= kChannelMax; }

std::wstring ColourString(int red, int green, int blue) {
    std::wstring colour;
    colour.reserve(6);
    for (const int channel : {red, green, blue}) {
        colour.append(PadLeftZeros(UpperHex(ClampChannel(channel)), 2));
    }
    return colour;
}

std::uint32_t PreviewColour(int red, int green, int blue) {
    return static_cast<std::uint32_t>(ClampChannel(red)) + 256u * static_cast<std::uint32_t>(ClampChannel(green)) +
           65536u * static_cast<std::uint32_t>(ClampChannel(blue));
}

std::wstring ChannelText(int value) { return DecimalText(value); }

}  // namespace velmora
