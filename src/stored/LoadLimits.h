#pragma once
// How much of a stored message Load puts into the main window's boxes. Another program may
// have stored anything, and Wine's multi-line text box lays out a line in time that grows with
// the square of its length (10,000 characters without a break: 8 s; 100,000: many minutes),
// and any text box fills in time that grows with the text. Load refuses what the boxes would
// not take within about a second, says why, and leaves the stored value as it is.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "compose/AwayDocument.h"

namespace velmora {

// A one-line box (label, colours): a megabyte, as the settings file puts into the message box.
inline constexpr std::size_t kMostInOneLineBox = std::size_t{1} << 20;
// The message box: this many characters, and lines (ended by CR LF) that together cost no more
// to lay out than one line of kLongestMessageLine characters.
inline constexpr std::size_t kMostInMessageBox = 32768;
inline constexpr std::size_t kLongestMessageLine = 4096;

// Why the fields are not loaded, as the end of a sentence ("its message has a line of ...");
// nothing when every box takes its field. A missing field is not loaded and so never too long.
std::optional<std::wstring> WhyNotLoadable(const SomeAwayFields& fields);

// What Load tells the user: which message was not loaded (its label, else its value name, and
// its slot), why, and that the stored message stays as it is.
std::wstring NotLoadedText(std::wstring_view valueName, std::optional<std::wstring_view> label, std::wstring_view why);

}  // namespace velmora
