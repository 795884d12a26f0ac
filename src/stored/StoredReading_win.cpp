#include <algorithm>
#include <utility>

#include "misc/Ansi.h"
#include "misc/Failure.h"
#include "stored/StoredDocument.h"
#include "stored/StoredNames.h"
#include "stored/StoredReading.h"

namespace velmora {
namespace {

bool SameLetters(std::wstring_view left, std::wstring_view right) {
    return CompareStringOrdinal(left.data(), static_cast<int>(left.size()), right.data(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

StoreReading ReadStore(const ReadingAsked& asked, const Abandoned* abandoned) {
    StoreReading reading;
    reading.asked = asked;
    reading.screenNames = StoredScreenNames(abandoned);
    if (!(abandoned && abandoned->load(std::memory_order_relaxed))) reading.heldNames = OwnScreenNames();
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
    UniqueKernelHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // an ask
    Abandoned abandoned{false};
    SRWLOCK lock = SRWLOCK_INIT;
    // Under the lock. The reading thread alone changes `underWay`, and reads it without the lock.
    unsigned long serial = 0;
    std::optional<ReadingAsked> waiting;  // asked with `waitingSerial`, not yet begun
    unsigned long waitingSerial = 0;
    std::optional<ReadingAsked> underWay;
    Mailbox<std::optional<StoreReading>> ready;
};

bool StoreReader::Start(HWND window, UINT message) noexcept {
    Stop();
    try {
        auto shared = std::make_shared<Shared>();
        if (!shared->wake) {
            ReportFailure(L"Stored Messages' reading: no event");
            return false;
        }
        shared->ready.Open(window, message);
        // The thread's own share, so it may outlive this reader.
        if (!thread_.Start([shared](HANDLE stop) { Run(*shared, stop); }, L"Stored Messages' reading")) return false;
        shared_ = std::move(shared);
        return true;
    } catch (...) {
        ReportCaughtFailure(L"Stored Messages' reading: start");
        return false;
    }
}

unsigned long StoreReader::Ask(ReadingAsked asked) {
    if (!shared_) return 0;
    unsigned long serial = 0;
    {
        ScopedLock hold(shared_->lock);
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
    return shared_->ready.Take();
}

void StoreReader::Stop() noexcept {
    if (!shared_) return;
    shared_->ready.Close();
    shared_->abandoned = true;
    thread_.Stop();
    shared_.reset();
}

void StoreReader::Run(Shared& shared, HANDLE stop) {
    for (;;) {
        const HANDLE events[] = {stop, shared.wake.get()};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        for (;;) {
            unsigned long serial = 0;
            {
                ScopedLock hold(shared.lock);
                if (StopAsked(stop) || !shared.waiting) break;
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
                // This reading is lost; the next change asks again.
                ReportCaughtFailure(L"Stored Messages' reading");
                reading.reset();
            }
            bool abandoned = false;
            {
                ScopedLock hold(shared.lock);
                shared.underWay.reset();
                abandoned = shared.abandoned;
            }
            if (!reading || abandoned) continue;
            shared.ready.Put([&](std::optional<StoreReading>& held) { held = std::move(reading); });
        }
    }
}

}  // namespace velmora
