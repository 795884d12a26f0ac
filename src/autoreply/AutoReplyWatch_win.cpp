#include <optional>
#include <utility>
#include <vector>

#include "aim/AIM.h"
#include "aim/ImText.h"
#include "autoreply/AutoReplyWatch.h"
#include "autoreply/ConversationTracker.h"
#include "misc/DateTime.h"
#include "misc/Text.h"
#include "storage/RegStore.h"

namespace velmora {

struct AutoReplyWatch::Shared {
    explicit Shared(WatchClock watchClock) : clock(watchClock) {}

    const WatchClock clock;
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    // Guarded by the lock.
    HWND window = nullptr;
    UINT logMessage = 0;
    bool stopped = false;
    bool tickWanted = false;
    bool switchedOn = false;
    std::uint64_t ticksDone = 0;
    AutoReplySettings settings;
    // The thread's own.
    ConversationTracker tracker;
};

namespace {

using Shared = AutoReplyWatch::Shared;

std::uint64_t SteadyNow() { return GetTickCount64(); }

std::uint64_t IdleNow() {
    LASTINPUTINFO input{};
    input.cbSize = sizeof input;
    if (!GetLastInputInfo(&input)) return 0;
    // Both in the 32-bit tick count, which wraps: the difference is right across the wrap.
    return static_cast<DWORD>(GetTickCount() - input.dwTime);
}

struct Lock {
    explicit Lock(SRWLOCK& lock) : held(lock) { AcquireSRWLockExclusive(&held); }
    ~Lock() { ReleaseSRWLockExclusive(&held); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    SRWLOCK& held;
};

// What the window shows without its text: enough for the switch's picture.
ConversationReading LengthOf(ImWindow im) {
    ConversationReading reading;
    reading.id = reinterpret_cast<ConversationId>(im);
    reading.title = ImWindowTitle(im);
    const ImLength length = ConversationLengthOf(im);
    reading.answered = length.answer == ImAnswer::InTime;
    reading.length = reading.answered ? length.length : 0;
    return reading;
}

ConversationReading Read(ImWindow im, const ConversationTracker& tracker) {
    ConversationReading reading = LengthOf(im);
    if (!reading.answered || !tracker.NeedsText(reading.id, reading.length)) return reading;
    const ImReading markup = ConversationOf(im);
    if (markup.Failed()) {
        reading.answered = false;
        return reading;
    }
    reading.textRead = true;
    ImMessage newest = NewestImMessageOf(markup.text);
    reading.sender = std::move(newest.sender);
    reading.message = std::move(newest.text);
    reading.foreground = GetForegroundWindow() == im;
    return reading;
}

// What the user has read is what the windows show at the moment of switching on.
void TakePicture(Shared& shared) {
    std::vector<ConversationReading> shown;
    for (ImWindow im : ImWindows()) shown.push_back(LengthOf(im));
    shared.tracker.SwitchOn(shown);
}

// Hands a log row to the window, unless it has stopped the watch (it may be gone).
void Post(Shared& shared, std::unique_ptr<AutoReplyLogRow> row) {
    Lock lock(shared.lock);
    if (shared.stopped || !shared.window) return;
    if (PostMessageW(shared.window, shared.logMessage, 0, reinterpret_cast<LPARAM>(row.get()))) row.release();
}

void RunTick(Shared& shared, const AutoReplySettings& settings) {
    if (shared.tracker.OwnNamesDue(shared.clock.nowMs()))
        shared.tracker.KnowOwnNames(OwnScreenNames(), shared.clock.nowMs());
    std::vector<ConversationReading> readings;
    for (ImWindow im : ImWindows()) readings.push_back(Read(im, shared.tracker));
    const TickClock clock{shared.clock.nowMs(), shared.clock.idleMs()};
    const std::vector<ConversationAnswer> answers = shared.tracker.Tick(readings, settings, clock);
    for (const ConversationAnswer& answer : answers) {
        const auto im = reinterpret_cast<ImWindow>(answer.id);
        const std::wstring time = ShortTimeNow();
        const std::wstring reply = FillPlaceholders(answer.reply, answer.buddy, ShortDateNow(), time);
        bool reachedClient = false;
        const ImAnswer sent = SendImTextTo(im, reply, &reachedClient);
        if (!reachedClient) {
            // Its client was still busy with an earlier message: tried again at a later tick.
            shared.tracker.NotSent(answer.id);
            continue;
        }
        const ImLength after = ConversationLengthOf(im);
        shared.tracker.Sent(answer.id, reply,
                            after.answer == ImAnswer::InTime ? std::optional<std::size_t>(after.length) : std::nullopt);
        auto row = std::make_unique<AutoReplyLogRow>();
        row->time = time;
        row->buddy = answer.buddy;
        row->words = FirstWords(reply);
        row->senderChecked = answer.senderChecked;
        row->delivered = sent == ImAnswer::InTime;
        Post(shared, std::move(row));
    }
}

DWORD WINAPI Run(void* parameter) noexcept {
    const std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
    Shared& shared = **owned;
    for (;;) {
        AutoReplySettings settings;
        bool switchedOn = false;
        bool tickWanted = false;
        {
            Lock lock(shared.lock);
            while (!shared.stopped && !shared.tickWanted && !shared.switchedOn)
                SleepConditionVariableSRW(&shared.changed, &shared.lock, INFINITE, 0);
            if (shared.stopped) return 0;
            tickWanted = std::exchange(shared.tickWanted, false);
            switchedOn = std::exchange(shared.switchedOn, false);
            settings = shared.settings;
        }
        try {
            if (switchedOn) TakePicture(shared);
            if (tickWanted) RunTick(shared, settings);
        } catch (...) {
            // Out of memory in a tick: the next tick tries again.
        }
        Lock lock(shared.lock);
        ++shared.ticksDone;
    }
}

}  // namespace

WatchClock SystemClock() { return {&SteadyNow, &IdleNow}; }

AutoReplyWatch::AutoReplyWatch(WatchClock clock) : shared_(std::make_shared<Shared>(clock)) {}

AutoReplyWatch::~AutoReplyWatch() { Stop(); }

bool AutoReplyWatch::Start(HWND window, UINT logMessage) {
    {
        Lock lock(shared_->lock);
        shared_->window = window;
        shared_->logMessage = logMessage;
    }
    // The thread keeps the shared state alive for as long as it runs.
    auto* parameter = new std::shared_ptr<Shared>(shared_);
    HANDLE thread = CreateThread(nullptr, 0, &Run, parameter, 0, nullptr);
    if (!thread) {
        delete parameter;
        return false;
    }
    CloseHandle(thread);
    return true;
}

void AutoReplyWatch::Stop() noexcept {
    {
        Lock lock(shared_->lock);
        shared_->stopped = true;
        shared_->window = nullptr;
    }
    WakeAllConditionVariable(&shared_->changed);
}

void AutoReplyWatch::SwitchOn() {
    {
        Lock lock(shared_->lock);
        shared_->switchedOn = true;
    }
    // The picture is taken now, not at the window's next tick.
    WakeAllConditionVariable(&shared_->changed);
}

std::uint64_t AutoReplyWatch::TicksDone() const noexcept {
    Lock lock(shared_->lock);
    return shared_->ticksDone;
}

void AutoReplyWatch::Tick(const AutoReplySettings& settings) {
    {
        Lock lock(shared_->lock);
        shared_->settings = settings;
        shared_->tickWanted = true;
    }
    WakeAllConditionVariable(&shared_->changed);
}

}  // namespace velmora
