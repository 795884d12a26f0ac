// The settings file on a real disk: what Velmora writes, what the profile calls of older
// versions read from it, and saves that must fail without touching the file.
#include <gtest/gtest.h>

#include "misc/Handles.h"
#include "storage/INI.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::ReadWholeFile;
using testing::WriteWholeFile;

class SettingsFileTest : public ::testing::Test {
protected:
    // What a version that reads Msg.ini through the profile calls finds.
    std::string ProfileValue(const char* section, const char* key) const {
        std::string buffer(70000, '\0');
        const std::string path(path_.begin(), path_.end());
        buffer.resize(GetPrivateProfileStringA(section, key, "", buffer.data(), 70000, path.c_str()));
        return buffer;
    }
    int FilesInFolder() const {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folder_.Path() + L"\\*").c_str(), &found);
        int count = 0;
        do count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        while (FindNextFileW(search, &found));
        FindClose(search);
        return count;
    }

    testing::TempFolder folder_;
    std::wstring path_ = folder_.File(L"Msg.ini");
};

TEST_F(SettingsFileTest, MissingFileSectionOrKeyReadsEmpty) {
    EXPECT_EQ(LoadLastMessage(path_), L"");
    WriteWholeFile(path_, "[Other]\r\nMsg=not ours\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"");
    WriteWholeFile(path_, "[General]\r\nOther=x\r\nMsg=\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"");
}

TEST_F(SettingsFileTest, APlainMessageIsStoredAsMsgEqualsTextAndLeavesNoOtherFile) {
    EXPECT_EQ(SaveLastMessage(path_, L"Back at 3; a=b"), 0u);
    EXPECT_EQ(*ReadWholeFile(path_), "[General]\r\nMsg=Back at 3; a=b\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"Back at 3; a=b");
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(SettingsFileTest, EveryMessageComesBackExactlyAndOlderReadersGetItsFirstLine) {
    std::wstring message = L" lead\r\n[Other]\r\nkey=value\r\n\"quoted\"\r\nlone\rcr and lone\nlf ";
    message += L"\u0411\u043e\u0440\u0438\u0441 caf\u00e9 \U0001F600 form feed\f ctrl z\x1a vt\v";
    message += std::wstring(600, L'w');
    EXPECT_EQ(SaveLastMessage(path_, message), 0u);
    EXPECT_EQ(LoadLastMessage(path_), message);
    EXPECT_EQ(ProfileValue("General", "Msg"), "lead");
    EXPECT_EQ(ProfileValue("Other", "key"), "");

    const std::wstring firstLine = L"caf\u00e9 \u0416\f";
    EXPECT_EQ(SaveLastMessage(path_, firstLine + L"\r\nsecond"), 0u);
    EXPECT_EQ(ProfileValue("General", "Msg"), "caf\xe9 ?");
    EXPECT_EQ(LoadLastMessage(path_), firstLine + L"\r\nsecond");
}

TEST_F(SettingsFileTest, OtherSectionsAndKeysOfTheFileAreLeftAlone) {
    WriteWholeFile(path_, "[Window]\r\nLeft=10\r\n[General]\r\nMine=yes\r\nMsgExact9=stale\r\n");
    EXPECT_EQ(SaveLastMessage(path_, L"a\r\nb"), 0u);
    EXPECT_EQ(ProfileValue("Window", "Left"), "10");
    EXPECT_EQ(ProfileValue("General", "Mine"), "yes");
    EXPECT_EQ(ProfileValue("General", "MsgExact9"), "");
    EXPECT_EQ(LoadLastMessage(path_), L"a\r\nb");
}

TEST_F(SettingsFileTest, AMessageLongerThanOneValueMayHoldComesBackWholeAndOlderReadersReadIt) {
    std::wstring message;
    while (message.size() < 100000) message += L"Away for the weekend. \"See\" you Monday.\r\n";
    EXPECT_EQ(SaveLastMessage(path_, message), 0u);
    EXPECT_EQ(LoadLastMessage(path_), message);
    EXPECT_FALSE(ProfileValue("General", "MsgExact4").empty());
    // A shorter one later leaves no stale parts behind.
    EXPECT_EQ(SaveLastMessage(path_, L"short\r\none"), 0u);
    EXPECT_EQ(ProfileValue("General", "MsgExact2"), "");
    EXPECT_EQ(LoadLastMessage(path_), L"short\r\none");
}

TEST_F(SettingsFileTest, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    const std::string earlier = "[General]\r\nMsg=earlier\r\n";
    WriteWholeFile(path_, earlier);
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(SaveLastMessage(path_, L"new"), static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(*ReadWholeFile(path_), earlier);

    {  // Held open by another program that shares it with nobody.
        UniqueKernelHandle lock(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(SaveLastMessage(path_, L"new"), static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(LoadLastMessage(path_), L"");
    }
    EXPECT_EQ(*ReadWholeFile(path_), earlier);
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(SettingsFileTest, AHugeFileIsReadAndReplacedWholeButAHugeMessageIsNotRestored) {
    const std::string other = "[Other]\r\nPad=" + std::string(10 << 20, 'p') + "\r\n";
    WriteWholeFile(path_, other + "[General]\r\nMsg=" + std::string(32000, 'y') +
                              "\r\nMsgExact=" + std::string(2 << 20, 'y') + "\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"");
    EXPECT_EQ(SaveLastMessage(path_, L"kept"), 0u);
    EXPECT_EQ(*ReadWholeFile(path_), other + "[General]\r\nMsg=kept\r\n");
    EXPECT_EQ(LoadLastMessage(path_), L"kept");
}

}  // namespace
}  // namespace velmora
