#pragma once
// The reading behind the window "Stored Messages": the screen names and the chosen name's
// values, read on a thread of its own. In a large registry a reading takes seconds, and the
// window keeps answering meanwhile.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "misc/Background.h"
#include "storage/RegStore.h"

namespace velmora {

// What the window wants read.
struct ReadingAsked {
    std::wstring screenName;  // the chosen name, as the window holds it
    bool elseFirst = false;   // when no list is stored for it: the first name that has one
    bool operator==(const ReadingAsked&) const = default;
};

// One reading of the store, ready to be shown.
struct StoreReading {
    unsigned long serial = 0;  // of the ask it answers; asks count up from 1
    ReadingAsked asked;
    std::vector<std::wstring> screenNames;
    // Every screen name the client holds (a key below Users), with stored messages or not.
    std::vector<std::wstring> heldNames;
    std::optional<std::size_t> chosen;  // the asked name (as the registry spells it) among them
    std::vector<StoredValue> values;    // the chosen name's, in list order
    std::vector<std::wstring> rows;     // the list's row of each value
};

// Reads at once, on the caller's thread. An abandoned reading ends early with a part of it.
StoreReading ReadStore(const ReadingAsked& asked, const Abandoned* abandoned = nullptr);

// Reads what it is asked on its own thread and posts `message` to the window when a reading is
// ready to be taken. An ask for another thing ends the reading under way; an ask for the same
// again (the registry changed meanwhile) is read after it, so a stream of changes never keeps
// every reading from ending. Readings do not pile up: only the newest waits to be taken.
class StoreReader {
public:
    StoreReader() = default;
    StoreReader(const StoreReader&) = delete;
    StoreReader& operator=(const StoreReader&) = delete;
    ~StoreReader() { Stop(); }

    // False, reported as a failure, when the thread could not start.
    bool Start(HWND window, UINT message) noexcept;
    // Returns at once with the ask's serial; 0 when no reading thread runs.
    unsigned long Ask(ReadingAsked asked);
    // The newest reading, once; none when it has been taken.
    std::optional<StoreReading> Take() noexcept;
    // Ends the reading under way and posts nothing more; the window may close right after.
    void Stop() noexcept;

private:
    struct Shared;
    static void Run(Shared& shared, HANDLE stop);

    // A reading caught in one long registry call is not waited for long on closing: it ends by
    // itself, holding its own share of what it uses.
    static constexpr DWORD kMostStopWaitMs = 200;
    std::shared_ptr<Shared> shared_;
    BackgroundThread<StopPolicy::AbandonAfterBound, kMostStopWaitMs> thread_;
};

}  // namespace velmora
