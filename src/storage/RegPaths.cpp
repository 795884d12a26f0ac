#include "storage/Reg.h"

namespace velmora {

std::wstring AwayKeyPath(std::wstring_view screenName) {
    std::wstring path = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";
    path += screenName;
    path += L"\\IAmGoneList";
    return path;
}

std::wstring AwayValueName(std::wstring_view slotText) {
    std::wstring name = L"GoneMsg";
    name += slotText;
    return name;
}

bool IsUsableScreenName(std::wstring_view screenName) {
    return screenName.find_first_not_of(L'\\') != std::wstring_view::npos;
}

}  // namespace velmora
