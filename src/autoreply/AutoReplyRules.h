#pragma once
// Auto Reply's rules: whom to answer and with what. Plain text rules, no window system; the
// buddy a window's title names is told by the reply rules of aim/ReplyRule.h.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One row: blank-separated screen names and the reply for them (it may span several lines).
struct AutoReplyRule {
    std::wstring names;
    std::wstring reply;
    bool operator==(const AutoReplyRule&) const = default;
};

// The answer-again choices, in minutes; 0 is never (once per conversation).
inline constexpr int kAnswerAgainChoices[] = {0, 10, 30, 60};
// The away-from-the-keyboard choices, in minutes of no input; 0 is always.
inline constexpr int kIdleChoices[] = {0, 5, 10, 30};

struct AutoReplySettings {
    std::vector<AutoReplyRule> rules{AutoReplyRule{}};  // a new window starts with one empty row
    bool everyoneElse = false;                          // the "Everyone else" row's tick
    std::wstring everyoneElseReply;
    int answerAgainMinutes = 0;  // one of kAnswerAgainChoices
    int idleMinutes = 0;         // one of kIdleChoices
    bool on = false;             // the switch
    bool operator==(const AutoReplySettings&) const = default;
};

// The names of a row, split at blanks (spaces, tabs, line breaks); empty names are dropped.
std::vector<std::wstring_view> NamesOf(std::wstring_view names);

// Whether a row's names take the sender: the sender occurs within one of them, letter case
// ignored, as the personal window's reply test takes its names box ("brook" is a part of
// "Pellbrook"). An empty sender or a row without names never matches.
bool RuleMatches(std::wstring_view names, std::wstring_view sender);

// The reply for a sender: the first row that matches wins, then "Everyone else" when ticked;
// nullopt when none applies. `row` is set to the row's index (rules.size() for "Everyone else").
std::optional<std::wstring_view> ReplyFor(const AutoReplySettings& settings, std::wstring_view sender,
                                          std::size_t* row = nullptr);

// A log row's words: the reply's start on one line (line breaks as blanks), cut after the last
// whole word within `most` characters, with "..." when cut.
std::wstring FirstWords(std::wstring_view reply, std::size_t most = 40);

}  // namespace velmora
