#include <algorithm>
#include <cstring>

#include "storage/Reg.h"
#include "stored/StoredMessages.h"
#include "stored/StoredNames.h"

namespace velmora {
namespace {

constexpr std::wstring_view kListKey = L"IAmGoneList";
// Registry key names are at most 255 characters, value names at most 16383.
constexpr DWORD kKeyNameRoom = 256;
constexpr DWORD kValueNameRoom = 16384;
// A screen name with backslashes nests keys; this deep is searched, and no more keys than this
// are looked at, so a huge tree below Users cannot stall the window.
constexpr int kDeepestName = 4;
constexpr std::size_t kMostKeysLooked = 10000;

UniqueHkey OpenForReading(HKEY root, const std::wstring& path) {
    UniqueHkey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

bool SameLetters(std::wstring_view left, std::wstring_view right) {
    return CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

void FindScreenNames(HKEY key, const std::wstring& prefix, int depth, std::size_t& looked,
                     std::vector<std::wstring>& names) {
    std::wstring child(kKeyNameRoom, L'\0');
    for (DWORD index = 0; looked < kMostKeysLooked; ++index, ++looked) {
        DWORD length = kKeyNameRoom;
        const LSTATUS status = RegEnumKeyExW(key, index, child.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        const std::wstring name(child.data(), length);
        if (SameLetters(name, kListKey)) continue;
        UniqueHkey sub = OpenForReading(key, name);
        if (!sub) continue;
        if (OpenForReading(sub.get(), std::wstring(kListKey))) names.push_back(prefix + name);
        if (depth + 1 < kDeepestName) FindScreenNames(sub.get(), prefix + name + L"\\", depth + 1, looked, names);
    }
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

std::wstring UsersKeyPath() {
    // The list key's path without its last two parts: "<screen name>\IAmGoneList".
    std::wstring path = AwayKeyPath(L"");
    path.resize(path.size() - kListKey.size() - 2);
    return path;
}

std::vector<std::wstring> StoredScreenNames() {
    std::vector<std::wstring> names;
    UniqueHkey users = OpenForReading(HKEY_CURRENT_USER, UsersKeyPath());
    if (!users) return names;
    std::size_t looked = 0;
    FindScreenNames(users.get(), L"", 0, looked, names);
    std::sort(names.begin(), names.end(), [](const std::wstring& left, const std::wstring& right) {
        return CompareStringOrdinal(left.c_str(), -1, right.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    return names;
}

std::vector<StoredValue> StoredValues(std::wstring_view screenName) {
    std::vector<StoredValue> values;
    if (!IsUsableScreenName(screenName)) return values;
    UniqueHkey list = OpenForReading(HKEY_CURRENT_USER, AwayKeyPath(screenName));
    if (!list) return values;
    std::wstring name(kValueNameRoom, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = kValueNameRoom;
        DWORD type = REG_NONE;
        const LSTATUS status = RegEnumValueW(list.get(), index, name.data(), &length, nullptr, &type, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        StoredValue value;
        value.name.assign(name.data(), length);
        value.type = type;
        if (value.IsMessage() && !ReadText(list.get(), value.name, value.text)) continue;
        values.push_back(std::move(value));
    }
    std::sort(values.begin(), values.end(),
              [](const StoredValue& left, const StoredValue& right) { return ListedBefore(left.name, right.name); });
    return values;
}

bool RemoveStoredValue(std::wstring_view screenName, std::wstring_view valueName) {
    if (!IsUsableScreenName(screenName)) return false;
    UniqueHkey list;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName).c_str(), 0, KEY_SET_VALUE, list.put()) !=
        ERROR_SUCCESS)
        return false;
    const bool removed = RegDeleteValueW(list.get(), std::wstring(valueName).c_str()) == ERROR_SUCCESS;
    if (removed) RegFlushKey(list.get());
    return removed;
}

// The watch.

namespace {

// The Users key, or while it is missing the nearest key above it that exists: its creation is a
// change there.
UniqueHkey OpenNearestKey(const std::wstring& usersPath, bool& isUsers) {
    std::wstring path = usersPath;
    isUsers = true;
    while (!path.empty()) {
        if (UniqueHkey key = OpenForReading(HKEY_CURRENT_USER, path)) return key;
        isUsers = false;
        const std::size_t cut = path.rfind(L'\\');
        path.resize(cut == std::wstring::npos ? 0 : cut);
    }
    UniqueHkey root;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, KEY_READ, root.put()) != ERROR_SUCCESS) root.reset();
    return root;
}

}  // namespace

bool StoredMessagesWatch::Start(HWND window, UINT message) noexcept {
    Stop();
    window_ = window;
    message_ = message;
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    armed_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_ || !armed_) return false;
    thread_.reset(CreateThread(nullptr, 0, &StoredMessagesWatch::Run, this, 0, nullptr));
    if (!thread_) return false;
    // Every change after Start is seen: it returns once the first watch is set (or the thread ended).
    const HANDLE either[] = {armed_.get(), thread_.get()};
    WaitForMultipleObjects(2, either, FALSE, INFINITE);
    return true;
}

void StoredMessagesWatch::Stop() noexcept {
    if (!thread_) return;
    SetEvent(stop_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    stop_.reset();
}

void StoredMessagesWatch::Acknowledge() noexcept { InterlockedExchange(&posted_, 0); }

DWORD WINAPI StoredMessagesWatch::Run(void* self) noexcept {
    static_cast<StoredMessagesWatch*>(self)->Watch();
    return 0;
}

void StoredMessagesWatch::Watch() noexcept {
    try {
        WatchUntilStopped();
    } catch (...) {
        // Out of memory: the list is no longer followed, and the window still closes cleanly.
    }
}

void StoredMessagesWatch::WatchUntilStopped() {
    UniqueKernelHandle changed(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!changed) return;
    const std::wstring usersPath = UsersKeyPath();
    constexpr DWORD kChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    // Only when the registry refuses a watch does the thread look again after a while.
    constexpr DWORD kRetryAfterRefusalMs = 2000;
    bool watchingUsers = false;
    UniqueHkey key = OpenNearestKey(usersPath, watchingUsers);
    // A watch lasts for one signal: it is set again on the same key, or on the nearest key that
    // is there when the watched one has gone.
    const auto arm = [&]() {
        if (key && RegNotifyChangeKeyValue(key.get(), TRUE, kChanges, changed.get(), TRUE) == ERROR_SUCCESS)
            return true;
        key = OpenNearestKey(usersPath, watchingUsers);
        return key && RegNotifyChangeKeyValue(key.get(), TRUE, kChanges, changed.get(), TRUE) == ERROR_SUCCESS;
    };
    bool armed = arm();
    SetEvent(armed_.get());
    for (;;) {
        const HANDLE events[] = {stop_.get(), changed.get()};
        const DWORD woke =
            WaitForMultipleObjects(armed ? 2 : 1, events, FALSE, armed ? INFINITE : kRetryAfterRefusalMs);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return;
        const bool wasUsers = watchingUsers;
        // Watching from above, the Users key may have come; watching Users, it may have gone.
        if (!watchingUsers || !OpenForReading(HKEY_CURRENT_USER, usersPath))
            key = OpenNearestKey(usersPath, watchingUsers);
        // Set again before the window is told, so no change after its reading goes unseen.
        armed = arm();
        // Changes above the Users key that do not bring it are no news to the window.
        if ((wasUsers || watchingUsers) && InterlockedExchange(&posted_, 1) == 0) {
            if (!PostMessageW(window_, message_, 0, 0)) InterlockedExchange(&posted_, 0);
        }
    }
}

}  // namespace velmora
