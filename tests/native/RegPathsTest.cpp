#include <gtest/gtest.h>

#include "storage/Reg.h"

namespace velmora {
namespace {

TEST(AwayStore, KeyPathPutsTheScreenNameBetweenUsersAndIAmGoneList) {
    EXPECT_EQ(AwayKeyPath(L"Harlowpine"),
              L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\Harlowpine\\IAmGoneList");
    // Unchanged: blanks, case and backslashes (which nest keys) stay as typed.
    EXPECT_EQ(AwayKeyPath(L" My Name\\x"),
              L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\ My Name\\x\\IAmGoneList");
}

TEST(AwayStore, ValueNameIsGoneMsgAndTheSlotAsTyped) {
    EXPECT_EQ(AwayValueName(L"1"), L"GoneMsg1");
    EXPECT_EQ(AwayValueName(L"15"), L"GoneMsg15");
    EXPECT_EQ(AwayValueName(L"12b"), L"GoneMsg12b");
    EXPECT_EQ(AwayValueName(L""), L"GoneMsg");
}

TEST(AwayStore, OnlyNamesWithSomethingBesidesBackslashesAreUsable) {
    EXPECT_FALSE(IsUsableScreenName(L""));
    EXPECT_FALSE(IsUsableScreenName(L"\\"));
    EXPECT_FALSE(IsUsableScreenName(L"\\\\\\"));
    EXPECT_TRUE(IsUsableScreenName(L" "));
    EXPECT_TRUE(IsUsableScreenName(L"\\a"));
    EXPECT_TRUE(IsUsableScreenName(L"pal42"));
}

}  // namespace
}  // namespace velmora
