#pragma once
// Fuzz input as Velmora's text: each byte one character (ASCII and Latin-1), and a way to
// split one input into several fields.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace velmora::fuzz {

inline std::wstring WideFrom(const std::uint8_t* data, std::size_t size) {
    std::wstring text(size, L'\0');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<wchar_t>(data[i]);
    return text;
}

// Fuzz input as text of any 16-bit units, two bytes each (low byte first): every character of the
// Basic Multilingual Plane, pairs beyond it, and halves of pairs on their own.
inline std::wstring WideUnitsFrom(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    return text;
}

// Fields separated by byte 0x1F (unit separator); missing fields are empty.
inline std::vector<std::wstring> Fields(const std::uint8_t* data, std::size_t size, std::size_t count) {
    std::vector<std::wstring> fields(count);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x1F && field + 1 < count) {
            ++field;
            continue;
        }
        fields[field] += static_cast<wchar_t>(data[i]);
    }
    return fields;
}

// A broken property stops the fuzzer with the input that broke it.
#define VELMORA_FUZZ_CHECK(condition)                                                              \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

}  // namespace velmora::fuzz
