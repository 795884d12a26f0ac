#include "storage/Reg.h"

namespace velmora {

std::wstring UsersKeyPath() { return L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users"; }

std::wstring AwayKeyPath(std::wstring_view screenName) {
    std::wstring path = UsersKeyPath() + L"\\";
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

namespace velmora {
namespace {

// A name shown in a message box: a very long one is cut, the box stays readable.
std::wstring Quoted(std::wstring_view text) {
    constexpr size_t kShown = 60;
    std::wstring quoted = L"\"";
    quoted += text.substr(0, kShown);
    if (text.size() > kShown) quoted += L"...";
    quoted += L"\"";
    return quoted;
}

// The lines naming the value a registry call failed on, and the system's words for the failure.
std::wstring WhereAndWhy(std::wstring_view screenName, std::optional<std::wstring_view> slotText,
                         std::wstring_view valueName, std::wstring_view reason) {
    std::wstring where = L"HKEY_CURRENT_USER\\" + AwayKeyPath(screenName);
    if (where.size() > 200) where = where.substr(0, 160) + L"..." + where.substr(where.size() - 40);
    std::wstring text = L"Screen name: " + Quoted(screenName);
    if (slotText) text += L"\r\nSlot: " + Quoted(*slotText);
    text += L"\r\nWhere: " + where + L", value " + Quoted(valueName) + L"\r\nWhy: ";
    text += reason;
    return text;
}

}  // namespace

std::wstring StoreFailureText(bool update, const StoreResult& result, std::wstring_view screenName,
                              std::wstring_view slotText, std::wstring_view reason) {
    std::wstring text = update ? L"The away message was not stored." : L"The away message was not deleted.";
    text += L"\r\n\r\n";
    switch (result.step) {
        case StoreStep::Done: return {};
        case StoreStep::NameUnusable:
            text +=
                L"Type the screen name whose away messages you want to change: an empty screen name, or one of "
                L"backslashes only, names no user.";
            return text;
        case StoreStep::NameNotInCodePage:
            text += L"The screen name " + Quoted(screenName) +
                    L" has characters that this system's code page cannot hold. The AIM client keeps screen names "
                    L"in that code page, so the message would land under another name. Screen names are letters, "
                    L"digits and blanks.";
            return text;
        case StoreStep::SlotNotInCodePage:
            text += L"The slot " + Quoted(slotText) +
                    L" has characters that this system's code page cannot hold, so it would name another slot.";
            return text;
        case StoreStep::OpenKey:
        case StoreStep::StoreValue:
        case StoreStep::FlushKey:
        case StoreStep::RemoveValue: break;
    }
    text += WhereAndWhy(screenName, slotText, AwayValueName(slotText), reason);
    return text;
}

std::wstring RemoveFailureText(const StoreResult& result, std::wstring_view screenName,
                               std::optional<std::wstring_view> slotText, std::wstring_view valueName,
                               std::wstring_view reason) {
    if (result.Done()) return {};
    return L"The away message was not deleted.\r\n\r\n" + WhereAndWhy(screenName, slotText, valueName, reason);
}

}  // namespace velmora
