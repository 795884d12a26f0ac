#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Folds a letter to its case-free form for comparisons that ignore case, as the
// system's case mapping does: its upper case, then that one's lower case. Covers
// every letter of the Basic Multilingual Plane with a one-character case mapping
// (Latin with all its extensions, Greek, Cyrillic, Armenian, Georgian ...), so
// every letter an ANSI code page carries; other characters come back unchanged.
// Independent of the C locale on purpose, so Windows and the native tests agree.
wchar_t FoldLetterCase(wchar_t c);

// The personal-message window answers when the sender occurs anywhere within
// the names box, letter case ignored ("brook" matches "Pellbrook"; several
// names may be listed). An empty sender or empty names never match, so a
// conversation without a readable name answers nobody.
bool ReplyTestHolds(std::wstring_view names, std::wstring_view sender);

// Screen names as the IM service compares them: letter case and blanks do not count.
bool SameScreenName(std::wstring_view a, std::wstring_view b);

// The buddy an IM window's title names: "pal42 - Instant Message" gives "pal42". nullopt for a
// title of another form (a client that titles its windows otherwise) or one naming nobody.
std::optional<std::wstring_view> BuddyOfTitle(std::wstring_view title);

// Whether a reply into the IM window of that title may go to that sender: the sender must be
// the buddy the title names, so that nobody gets a reply meant for another by typing a line
// that reads as the other's. A title naming no buddy leaves nothing to check it against: yes.
bool SenderIsTheBuddy(std::wstring_view title, std::wstring_view sender);

// The personal-message window's three states.
enum class WatchState {
    SwitchedOff,  // "Off", nothing is watched
    Watching,     // "On", the timer reads the sender
    Answered,     // still shows "On", but the reply went out and the timer stopped
};

// The On/Off switch: a click arms a switched-off window and switches any other off.
WatchState AfterSwitchClick(WatchState state);

struct SenderOutcome {
    bool sendReply;
    WatchState next;
};

// A new sender arrived. When the reply test holds the reply is sent (in any
// state, since the sender box may also change by typing) and watching ends.
SenderOutcome AfterSenderChange(WatchState state, std::wstring_view names, std::wstring_view sender);

struct WatchLook {
    std::wstring_view caption;  // the switch's caption
    std::uint32_t lampRgb;      // the state lamp, 0xRRGGBB
    bool timerRuns;
};

WatchLook LookOf(WatchState state);

// The window keeps its state in its controls; this reads it back from them.
// Only the exact caption "Off" means switched off.
WatchState StateFromLook(std::wstring_view caption, bool timerRuns);

// The reply crosses into the IM window as 8-bit text in the system's code page. What the
// personal window says when the reply holds characters that code page cannot carry (see
// UncarriedCharacters): the first few named, each with its number ("П (U+041F)"), and how
// many more there are. Empty when there are none.
inline constexpr std::wstring_view kUnsendableTitle = L"Some characters cannot be sent";
std::wstring UnsendableNotice(const std::vector<char32_t>& characters, unsigned codePage);

}  // namespace velmora
