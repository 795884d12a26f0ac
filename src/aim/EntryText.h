#pragma once
// What a reply becomes in the IM window's entry control, for the two kinds of entry.
//
// The AIM client's entry is an ANSI window whose text is HTML: Send carries it to the buddy as
// markup, and the conversation shows it as such. So the reply goes in as HTML text: "&", "<"
// and ">" as entities (the user's "<3" and "Tom & Jerry" arrive as typed, not as a tag or a
// reference), and every character the code page lacks as a decimal character reference, the
// way a stored away message carries it ("П" as "&#1055;").
//
// A Unicode entry holds the text itself (the client makes the markup when it sends): the reply
// goes in exactly as it is, and needs no rule.
#include <string>
#include <string_view>

#include "misc/CharacterReferences.h"

namespace velmora {

// The reply as an HTML entry in a code page takes it: "&", "<" and ">" as "&amp;", "&lt;" and
// "&gt;"; each character the code page cannot carry as "&#" decimal ";" (one reference for a
// character beyond the Basic Multilingual Plane, U+FFFD for a lone half); everything else,
// CR LF included, as it stands. A text of carried characters without "&<>" comes out unchanged.
std::wstring ReplyForHtmlEntry(std::wstring_view reply, const CarriesCharacter& carries);

}  // namespace velmora
