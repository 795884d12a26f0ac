#pragma once
// Which conversations Auto Reply answers, given what each tick read from the IM windows.
//
// A conversation is one IM window, known by its id (its handle) for as long as it is listed;
// a window no longer listed is forgotten, so one opened again is a new conversation. A line is
// answered only when it is new: what the windows showed at the moment the switch went on has
// been read by the user, a window's text is looked at again only when its length changes, and
// Velmora's own reply is never taken for a buddy's line. Each conversation is answered at most
// once per interval ("never": once for as long as the window is open).
//
// The buddy is the one the window's title names ("pal42 - Instant Message ..."): a line is
// answered only when its sender is that buddy, so nobody gets another buddy's reply by typing a
// line that looks like theirs. Under a title of another form only a row naming the sender
// answers, never "Everyone else", and the answer says the sender could not be checked. A line
// from one of the user's own screen names is never answered.
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
    std::wstring sender;      // of the newest message (NewestImMessageOf)
    std::wstring message;     // its text
    bool foreground = false;  // the window is the one the user works in
};

struct TickClock {
    std::uint64_t nowMs = 0;   // a steady clock, for the intervals
    std::uint64_t idleMs = 0;  // how long the computer has had no input
};

// Input this recent in the foreground IM window means the user is typing there: it is not
// written into until they pause.
inline constexpr std::uint64_t kTypingPauseMs = 5000;
// The user's own screen names are read again after this long (a new one signs on rarely).
inline constexpr std::uint64_t kOwnNamesRereadMs = 10'000;

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
    // The switch went on: what the windows show now is what the user has read. `shown` lists
    // every window open at this moment with its length; its text is not needed.
    void SwitchOn(std::span<const ConversationReading> shown);
    // The user's own screen names (the AIM client's Users keys), whose lines are never
    // answered; due for reading at the first tick after switching on, then now and then.
    bool OwnNamesDue(std::uint64_t nowMs) const noexcept;
    void KnowOwnNames(std::vector<std::wstring> names, std::uint64_t nowMs);
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
        bool takenAsRead = false;  // it did not answer when the switch went on: its first reading is read
        std::size_t length = 0;
        std::optional<std::uint64_t> answeredAtMs;
        std::optional<std::uint64_t> answeredBeforeMs;  // answeredAtMs before the last answer
        bool lookAgain = false;  // the last answer did not go out, or waits for the user to stop typing
        std::wstring ownReply;   // the reply sent, as its text shows in the conversation
        bool seen = false;       // listed at this tick
    };
    enum class Decision { Nothing, Answer, Later };

    Decision Consider(const ConversationReading& reading, const Conversation& conversation,
                      const AutoReplySettings& settings, const TickClock& clock, ConversationAnswer& answer) const;
    bool IsOwnName(std::wstring_view sender) const;

    std::unordered_map<ConversationId, Conversation> conversations_;
    bool switchedOn_ = false;  // a tracker never switched on takes its first tick as the switch's moment
    std::vector<std::wstring> ownNames_;
    std::optional<std::uint64_t> ownNamesReadAtMs_;
};

}  // namespace velmora
