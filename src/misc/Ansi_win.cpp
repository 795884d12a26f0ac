#include <windows.h>

#include <array>
#include <atomic>
#include <climits>

#include "misc/Ansi.h"

namespace velmora {

std::string ToAnsi(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string converted(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, converted.data(), bytes, nullptr, nullptr);
    return converted;
}

std::wstring FromAnsi(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (chars <= 0) return {};
    std::wstring converted(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, converted.data(), chars);
    return converted;
}

}  // namespace velmora

namespace velmora {
namespace {

bool IsUtfCodePage() {
    const UINT codePage = GetACP();
    return codePage == CP_UTF8 || codePage == CP_UTF7;
}

// One character through the code page and back.
bool ConvertsExactly(char32_t character) {
    wchar_t units[2]{};
    int count = 1;
    if (character > 0xFFFF) {
        units[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(character);
    }
    char bytes[16]{};
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    wchar_t back[4]{};
    const int backCount = MultiByteToWideChar(CP_ACP, 0, bytes, length, back, 4);
    return backCount == count && back[0] == units[0] && (count == 1 || back[1] == units[1]);
}

}  // namespace

bool AnsiCarries(char32_t character) {
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) return false;
    static const bool utf = IsUtfCodePage();
    if (utf) return true;
    if (character > 0xFFFF) return ConvertsExactly(character);
    // Asked once a character: the preview asks for every character at every keystroke. Stored
    // Messages asks from its reading thread too; two threads asking at once find the same answer.
    enum : unsigned char { Unknown, Carried, NotCarried };
    static std::array<std::atomic<unsigned char>, 0x10000> known{};
    std::atomic<unsigned char>& slot = known[character];
    unsigned char answer = slot.load(std::memory_order_relaxed);
    if (answer == Unknown) {
        answer = ConvertsExactly(character) ? Carried : NotCarried;
        slot.store(answer, std::memory_order_relaxed);
    }
    return answer == Carried;
}

unsigned AnsiCodePage() { return GetACP(); }

std::string ToAnsiWithoutLookAlikes(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const DWORD flags = IsUtfCodePage() ? 0 : WC_NO_BEST_FIT_CHARS;
    const int bytes = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string converted(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), length, converted.data(), bytes, nullptr, nullptr);
    return converted;
}

std::optional<std::string> ToAnsiExactly(std::wstring_view text) {
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX) return std::nullopt;
    const int length = static_cast<int>(text.size());
    // UTF-8 as the ANSI code page carries everything and takes neither the flag nor the check.
    const UINT codePage = GetACP();
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = utf ? nullptr : &usedDefault;
    const int bytes = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, usedDefaultOut);
    if (bytes <= 0 || usedDefault) return std::nullopt;
    std::string converted(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), length, converted.data(), bytes, nullptr, usedDefaultOut);
    // The way back must give the very text: what the registry's "A" calls will make of it.
    if (usedDefault || FromAnsi(converted) != text) return std::nullopt;
    return converted;
}

}  // namespace velmora
