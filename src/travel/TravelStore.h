#pragma once
// Stored messages moved byte for byte: read from one screen name's IAmGoneList, written into
// another's (or back from a file), all of them or none, and the registry files they travel in.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/RegStore.h"
#include "travel/RegFile.h"

namespace velmora {

// A screen name's GoneMsg values of the text type (REG_SZ), their bytes exactly as the
// registry holds them, in the registry's order.
std::vector<TravellingMessage> StoredMessagesExactly(std::wstring_view screenName,
                                                     const Abandoned* abandoned = nullptr);
// What the store holds now for that value: its bytes, when it is there as REG_SZ.
struct HeldNow {
    bool present = false;  // a value of that name is there, of any type
    DWORD type = REG_NONE;
    std::string data;
};
HeldNow StoredNow(std::wstring_view screenName, std::wstring_view valueName);

// Why a writing of several values stopped.
enum class TravelStep {
    Done,
    NameUnusable,       // the screen name is no valid key name
    NameNotInCodePage,  // the client, reading through the code page, would not find it
    NotAwayMessage,     // a value name that does not start with GoneMsg: never written
    OtherTypeThere,     // a value of that name that is not text is there: never replaced
    OpenKey,
    StoreValue,
    FlushKey,
};
struct TravelWriting {
    TravelStep step = TravelStep::Done;
    long error = 0;
    std::size_t failed = 0;            // the message the writing stopped at, when not done
    std::vector<std::size_t> written;  // when not done: the ones that stayed written (put back failed)
    bool Done() const noexcept { return step == TravelStep::Done; }
};
// The call that stores one value; tests put one that fails in its place.
using StoreTextData = LSTATUS (*)(HKEY key, const std::wstring& name, const std::string& data) noexcept;
// Writes every message into HKCU\...\Users\<screen name>\IAmGoneList, creating the keys it
// needs, as REG_SZ with the bytes given. Every name is checked before the first value is
// written; when a value then fails, the ones written before it are put back as they were (a
// value that was not there is removed again), so all are written or none. Nothing else is ever
// removed.
TravelWriting WriteMessagesExactly(const std::vector<TravellingMessage>& messages, StoreTextData store = nullptr);
// The plain words for a writing that was not done; reason is the system's text for its error.
std::wstring TravelFailureText(const TravelWriting& writing, const std::vector<TravellingMessage>& messages,
                               std::wstring_view reason);

// A registry file read whole, refused before reading when it is larger than kMostRegFileBytes.
struct FileReading {
    DWORD error = 0;  // the system's error for a file that could not be read
    RegFileContents contents;
};
FileReading ReadRegFileAt(const std::wstring& path);
// Writes the bytes beside the path and moves them over it in one step; 0 or the system's error.
DWORD WriteFileAt(const std::wstring& path, const std::string& bytes);

}  // namespace velmora
