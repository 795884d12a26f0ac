// The colour pickers' number-box conversion on any typed text.
#include "FuzzInput.h"
#include "colour/ColourRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::wstring text = fuzz::WideFrom(data, size);
    const std::optional<std::int16_t> value = ParseChannelText(text);
    if (value) {
        // Whatever converts comes back the same from its own plain text.
        VELMORA_FUZZ_CHECK(ParseChannelText(std::to_wstring(*value)) == value);
        if (IsChannelValue(*value)) VELMORA_FUZZ_CHECK(ParseChannelText(ChannelText(*value)) == value);
    }
    // The colour string is always six upper-case hexadecimal digits.
    const int red = size > 0 ? data[0] : 0, green = size > 1 ? data[1] : 0, blue = size > 2 ? data[2] : 0;
    const std::wstring colour = ColourString(red, green, blue);
    VELMORA_FUZZ_CHECK(colour.size() == 6 && colour.find_first_not_of(L"0123456789ABCDEF") == std::wstring::npos);
    VELMORA_FUZZ_CHECK(std::stoi(std::string(colour.begin(), colour.end()), nullptr, 16) ==
                       (red << 16 | green << 8 | blue));
    return 0;
}
