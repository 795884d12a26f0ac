// Stored messages moved in the real velmora.exe: copied to another screen name from Stored
// Messages (asking before a different message is replaced), backed up to a registry file and
// restored from one, hostile and huge files included.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>
// The list view's messages need windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/AwayControls.h"
#include "compose/AwayDocument.h"
#include "misc/Handles.h"
#include "storage/Reg.h"
#include "stored/BackUpControls.h"
#include "stored/CopyControls.h"
#include "stored/RestoreControls.h"
#include "stored/StoredControls.h"
#include "support/TestSupport.h"
#include "travel/RegFile.h"

namespace velmora {
namespace {

using testing::WaitUntil;

std::string Document(std::wstring_view label, std::wstring_view message) {
    return TextData(BuildAwayDocument(label, L"#ffffff", L"#000000", L"2", message, std::nullopt));
}

class TravelE2E : public ::testing::Test {
protected:
    void SetUp() override { velmora_.Type(AwayIds::Text5, from_); }
    void TearDown() override {
        for (const std::wstring& name : {from_, to_})
            testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);
    }
    static void Put(const std::wstring& screenName, const std::wstring& valueName, std::string data) {
        const auto size = static_cast<DWORD>(data.size());
        data.append(4, '\x01');  // no NUL after the data, which the system would count
        UniqueHkey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(
            RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()), size),
            ERROR_SUCCESS);
    }
    // The bytes as the registry holds them; "none" when the value is not there.
    static std::string Held(const std::wstring& screenName, const std::wstring& valueName) {
        UniqueHkey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName).c_str(), 0, KEY_QUERY_VALUE, key.put()))
            return "none";
        DWORD size = 0;
        if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr, nullptr, &size)) return "none";
        std::string data(size, '\0');
        RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
        return data.substr(0, size);
    }
    HWND OpenStored() {
        velmora_.ChooseMenu(AwayIds::MenuStored);
        HWND stored = velmora_.WaitForWindowTitled(L"Stored Messages");
        // The list is read beside the window: the main window's name and its first message come.
        EXPECT_TRUE(
            WaitUntil([&] { return SendMessageW(GetDlgItem(stored, StoredIds::Messages), LB_GETCURSEL, 0, 0) == 0; }));
        return stored;
    }
    HWND OpenFromStored(int button, const wchar_t* title) {
        HWND stored = OpenStored();
        PostMessageW(GetDlgItem(stored, button), BM_CLICK, 0, 0);
        HWND window = velmora_.WaitForWindowTitled(title);
        EXPECT_NE(window, nullptr);
        return window;
    }
    static void Type(HWND window, int id, const std::wstring& text) {
        SendMessageW(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // The box the process shows: its longest text, and the box answered with `button`.
    std::wstring Answer(int button) const {
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = testing::VisibleDialogOfProcess(velmora_.ProcessId())) != nullptr; }))
            return L"(no question)";
        std::wstring asked;
        for (HWND text = nullptr; (text = FindWindowExW(box, text, L"Static", nullptr));)
            if (testing::WindowText(text).size() > asked.size()) asked = testing::WindowText(text);
        PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
        WaitUntil([&] { return !IsWindow(box); });
        return asked;
    }
    static bool SaysSoon(HWND window, int id, const std::wstring& part) {
        return WaitUntil([&] { return testing::WindowText(GetDlgItem(window, id)).find(part) != std::wstring::npos; });
    }
    static bool Ticked(HWND list, int row) {
        return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) >> 12) == 2;
    }

    testing::TempFolder folder_;
    std::wstring from_ = testing::UniqueScreenName(L"Harlowpine");
    std::wstring to_ = testing::UniqueScreenName(L"pal");
    testing::VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(TravelE2E, OneMessageIsCopiedToATypedScreenNameAfterAskingAndTheSameIsLeftAlone) {
    const std::string weekend = Document(L"Weekend", L"Gone for the weekend,\r\nback Monday &#8364;");
    Put(from_, L"GoneMsg3", weekend);
    Put(to_, L"GoneMsg3", Document(L"Lunch", L"At lunch"));
    HWND copy = OpenFromStored(StoredIds::CopyTo, L"Copy Stored Messages");
    Type(copy, CopyIds::ToScreenName, to_);

    PostMessageW(GetDlgItem(copy, CopyIds::Copy), BM_CLICK, 0, 0);
    EXPECT_EQ(Answer(IDNO), L"Replace 'Lunch' (slot 3) of " + to_ + L" with 'Weekend' of " + from_ + L"?");
    EXPECT_EQ(Held(to_, L"GoneMsg3"), Document(L"Lunch", L"At lunch"));

    PostMessageW(GetDlgItem(copy, CopyIds::Copy), BM_CLICK, 0, 0);
    Answer(IDYES);
    EXPECT_TRUE(SaysSoon(copy, CopyIds::Outcome, L"1 message copied to " + to_));
    EXPECT_EQ(Held(to_, L"GoneMsg3"), weekend);

    // Again: the same bytes are there, nothing is asked.
    SendMessageW(GetDlgItem(copy, CopyIds::Copy), BM_CLICK, 0, 0);
    EXPECT_TRUE(SaysSoon(copy, CopyIds::Outcome, L"0 messages copied to " + to_ + L"; 1 was there already."));

    // Into a chosen slot of the same screen name.
    SendMessageW(GetDlgItem(copy, CopyIds::IntoSlot), BM_CLICK, 0, 0);
    Type(copy, CopyIds::SlotBox, L"12b");
    Type(copy, CopyIds::ToScreenName, from_);
    SendMessageW(GetDlgItem(copy, CopyIds::Copy), BM_CLICK, 0, 0);
    EXPECT_EQ(Held(from_, L"GoneMsg12b"), weekend);
}

// A screen name the client holds without any stored message (signed on, never given one) is
// offered too: it is the one a user with a new screen name copies into.
TEST_F(TravelE2E, CopyOffersEveryScreenNameTheClientHoldsAlsoOneWithoutMessages) {
    Put(from_, L"GoneMsg1", Document(L"Weekend", L"Gone"));
    UniqueHkey held;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (UsersKeyPath() + L"\\" + to_).c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, held.put(), nullptr),
              ERROR_SUCCESS);
    HWND copy = OpenFromStored(StoredIds::CopyTo, L"Copy Stored Messages");
    HWND names = GetDlgItem(copy, CopyIds::ToScreenName);
    std::vector<std::wstring> offered;
    for (LRESULT i = 0, count = SendMessageW(names, CB_GETCOUNT, 0, 0); i < count; ++i) {
        std::wstring name(static_cast<std::size_t>(SendMessageW(names, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0)) + 1,
                          L'\0');
        SendMessageW(names, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name.data()));
        offered.push_back(name.c_str());
    }
    EXPECT_NE(std::find(offered.begin(), offered.end(), to_), offered.end());
    EXPECT_NE(std::find(offered.begin(), offered.end(), from_), offered.end());
}

TEST_F(TravelE2E, BackUpWritesARegistryFileThatRestoreReadsBackByteForByte) {
    std::string everyByte;
    for (int b = 1; b < 256; ++b) everyByte += {static_cast<char>(b), static_cast<char>(b)};
    everyByte += std::string(2, '\0');
    Put(from_, L"GoneMsg1", Document(L"Lunch", L"line one\r\nline two"));
    Put(from_, L"GoneMsg2", everyByte);
    HWND backUp = OpenFromStored(StoredIds::BackUp, L"Back Up Stored Messages");
    const std::wstring path = folder_.File(L"backup.reg");
    Type(backUp, BackUpIds::FilePath, path);
    SendMessageW(GetDlgItem(backUp, BackUpIds::BackUp), BM_CLICK, 0, 0);
    ASSERT_TRUE(SaysSoon(backUp, BackUpIds::Outcome, L"backed up"));

    // The file holds this test's messages exactly (and those of every other screen name).
    const auto bytes = testing::ReadWholeFile(path);
    ASSERT_TRUE(bytes);
    const RegFileContents backup = ReadRegFile(*bytes, [](std::string_view) { return std::wstring(); });
    std::vector<TravellingMessage> ours;
    for (const TravellingMessage& message : backup.messages)
        if (message.screenName == from_) ours.push_back(message);
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[1].data, everyByte);

    // Restored from a file of these alone, so tests beside this one keep their keys.
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + from_);
    Put(from_, L"GoneMsg1", Document(L"Changed", L"meanwhile"));
    const std::wstring mine = folder_.File(L"mine.reg");
    testing::WriteWholeFile(mine, WriteRegFile(ours).bytes);
    HWND restore = OpenFromStored(StoredIds::RestoreFrom, L"Restore Stored Messages");
    Type(restore, RestoreIds::FilePath, mine);
    SendMessageW(GetDlgItem(restore, RestoreIds::ReadFile), BM_CLICK, 0, 0);
    ASSERT_TRUE(SaysSoon(restore, RestoreIds::Summary, L"2 messages in the file"));
    HWND found = GetDlgItem(restore, RestoreIds::Found);
    EXPECT_TRUE(Ticked(found, 0) && Ticked(found, 1));
    PostMessageW(GetDlgItem(restore, RestoreIds::Restore), BM_CLICK, 0, 0);
    EXPECT_EQ(Answer(IDYES), L"Replace 'Changed' (slot 1) of " + from_ + L" with 'Lunch' of the backup?");
    ASSERT_TRUE(SaysSoon(restore, RestoreIds::Summary, L"2 messages restored."));
    EXPECT_EQ(Held(from_, L"GoneMsg1"), ours[0].data);
    EXPECT_EQ(Held(from_, L"GoneMsg2"), everyByte);
    // What is there now is the same: unticked.
    EXPECT_FALSE(Ticked(found, 0) || Ticked(found, 1));
}

TEST_F(TravelE2E, RestoreTellsWhatAHostileFileHoldsAndWritesOnlyTheStore) {
    Put(from_, L"GoneMsg1", Document(L"Keep", L"keep me"));
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring text = L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + run +
                              L"]\r\n\"GoneMsgVelmoraTest\"=\"evil.exe\"\r\n\r\n[HKEY_LOCAL_MACHINE\\" +
                              AwayKeyPath(from_) + L"]\r\n\"GoneMsg2\"=\"machine\"\r\n\r\n[HKEY_CURRENT_USER\\" +
                              AwayKeyPath(from_) +
                              L"]\r\n\"GoneMsg1\"=-\r\n\"GoneMsg3\"=\"welcome\"\r\n\"GoneMsg4\"=\"cut\\";
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    const std::wstring path = folder_.File(L"hostile.reg");
    testing::WriteWholeFile(path, bytes);

    HWND restore = OpenFromStored(StoredIds::RestoreFrom, L"Restore Stored Messages");
    Type(restore, RestoreIds::FilePath, path);
    SendMessageW(GetDlgItem(restore, RestoreIds::ReadFile), BM_CLICK, 0, 0);
    ASSERT_TRUE(SaysSoon(restore, RestoreIds::Summary, L"1 message in the file; 4 lines left out:"));
    EXPECT_EQ(SendMessageW(GetDlgItem(restore, RestoreIds::Skipped), LB_GETCOUNT, 0, 0), 4);
    SendMessageW(GetDlgItem(restore, RestoreIds::Restore), BM_CLICK, 0, 0);
    ASSERT_TRUE(SaysSoon(restore, RestoreIds::Summary, L"1 message restored."));
    EXPECT_EQ(Held(from_, L"GoneMsg3"), TextData(L"welcome"));
    EXPECT_EQ(Held(from_, L"GoneMsg1"), Document(L"Keep", L"keep me"));
    EXPECT_FALSE(testing::ReadRegistryValue(HKEY_CURRENT_USER, run, L"GoneMsgVelmoraTest"));
    EXPECT_FALSE(testing::RegistryKeyExists(HKEY_LOCAL_MACHINE, AwayKeyPath(from_)));

    // A file of 100 MB is refused without being read; the window answers all along.
    const std::wstring huge = folder_.File(L"huge.reg");
    {
        UniqueKernelHandle file(CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        LARGE_INTEGER size{};
        size.QuadPart = 100LL * 1024 * 1024;
        ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    }
    Type(restore, RestoreIds::FilePath, huge);
    SendMessageW(GetDlgItem(restore, RestoreIds::ReadFile), BM_CLICK, 0, 0);
    EXPECT_TRUE(SaysSoon(restore, RestoreIds::Summary, L"larger than 16 MB"));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(restore, RestoreIds::Restore)));
}

}  // namespace
}  // namespace velmora
