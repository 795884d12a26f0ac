// The settings file through the real private-profile calls, checked in the file itself.
#include <gtest/gtest.h>

#include "storage/INI.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::ReadWholeFile;
using testing::WriteWholeFile;

class SettingsFileTest : public ::testing::Test {
protected:
    testing::TempFolder folder_;
    std::wstring path_ = folder_.File(L"Msg.ini");
};

TEST_F(SettingsFileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(ReadIniValue(L"General", L"Msg", path_), L"");
    EXPECT_EQ(LoadLastMessage(path_), L"");
    WriteWholeFile(path_, "[Other]\r\nMsg=not ours\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"");
    WriteWholeFile(path_, "[General]\r\nOther=x\r\nMsg=\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"");
}

TEST_F(SettingsFileTest, APlainMessageIsStoredAsMsgEqualsText) {
    SaveLastMessage(path_, L"Back at 3; a=b");
    const auto file = ReadWholeFile(path_);
    ASSERT_TRUE(file.has_value());
    EXPECT_NE(file->find("[General]"), std::string::npos);
    EXPECT_NE(file->find("Msg=Back at 3; a=b"), std::string::npos);
    EXPECT_EQ(file->find("MsgExact"), std::string::npos);
    EXPECT_EQ(LoadLastMessage(path_), L"Back at 3; a=b");
}

TEST_F(SettingsFileTest, AFileWrittenByAnEarlierVersionReadsAsBefore) {
    WriteWholeFile(path_, "[General]\r\nMsg=Out to lunch\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"Out to lunch");
}

TEST_F(SettingsFileTest, LongMultiLineMessagesComeBackExactlyAndAddNoSectionOrKey) {
    std::wstring message = L" lead\r\n[Other]\r\nkey=value\r\n\"quoted\"\r\nlone\rcr and lone\nlf ";
    message += std::wstring(600, L'w');
    message += L"\r\n";
    SaveLastMessage(path_, message);
    EXPECT_EQ(LoadLastMessage(path_), message);

    const std::string file = *ReadWholeFile(path_);
    EXPECT_EQ(file.find("\n[Other]"), std::string::npos);
    EXPECT_EQ(file.find("\nkey=value"), std::string::npos);
    // One section, two keys, nothing else.
    int lines = 0;
    for (char c : file) lines += c == '\n';
    EXPECT_EQ(lines, 3) << file;
}

TEST_F(SettingsFileTest, SavingAPlainMessageAfterAnExactOneDropsTheExactKey) {
    SaveLastMessage(path_, L"two\r\nlines");
    SaveLastMessage(path_, L"one line");
    EXPECT_EQ(ReadWholeFile(path_)->find("MsgExact"), std::string::npos);
    EXPECT_EQ(LoadLastMessage(path_), L"one line");
}

TEST_F(SettingsFileTest, OtherSectionsAndKeysOfTheFileAreLeftAlone) {
    WriteWholeFile(path_, "[Window]\r\nLeft=10\r\n[General]\r\nMine=yes\r\n");
    SaveLastMessage(path_, L"a\r\nb");
    EXPECT_EQ(ReadIniValue(L"Window", L"Left", path_), L"10");
    EXPECT_EQ(ReadIniValue(L"General", L"Mine", path_), L"yes");
    EXPECT_EQ(LoadLastMessage(path_), L"a\r\nb");
}

TEST_F(SettingsFileTest, ValuesLongerThanAnyFirstBufferAreReadWhole) {
    const std::wstring value(30000, L'v');
    WriteIniValue(L"General", L"Msg", value, path_);
    EXPECT_EQ(ReadIniValue(L"General", L"Msg", path_), value);
}

TEST_F(SettingsFileTest, AMessageLongerThanOneValueMayHoldComesBackWhole) {
    std::wstring message;
    while (message.size() < 100000) message += L"Away for the weekend. \"See\" you Monday.\r\n";
    SaveLastMessage(path_, message);
    EXPECT_EQ(LoadLastMessage(path_), message);
    // A shorter one later leaves no stale parts behind.
    SaveLastMessage(path_, L"short\r\none");
    EXPECT_EQ(ReadIniValue(L"General", L"MsgExact2", path_), L"");
    EXPECT_EQ(LoadLastMessage(path_), L"short\r\none");
}

TEST_F(SettingsFileTest, AnEmptyMessageIsSavedAsEmpty) {
    SaveLastMessage(path_, L"earlier");
    SaveLastMessage(path_, L"");
    EXPECT_EQ(LoadLastMessage(path_), L"");
}

}  // namespace
}  // namespace velmora
