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

TEST(AwayStore, AFailureSaysWhatWasNotStoredWhereAndWhy) {
    const std::wstring open =
        StoreFailureText(true, {StoreStep::OpenKey, 5}, L"pal42", L"3", L"Access denied. (error 5)");
    EXPECT_EQ(open,
              L"The away message was not stored.\r\n\r\nScreen name: \"pal42\"\r\nSlot: \"3\"\r\nWhere: "
              L"HKEY_CURRENT_USER\\SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\pal42\\"
              L"IAmGoneList, value \"GoneMsg3\"\r\nWhy: Access denied. (error 5)");
    const std::wstring cyrillic = L"\u0411\u043e\u0440\u0438\u0441";
    const std::wstring named = StoreFailureText(false, {StoreStep::NameNotInCodePage, 0}, cyrillic, L"1", L"");
    EXPECT_EQ(named.rfind(L"The away message was not deleted.", 0), 0u);
    EXPECT_NE(named.find(L"\"" + cyrillic + L"\" has characters"), std::wstring::npos);
    // A name of hundreds of characters is cut, so the box stays readable.
    const std::wstring longName(300, L'n');
    const std::wstring cut =
        StoreFailureText(true, {StoreStep::StoreValue, 87}, longName, std::wstring(5000, L'7'), L"x");
    EXPECT_LT(cut.size(), 600u);
    EXPECT_EQ(StoreFailureText(true, {}, L"a", L"1", L""), L"");
}

}  // namespace
}  // namespace velmora
