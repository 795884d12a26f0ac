#pragma once
// Reading a stored away message back into the composer's fields: the inverse of
// BuildAwayDocument for Velmora's own documents, and a best reading of any other text.
#include <optional>
#include <string>
#include <string_view>

#include "compose/AwayDocument.h"
#include "misc/CharacterReferences.h"

namespace velmora {

// What a stored document gives back. A field the document does not carry is empty (nullopt):
// loading leaves that field of the composer as it is.
struct StoredComposition : SomeAwayFields {
    std::optional<std::wstring> song;  // the song of the song line, when the document has one
    // True when the document has the shape Velmora writes: building the fields again (with the
    // song, when there is one) gives the very same document, its references read (see below).
    bool ownShape = false;
};

// Never fails: every text gives some reading, in time linear in its length for foreign text.
// Velmora's own documents: label, colours, size, message and song exactly as they went in.
// Other text: the label from <title>, BGCOLOR of the first <BODY>, the first COLOR and SIZE
// of <FONT> tags, and the message as the markup between <BODY ...> and </BODY> (the whole
// text without its title when there is no body).
//
// The references Update writes for characters the code page cannot carry are read first
// (WithoutCharacterReferences), so the fields hold those characters again, and any other
// reference stays as typed: Load and then Update store the same document. The code page is
// taken to carry ASCII, as every ANSI code page does.
StoredComposition ReadAwayDocument(std::wstring_view document, const CarriesCharacter& carries);
// The same for a code page that carries every character (UTF-8): no reference is read.
StoredComposition ReadAwayDocument(std::wstring_view document);

}  // namespace velmora
