#pragma once
// Stored away messages in the registry editor's own file (".reg"), written and read back, so a
// backup is restored by Velmora, by a double-click in Windows or by "reg import".
//
// A value's data is its bytes as the registry holds them: for REG_SZ, UTF-16 little-endian text,
// normally with one terminating NUL. Data the quoted form cannot carry (line breaks, a NUL inside,
// no terminating NUL, an odd length) is written as hex(1), the form the registry editor uses.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct TravellingMessage {
    std::wstring screenName;
    std::wstring valueName;
    std::string data;  // the REG_SZ bytes, exactly

    bool operator==(const TravellingMessage&) const = default;
};

// Every part of the screen name (between backslashes) names a key: none empty, none longer than
// a key's name may be, no NUL or line break; and at least one part.
bool IsValidScreenNameKey(std::wstring_view screenName);
// A value the client reads as an away message: its name starts with "GoneMsg", in any letter
// case (the registry compares names so).
bool IsAwayValueName(std::wstring_view valueName);
// A name or line fit for one line of a message: control characters as blanks, at most `most`
// characters (the cut marked with "...").
std::wstring ShownOnOneLine(std::wstring_view text, std::size_t most);
// REG_SZ bytes of text: each unit as two bytes, low byte first, and the terminating NUL.
std::string TextData(std::wstring_view text);
// The text of REG_SZ bytes as the client reads it: up to the first NUL; an odd last byte is none.
std::wstring TextOfData(std::string_view data);

// "Windows Registry Editor Version 5.00" in UTF-16 LE with its byte-order mark, CR LF, one key
// per screen name (in the order the names first come) with its values in the order given.
// Messages whose screen name or value name no such file can carry are left out, and told.
struct RegFileWriting {
    std::string bytes;
    std::vector<std::size_t> leftOut;  // indexes into the messages given
};
RegFileWriting WriteRegFile(const std::vector<TravellingMessage>& messages);

// Why a line of a file read is not among its messages.
enum class SkipReason {
    OtherKey,            // a value of a key other than a screen name's IAmGoneList
    KeyDeletion,         // "[-...]": Velmora never deletes
    ValueDeletion,       // "name"=-
    NotAwayMessage,      // a value whose name does not start with GoneMsg
    NotText,             // a value of another type than REG_SZ (dword, hex, hex(2), ...)
    Malformed,           // a line the format has no meaning for
    EscapeAtLineEnd,     // a backslash that ends the line inside quoted text
    Truncated,           // the file ends inside a value
    UnusableScreenName,  // the key names a screen name that is no valid key name
    Repeated,            // a later line of the file names the same value again, and wins
};
struct SkippedLine {
    std::size_t line = 0;  // 1 for the first line
    SkipReason reason = SkipReason::Malformed;
    std::wstring text;  // the line, cut to one readable line
};

// Why a whole file is refused.
enum class RegFileProblem {
    None,
    TooLarge,         // beyond kMostRegFileBytes
    OtherEncoding,    // UTF-16 big-endian, UTF-8 with its mark, or UTF-16 without one
    NotRegistryFile,  // no "Windows Registry Editor Version 5.00" or "REGEDIT4" first line
};
// Far beyond any user's messages (fifteen slots of a few KB for a few screen names): a larger
// file is refused before it is read.
inline constexpr std::size_t kMostRegFileBytes = std::size_t{16} * 1024 * 1024;
// The skipped lines told one by one; the rest are counted.
inline constexpr std::size_t kMostSkippedLinesTold = 1000;

struct RegFileContents {
    RegFileProblem problem = RegFileProblem::None;
    std::vector<TravellingMessage> messages;  // in the file's order; a value named again is its last line
    std::vector<SkippedLine> skipped;         // at most kMostSkippedLinesTold
    std::size_t skippedCount = 0;             // every skipped line
};
// The system's ANSI code page to UTF-16 units: a file without a byte-order mark is in it, and
// so is hex(1) data of a "REGEDIT4" file.
using FromCodePage = std::wstring (*)(std::string_view bytes);
RegFileContents ReadRegFile(std::string_view bytes, FromCodePage fromCodePage);

std::wstring SkipReasonText(SkipReason reason);
std::wstring RegFileProblemText(RegFileProblem problem);

}  // namespace velmora
