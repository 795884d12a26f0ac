#pragma once
// The value names of a screen name's stored away messages: their order, their slots, and the
// texts the Stored Messages window shows for them.
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// 1 to 15 for "GoneMsg1" to "GoneMsg15" (in any letter case, as the registry compares names;
// "GoneMsg01" is another value), else nothing.
std::optional<int> SlotNumberOf(std::wstring_view valueName);
// The slot text that names this value in the main window's "Msg #" box: what follows
// "GoneMsg" ("12b" for "GoneMsg12b", "" for "GoneMsg"). Nothing for a name without that start.
std::optional<std::wstring> SlotTextOf(std::wstring_view valueName);
// The list order: GoneMsg1 to GoneMsg15 by slot, then every other name by name (letter case
// aside, then as written).
bool ListedBefore(std::wstring_view left, std::wstring_view right);

// One row of the list: the slot (or the whole name when it has none) and the label, or
// "not a message" for a value that holds no text (not REG_SZ). Line breaks and other control characters
// show as blanks and a very long label is cut, so every row stays one readable line.
std::wstring RowText(std::wstring_view valueName, bool isMessage, std::wstring_view label);
// "Remove 'Lunch' (slot 3) of Harlowpine?"; without a label the value's name stands in for it.
std::wstring RemoveQuestion(std::wstring_view valueName, std::optional<std::wstring_view> label,
                            std::wstring_view screenName);
// A text fit for one line of a control: control characters as blanks, at most `most` characters
// (the cut marked with "...").
std::wstring OneLine(std::wstring_view text, std::size_t most);
// A stored message as questions and notices name it: "'label' (slot N)", each piece one line of
// at most `most` characters; the value's name stands in for a label or slot it lacks.
std::wstring MessageNamed(std::wstring_view valueName, std::optional<std::wstring_view> label, std::size_t most);

}  // namespace velmora
