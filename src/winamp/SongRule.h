#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Cuts the playing song out of Winamp's main-window title, which reads like
// "12. Artist - Title - Winamp" (anything may follow " - Winamp").
// A leading playlist number ("12. ": digits, full stop, blank) is skipped; the
// song runs up to the first " - Winamp" (case-sensitive), and one trailing
// blank is dropped. Returns std::nullopt when the title holds no " - Winamp"
// after the playlist number, e.g. when Winamp is not running (empty title).
std::optional<std::wstring> ExtractSongFromTitle(std::wstring_view title);

}  // namespace velmora
