#pragma once
// The one place where Velmora's wide text becomes the system's ANSI code page and back:
// every text crossing to the registry, the profile file or another program's window goes
// through the "A" calls.
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);
// The text in the ANSI code page only when every character is carried as itself: no "?" and
// no look-alike ("Ｂｏｂ" is not "Bob", "＼" is not "\"); otherwise nothing. For names, where a
// substitute would name something else.
std::optional<std::string> ToAnsiExactly(std::wstring_view text);
// Every character as itself where the code page has it, and the code page's own default
// character ("?") where it has not: never a look-alike. For text typed into another program.
std::string ToAnsiWithoutLookAlikes(std::wstring_view text);

// Whether the ANSI code page carries the character as itself (the rule ToAnsiExactly applies to
// a whole text); see CarriesCharacter. A UTF-8 code page carries every character.
bool AnsiCarries(char32_t character);
// The ANSI code page's number, such as 1252.
unsigned AnsiCodePage();

}  // namespace velmora
