#pragma once
// Module Reg: Velmora's only way into the registry, and where the AIM client keeps the
// away messages Velmora installs (below HKEY_CURRENT_USER, REG_SZ values).
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// "SOFTWARE\America Online\AOL Instant Messenger (TM)\CurrentVersion\Users\" + screen name +
// "\IAmGoneList"; the screen name goes in unchanged (a backslash in it nests keys).
std::wstring AwayKeyPath(std::wstring_view screenName);
// The key holding every screen name's key ("...\CurrentVersion\Users").
std::wstring UsersKeyPath();
// "GoneMsg" + the slot text, unchanged ("12b" gives "GoneMsg12b").
std::wstring AwayValueName(std::wstring_view slotText);
// A screen name that names a user's key. An empty one, or one of backslashes only, would
// collapse into "Users\IAmGoneList", a key no user owns, so such names write nothing.
bool IsUsableScreenName(std::wstring_view screenName);

// Where an Update or a Delete stopped, so the user can be told.
enum class StoreStep {
    Done,               // stored; for a Delete also: there was nothing to remove
    NameUnusable,       // see IsUsableScreenName
    NameNotInCodePage,  // the screen name has characters the ANSI code page cannot carry
    SlotNotInCodePage,  // the same for the slot text (it names the value)
    OpenKey,            // the key could not be opened or created
    StoreValue,
    FlushKey,
    RemoveValue,
};
struct StoreResult {
    StoreStep step = StoreStep::Done;
    long error = 0;  // the registry call's error code, for the steps that call it
    bool Done() const noexcept { return step == StoreStep::Done; }
};

// Store or replace a screen name's message of a slot; remove it. A screen name or slot that
// does not convert to the ANSI code page exactly, or an unusable screen name (checked as
// converted), writes and deletes nothing.
StoreResult WriteAwayMessage(std::wstring_view screenName, std::wstring_view slotText, std::wstring_view document);
StoreResult RemoveAwayMessage(std::wstring_view screenName, std::wstring_view slotText);

// The plain words shown when an Update (or a Delete) did not get done; reason is the system's
// own text for result.error.
std::wstring StoreFailureText(bool update, const StoreResult& result, std::wstring_view screenName,
                              std::wstring_view slotText, std::wstring_view reason);
// The same for a Delete of one value as the registry names it (in Stored Messages, any value of
// a list); the slot line is left out for a value whose name holds none.
std::wstring RemoveFailureText(const StoreResult& result, std::wstring_view screenName,
                               std::optional<std::wstring_view> slotText, std::wstring_view valueName,
                               std::wstring_view reason);

}  // namespace velmora
