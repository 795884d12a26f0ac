#pragma once
// Auto Reply's watch: on each tick the window asks for, a thread of its own looks at every IM
// window, reads a conversation only when its length changed, and sends the replies the tracker
// decides on, so the window never waits on an IM window. The log rows of the replies come back
// through a mailbox the window takes from when it is told.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "aim/AIM.h"
#include "autoreply/AutoReplyRules.h"
#include "misc/Background.h"

namespace velmora {

// The clocks the watch goes by: a steady one for the intervals, and the time since this
// computer's last key press or pointer move. Tests hand in their own.
struct WatchClock {
    std::uint64_t (*nowMs)();
    std::uint64_t (*idleMs)();
};
WatchClock SystemClock();

struct AutoReplyLogRow {
    std::wstring time;  // the short time it was sent
    std::wstring buddy;
    std::wstring words;         // the reply's first words
    bool senderChecked = true;  // false: the window's title named no buddy to check against
    bool delivered = true;      // false: not sent (the outcome says why)
    ImReplyOutcome outcome = ImReplyOutcome::Sent;
    ImDraftOutcome draft = ImDraftOutcome::NoDraft;
};

// What happened to the reply and to the user's draft, in the log's words; empty for a reply sent
// in time with no draft to keep.
std::wstring OutcomeWords(const AutoReplyLogRow& row);

class AutoReplyWatch {
public:
    explicit AutoReplyWatch(WatchClock clock = SystemClock());
    ~AutoReplyWatch();
    AutoReplyWatch(const AutoReplyWatch&) = delete;
    AutoReplyWatch& operator=(const AutoReplyWatch&) = delete;

    // Starts the thread; when log rows wait to be taken, `logMessage` is posted to the window
    // (once, until it calls TakeLog). False, reported as a failure, when it could not start.
    bool Start(HWND window, UINT logMessage);
    // Stops, and waits for the thread: a reply on its way is finished and the user's draft put
    // back, bounded only by the client (kMostFinishWaitMs for a client that never answers); the
    // tick's other replies are not begun. No message is posted once this returns.
    void Stop() noexcept;
    // The log rows since the last call, oldest first.
    std::vector<AutoReplyLogRow> TakeLog() noexcept;
    // The switch went on: the thread takes what the windows show now as read, at once (this
    // counts as a tick done).
    void SwitchOn();
    // The switch went off: a tick under way sends no reply after this returns (one written but
    // not yet sent is taken out and the draft put back), and no tick asked for earlier runs.
    void SwitchOff() noexcept;
    // Asks for one tick with these rules. Asked again while a tick runs, one more follows it,
    // with the newest rules.
    void Tick(const AutoReplySettings& settings);
    // How many ticks have run to their end (tests wait for ticks by it).
    std::uint64_t TicksDone() const noexcept;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    BackgroundThread<StopPolicy::WaitForWork> thread_;
};

}  // namespace velmora
