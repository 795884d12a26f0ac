#pragma once
// How the last message is kept in Msg.ini, section "General".
//
// A message that a profile value carries exactly (one line, no blank or quote mark at its
// ends, not too long for one value) is stored plainly as Msg=text, readable by any version.
// Any other message is stored as Msg=<its first line, trimmed so it reads back as written>
// plus the whole message escaped (\\ \r \n \t \s \q for " and \a for ') in MsgExact, and
// in MsgExact2, MsgExact3... when it is longer than one value may be. The exact keys count
// only while Msg still equals the first line derived from them, so a Msg written later by a
// version that knows nothing of them wins over stale ones.
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::wstring_view kSettingsSection = L"General";
inline constexpr std::wstring_view kMessageKey = L"Msg";
inline constexpr std::wstring_view kExactMessageKey = L"MsgExact";
inline constexpr std::wstring_view kSettingsFileName = L"Msg.ini";

// Profile values longer than this are not kept whole by every implementation of the calls.
inline constexpr size_t kMaxProfileValue = 32000;

struct SavedMessageEntries {
    std::wstring message;                  // the value of Msg
    std::vector<std::wstring> exactParts;  // values of MsgExact, MsgExact2...; none for a plain message
};

// "MsgExact" for part 0, "MsgExact2" for part 1, and so on.
std::wstring ExactPartKey(size_t index);
bool IsPlainProfileValue(std::wstring_view text);
SavedMessageEntries EncodeSavedMessage(std::wstring_view message);
// exact: the exact parts joined, empty when there are none (an encoded part is never empty).
std::wstring DecodeSavedMessage(std::wstring_view message, std::wstring_view exact);

// The folder and the file name joined by exactly one separator, also at a drive's root.
std::wstring SettingsPathFor(std::wstring_view exeFolder);

}  // namespace velmora
