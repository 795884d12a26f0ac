#include <algorithm>
#include <cstring>

#include "storage/Reg.h"
#include "storage/RegStore.h"
#include "storage/RegValues.h"

namespace velmora {
namespace {

constexpr std::wstring_view kListKey = L"IAmGoneList";
// Registry key names are at most 255 characters, value names at most 16383.
constexpr DWORD kKeyNameRoom = 256;
constexpr DWORD kValueNameRoom = 16384;
// A screen name with backslashes nests keys; names of up to this many parts are found. There
// is no bound on the number of keys: every screen name is listed, whatever lies beside it.
constexpr int kMostNameParts = 4;

bool SameLetters(std::wstring_view left, std::wstring_view right) {
    return CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

bool IsAbandoned(const Abandoned* abandoned) noexcept {
    return abandoned && abandoned->load(std::memory_order_relaxed);
}

// The key of `name` (Users itself for none) is a screen name's when an IAmGoneList is among its
// keys; each other key below it may be a screen name with one more part.
void FindScreenNames(HKEY key, const std::wstring& name, int parts, std::vector<std::wstring>& names,
                     const Abandoned* abandoned) {
    std::wstring child(kKeyNameRoom, L'\0');
    bool holdsList = false;
    for (DWORD index = 0; !IsAbandoned(abandoned); ++index) {
        DWORD length = kKeyNameRoom;
        const LSTATUS status = RegEnumKeyExW(key, index, child.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;  // longer than a key's name: no screen name
        if (status != ERROR_SUCCESS) break;       // no more keys, or the key itself has gone
        const std::wstring childName(child.data(), length);
        if (SameLetters(childName, kListKey)) {
            holdsList = true;
            continue;
        }
        if (parts == kMostNameParts) continue;
        if (UniqueHkey sub = OpenForReading(key, childName))
            FindScreenNames(sub.get(), parts ? name + L"\\" + childName : childName, parts + 1, names, abandoned);
    }
    if (holdsList && parts) names.push_back(name);
}

// REG_SZ data as stored: the text up to its first NUL, or all of it when it has none; an odd
// last byte is no character.
std::wstring TextOf(const std::vector<BYTE>& data, DWORD bytes) {
    const std::size_t characters = std::min<std::size_t>(bytes, data.size()) / sizeof(wchar_t);
    std::wstring text(characters, L'\0');
    if (characters) std::memcpy(text.data(), data.data(), characters * sizeof(wchar_t));
    const std::size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.resize(nul);
    return text;
}

// The value's data; false when it went away while being read.
bool ReadText(HKEY key, const std::wstring& name, std::wstring& text) {
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
    std::vector<BYTE> data;
    // The value may grow between asking its size and reading it; a few tries settle it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        data.resize(static_cast<std::size_t>(bytes) + sizeof(wchar_t));
        DWORD room = static_cast<DWORD>(data.size());
        const LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &room);
        if (status == ERROR_SUCCESS) {
            text = TextOf(data, room);
            return true;
        }
        if (status != ERROR_MORE_DATA) return false;
        bytes = room;
    }
    return false;
}

}  // namespace

std::vector<std::wstring> StoredScreenNames(const Abandoned* abandoned) {
    UniqueHkey users = OpenForReading(HKEY_CURRENT_USER, UsersKeyPath());
    return users ? ScreenNamesBelow(users.get(), abandoned) : std::vector<std::wstring>{};
}

std::vector<std::wstring> ScreenNamesBelow(HKEY users, const Abandoned* abandoned) {
    std::vector<std::wstring> names;
    FindScreenNames(users, L"", 0, names, abandoned);
    std::sort(names.begin(), names.end(), [](const std::wstring& left, const std::wstring& right) {
        return CompareStringOrdinal(left.c_str(), -1, right.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    return names;
}

std::vector<StoredValue> StoredValues(std::wstring_view screenName, const Abandoned* abandoned) {
    if (!IsUsableScreenName(screenName)) return {};
    UniqueHkey list = OpenForReading(HKEY_CURRENT_USER, AwayKeyPath(screenName));
    return list ? ValuesOf(list.get(), abandoned) : std::vector<StoredValue>{};
}

std::vector<StoredValue> ValuesOf(HKEY list, const Abandoned* abandoned) {
    std::vector<StoredValue> values;
    std::wstring name(kValueNameRoom, L'\0');
    for (DWORD index = 0; !IsAbandoned(abandoned); ++index) {
        DWORD length = kValueNameRoom;
        DWORD type = REG_NONE;
        const LSTATUS status = RegEnumValueW(list, index, name.data(), &length, nullptr, &type, nullptr, nullptr);
        // A removed key answers every index with an error: only "no more items" would end the
        // loop otherwise, after four billion calls.
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        StoredValue value;
        value.name.assign(name.data(), length);
        value.type = type;
        if (value.IsMessage() && !ReadText(list, value.name, value.text)) continue;
        values.push_back(std::move(value));
    }
    return values;
}

std::vector<std::wstring> OwnScreenNames() {
    std::vector<std::wstring> names;
    UniqueHkey users = OpenForReading(HKEY_CURRENT_USER, UsersKeyPath());
    if (!users) return names;
    std::wstring child(kKeyNameRoom, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = kKeyNameRoom;
        const LSTATUS status =
            RegEnumKeyExW(users.get(), index, child.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;  // no more keys, or the key itself has gone
        names.emplace_back(child.data(), length);
    }
    return names;
}

StoreResult RemoveStoredValue(std::wstring_view screenName, std::wstring_view valueName) {
    if (!IsUsableScreenName(screenName)) return {StoreStep::NameUnusable, 0};
    // A key or value that has gone meanwhile is nothing to remove, as for the main window's Delete.
    UniqueHkey list;
    if (const LSTATUS error =
            RegOpenKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName).c_str(), 0, KEY_SET_VALUE, list.put()))
        return error == ERROR_FILE_NOT_FOUND ? StoreResult{} : StoreResult{StoreStep::OpenKey, error};
    if (const LSTATUS error = RegDeleteValueW(list.get(), std::wstring(valueName).c_str()))
        return error == ERROR_FILE_NOT_FOUND ? StoreResult{} : StoreResult{StoreStep::RemoveValue, error};
    RegFlushKey(list.get());
    return {};
}

}  // namespace velmora
