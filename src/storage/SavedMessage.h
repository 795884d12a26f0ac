#pragma once
// How the last message is kept in Msg.ini, section "General".
//
// A message that a profile value carries exactly in any code page (one line of printable
// ASCII, no blank or quote mark at its ends, not too long for one value) is stored plainly as
// Msg=text, readable by any version. Any other message is stored as Msg=<its first line in the
// file's code page, trimmed so it reads back as written> plus the whole message escaped in
// MsgExact, and in MsgExact2, MsgExact3... when it is longer than one value may be. The escapes
// are \\ \r \n \t \s (blank) \q (") \a (') and \uXXXX for any other character that is not
// printable ASCII (a UTF-16 code unit in hexadecimal), so the exact keys are plain ASCII that
// no code page or profile reader changes. The exact keys count only while Msg still equals the
// first line derived from them, so a Msg written later by a version that knows nothing of them
// wins over stale ones.
#include <cstddef>
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
// A saved message longer than this is not put into the message box: an edit box takes
// minutes to fill with tens of megabytes, and no away message is that long.
inline constexpr size_t kMaxRestoredMessage = size_t{1} << 20;

struct SavedMessageEntries {
    std::wstring message;                  // Msg's first line, before the code page
    std::vector<std::wstring> exactParts;  // values of MsgExact, MsgExact2...; none for a plain message
};

// The escapes of the exact keys, for any text Velmora keeps exactly: plain ASCII that reads
// back unchanged in every code page and through every profile reader, cut anywhere into parts.
std::string EscapeExactText(std::wstring_view text);
// Reads back what EscapeExactText wrote; a backslash that starts no escape is kept.
std::wstring UnescapeExactText(std::string_view escaped);

// "MsgExact" for part 0, "MsgExact2" for part 1, and so on.
std::wstring ExactPartKey(size_t index);
bool IsPlainProfileValue(std::wstring_view text);
SavedMessageEntries EncodeSavedMessage(std::wstring_view message);

// How text crosses into the file's bytes and back: the system's ANSI code page in Velmora.
struct FileCodePage {
    std::string (*toFile)(std::wstring_view text);
    std::wstring (*fromFile)(std::string_view bytes);
};

// The message a settings file's bytes hold (empty when there is none, or when it is longer
// than kMaxRestoredMessage). Files written by every earlier version read as they did. A file
// in UTF-16 (with its byte-order mark) is read as the profile calls read it, in Unicode; the
// code page is then only for Msg as Velmora wrote it before an editor saved the file so.
std::wstring LoadSavedMessage(std::string_view file, FileCodePage codePage);
// The same message however long it is, for telling the user of one too long for the box.
std::wstring LoadWholeSavedMessage(std::string_view file, FileCodePage codePage);
// The settings file's whole new bytes with the message in it: Velmora's keys of "General" are
// replaced, every other section, key and line of the file stays as it was, and the file stays
// in its encoding (a UTF-16 file all UTF-16, Msg in it in Unicode).
std::string SaveMessageInto(std::string_view file, std::wstring_view message, FileCodePage codePage);
// The same for a copy of Velmora that loaded (or last saved) `asLoaded` and now holds
// `message`: when it did not change the message and the file holds one by now (another copy
// saved it meanwhile, or it was too long to load), the file keeps its own.
std::string SaveMessageOver(std::string_view file, std::wstring_view asLoaded, std::wstring_view message,
                            FileCodePage codePage);
// Msg, MsgExact, MsgExact2...: the keys a save replaces (any letter case).
bool IsSavedMessageKey(std::string_view key);

// The question asked when closing could not save the message: which file and why (reason is
// the system's own text); Yes closes anyway, No goes back.
std::wstring SaveFailureQuestion(std::wstring_view filePath, std::wstring_view reason);

// What the main window says at start of a saved message too long for its box (length in
// characters): that it was not put back, and that it stays saved until another is saved.
inline constexpr std::wstring_view kTooLongToRestoreTitle = L"Your saved message was not put back";
std::wstring TooLongToRestoreNotice(std::size_t length, std::wstring_view filePath);

// The folder and the file name joined by exactly one separator, also at a drive's root.
std::wstring SettingsPathFor(std::wstring_view exeFolder);

}  // namespace velmora
