#pragma once
// The away-message store as the AIM client holds it, read back: the screen names with stored
// away messages, their values, removing one, and a watch that tells a window when any of it
// changes.
//
// Names are read and used through the wide registry calls: a screen name or value name with
// characters outside the ANSI code page would come back from the "A" calls with "?" in their
// place, and then name another key or value, or none.
#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "misc/Background.h"
#include "misc/Handles.h"
#include "storage/Reg.h"

namespace velmora {

struct StoredValue {
    std::wstring name;  // exactly as the registry holds it
    DWORD type = REG_NONE;
    std::wstring text;  // REG_SZ only: the text up to its first NUL (or all, without one)

    bool IsMessage() const noexcept { return type == REG_SZ; }
    bool operator==(const StoredValue&) const = default;
};

// The readings below may take seconds in a large registry. Another thread that no longer wants
// one sets `abandoned`: the reading ends before its next key or value, with what it had.
using Abandoned = std::atomic<bool>;

// The screen names whose key holds an IAmGoneList, letter case aside in name order. A name
// with a backslash is a key below another one, and is found there too.
std::vector<std::wstring> StoredScreenNames(const Abandoned* abandoned = nullptr);
// The values of a screen name's IAmGoneList in the registry's order; none when the key is not
// there. Reading never creates or changes a key.
std::vector<StoredValue> StoredValues(std::wstring_view screenName, const Abandoned* abandoned = nullptr);
// The same from a key already open: the Users key, a screen name's list key. A key removed
// while it is read answers every further question with an error, and the reading ends there.
std::vector<std::wstring> ScreenNamesBelow(HKEY users, const Abandoned* abandoned = nullptr);
std::vector<StoredValue> ValuesOf(HKEY list, const Abandoned* abandoned = nullptr);
// The user's own screen names: every key right below the Users key (the AIM client makes one
// for each screen name that signs on), in the registry's order. None when there is no Users key.
std::vector<std::wstring> OwnScreenNames();
// Removes that one value; the key stays. A value that is not there is nothing to remove, which
// is done.
StoreResult RemoveStoredValue(std::wstring_view screenName, std::wstring_view valueName);

// Watches the Users key and everything below it, from a thread that sleeps until the registry
// signals a change (or the key appears, or is removed and made again, whole or with the keys above
// it), and posts `message` to the window then. Posts do not pile up: after one, the next waits
// until the window has called Acknowledge().
class AwayStoreWatch {
public:
    AwayStoreWatch() = default;
    AwayStoreWatch(const AwayStoreWatch&) = delete;
    AwayStoreWatch& operator=(const AwayStoreWatch&) = delete;
    ~AwayStoreWatch() { Stop(); }

    // Returns once the watch is set: no change after it goes unseen. False, reported as a
    // failure, when it could not start.
    bool Start(HWND window, UINT message) noexcept;
    // Ends the thread and waits for it (it waits only on events); the window may close right after.
    void Stop() noexcept;
    // The window has taken the posted message and reads the registry afresh.
    void Acknowledge() noexcept;

private:
    // True: the registry changed. The mailbox holds nothing else.
    Mailbox<bool> changed_;
    BackgroundThread<StopPolicy::WaitForWork> thread_;
};

}  // namespace velmora
