#include <atomic>
#include <optional>
#include <utility>
#include <vector>

#include "aim/AIM.h"
#include "aim/ImText.h"
#include "autoreply/AutoReplyWatch.h"
#include "autoreply/ConversationTracker.h"
#include "misc/DateTime.h"
#include "misc/Failure.h"
#include "misc/Text.h"
#include "storage/RegStore.h"

namespace velmora {

struct AutoReplyWatch::Shared {
    explicit Shared(WatchClock watchClock) : clock(watchClock) {}

    const WatchClock clock;
    SRWLOCK lock = SRWLOCK_INIT;
    UniqueKernelHandle tickAsked{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    // Guarded by the lock.
    bool tickWanted = false;
    bool switchedOn = false;
    std::uint64_t ticksDone = 0;
    AutoReplySettings settings;
    // Set by SwitchOff, cleared by SwitchOn: the tick under way sends nothing more.
    std::atomic<bool> off{false};
    Mailbox<std::vector<AutoReplyLogRow>> log;
    // The thread's own.
    ConversationTracker tracker;
};

namespace {

using Shared = AutoReplyWatch::Shared;

// Rows the window has not taken yet are not kept past this many (it takes them when told).
constexpr std::size_t kMostRowsWaiting = 1000;

std::uint64_t SteadyNow() { return GetTickCount64(); }

std::uint64_t IdleNow() {
    LASTINPUTINFO input{};
    input.cbSize = sizeof input;
    if (!GetLastInputInfo(&input)) return 0;
    // Both in the 32-bit tick count, which wraps: the difference is right across the wrap.
    return static_cast<DWORD>(GetTickCount() - input.dwTime);
}

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

// Hands a log row to the window; nothing reaches it once the watch has stopped.
void Post(Shared& shared, AutoReplyLogRow row) {
    shared.log.Put([&](std::vector<AutoReplyLogRow>& waiting) {
        if (waiting.size() >= kMostRowsWaiting) waiting.erase(waiting.begin());
        waiting.push_back(std::move(row));
    });
}

void RunTick(Shared& shared, const AutoReplySettings& settings, HANDLE stop) {
    if (shared.tracker.OwnNamesDue(shared.clock.nowMs()))
        shared.tracker.KnowOwnNames(OwnScreenNames(), shared.clock.nowMs());
    std::vector<ConversationReading> readings;
    for (ImWindow im : ImWindows()) readings.push_back(Read(im, shared.tracker));
    const TickClock clock{shared.clock.nowMs(), shared.clock.idleMs()};
    const std::vector<ConversationAnswer> answers = shared.tracker.Tick(readings, settings, clock);
    for (const ConversationAnswer& answer : answers) {
        // Switched Off, or closing: the replies not yet begun wait for a later tick.
        if (shared.off || StopAsked(stop)) {
            shared.tracker.NotSent(answer.id);
            continue;
        }
        const auto im = reinterpret_cast<ImWindow>(answer.id);
        const std::wstring time = ShortTimeNow();
        const std::wstring reply = FillPlaceholders(answer.reply, answer.buddy, ShortDateNow(), time);
        // On this thread the window never waits: a reply once written is finished however long
        // the client takes, so the draft always comes back after it.
        const ImReplyReport report = SendImReply(im, reply, ImReplyPatience::FinishWhatWasWritten, &shared.off);
        const bool closed = report.outcome == ImReplyOutcome::WindowClosed;
        if (!report.reachedClient || report.outcome == ImReplyOutcome::Withdrawn || closed) {
            // Nothing of it went out: tried again at a later tick (a closed window is forgotten).
            shared.tracker.NotSent(answer.id);
            if (!report.reachedClient && !closed) continue;
        } else {
            const ImLength after = ConversationLengthOf(im);
            // Known again by what the conversation shows of it, entities and references as written.
            shared.tracker.Sent(
                answer.id, report.written,
                after.answer == ImAnswer::InTime ? std::optional<std::size_t>(after.length) : std::nullopt);
        }
        AutoReplyLogRow row;
        row.time = time;
        row.buddy = answer.buddy;
        row.words = FirstWords(reply);
        row.senderChecked = answer.senderChecked;
        row.delivered = report.Sent();
        row.outcome = report.outcome;
        row.draft = report.draft;
        Post(shared, std::move(row));
    }
}

void Watch(Shared& shared, HANDLE stop) {
    for (;;) {
        const HANDLE events[] = {stop, shared.tickAsked.get()};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        AutoReplySettings settings;
        bool switchedOn = false;
        bool tickWanted = false;
        {
            ScopedLock hold(shared.lock);
            if (!shared.tickWanted && !shared.switchedOn) continue;
            tickWanted = std::exchange(shared.tickWanted, false);
            switchedOn = std::exchange(shared.switchedOn, false);
            settings = shared.settings;
        }
        try {
            if (switchedOn) TakePicture(shared);
            if (tickWanted) RunTick(shared, settings, stop);
        } catch (...) {
            // The next tick tries again.
            ReportCaughtFailure(L"Auto Reply's watch: a tick");
        }
        ScopedLock hold(shared.lock);
        ++shared.ticksDone;
    }
}

}  // namespace

std::wstring OutcomeWords(const AutoReplyLogRow& row) {
    std::wstring words;
    switch (row.outcome) {
        case ImReplyOutcome::Sent: break;
        case ImReplyOutcome::SentSlowly: words = L" (sent; the IM window was slow to take it)"; break;
        case ImReplyOutcome::WindowClosed: words = L" (not sent: the IM window was closed)"; break;
        case ImReplyOutcome::ClientBusy: words = L" (not sent: the IM window stopped answering)"; break;
        case ImReplyOutcome::Withdrawn: words = L" (not sent: Auto Reply was switched off)"; break;
    }
    if (row.draft == ImDraftOutcome::PutBack) words += L" (your unsent text was put back)";
    if (row.draft == ImDraftOutcome::NotPutBack) words += L" (your unsent text could not be put back)";
    return words;
}

WatchClock SystemClock() { return {&SteadyNow, &IdleNow}; }

AutoReplyWatch::AutoReplyWatch(WatchClock clock) : shared_(std::make_shared<Shared>(clock)) {}

AutoReplyWatch::~AutoReplyWatch() { Stop(); }

bool AutoReplyWatch::Start(HWND window, UINT logMessage) {
    if (!shared_->tickAsked) {
        ReportFailure(L"Auto Reply's watch: no event");
        return false;
    }
    shared_->log.Open(window, logMessage);
    // The thread keeps the shared state alive for as long as it runs.
    return thread_.Start([shared = shared_](HANDLE stop) { Watch(*shared, stop); }, L"Auto Reply's watch");
}

void AutoReplyWatch::Stop() noexcept {
    thread_.Stop();
    shared_->log.Close();
}

std::vector<AutoReplyLogRow> AutoReplyWatch::TakeLog() noexcept { return shared_->log.Take(); }

void AutoReplyWatch::SwitchOn() {
    shared_->off = false;
    {
        ScopedLock hold(shared_->lock);
        shared_->switchedOn = true;
    }
    // The picture is taken now, not at the window's next tick.
    SetEvent(shared_->tickAsked.get());
}

void AutoReplyWatch::SwitchOff() noexcept {
    shared_->off = true;
    ScopedLock hold(shared_->lock);
    shared_->tickWanted = false;
}

std::uint64_t AutoReplyWatch::TicksDone() const noexcept {
    ScopedLock hold(shared_->lock);
    return shared_->ticksDone;
}

void AutoReplyWatch::Tick(const AutoReplySettings& settings) {
    {
        ScopedLock hold(shared_->lock);
        shared_->settings = settings;
        shared_->tickWanted = true;
    }
    SetEvent(shared_->tickAsked.get());
}

}  // namespace velmora
