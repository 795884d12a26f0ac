#include "winamp/SongRule.h"

#include "misc/Text.h"

namespace velmora {

namespace {

constexpr std::wstring_view kWinampMark = L" - Winamp";

// Length of a leading "<digits>. " playlist number, or 0 when the title has none.
std::size_t PlaylistPrefixLength(std::wstring_view title) {
    std::size_t i = 0;
    while (i < title.size() && IsAsciiDigit(title[i])) {
        ++i;
    }
    if (i == 0 || i + 1 >= title.size() || title[i] != L'.' || title[i + 1] != L' ') {
        return 0;
    }
    return i + 2;
}

}  // namespace

std::optional<std::wstring> ExtractSongFromTitle(std::wstring_view title) {
    const std::size_t markAt = title.find(kWinampMark);
    const std::size_t songStart = PlaylistPrefixLength(title);
    // "1. - Winamp": the mark's blank doubles as the prefix's blank, so no song fits.
    if (markAt == std::wstring_view::npos || markAt < songStart) {
        return std::nullopt;
    }
    std::wstring_view song = title.substr(songStart, markAt - songStart);
    if (!song.empty() && song.back() == L' ') {
        song.remove_suffix(1);
    }
    return std::wstring(song);
}

}  // namespace velmora
