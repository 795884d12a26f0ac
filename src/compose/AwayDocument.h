#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "misc/CharacterReferences.h"

namespace velmora {

// The fixed pieces of the away-message document, as BuildAwayDocument writes them and the
// stored-message reader looks for them.
namespace AwayDocumentPieces {
inline constexpr std::wstring_view kTitleOpen = L"<title>";
inline constexpr std::wstring_view kTitleClose = L"</title>";
inline constexpr std::wstring_view kBodyOpen = L"<HTML><BODY BGCOLOR=\"#";
inline constexpr std::wstring_view kFontOpen = L"\"><B><FONT COLOR=\"#";
// AIM accepts the attributes run together, so no blank is put between them.
inline constexpr std::wstring_view kFontFace = L"\"FACE=\"Tahoma\"LANG=\"0\"SIZE=";
inline constexpr std::wstring_view kHeaderClose = L">";
inline constexpr std::wstring_view kClosingTags = L"</FONT></BODY></HTML>";
inline constexpr std::wstring_view kSongBreak = L"<BR>";
inline constexpr std::wstring_view kSongIntro = L"Last Song Played on winamp:  ";
}  // namespace AwayDocumentPieces

// Builds the HTML away message that Update stores for AIM.
// Every field goes in exactly as typed: no checks, no escaping, CR LF kept.
// When song has a value (even an empty one) a second, styled line
// "Last Song Played on winamp:  <song>" follows the closing tags, and the
// document ends with the song text itself.
std::wstring BuildAwayDocument(std::wstring_view label, std::wstring_view bodyColour, std::wstring_view fontColour,
                               std::wstring_view fontSize, std::wstring_view message,
                               std::optional<std::wstring_view> song);

// The main window's fields that make the document, each as a Text: the text itself as the
// fields stand, or an optional one where a field may be missing (a stored message read back).
template <typename Text>
struct AwayFieldsOf {
    Text label;
    Text bodyColour;  // as typed in the colour box: without the "#"
    Text fontColour;
    Text fontSize;
    Text message;
};

// The fields as they stand in the main window.
struct AwayFields : AwayFieldsOf<std::wstring> {
    bool songWanted = false;  // "Brodcast Winamp" ticked
};

// Fields of which some may be missing: loading leaves a missing one as it is.
using SomeAwayFields = AwayFieldsOf<std::optional<std::wstring>>;

// The document Update stores for these fields: the song line only when the song is wanted
// and one could be read, and every character of it that the code page cannot carry written as
// a character reference (WithCharacterReferences), so the buddy gets each one. Update and the
// preview both build it here, so the preview never shows what is not stored.
std::wstring BuildAwayDocument(const AwayFields& fields, const std::optional<std::wstring>& song,
                               const CarriesCharacter& carries);

}  // namespace velmora
