#include <string>

#include "misc/Ansi.h"
#include "misc/Handles.h"
#include "storage/Reg.h"
#include "storage/RegValues.h"

namespace velmora {

void WriteRegValue(HKEY root, std::wstring_view keyPath, std::wstring_view valueName, std::wstring_view text) noexcept {
    try {
        UniqueHkey key;
        RegCreateKeyA(root, ToAnsi(keyPath).c_str(), key.put());
        const std::string data = ToAnsi(text);
        // REG_SZ data carries its terminating NUL, so readers get a terminated string.
        RegSetValueExA(key.get(), ToAnsi(valueName).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
        RegFlushKey(key.get());
    } catch (...) {
        // An allocation failure skips the write, like any other failed step.
    }
}

void RemoveRegValue(HKEY root, std::wstring_view keyPath, std::wstring_view valueName) noexcept {
    try {
        UniqueHkey key;
        RegOpenKeyA(root, ToAnsi(keyPath).c_str(), key.put());
        RegDeleteValueA(key.get(), ToAnsi(valueName).c_str());
    } catch (...) {
    }
}

void WriteAwayMessage(std::wstring_view screenName, std::wstring_view slotText, std::wstring_view document) {
    if (!IsUsableScreenName(screenName)) return;
    WriteRegValue(HKEY_CURRENT_USER, AwayKeyPath(screenName), AwayValueName(slotText), document);
}

void RemoveAwayMessage(std::wstring_view screenName, std::wstring_view slotText) {
    if (!IsUsableScreenName(screenName)) return;
    RemoveRegValue(HKEY_CURRENT_USER, AwayKeyPath(screenName), AwayValueName(slotText));
}

}  // namespace velmora
