#pragma once
// Which conversations Auto Reply answers, given what each tick read from the IM windows.
//
// A conversation is one IM window, known by its id (its handle) for as long as it is listed;
// a window no longer listed is forgotten, so one opened again is a new conversation. A line is
// answered only when it is new: the line that was last when the switch was turned on has been
// read by the user, a window's text is looked at again only when its length changes, and
// Velmora's own reply is never taken for a buddy's line. Each conversation is answered at most
// once per interval ("never": once for as long as the window is open).
//
// The buddy is the one the window's title names ("pal42 - Instant Message"): a line is answered
// only when its sender is that buddy, so nobody gets another buddy's reply by typing a line
// that looks like theirs. Under a title of another form the sender is taken as the line shows
// it, and the answer says that it could not be checked.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "autoreply/AutoReplyRules.h"

namespace velmora {

using ConversationId = std::uintptr_t;

// What one tick read from one IM window.
struct ConversationReading {
    ConversationId id = 0;
    std::wstring title;
    // False when the window did not answer in time, or answered nonsense: nothing is known of
    // it this tick, and it is left as it was (it is still open).
    bool answered = true;
    std::size_t length = 0;  // of the conversation's text
    // Read only when the tracker asked for it (NeedsText); otherwise left empty.
    bool textRead = false;
    std::wstring lastLine;  // plain text, beginning with the LF of its line break
    std::wstring sender;
};

struct TickClock {
    std::uint64_t nowMs = 0;   // a steady clock, for the intervals
    std::uint64_t idleMs = 0;  // how long the computer has had no input
};

// A reply to send: the rule's text with its placeholders still in it.
struct ConversationAnswer {
    ConversationId id = 0;
    std::wstring buddy;  // the sender as the conversation shows it (what %n becomes)
    std::wstring reply;
    std::size_t row = 0;        // the rule's row (settings.rules.size(): "Everyone else")
    bool senderChecked = true;  // false: the title names no buddy to check the sender against
};

class ConversationTracker {
public:
    // The switch went on: the windows listed at the next tick are taken as read.
    void SwitchOn();
    // Whether a window's text is to be read at this tick: it is new, or its length changed.
    bool NeedsText(ConversationId id, std::size_t length) const;
    // Every window listed now, one reading each; returns the conversations to answer now.
    std::vector<ConversationAnswer> Tick(std::span<const ConversationReading> readings,
                                         const AutoReplySettings& settings, const TickClock& clock);
    // The answer went into the window (or was tried: a reply that may have gone out counts).
    // sentText is the reply as filled in; lengthAfter the conversation's length read right
    // after, when it could be read (the reply's own line is then behind it).
    void Sent(ConversationId id, std::wstring_view sentText, std::optional<std::size_t> lengthAfter);
    // Nothing of the answer reached the window (its client was still busy with an earlier
    // message): it is as if it had not been decided, and the line is looked at again next tick.
    void NotSent(ConversationId id);

    std::size_t KnownConversations() const noexcept { return conversations_.size(); }

private:
    struct Conversation {
        bool read = false;         // a length (and line) has been taken in
        bool takenAsRead = false;  // listed at the switch's first tick: its line is the user's
        std::size_t length = 0;
        std::optional<std::uint64_t> answeredAtMs;
        std::optional<std::uint64_t> answeredBeforeMs;  // answeredAtMs before the last answer
        bool lookAgain = false;                         // the last answer did not go out
        std::wstring ownLine;  // the last line of the reply sent, as it shows in the conversation
        bool seen = false;     // listed at this tick
    };

    std::optional<ConversationAnswer> Consider(const ConversationReading& reading, Conversation& conversation,
                                               const AutoReplySettings& settings, const TickClock& clock) const;

    std::unordered_map<ConversationId, Conversation> conversations_;
    bool firstTick_ = true;
};

}  // namespace velmora
