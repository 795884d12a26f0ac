#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Text rules for reading the AIM conversation pane. The pane hands over HTML
// markup; Velmora only needs its plain text and the name on its last line.

// Turns conversation markup into plain text: every "<BR>" (exact case) becomes
// CR LF, everything from a "<" up to the next ">" is dropped (an unmatched "<"
// drops the rest of the text), and any stray ">" is dropped too. Entities such
// as "&amp;" stay as they are. Linear in the length, with no length limit.
std::wstring HtmlToPlainText(std::wstring_view markup);

// The last line of a plain conversation: everything after the CR of the last
// CR LF pair, so it begins with that LF. The whole text when there is no CR LF;
// a lone LF when the text ends in CR LF.
std::wstring LastImLineOf(std::wstring_view plain);

// The sender named on a last line: a leading LF is dropped, then the name is
// the text before the first ":" (blanks kept). Empty when there is no colon or
// nothing stands before it.
std::wstring SenderOfLine(std::wstring_view lastLine);

// LastImLineOf(HtmlToPlainText(markup)), converting only the last line.
std::wstring LastImLineOfConversation(std::wstring_view markup);

// SenderOfLine(LastImLineOf(HtmlToPlainText(markup))) from one reading of the
// conversation, without building its plain text: this runs on every tick of
// the personal-message window, over the whole conversation.
std::wstring SenderOfConversation(std::wstring_view markup);
// The same, its first walk over the last firstWindow characters (256 above); tests use small
// windows so that the walks that reach further back are exercised too.
std::wstring SenderOfConversation(std::wstring_view markup, std::size_t firstWindow);

// The newest message of a conversation, as Auto Reply reads it. The client sets each message's
// sender off in markup of its own ("<B>NAME</B>: TEXT"), so a line names a sender when the
// first colon on it stands right after a tag or right before one, with a name before it. The
// further lines of a message carry no name, and a colon typed inside a message ("note: call
// me") stands within the text: neither starts a message. The sender is that of the last line
// that names one; the message's text is everything after that line's colon, its later lines
// included (CR LF between them), without the one blank the client puts after the colon.
struct ImMessage {
    std::wstring sender;  // without the blanks around it; empty when no line names a sender
    std::wstring text;
};
ImMessage NewestImMessageOf(std::wstring_view markup);
// The same, its first walk over the last firstWindow characters (4096 above); tests use small
// windows so that the walks that reach further back are exercised too.
ImMessage NewestImMessageOf(std::wstring_view markup, std::size_t firstWindow);

}  // namespace velmora
