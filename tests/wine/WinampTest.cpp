// The Winamp reader against the Winamp stand-in's real window.
#include <gtest/gtest.h>

#include "support/StandIn.h"
#include "winamp/Winamp.h"

namespace velmora {
namespace {

using testing::StandInPath;
using testing::StandInProcess;

TEST(Winamp, NoWindowGivesNoTitleAndNoSong) {
    EXPECT_EQ(GetWindowTitle(nullptr), L"");
    EXPECT_EQ(FindWinampWindow(), nullptr);
    EXPECT_FALSE(GetWinampSong().has_value());
}

TEST(Winamp, TheSongIsReadFromTheRunningPlayersTitle) {
    auto winamp = StandInProcess::Start(StandInPath(L"winamp-standin.exe"), L"\"12. Artist - Title - Winamp\"");
    HWND window = FindWinampWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowTitle(window), L"12. Artist - Title - Winamp");
    EXPECT_EQ(GetWinampSong(), std::optional<std::wstring>(L"Artist - Title"));
    winamp.Quit();
    EXPECT_FALSE(GetWinampSong().has_value());
}

TEST(Winamp, EachReadSeesTheTitleOfThatMoment) {
    auto winamp = StandInProcess::Start(StandInPath(L"winamp-standin.exe"), L"\"1. First - Song - Winamp\"");
    EXPECT_EQ(GetWinampSong(), std::optional<std::wstring>(L"First - Song"));
    winamp.Command("title 123. Band - Second Song.mp3 - Winamp [Paused]");
    EXPECT_EQ(GetWinampSong(), std::optional<std::wstring>(L"Band - Second Song.mp3"));
    // A stopped player shows no song in its title.
    winamp.Command("title Winamp 2.91");
    EXPECT_FALSE(GetWinampSong().has_value());
    winamp.Command("title 4. Caf\xe9 del Mar - \xbd Moon - Winamp");
    EXPECT_EQ(GetWinampSong(), std::optional<std::wstring>(L"Caf\u00e9 del Mar - \u00bd Moon"));
}

}  // namespace
}  // namespace velmora
