#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "winamp/SongRule.h"

namespace velmora {
namespace {

struct TitleCase {
    std::wstring_view title;
    std::optional<std::wstring_view> song;
};

void ExpectSongs(const TitleCase* begin, const TitleCase* end) {
    for (const TitleCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(testing::Message() << "title: \"" << std::wstring(c->title) << "\"");
        const std::optional<std::wstring> song = ExtractSongFromTitle(c->title);
        ASSERT_EQ(song.has_value(), c->song.has_value());
        if (c->song) {
            EXPECT_EQ(*song, *c->song);
        }
    }
}

TEST(SongRule, PlaylistNumbersOfAnyLengthAreSkipped) {
    const TitleCase cases[] = {
        {L"1. Artist - Title - Winamp", L"Artist - Title"},   {L"12. Artist - Title - Winamp", L"Artist - Title"},
        {L"123. Artist - Title - Winamp", L"Artist - Title"}, {L"98765. Artist - Title - Winamp", L"Artist - Title"},
        {L"0. Artist - Title - Winamp", L"Artist - Title"},
    };
    ExpectSongs(std::begin(cases), std::end(cases));
}

TEST(SongRule, SongEndsAtTheFirstWinampMark) {
    const TitleCase cases[] = {
        {L"12. Artist - Title - Winamp [Paused]", L"Artist - Title"},
        {L"12. Artist - Title - Winamp [Stopped] - Winamp", L"Artist - Title"},
        {L"3. A - Winamp - Winamp", L"A"},
        {L"4. Covers - Winampish - Winamp", L"Covers"},
    };
    ExpectSongs(std::begin(cases), std::end(cases));
}

TEST(SongRule, FullStopsInsideTheSongAreKept) {
    const TitleCase cases[] = {
        {L"7. Band - Song.mp3 - Winamp", L"Band - Song.mp3"},
        {L"1. Dr. Who - Theme - Winamp", L"Dr. Who - Theme"},
        {L"2. 1. 2. 3. - Winamp", L"1. 2. 3."},
        {L"5. Mr. Brightside - Winamp", L"Mr. Brightside"},
    };
    ExpectSongs(std::begin(cases), std::end(cases));
}

TEST(SongRule, ShortAndEmptySongs) {
    const TitleCase cases[] = {
        {L"1. X - Winamp", L"X"}, {L"1.  - Winamp", L""},  // two blanks: an empty song, but a song
        {L" - Winamp", L""},      {L" - Winamp [Paused]", L""}, {L"X - Winamp", L"X"},
    };
    ExpectSongs(std::begin(cases), std::end(cases));
}

TEST(SongRule, OnlyOneTrailingBlankIsRemoved) {
    const TitleCase cases[] = {
        {L"1. Song  - Winamp", L"Song"}, {L"1. Song   - Winamp", L"Song "},
        {L"1.   - Winamp", L""},                                            // the third blank begins " - Winamp"
        {L"1.    - Winamp", L" "},       {L"1.  Song - Winamp", L" Song"},  // leading blanks stay
    };
    ExpectSongs(std::begin(cases), std::end(cases));
}

TEST(SongRule, TitlesWithoutAPlaylistNumberStartAtTheFirstCharacter) {
    const TitleCase cases[] = {
        {L"Artist - Title - Winamp", L"Artist - Title"},
        {L"12 Artist - Winamp", L"12 Artist"},            // no full stop after the number
        {L"12.Artist - Winamp", L"12.Artist"},            // no blank after the full stop
        {L"A1. Artist - Winamp", L"A1. Artist"},          // does not start with a digit
        {L". Artist - Winamp", L". Artist"},              // full stop without digits
        {L" 1. Artist - Winamp", L" 1. Artist"},          // starts with a blank
        {L"\uff11. Artist - Winamp", L"\uff11. Artist"},  // only ASCII digits count
    };
    ExpectSongs(std::begin(cases), std::end(cases));
}

TEST(SongRule, NoSongWithoutTheExactWinampMark) {
    const TitleCase cases[] = {
        {L"", std::nullopt},
        {L"Winamp 2.91", std::nullopt},
        {L"1. Song - winamp", std::nullopt},
        {L"1. Song - WINAMP", std::nullopt},
        {L"1. Song - WinAmp", std::nullopt},
        {L"1. Song -Winamp", std::nullopt},
        {L"1. Song- Winamp", std::nullopt},
        {L"1. Song  Winamp", std::nullopt},
        {L" - Winam", std::nullopt},
        {L"1. Song", std::nullopt},
    };
    ExpectSongs(std::begin(cases), std::end(cases));
}

TEST(SongRule, MarkOverlappingThePlaylistNumberGivesNoSong) {
    // The blank after "1." is also the first character of " - Winamp".
    EXPECT_FALSE(ExtractSongFromTitle(L"1. - Winamp").has_value());
    EXPECT_FALSE(ExtractSongFromTitle(L"42. - Winamp [Paused]").has_value());
}

TEST(SongRule, VeryLongTitles) {
    const std::wstring longSong(100000, L'a');

    EXPECT_EQ(ExtractSongFromTitle(L"1. " + longSong + L" - Winamp"), longSong);
    EXPECT_EQ(ExtractSongFromTitle(longSong + L" - Winamp"), longSong);
    EXPECT_EQ(ExtractSongFromTitle(L"1. Short - Winamp" + longSong), L"Short");

    const std::wstring longNumber(100000, L'9');
    EXPECT_EQ(ExtractSongFromTitle(longNumber + L". Song - Winamp"), L"Song");

    EXPECT_FALSE(ExtractSongFromTitle(L"1. " + longSong).has_value());
    EXPECT_FALSE(ExtractSongFromTitle(L"1. " + longSong + L" - winamp").has_value());
}

TEST(SongRule, NonAsciiSongsPassThrough) {
    EXPECT_EQ(ExtractSongFromTitle(L"3. Bj\u00f6rk - J\u00f3ga - Winamp"), L"Bj\u00f6rk - J\u00f3ga");
}

}  // namespace
}  // namespace velmora
