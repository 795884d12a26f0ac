#pragma once
// Module Winamp: the song a running Winamp is playing, read from its main window's title.
#include <windows.h>

#include <optional>
#include <string>

namespace velmora {

// The first top-level window of class "Winamp v1.x", or nullptr.
HWND FindWinampWindow() noexcept;
// The window's title (empty for a null handle, or when the window does not answer within a second).
std::wstring GetWindowTitle(HWND window);
// The playing song, or nullopt when none can be read (no Winamp, or a stopped player's title).
std::optional<std::wstring> GetWinampSong();

}  // namespace velmora
