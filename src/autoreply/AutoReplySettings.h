#pragma once
// How Auto Reply's rules, choices and switch are kept in Msg.ini: a section of their own,
// "AutoReply", beside "General", whose keys it never touches.
//
//   [AutoReply]
//   Format=2                  names separated by commas; without it, by blanks (older files)
//   Switch=On                 On or Off
//   AnswerAgain=10            minutes, 0 for never
//   Idle=5                    minutes without input, 0 for always
//   Rules=2                   the rows; then for each row N from 1:
//   Rule1Names=pal42,\sbob    (RuleNReply, and EveryoneElseReply, alike)
//   Rule1Reply=back\sat\s5\r\n
//   EveryoneElse=1
//   EveryoneElseReply=...
//
// Every text is kept exactly, in the escapes of the message's exact keys (MsgExact), and a
// long one in parts as they are: Rule1Reply, Rule1Reply2, Rule1Reply3...
//
// Two copies of Velmora may share the file. Each save merges: what this copy changed since it
// read or last saved the section goes in, and whatever else the file holds by then stays.
#include <string>
#include <string_view>

#include "autoreply/AutoReplyRules.h"

namespace velmora {

inline constexpr std::string_view kAutoReplySection = "AutoReply";
// The format this Velmora writes: 2 separates a row's names by commas. A section without the
// mark was written when blanks separated them, and is read so.
inline constexpr int kAutoReplyFormat = 2;
// The window adds no row past this many (and says so); a file may hold more, and every row it
// holds is read and kept.
inline constexpr std::size_t kMostAutoReplyRules = 1000;

// The settings a file's text holds; a file without the section (an older Velmora's) gives the
// defaults: one empty row, "Everyone else" unticked, never again, always, switched off. A value
// that is not one of the choices is taken as the default. Rows the count claims but the file
// has no line of are not made up.
AutoReplySettings ReadAutoReplySettings(std::string_view file);
// The file's whole new bytes with the section replaced; every other section and line stays, and
// the file keeps its encoding (a UTF-16 file stays UTF-16).
std::string WriteAutoReplySettingsInto(std::string_view file, const AutoReplySettings& settings);

// A three-way merge: `base` is what this copy read or last saved, `mine` what it holds now,
// `theirs` what the file holds now. A choice this copy changed is its own, any other the file's.
// Rows this copy removed go (where the file still has them as they were), rows it added or
// changed come in beside the file's, and every row the file has that this copy did not remove
// stays; a row changed on both sides is kept in both forms, so no words are lost.
AutoReplySettings MergeAutoReplySettings(const AutoReplySettings& base, const AutoReplySettings& mine,
                                         const AutoReplySettings& theirs);
// The file's whole new bytes: `mine` merged with what the file holds, written as
// WriteAutoReplySettingsInto writes. `merged`, when given, receives what was written.
std::string MergeAutoReplySettingsInto(std::string_view file, const AutoReplySettings& base,
                                       const AutoReplySettings& mine, AutoReplySettings* merged = nullptr);

// What the Reply box shows of a reply. A reply longer than the box lays out in about a second
// (the limits Load keeps to for the main window's message box) is shown by its start after a
// note that says so, and the box takes no typing then: the reply stays in Msg.ini as it is and
// is sent whole, as the user wrote it.
struct ReplyInBox {
    std::wstring text;
    bool whole = true;
};
ReplyInBox ReplyShownInBox(std::wstring_view reply);
// How much of a reply too long for the box is shown after the note.
inline constexpr std::size_t kReplyStartShown = 2000;

// What the user is told when the rules could not be saved: which file and why (the system's
// own text), and that the rules stay in the window; or, when the window is closing, whether to
// close anyway (Yes: the changes are lost; No: back to them), as the main window asks.
std::wstring RulesNotSavedText(std::wstring_view filePath, std::wstring_view reason, bool closing = false);

}  // namespace velmora
