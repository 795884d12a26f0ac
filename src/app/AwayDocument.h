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

// The main window's fields that make the document, as they stand.
struct AwayFields {
    std::wstring label;
    std::wstring bodyColour;
    std::wstring fontColour;
    std::wstring fontSize;
    std::wstring message;
    bool songWanted = false;  // "Brodcast Winamp" ticked
};

// The document Update stores for these fields: the song line only when the song is wanted
// and one could be read. Update and the preview both build it here, so they cannot differ.
std::wstring BuildAwayDocument(const AwayFields& fields, const std::optional<std::wstring>& song);

}  // namespace velmora
