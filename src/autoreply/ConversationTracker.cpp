#include "autoreply/ConversationTracker.h"

#include "aim/ImText.h"
#include "aim/ReplyRule.h"

namespace velmora {
namespace {

constexpr std::uint64_t kMsPerMinute = 60'000;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xA0; }

std::wstring_view WithoutOuterBlanks(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// How the reply shows in the conversation, after the sender's name: the client turns its line
// breaks into "<BR>", which read back as line breaks.
std::wstring ShownReplyOf(std::wstring_view sentText) {
    return std::wstring(WithoutOuterBlanks(HtmlToPlainText(sentText)));
}

}  // namespace

void ConversationTracker::SwitchOn(std::span<const ConversationReading> shown) {
    conversations_.clear();
    switchedOn_ = true;
    ownNamesReadAtMs_.reset();
    for (const ConversationReading& reading : shown) {
        Conversation& conversation = conversations_[reading.id];
        // A window that did not answer now has its first reading taken as what was shown.
        conversation.read = reading.answered;
        conversation.takenAsRead = !reading.answered;
        conversation.length = reading.length;
    }
}

bool ConversationTracker::OwnNamesDue(std::uint64_t nowMs) const noexcept {
    return !ownNamesReadAtMs_ || nowMs - *ownNamesReadAtMs_ >= kOwnNamesRereadMs;
}

void ConversationTracker::KnowOwnNames(std::vector<std::wstring> names, std::uint64_t nowMs) {
    ownNames_ = std::move(names);
    ownNamesReadAtMs_ = nowMs;
}

bool ConversationTracker::NeedsText(ConversationId id, std::size_t length) const {
    if (!switchedOn_) return false;
    const auto found = conversations_.find(id);
    // A window opened since the switch went on: everything in it is new.
    if (found == conversations_.end()) return true;
    const Conversation& conversation = found->second;
    if (!conversation.read) return !conversation.takenAsRead;
    return conversation.lookAgain || length != conversation.length;
}

std::vector<ConversationAnswer> ConversationTracker::Tick(std::span<const ConversationReading> readings,
                                                          const AutoReplySettings& settings, const TickClock& clock) {
    if (!switchedOn_) {
        SwitchOn(readings);
        return {};
    }
    std::vector<ConversationAnswer> answers;
    for (auto& [id, conversation] : conversations_) conversation.seen = false;
    for (const ConversationReading& reading : readings) {
        Conversation& conversation = conversations_[reading.id];
        conversation.seen = true;
        // A window that did not answer is still open: it keeps what is known of it.
        if (!reading.answered) continue;
        if (conversation.read && reading.length == conversation.length && !conversation.lookAgain) continue;
        conversation.lookAgain = false;
        const bool firstReading = !conversation.read;
        conversation.read = true;
        conversation.length = reading.length;
        if (firstReading && conversation.takenAsRead) continue;
        ConversationAnswer answer;
        switch (Consider(reading, conversation, settings, clock, answer)) {
            case Decision::Nothing: break;
            case Decision::Later: conversation.lookAgain = true; break;
            case Decision::Answer:
                conversation.answeredBeforeMs = conversation.answeredAtMs;
                conversation.answeredAtMs = clock.nowMs;
                answers.push_back(std::move(answer));
                break;
        }
    }
    // A window no longer listed has closed: opened again, it is a new conversation.
    std::erase_if(conversations_, [](const auto& entry) { return !entry.second.seen; });
    return answers;
}

bool ConversationTracker::IsOwnName(std::wstring_view sender) const {
    for (const std::wstring& own : ownNames_)
        if (SameScreenName(own, sender)) return true;
    return false;
}

ConversationTracker::Decision ConversationTracker::Consider(const ConversationReading& reading,
                                                            const Conversation& conversation,
                                                            const AutoReplySettings& settings, const TickClock& clock,
                                                            ConversationAnswer& answer) const {
    if (!reading.textRead || reading.sender.empty() || IsOwnName(reading.sender)) return Decision::Nothing;
    // Velmora's own reply, come back as the conversation's newest message.
    if (!conversation.ownReply.empty() && WithoutOuterBlanks(reading.message) == conversation.ownReply)
        return Decision::Nothing;

    const std::optional<std::wstring_view> buddy = BuddyOfImTitle(reading.title);
    if (buddy && !SameScreenName(*buddy, reading.sender)) return Decision::Nothing;
    std::size_t row = 0;
    const std::optional<std::wstring_view> reply =
        ReplyFor(settings, reading.sender, &row, buddy ? SenderCheck::Checked : SenderCheck::Unchecked);
    // An empty reply sends nothing, and uses up nothing.
    if (!reply || SaysNothing(*reply)) return Decision::Nothing;

    if (conversation.answeredAtMs) {
        if (settings.answerAgainMinutes <= 0) return Decision::Nothing;
        const std::uint64_t again = static_cast<std::uint64_t>(settings.answerAgainMinutes) * kMsPerMinute;
        if (clock.nowMs - *conversation.answeredAtMs < again) return Decision::Nothing;
    }
    if (settings.idleMinutes > 0 && clock.idleMs < static_cast<std::uint64_t>(settings.idleMinutes) * kMsPerMinute)
        return Decision::Nothing;
    // Keys typed now would land in the reply, or be lost with the draft: wait for a pause.
    if (reading.foreground && clock.idleMs < kTypingPauseMs) return Decision::Later;

    answer = ConversationAnswer{reading.id, reading.sender, std::wstring(*reply), row, buddy.has_value()};
    return Decision::Answer;
}

void ConversationTracker::NotSent(ConversationId id) {
    const auto found = conversations_.find(id);
    if (found == conversations_.end()) return;
    found->second.answeredAtMs = found->second.answeredBeforeMs;
    found->second.lookAgain = true;
}

void ConversationTracker::Sent(ConversationId id, std::wstring_view sentText, std::optional<std::size_t> lengthAfter) {
    const auto found = conversations_.find(id);
    if (found == conversations_.end()) return;
    found->second.ownReply = ShownReplyOf(sentText);
    if (lengthAfter) found->second.length = *lengthAfter;
}

}  // namespace velmora
