// The Stored Messages window in the real velmora.exe: what Update stores is listed, loads back
// into the main window and is stored again unchanged; Delete asks and removes one value; the
// list follows the registry by itself.
#include <windows.h>
// (sddl.h needs windows.h first.)
#include <gtest/gtest.h>
#include <sddl.h>

#include "app/AwayControls.h"
#include "stored/StoredControls.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using testing::ReadRegistryValue;
using testing::RegistryValueNames;
using testing::WaitUntil;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

class StoredMessagesE2E : public ::testing::Test {
protected:
    void SetUp() override { velmora_.Type(Text5, screenName_); }
    void TearDown() override { testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_); }

    std::wstring ListKey() const { return kUsers + screenName_ + L"\\IAmGoneList"; }
    std::string Stored(const std::wstring& valueName) const {
        const auto value = ReadRegistryValue(HKEY_CURRENT_USER, ListKey(), valueName);
        return value ? std::string(value->data.begin(), value->data.end()) : "(no value)";
    }
    void OpenStored() {
        velmora_.ChooseMenu(MenuStored);
        stored_ = velmora_.WaitForWindowTitled(L"Stored Messages");
        ASSERT_NE(stored_, nullptr);
    }
    HWND Part(int id) const { return GetDlgItem(stored_, id); }
    // The list is read beside the window, which answers meanwhile: its rows come a moment later.
    bool Lists(const std::vector<std::wstring>& rows) const {
        return WaitUntil([&] { return Rows() == rows; });
    }
    std::vector<std::wstring> Rows() const {
        std::vector<std::wstring> rows;
        for (LRESULT i = 0, count = SendMessageW(Part(StoredIds::Messages), LB_GETCOUNT, 0, 0); i < count; ++i) {
            wchar_t row[256]{};  // rows are short; the list may be filled again meanwhile
            if (SendMessageW(Part(StoredIds::Messages), LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
                SendMessageW(Part(StoredIds::Messages), LB_GETTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(row));
            rows.push_back(row);
        }
        return rows;
    }
    void Load(int row) const {
        SendMessageW(Part(StoredIds::Messages), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageW(stored_, WM_COMMAND, MAKEWPARAM(StoredIds::Messages, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Part(StoredIds::Messages)));
        SendMessageW(Part(StoredIds::Load), BM_CLICK, 0, 0);
    }
    // Delete holds its button until the question is answered, so it is pressed without waiting.
    std::wstring AskAndAnswer(int button) const {
        PostMessageW(Part(StoredIds::Delete), BM_CLICK, 0, 0);
        return Answer(button);
    }
    // The box the process shows: its longest text, and the box answered with `button`.
    std::wstring Answer(int button) const {
        std::pair<DWORD, HWND> search{velmora_.ProcessId(), nullptr};
        WaitUntil([&] { return (search.second = testing::VisibleDialogOfProcess(search.first)) != nullptr; });
        std::wstring asked;
        for (HWND text = nullptr; (text = FindWindowExW(search.second, text, L"Static", nullptr));)
            if (testing::WindowText(text).size() > asked.size()) asked = testing::WindowText(text);
        PostMessageW(GetDlgItem(search.second, button), BM_CLICK, 0, 0);
        WaitUntil([&] { return !IsWindow(search.second); });
        return asked;
    }
    // Gives everyone only these rights on the list key (SDDL), as a key the user may not change.
    void Protect(const wchar_t* rights) const {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(
            ConvertStringSecurityDescriptorToSecurityDescriptorW(rights, SDDL_REVISION_1, &descriptor, nullptr));
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ListKey().c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        RegCloseKey(key);
        LocalFree(descriptor);
    }
    std::vector<std::wstring> Composer() const {
        return {velmora_.Text(Text1),
                velmora_.Text(Text6),
                velmora_.Text(Text7),
                velmora_.Text(Combo1),
                velmora_.Text(Combo2),
                velmora_.Text(Text2_0),
                velmora_.IsTicked(Check1) ? L"ticked" : L"not ticked"};
    }

    testing::TempFolder folder_;
    std::wstring screenName_ = testing::UniqueScreenName(L"stored");
    testing::VelmoraProcess velmora_{folder_.Path()};
    HWND stored_ = nullptr;
};

TEST_F(StoredMessagesE2E, WhatUpdateStoredLoadsBackAndIsStoredAgainByteForByte) {
    auto winamp =
        testing::StandInProcess::Start(testing::StandInPath(L"winamp-standin.exe"), L"\"42. Artist - Title - Winamp\"");
    // Slot 3 without the song, slot 1 with it.
    velmora_.Type(Text1, L"Lunch & <b>more</b>");
    velmora_.Type(Text6, L"000080");
    velmora_.Type(Text7, L"FFFFE0");
    velmora_.Choose(Combo1, 2);
    velmora_.Choose(Combo2, 2);
    velmora_.Type(Text2_0, L"Out to lunch,\r\n<i>back</i> at %t");
    velmora_.Click(Command5);
    const std::vector<std::wstring> third = Composer();
    velmora_.Type(Text1, L"Weekend");
    velmora_.Choose(Combo1, 0);
    velmora_.Choose(Combo2, 0);
    velmora_.Type(Text2_0, L"Gone");
    velmora_.Click(Check1);
    velmora_.Click(Command5);
    const std::vector<std::wstring> first = Composer();
    const std::string storedFirst = Stored(L"GoneMsg1"), storedThird = Stored(L"GoneMsg3");
    ASSERT_NE(storedFirst.find("winamp:  Artist - Title"), std::string::npos);

    OpenStored();
    EXPECT_TRUE(Lists({L"1\tWeekend", L"3\tLunch & <b>more</b>"}));
    EXPECT_EQ(testing::WindowText(Part(StoredIds::ScreenNames)), screenName_);
    Load(1);
    EXPECT_EQ(Composer(), third);
    velmora_.Click(Command5);
    Load(0);
    EXPECT_EQ(Composer(), first);  // the song line ticks the box and stays out of the message
    velmora_.Click(Command5);
    EXPECT_EQ(Stored(L"GoneMsg1"), storedFirst);
    EXPECT_EQ(Stored(L"GoneMsg3"), storedThird);
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, ListKey()).size(), 2u);
}

TEST_F(StoredMessagesE2E, DeleteAsksTheListFollowsTheRegistryAndLoadNeedsTheMainWindow) {
    for (int slot : {2, 4}) {
        velmora_.Type(Text1, slot == 2 ? L"Lunch" : L"Meeting");
        velmora_.Choose(Combo2, slot);
        velmora_.Click(Command5);
    }
    const std::string fifth = Stored(L"GoneMsg5");
    OpenStored();
    ASSERT_TRUE(Lists({L"3\tLunch", L"5\tMeeting"}));
    EXPECT_EQ(AskAndAnswer(IDNO), L"Remove 'Lunch' (slot 3) of " + screenName_ + L"?");
    EXPECT_NE(Stored(L"GoneMsg3"), "(no value)");
    AskAndAnswer(IDYES);
    EXPECT_TRUE(Lists({L"5\tMeeting"}));
    EXPECT_EQ(Stored(L"GoneMsg5"), fifth);

    // Changes made elsewhere show up by themselves.
    velmora_.Choose(Combo2, 0);
    velmora_.Click(Command5);
    EXPECT_TRUE(WaitUntil([&] { return Rows().size() == 2; }));
    velmora_.Click(Command2);
    EXPECT_TRUE(Lists({L"5\tMeeting"}));
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_);
    EXPECT_TRUE(WaitUntil([&] { return Rows().empty(); }));
    EXPECT_EQ(velmora_.CountWindowsTitled(L"Stored Messages"), 1);  // no error box

    velmora_.Click(Command5);
    ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 1; }));
    Load(0);
    ASSERT_TRUE(IsWindowEnabled(Part(StoredIds::Load)));
    velmora_.CloseMainWindow();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Part(StoredIds::Load)); }));
    testing::CloseWithCloseBox(stored_);
    EXPECT_TRUE(velmora_.WaitForExit());
}

TEST_F(StoredMessagesE2E, ADeleteThatFailsSaysWhatWasNotRemovedAndWhy) {
    velmora_.Type(Text1, L"Lunch");
    velmora_.Choose(Combo2, 2);
    velmora_.Click(Command5);
    OpenStored();
    ASSERT_TRUE(Lists({L"3\tLunch"}));
    Protect(L"D:P(A;;KRSDWD;;;WD)");  // read, remove and change the rights: no values written or removed
    AskAndAnswer(IDYES);
    const std::wstring told = Answer(IDOK);
    Protect(L"D:P(A;;KA;;;WD)");
    EXPECT_EQ(told.rfind(L"The away message was not deleted.", 0), 0u) << told;
    for (const std::wstring& part : {L"\"" + screenName_ + L"\"", std::wstring(L"Slot: \"3\""),
                                     std::wstring(L"value \"GoneMsg3\""), std::wstring(L"(error 5)")})
        EXPECT_NE(told.find(part), std::wstring::npos) << told;
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"3\tLunch"});
    EXPECT_NE(Stored(L"GoneMsg3"), "(no value)");
}

}  // namespace
}  // namespace velmora
