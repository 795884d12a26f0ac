#include <string>

#include "misc/Ansi.h"
#include "misc/Failure.h"
#include "misc/Handles.h"
#include "storage/Reg.h"
#include "storage/RegValues.h"

namespace velmora {
namespace {

StoreResult Failed(StoreStep step, LONG error) { return {step, error}; }

// The screen name and the slot name a key and a value: converted exactly or not at all, and
// the guard applied to the name as the registry will read it.
StoreResult CheckNames(std::wstring_view screenName, std::wstring_view slotText) {
    const std::optional<std::string> name = ToAnsiExactly(screenName);
    if (!name) return Failed(StoreStep::NameNotInCodePage, 0);
    if (!IsUsableScreenName(FromAnsi(*name))) return Failed(StoreStep::NameUnusable, 0);
    if (!ToAnsiExactly(slotText)) return Failed(StoreStep::SlotNotInCodePage, 0);
    return {};
}

}  // namespace

StoreResult WriteRegValue(HKEY root, std::wstring_view keyPath, std::wstring_view valueName,
                          std::wstring_view text) noexcept {
    try {
        UniqueHkey key;
        if (const LONG error = RegCreateKeyA(root, ToAnsi(keyPath).c_str(), key.put()))
            return Failed(StoreStep::OpenKey, error);
        const std::string data = ToAnsi(text);
        // REG_SZ data carries its terminating NUL, so readers get a terminated string.
        if (const LONG error =
                RegSetValueExA(key.get(), ToAnsi(valueName).c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1)))
            return Failed(StoreStep::StoreValue, error);
        if (const LONG error = RegFlushKey(key.get())) return Failed(StoreStep::FlushKey, error);
        return {};
    } catch (...) {
        ReportCaughtFailure(L"Writing a registry value");
        return Failed(StoreStep::StoreValue, ERROR_NOT_ENOUGH_MEMORY);
    }
}

StoreResult RemoveRegValue(HKEY root, std::wstring_view keyPath, std::wstring_view valueName) noexcept {
    try {
        UniqueHkey key;
        if (const LONG error = RegOpenKeyA(root, ToAnsi(keyPath).c_str(), key.put()))
            return error == ERROR_FILE_NOT_FOUND ? StoreResult{} : Failed(StoreStep::OpenKey, error);
        if (const LONG error = RegDeleteValueA(key.get(), ToAnsi(valueName).c_str()))
            return error == ERROR_FILE_NOT_FOUND ? StoreResult{} : Failed(StoreStep::RemoveValue, error);
        return {};
    } catch (...) {
        ReportCaughtFailure(L"Removing a registry value");
        return Failed(StoreStep::RemoveValue, ERROR_NOT_ENOUGH_MEMORY);
    }
}

UniqueHkey OpenForReading(HKEY root, const std::wstring& path) {
    UniqueHkey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

bool ReadValueData(HKEY key, const std::wstring& name, DWORD& type, std::string& data) {
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
    // The value may grow between asking its size and reading it; a few tries settle it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        data.resize(bytes);
        DWORD room = bytes;
        const LSTATUS status =
            RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &room);
        if (status == ERROR_SUCCESS) {
            data.resize(room);
            return true;
        }
        if (status != ERROR_MORE_DATA) return false;
        bytes = room;
    }
    return false;
}

LSTATUS SetTextData(HKEY key, const std::wstring& name, const std::string& data) noexcept {
    try {
        // The system counts a terminating NUL the caller seems to have forgotten: data whose last
        // unit is not NUL but whose next unit in memory is. A copy followed by units that are not
        // NUL keeps the count exactly what was read.
        std::string exact = data;
        exact.append(4, '\x01');
        return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(exact.data()),
                              static_cast<DWORD>(data.size()));
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

StoreResult WriteAwayMessage(std::wstring_view screenName, std::wstring_view slotText, std::wstring_view document) {
    if (const StoreResult names = CheckNames(screenName, slotText); !names.Done()) return names;
    return WriteRegValue(HKEY_CURRENT_USER, AwayKeyPath(screenName), AwayValueName(slotText), document);
}

StoreResult RemoveAwayMessage(std::wstring_view screenName, std::wstring_view slotText) {
    if (const StoreResult names = CheckNames(screenName, slotText); !names.Done()) return names;
    return RemoveRegValue(HKEY_CURRENT_USER, AwayKeyPath(screenName), AwayValueName(slotText));
}

}  // namespace velmora
