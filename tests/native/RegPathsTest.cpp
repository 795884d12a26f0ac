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

TEST(AwayStore, AFailureSaysWhatWasNotStoredWhereAndWhyAndStaysReadable) {
    const std::wstring text = StoreFailureText(false, {StoreStep::RemoveValue, 5}, L"pal42", L"3", L"Access denied.");
    EXPECT_EQ(text.rfind(L"The away message was not deleted.", 0), 0u);
    EXPECT_NE(text.find(L"Users\\pal42\\IAmGoneList, value \"GoneMsg3\"\r\nWhy: Access denied."), std::wstring::npos);
    // Names of hundreds of characters are cut.
    EXPECT_LT(
        StoreFailureText(true, {StoreStep::OpenKey, 87}, std::wstring(300, L'n'), std::wstring(5000, L'7'), L"").size(),
        600u);
    // A value of a list that holds no slot in its name, as Stored Messages removes it.
    EXPECT_EQ(RemoveFailureText({StoreStep::RemoveValue, 5}, L"pal42", std::nullopt, L"Sounds", L"Access denied."),
              L"The away message was not deleted.\r\n\r\nScreen name: \"pal42\"\r\nWhere: HKEY_CURRENT_USER\\"
              L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\pal42\\IAmGoneList, "
              L"value \"Sounds\"\r\nWhy: Access denied.");
    EXPECT_EQ(RemoveFailureText({}, L"pal42", std::nullopt, L"Sounds", L""), L"");
}

}  // namespace
}  // namespace velmora
