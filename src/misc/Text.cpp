#include "misc/Text.h"

#include <iterator>

namespace velmora {

std::wstring AsciiLower(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) c = AsciiLower(c);
    return lower;
}

std::wstring PadLeftZeros(std::wstring_view text, int width) {
    std::wstring padded;
    if (width <= 0 || text.size() >= static_cast<std::size_t>(width)) {
        padded.assign(text);
        return padded;
    }
    const std::size_t zeros = static_cast<std::size_t>(width) - text.size();
    padded.reserve(static_cast<std::size_t>(width));
    padded.append(zeros, L'0');
    padded.append(text);
    return padded;
}

std::wstring DecimalText(long long value) {
    // Counted as a negative number, whose range also holds the most negative value.
    long long rest = value < 0 ? value : -value;
    wchar_t digits[24];
    std::size_t start = std::size(digits);
    do {
        digits[--start] = static_cast<wchar_t>(L'0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0) digits[--start] = L'-';
    return std::wstring(digits + start, std::size(digits) - start);
}

std::optional<std::size_t> TrustedTextLength(long long answer) {
    if (answer < 0 || static_cast<unsigned long long>(answer) > kMaxForeignTextLength) return std::nullopt;
    return static_cast<std::size_t>(answer);
}

std::optional<std::size_t> TrustedCopiedLength(long long answer, std::size_t bufferLength) {
    if (answer < 0) return std::nullopt;
    return static_cast<unsigned long long>(answer) < bufferLength ? static_cast<std::size_t>(answer) : bufferLength;
}

}  // namespace velmora
