#include <string>

#include "misc/Ansi.h"
#include "misc/Text.h"
#include "winamp/SongRule.h"
#include "winamp/Winamp.h"

namespace velmora {
namespace {

// A hung Winamp must not freeze Update: each message waits a second at most.
constexpr UINT kWinampWaitMs = 1000;

bool SendWithinWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) noexcept {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kWinampWaitMs,
                               &result) != 0;
}

}  // namespace

HWND FindWinampWindow() noexcept { return FindWindowA("Winamp v1.x", nullptr); }

std::wstring GetWindowTitle(HWND window) {
    if (!window) return {};
    // Winamp is another program: a length or count it answers that cannot be true reads as no title.
    DWORD_PTR lengthAnswer = 0;
    if (!SendWithinWait(window, WM_GETTEXTLENGTH, 0, 0, lengthAnswer)) return {};
    const std::optional<std::size_t> length = TrustedTextLength(static_cast<LONG_PTR>(lengthAnswer));
    if (!length) return {};
    std::string title(*length + 1, '\0');
    DWORD_PTR copiedAnswer = 0;
    if (!SendWithinWait(window, WM_GETTEXT, *length + 1, reinterpret_cast<LPARAM>(title.data()), copiedAnswer))
        return {};
    const std::optional<std::size_t> copied = TrustedCopiedLength(static_cast<LONG_PTR>(copiedAnswer), *length);
    if (!copied) return {};
    title.resize(*copied);
    // What lies after the title's terminator was never written by Winamp.
    title.resize(title.find('\0') == std::string::npos ? title.size() : title.find('\0'));
    return FromAnsi(title);
}

std::optional<std::wstring> GetWinampSong() { return ExtractSongFromTitle(GetWindowTitle(FindWinampWindow())); }

}  // namespace velmora
