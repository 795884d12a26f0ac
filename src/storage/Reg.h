#pragma once
// Module Reg: Velmora's only way into the registry, and where the AIM client keeps the
// away messages Velmora installs (below HKEY_CURRENT_USER, REG_SZ values).
#include <string>
#include <string_view>

namespace velmora {

// "SOFTWARE\America Online\AOL Instant Messenger (TM)\CurrentVersion\Users\" + screen name +
// "\IAmGoneList"; the screen name goes in unchanged (a backslash in it nests keys).
std::wstring AwayKeyPath(std::wstring_view screenName);
// "GoneMsg" + the slot text, unchanged ("12b" gives "GoneMsg12b").
std::wstring AwayValueName(std::wstring_view slotText);
// A screen name that names a user's key. An empty one, or one of backslashes only, would
// collapse into "Users\IAmGoneList", a key no user owns, so such names write nothing.
bool IsUsableScreenName(std::wstring_view screenName);

// Store or replace a screen name's message of a slot; remove it. Failures are silent, and
// an unusable screen name does nothing.
void WriteAwayMessage(std::wstring_view screenName, std::wstring_view slotText, std::wstring_view document);
void RemoveAwayMessage(std::wstring_view screenName, std::wstring_view slotText);

}  // namespace velmora
