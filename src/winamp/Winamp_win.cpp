#include <string>

#include "misc/Ansi.h"
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
    DWORD_PTR length = 0;
    if (!SendWithinWait(window, WM_GETTEXTLENGTH, 0, 0, length)) return {};
    std::string title(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendWithinWait(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(title.data()), copied)) return {};
    title.resize(copied < length ? copied : length);
    return FromAnsi(title);
}

std::optional<std::wstring> GetWinampSong() { return ExtractSongFromTitle(GetWindowTitle(FindWinampWindow())); }

}  // namespace velmora
