#include <string>

#include "misc/Ansi.h"
#include "misc/Courier.h"
#include "misc/Text.h"
#include "winamp/SongRule.h"
#include "winamp/Winamp.h"

namespace velmora {
namespace {

// A hung Winamp must not freeze Update: each message waits a second at most, and while one is
// still on its way (a player stopped for long) the next is not sent at all.
constexpr DWORD kWinampWaitMs = 1000;

}  // namespace

HWND FindWinampWindow() noexcept { return FindWindowA("Winamp v1.x", nullptr); }

std::wstring GetWindowTitle(HWND window) {
    if (!window) return {};
    // Winamp is another program: a length or count it answers that cannot be true reads as no title.
    const auto lengthAsked = MakeLetter(window, WM_GETTEXTLENGTH);
    if (Carry(lengthAsked, kWinampWaitMs) != Delivery::Answered) return {};
    const std::optional<std::size_t> length = TrustedTextLength(static_cast<LONG_PTR>(lengthAsked->result));
    if (!length) return {};
    // The buffer lives in the letter: an answer after the wait still writes into live memory.
    const auto read = MakeTextLetter(window, WM_GETTEXT, std::string(*length + 1, '\0'));
    read->wParam = *length + 1;
    if (Carry(read, kWinampWaitMs) != Delivery::Answered) return {};
    const std::optional<std::size_t> copied = TrustedCopiedLength(static_cast<LONG_PTR>(read->result), *length);
    if (!copied) return {};
    std::string title = read->text.substr(0, *copied);
    // What lies after the title's terminator was never written by Winamp.
    title.resize(title.find('\0') == std::string::npos ? title.size() : title.find('\0'));
    return FromAnsi(title);
}

std::optional<std::wstring> GetWinampSong() { return ExtractSongFromTitle(GetWindowTitle(FindWinampWindow())); }

}  // namespace velmora
