#pragma once
// How Auto Reply's rules, choices and switch are kept in Msg.ini: a section of their own,
// "AutoReply", beside "General", whose keys it never touches.
//
//   [AutoReply]
//   Switch=On                 On or Off
//   AnswerAgain=10            minutes, 0 for never
//   Idle=5                    minutes without input, 0 for always
//   Rules=2                   the rows; then for each row N from 1:
//   Rule1Names=pal42\sbob     (RuleNReply, and EveryoneElseReply, alike)
//   Rule1Reply=back\sat\s5\r\n
//   EveryoneElse=1
//   EveryoneElseReply=...
//
// Every text is kept exactly, in the escapes of the message's exact keys (MsgExact), and a
// long one in parts as they are: Rule1Reply, Rule1Reply2, Rule1Reply3...
#include <string>
#include <string_view>

#include "autoreply/AutoReplyRules.h"

namespace velmora {

inline constexpr std::string_view kAutoReplySection = "AutoReply";
// More rows than a window shows are not read back from a file that claims them.
inline constexpr std::size_t kMostAutoReplyRules = 100;

// The settings a file's text holds; a file without the section (an older Velmora's) gives the
// defaults: one empty row, "Everyone else" unticked, never again, always, switched off. A value
// that is not one of the choices is taken as the default.
AutoReplySettings ReadAutoReplySettings(std::string_view file);
// The file's whole new bytes with the section replaced; every other section and line stays, and
// the file keeps its encoding (a UTF-16 file stays UTF-16).
std::string WriteAutoReplySettingsInto(std::string_view file, const AutoReplySettings& settings);

}  // namespace velmora
