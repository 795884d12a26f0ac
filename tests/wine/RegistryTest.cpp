// The registry layer against Wine's real registry, read back with the registry calls.
#include <gtest/gtest.h>

#include "storage/Reg.h"
#include "storage/RegValues.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::ReadRegistryValue;
using testing::RegistryKeyExists;
using testing::RegistryValueNames;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users";

class AwayStoreTest : public ::testing::Test {
protected:
    void TearDown() override { testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + L"\\" + name_); }
    std::wstring name_ = testing::UniqueScreenName(L"regtest");
    std::wstring listKey_ = AwayKeyPath(name_);
};

std::string Bytes(const testing::RegistryValue& value) { return std::string(value.data.begin(), value.data.end()); }

TEST_F(AwayStoreTest, FirstWriteCreatesTheNamesKeyItsListAndTheValue) {
    ASSERT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUsers + L"\\" + name_));
    WriteAwayMessage(name_, L"3", L"<title>x</title>");
    const auto value = ReadRegistryValue(HKEY_CURRENT_USER, listKey_, L"GoneMsg3");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    // n characters are stored as n bytes and the terminating NUL.
    EXPECT_EQ(Bytes(*value), std::string("<title>x</title>", 16) + '\0');
}

TEST_F(AwayStoreTest, WritingASlotAgainLeavesOneValueWithTheLaterText) {
    WriteAwayMessage(name_, L"3", L"first");
    WriteAwayMessage(name_, L"3", L"second, longer");
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, listKey_), std::vector<std::wstring>{L"GoneMsg3"});
    EXPECT_EQ(Bytes(*ReadRegistryValue(HKEY_CURRENT_USER, listKey_, L"GoneMsg3")),
              std::string("second, longer") + '\0');
}

TEST_F(AwayStoreTest, TextCrossesAsAnsiAndEmptyTextIsAnEmptyString) {
    WriteAwayMessage(name_, L"1", L"caf\u00e9 \u00bd\r\nline two");
    WriteAwayMessage(name_, L"2", L"");
    EXPECT_EQ(Bytes(*ReadRegistryValue(HKEY_CURRENT_USER, listKey_, L"GoneMsg1")),
              std::string("caf\xe9 \xbd\r\nline two") + '\0');
    EXPECT_EQ(Bytes(*ReadRegistryValue(HKEY_CURRENT_USER, listKey_, L"GoneMsg2")), std::string(1, '\0'));
}

TEST_F(AwayStoreTest, DeleteRemovesTheValueAndKeepsTheEmptyKey) {
    WriteAwayMessage(name_, L"7", L"gone");
    RemoveAwayMessage(name_, L"7");
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, listKey_, L"GoneMsg7").has_value());
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, listKey_));
    EXPECT_TRUE(RegistryValueNames(HKEY_CURRENT_USER, listKey_).empty());
}

TEST_F(AwayStoreTest, DeletingWhatIsNotThereCreatesNothing) {
    RemoveAwayMessage(name_, L"4");
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUsers + L"\\" + name_));
    WriteAwayMessage(name_, L"1", L"kept");
    RemoveAwayMessage(name_, L"4");
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, listKey_), std::vector<std::wstring>{L"GoneMsg1"});
}

TEST_F(AwayStoreTest, ASlotTypedByHandNamesItsValue) {
    WriteAwayMessage(name_, L"12b", L"x");
    WriteAwayMessage(name_, L"", L"y");
    EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, listKey_, L"GoneMsg12b").has_value());
    EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, listKey_, L"GoneMsg").has_value());
}

TEST(AwayStore, EmptyOrBackslashOnlyScreenNamesWriteAndDeleteNothing) {
    const std::wstring strayList = kUsers + L"\\IAmGoneList";
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, strayList);
    WriteAwayMessage(L"", L"1", L"x");
    WriteAwayMessage(L"\\\\", L"1", L"x");
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, strayList));

    // A value that does sit there is not deleted through an empty name either.
    WriteRegValue(HKEY_CURRENT_USER, strayList, L"GoneMsg1", L"not Velmora's");
    RemoveAwayMessage(L"", L"1");
    EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, strayList, L"GoneMsg1").has_value());
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, strayList);
}

TEST_F(AwayStoreTest, UpdateAndDeleteThatFailSayWhereTheyStopped) {
    // A screen name longer than a key's name may be; a slot of thousands of characters.
    const std::wstring longName = name_ + std::wstring(300, L'x');
    EXPECT_EQ(WriteAwayMessage(longName, L"1", L"x").step, StoreStep::OpenKey);
    EXPECT_EQ(RemoveAwayMessage(longName, L"1").step, StoreStep::OpenKey);
    EXPECT_EQ(WriteAwayMessage(name_, std::wstring(20000, L'7'), L"x").step, StoreStep::StoreValue);
    // A full-width digit would be slot 1 only as a look-alike.
    EXPECT_EQ(WriteAwayMessage(name_, L"\uFF11", L"x").step, StoreStep::SlotNotInCodePage);
    EXPECT_TRUE(WriteAwayMessage(name_, L"1", L"x").Done());
    EXPECT_TRUE(RemoveAwayMessage(name_, L"1").Done());
    EXPECT_TRUE(RemoveAwayMessage(name_, L"1").Done());  // nothing left to remove
}

}  // namespace
}  // namespace velmora
