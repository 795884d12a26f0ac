#include "misc/Text.h"

namespace velmora {

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

}  // namespace velmora
