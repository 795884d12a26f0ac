#include "misc/Failure.h"
#include "storage/Reg.h"
#include "storage/RegStore.h"
#include "storage/RegValues.h"

namespace velmora {
namespace {

// What one watch is set on: the Users key with everything below it, or while it is missing the
// nearest key above it that is there (its coming is a change there); and the key above that one,
// for its removal: a removed key tells nothing to a watch on itself, and a handle to it never
// sees a change again, not even when a key of the same path is made anew.
struct WatchedKeys {
    std::wstring path;
    UniqueHkey key;
    UniqueHkey parent;  // none when the key is HKEY_CURRENT_USER itself
    bool isUsers = false;
};

WatchedKeys OpenWatchedKeys(const std::wstring& usersPath) {
    WatchedKeys keys;
    std::wstring path = usersPath;
    keys.isUsers = true;
    while (!path.empty()) {
        const std::size_t cut = path.rfind(L'\\');
        const std::wstring parentPath = cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
        if ((keys.key = OpenForReading(HKEY_CURRENT_USER, path))) {
            keys.path = path;
            keys.parent = OpenForReading(HKEY_CURRENT_USER, parentPath);
            return keys;
        }
        keys.isUsers = false;
        path = parentPath;
    }
    keys.key = OpenForReading(HKEY_CURRENT_USER, path);
    return keys;
}

// The parent first: a key removed after that is seen there, and one removed before fails here.
bool Arm(const WatchedKeys& keys, HANDLE changed) {
    constexpr DWORD kChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
    if (keys.parent &&
        RegNotifyChangeKeyValue(keys.parent.get(), FALSE, REG_NOTIFY_CHANGE_NAME, changed, TRUE) != ERROR_SUCCESS)
        return false;
    return keys.key && RegNotifyChangeKeyValue(keys.key.get(), TRUE, kChanges, changed, TRUE) == ERROR_SUCCESS;
}

// Follows the keys until the stop event is set; `armed` is set once the first watch is.
void WatchUntilStopped(HANDLE stop, HANDLE armedEvent, Mailbox<bool>& news) {
    UniqueKernelHandle changed(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!changed) {
        ReportFailure(L"The registry watch: no event");
        return;
    }
    const std::wstring usersPath = UsersKeyPath();
    // Only when the registry refuses a watch does the thread look again after a while.
    constexpr DWORD kRetryAfterRefusalMs = 2000;
    // A watch lasts for one signal. It is set again on the same keys while their paths still
    // lead to them, else on the keys found now; a removed key refuses the watch, and is looked
    // up again. Only a change of keys closes handles: a handle closed with its watch set
    // signals once more.
    WatchedKeys keys;
    bool armed = false;
    const auto watchAgain = [&] {
        WatchedKeys found = OpenWatchedKeys(usersPath);
        armed = found.path == keys.path && Arm(keys, changed.get());
        for (int attempt = 0; attempt < 2 && !armed; ++attempt) {
            if (attempt) found = OpenWatchedKeys(usersPath);
            keys = std::move(found);
            armed = Arm(keys, changed.get());
        }
        // The Users key may have come between the search and the watch.
        if (armed && !keys.isUsers && OpenForReading(HKEY_CURRENT_USER, usersPath)) SetEvent(changed.get());
    };
    watchAgain();
    SetEvent(armedEvent);
    for (;;) {
        const HANDLE events[] = {stop, changed.get()};
        const DWORD woke =
            WaitForMultipleObjects(armed ? 2 : 1, events, FALSE, armed ? INFINITE : kRetryAfterRefusalMs);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return;
        const bool wasUsers = keys.isUsers;
        // Set again before the window is told, so no change after its reading goes unseen.
        watchAgain();
        // Changes above the Users key that do not bring it are no news to the window.
        if (wasUsers || keys.isUsers) news.Put([](bool& held) { held = true; });
    }
}

}  // namespace

bool AwayStoreWatch::Start(HWND window, UINT message) noexcept {
    Stop();
    try {
        // Shared with the thread, which sets it however it ends, so Start never waits for nothing.
        auto armed = std::make_shared<UniqueKernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!*armed) {
            ReportFailure(L"The registry watch: no event");
            return false;
        }
        changed_.Open(window, message);
        const auto watch = [this, armed](HANDLE stop) {
            struct ArmedOnExit {
                HANDLE event;
                ~ArmedOnExit() { SetEvent(event); }
            } armedOnExit{armed->get()};
            WatchUntilStopped(stop, armed->get(), changed_);
        };
        if (!thread_.Start(watch, L"The registry watch")) return false;
        // Every change after Start is seen: it returns once the first watch is set (or the thread ended).
        WaitForSingleObject(armed->get(), INFINITE);
        return true;
    } catch (...) {
        ReportCaughtFailure(L"The registry watch: start");
        return false;
    }
}

void AwayStoreWatch::Stop() noexcept {
    thread_.Stop();
    changed_.Close();
}

void AwayStoreWatch::Acknowledge() noexcept { changed_.Take(); }

}  // namespace velmora
