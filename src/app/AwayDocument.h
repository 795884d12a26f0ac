#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Builds the HTML away message that Update stores for AIM.
// Every field goes in exactly as typed: no checks, no escaping, CR LF kept.
// When song has a value (even an empty one) a second, styled line
// "Last Song Played on winamp:  <song>" follows the closing tags, and the
// document ends with the song text itself.
std::wstring BuildAwayDocument(std::wstring_view label, std::wstring_view bodyColour, std::wstring_view fontColour,
                               std::wstring_view fontSize, std::wstring_view message,
                               std::optional<std::wstring_view> song);

}  // namespace velmora
