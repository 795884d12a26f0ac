#include <windows.h>

#include "misc/DateTime.h"

namespace velmora {

std::wstring ShortDateNow() {
    wchar_t buffer[128]{};
    const int written = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, 128);
    return written > 0 ? std::wstring(buffer) : std::wstring();
}

std::wstring ShortTimeNow() {
    // The short time format has its own setting; without it, the long one less its seconds.
    constexpr LCTYPE kShortTime = 0x79;  // LOCALE_SSHORTTIME, which older headers lack
    wchar_t format[80]{};
    wchar_t buffer[128]{};
    const int written = GetLocaleInfoW(LOCALE_USER_DEFAULT, kShortTime, format, 80) > 1
                            ? GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, format, buffer, 128)
                            : GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buffer, 128);
    return written > 0 ? std::wstring(buffer) : std::wstring();
}

}  // namespace velmora
