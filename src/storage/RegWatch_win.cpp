#include "storage/Reg.h"
#include "storage/RegStore.h"
#include "storage/RegValues.h"

namespace velmora {
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

bool AwayStoreWatch::Start(HWND window, UINT message) noexcept {
    Stop();
    window_ = window;
    message_ = message;
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    armed_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_ || !armed_) return false;
    thread_.reset(CreateThread(nullptr, 0, &AwayStoreWatch::Run, this, 0, nullptr));
    if (!thread_) return false;
    // Every change after Start is seen: it returns once the first watch is set (or the thread ended).
    const HANDLE either[] = {armed_.get(), thread_.get()};
    WaitForMultipleObjects(2, either, FALSE, INFINITE);
    return true;
}

void AwayStoreWatch::Stop() noexcept {
    if (!thread_) return;
    SetEvent(stop_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    stop_.reset();
}

void AwayStoreWatch::Acknowledge() noexcept { InterlockedExchange(&posted_, 0); }

DWORD WINAPI AwayStoreWatch::Run(void* self) noexcept {
    static_cast<AwayStoreWatch*>(self)->Watch();
    return 0;
}

void AwayStoreWatch::Watch() noexcept {
    try {
        WatchUntilStopped();
    } catch (...) {
        // Out of memory: the list is no longer followed, and the window still closes cleanly.
    }
}

void AwayStoreWatch::WatchUntilStopped() {
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
