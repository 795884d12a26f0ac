#pragma once
// Auto Reply's rules: whom to answer and with what. Plain text rules, no window system.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One row: comma-separated screen names and the reply for them (it may span several lines).
// A screen name cannot hold a comma, and the IM service ignores its blanks and letter case.
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

// The names of a row, split at commas, each without the blanks around it; names of blanks
// only are dropped ("Sam 7, pal42" gives "Sam 7" and "pal42").
std::vector<std::wstring_view> NamesOf(std::wstring_view names);

// Whether a row names the sender: one of its names is the sender's whole screen name, as the
// service compares them ("Pal 42" is "pal42"; "pal" is not). An empty sender never matches.
bool RuleMatches(std::wstring_view names, std::wstring_view sender);

// A row as Velmora wrote it before names were comma-separated: split at blanks, and joined
// with ", " ("pal42 bob" gives "pal42, bob").
std::wstring CommaNamesFromBlankNames(std::wstring_view blankNames);

// The buddy an IM window's title names: the title starts with "NAME - Instant Message", and
// whatever the client adds after it does not count ("pal42 - Instant Message (typing)" names
// pal42). nullopt for a title of another form, or one naming nobody.
std::optional<std::wstring_view> BuddyOfImTitle(std::wstring_view title);

// Whether the sender could be told from the window's title. A sender that could not be checked
// may have faked a line in another's name: only a row naming it answers, never "Everyone else".
enum class SenderCheck { Checked, Unchecked };

// The reply for a sender: the first row that names it wins, then "Everyone else" when ticked
// (for a checked sender only); nullopt when none applies. `row` is set to the row's index
// (rules.size() for "Everyone else").
std::optional<std::wstring_view> ReplyFor(const AutoReplySettings& settings, std::wstring_view sender,
                                          std::size_t* row = nullptr, SenderCheck check = SenderCheck::Checked);

// A reply of blanks only says nothing: it is not sent, and answers nobody.
bool SaysNothing(std::wstring_view reply);

// A log row's words: the reply's start on one line (line breaks as blanks), cut after the last
// whole word within `most` characters, with "..." when cut.
std::wstring FirstWords(std::wstring_view reply, std::size_t most = 40);

}  // namespace velmora
