#include "autoreply/ConversationTracker.h"

#include "aim/ImText.h"
#include "aim/ReplyRule.h"

namespace velmora {
namespace {

constexpr std::uint64_t kMsPerMinute = 60'000;

bool EndsWith(std::wstring_view text, std::wstring_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// How the reply's last line shows in the conversation, after the sender's name: the client
// turns its line breaks into "<BR>", which read back as line breaks.
std::wstring OwnLineOf(std::wstring_view sentText) {
    std::wstring line = LastImLineOf(HtmlToPlainText(sentText));
    if (!line.empty() && line.front() == L'\n') line.erase(0, 1);
    return line;
}

}  // namespace

void ConversationTracker::SwitchOn() {
    conversations_.clear();
    firstTick_ = true;
}

bool ConversationTracker::NeedsText(ConversationId id, std::size_t length) const {
    const auto found = conversations_.find(id);
    // The windows of the switch's first tick show lines the user has read: only their
    // lengths are taken in.
    if (found == conversations_.end()) return !firstTick_;
    const Conversation& conversation = found->second;
    if (!conversation.read) return !conversation.takenAsRead;
    return conversation.lookAgain || length != conversation.length;
}

std::vector<ConversationAnswer> ConversationTracker::Tick(std::span<const ConversationReading> readings,
                                                          const AutoReplySettings& settings, const TickClock& clock) {
    std::vector<ConversationAnswer> answers;
    for (auto& [id, conversation] : conversations_) conversation.seen = false;
    for (const ConversationReading& reading : readings) {
        const auto [place, inserted] = conversations_.try_emplace(reading.id);
        Conversation& conversation = place->second;
        conversation.seen = true;
        if (inserted) conversation.takenAsRead = firstTick_;
        // A window that did not answer is still open: it keeps what is known of it.
        if (!reading.answered) continue;
        if (conversation.read && reading.length == conversation.length && !conversation.lookAgain) continue;
        conversation.lookAgain = false;
        const bool firstReading = !conversation.read;
        conversation.read = true;
        conversation.length = reading.length;
        if (firstReading && conversation.takenAsRead) continue;
        if (std::optional<ConversationAnswer> answer = Consider(reading, conversation, settings, clock)) {
            conversation.answeredBeforeMs = conversation.answeredAtMs;
            conversation.answeredAtMs = clock.nowMs;
            answers.push_back(std::move(*answer));
        }
    }
    // A window no longer listed has closed: opened again, it is a new conversation.
    std::erase_if(conversations_, [](const auto& entry) { return !entry.second.seen; });
    firstTick_ = false;
    return answers;
}

std::optional<ConversationAnswer> ConversationTracker::Consider(const ConversationReading& reading,
                                                                Conversation& conversation,
                                                                const AutoReplySettings& settings,
                                                                const TickClock& clock) const {
    if (!reading.textRead || reading.sender.empty()) return std::nullopt;
    // Velmora's own reply, come back as the conversation's last line.
    if (!conversation.ownLine.empty() && EndsWith(reading.lastLine, L": " + conversation.ownLine)) return std::nullopt;

    const std::optional<std::wstring_view> buddy = BuddyOfTitle(reading.title);
    if (buddy && !SameScreenName(*buddy, reading.sender)) return std::nullopt;
    std::size_t row = 0;
    const std::optional<std::wstring_view> reply = ReplyFor(settings, reading.sender, &row);
    if (!reply) return std::nullopt;

    if (conversation.answeredAtMs) {
        if (settings.answerAgainMinutes <= 0) return std::nullopt;
        const std::uint64_t again = static_cast<std::uint64_t>(settings.answerAgainMinutes) * kMsPerMinute;
        if (clock.nowMs - *conversation.answeredAtMs < again) return std::nullopt;
    }
    if (settings.idleMinutes > 0 && clock.idleMs < static_cast<std::uint64_t>(settings.idleMinutes) * kMsPerMinute)
        return std::nullopt;

    return ConversationAnswer{reading.id, reading.sender, std::wstring(*reply), row, buddy.has_value()};
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
    found->second.ownLine = OwnLineOf(sentText);
    if (lengthAfter) found->second.length = *lengthAfter;
}

}  // namespace velmora
