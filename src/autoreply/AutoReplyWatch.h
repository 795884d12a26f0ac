#pragma once
// Auto Reply's watch: on each tick the window asks for, a thread of its own looks at every IM
// window, reads a conversation only when its length changed, and sends the replies the tracker
// decides on, so the window never waits on an IM window. Each reply sent comes back to the
// window as a posted message carrying its log row.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "autoreply/AutoReplyRules.h"

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
    bool delivered = true;      // false: the IM window stopped answering during the send
};

class AutoReplyWatch {
public:
    explicit AutoReplyWatch(WatchClock clock = SystemClock());
    ~AutoReplyWatch();
    AutoReplyWatch(const AutoReplyWatch&) = delete;
    AutoReplyWatch& operator=(const AutoReplyWatch&) = delete;

    // Starts the thread; each reply sent is posted to the window as `logMessage` with an
    // AutoReplyLogRow* in lParam, which the window takes over (and deletes).
    bool Start(HWND window, UINT logMessage);
    // No message is posted once this returns. The thread ends by itself after the tick it may
    // be in (which waits only on the bounded messages to the IM windows): nothing waits for it.
    void Stop() noexcept;
    // The switch went on: the thread takes what the windows show now as read, at once (this
    // counts as a tick done).
    void SwitchOn();
    // Asks for one tick with these rules. Asked again while a tick runs, one more follows it,
    // with the newest rules.
    void Tick(const AutoReplySettings& settings);
    // How many ticks have run to their end (tests wait for ticks by it).
    std::uint64_t TicksDone() const noexcept;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace velmora
