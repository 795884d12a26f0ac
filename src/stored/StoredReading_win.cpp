#include <algorithm>
#include <utility>

#include "misc/Ansi.h"
#include "stored/StoredDocument.h"
#include "stored/StoredNames.h"
#include "stored/StoredReading.h"

namespace velmora {
namespace {

// The window does not wait longer than this on closing: a reading caught in one long registry
// call ends by itself, holding its own share of what it uses.
constexpr DWORD kMostStopWaitMs = 200;

bool SameLetters(std::wstring_view left, std::wstring_view right) {
    return CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK& lock_;
};

}  // namespace

StoreReading ReadStore(const ReadingAsked& asked, const Abandoned* abandoned) {
    StoreReading reading;
    reading.asked = asked;
    reading.screenNames = StoredScreenNames(abandoned);
    const std::vector<std::wstring>& names = reading.screenNames;
    const auto found = std::find_if(names.begin(), names.end(),
                                    [&](const std::wstring& name) { return SameLetters(name, asked.screenName); });
    if (found != names.end())
        reading.chosen = static_cast<std::size_t>(found - names.begin());
    else if (asked.elseFirst && !names.empty())
        reading.chosen = 0;
    if (!reading.chosen) return reading;

    reading.values = StoredValues(names[*reading.chosen], abandoned);
    std::sort(reading.values.begin(), reading.values.end(),
              [](const StoredValue& left, const StoredValue& right) { return ListedBefore(left.name, right.name); });
    // Each label is read from its whole document: thousands of long ones take their time too.
    reading.rows.reserve(reading.values.size());
    for (const StoredValue& value : reading.values) {
        if (abandoned && abandoned->load(std::memory_order_relaxed)) break;
        const std::wstring label =
            value.IsMessage() ? ReadAwayDocument(value.text, AnsiCarries).label.value_or(L"") : L"";
        reading.rows.push_back(RowText(value.name, value.IsMessage(), label));
    }
    reading.values.resize(reading.rows.size());
    return reading;
}

struct StoreReader::Shared {
    HWND window = nullptr;
    UINT message = 0;
    UniqueKernelHandle wake;  // an ask, or the stop
    Abandoned abandoned{false};
    SRWLOCK lock = SRWLOCK_INIT;
    // Under the lock. The reading thread alone changes `underWay`, and reads it without the lock.
    unsigned long serial = 0;
    std::optional<ReadingAsked> waiting;  // asked with `waitingSerial`, not yet begun
    unsigned long waitingSerial = 0;
    std::optional<ReadingAsked> underWay;
    std::optional<StoreReading> ready;
    bool posted = false;  // the window has been told of `ready` and not yet taken it
    bool stopped = false;
};

bool StoreReader::Start(HWND window, UINT message) noexcept {
    Stop();
    try {
        auto shared = std::make_shared<Shared>();
        shared->window = window;
        shared->message = message;
        shared->wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!shared->wake) return false;
        // The thread's own share, so it may outlive this reader.
        auto share = std::make_unique<std::shared_ptr<Shared>>(shared);
        thread_.reset(CreateThread(nullptr, 0, &StoreReader::Run, share.get(), 0, nullptr));
        if (!thread_) return false;
        share.release();
        shared_ = std::move(shared);
        return true;
    } catch (...) {
        return false;
    }
}

unsigned long StoreReader::Ask(ReadingAsked asked) {
    if (!shared_) return 0;
    unsigned long serial = 0;
    {
        ExclusiveLock hold(shared_->lock);
        serial = ++shared_->serial;
        if (shared_->underWay && !(*shared_->underWay == asked)) shared_->abandoned = true;
        shared_->waiting = std::move(asked);
        shared_->waitingSerial = serial;
    }
    SetEvent(shared_->wake.get());
    return serial;
}

std::optional<StoreReading> StoreReader::Take() noexcept {
    if (!shared_) return std::nullopt;
    ExclusiveLock hold(shared_->lock);
    shared_->posted = false;
    return std::exchange(shared_->ready, std::nullopt);
}

void StoreReader::Stop() noexcept {
    if (!shared_) return;
    {
        ExclusiveLock hold(shared_->lock);
        shared_->stopped = true;
        shared_->abandoned = true;
    }
    SetEvent(shared_->wake.get());
    WaitForSingleObject(thread_.get(), kMostStopWaitMs);
    thread_.reset();
    shared_.reset();
}

DWORD WINAPI StoreReader::Run(void* share) noexcept {
    const std::unique_ptr<std::shared_ptr<Shared>> own(static_cast<std::shared_ptr<Shared>*>(share));
    Shared& shared = **own;
    for (;;) {
        WaitForSingleObject(shared.wake.get(), INFINITE);
        for (;;) {
            unsigned long serial = 0;
            {
                ExclusiveLock hold(shared.lock);
                if (shared.stopped) return 0;
                if (!shared.waiting) break;
                shared.underWay = std::move(shared.waiting);
                shared.waiting.reset();
                serial = shared.waitingSerial;
                shared.abandoned = false;
            }
            std::optional<StoreReading> reading;
            try {
                reading = ReadStore(*shared.underWay, &shared.abandoned);
                reading->serial = serial;
            } catch (...) {
                // Out of memory: this reading is lost; the next change asks again.
                reading.reset();
            }
            ExclusiveLock hold(shared.lock);
            shared.underWay.reset();
            if (shared.stopped) return 0;
            if (!reading || shared.abandoned) continue;
            shared.ready = std::move(reading);
            // Posted while the lock holds off Stop: nothing reaches a window that has closed.
            if (!shared.posted) shared.posted = PostMessageW(shared.window, shared.message, 0, 0) != FALSE;
        }
    }
}

}  // namespace velmora
