// The window "Stored Messages" made in this process, opened from the main window's menu, while
// the AIM client's keys are removed and made again under it. HKEY_CURRENT_USER stands for a key
// of this test's own in this process (RegOverridePredefKey), so the client's whole key can go
// without touching the keys of the tests running beside it.
#include <gtest/gtest.h>
#include <windows.h>
// (tlhelp32.h needs windows.h first.)
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "storage/Reg.h"
#include "stored/StoredControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::WaitUntil;

const std::wstring kReading = L"Reading the stored messages...";

// Asks a window WM_NULL from another thread, again and again, as the window system asks whether
// a window still answers, while this thread goes on handling its messages; counts the questions
// that went unanswered for a second.
class AnswerProbe {
public:
    explicit AnswerProbe(HWND window) : window_(window) {
        thread_ = CreateThread(nullptr, 0, &AnswerProbe::Run, this, 0, nullptr);
    }
    AnswerProbe(const AnswerProbe&) = delete;
    AnswerProbe& operator=(const AnswerProbe&) = delete;
    ~AnswerProbe() { Stop(); }
    // Handles this thread's messages while the last question is answered.
    void Stop() {
        if (!thread_) return;
        InterlockedExchange(&stop_, 1);
        WaitUntil([&] { return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; });
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    LONG Asked() const { return asked_; }
    LONG Unanswered() const { return unanswered_; }

private:
    static DWORD WINAPI Run(void* self) {
        auto& probe = *static_cast<AnswerProbe*>(self);
        while (!probe.stop_) {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(probe.window_, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
                InterlockedIncrement(&probe.unanswered_);
            InterlockedIncrement(&probe.asked_);
            Sleep(50);
        }
        return 0;
    }
    HWND window_;
    HANDLE thread_ = nullptr;
    volatile LONG stop_ = 0;
    volatile LONG asked_ = 0;
    volatile LONG unanswered_ = 0;
};

DWORD CountThreadsOfThisProcess() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    DWORD count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

class StoredMessagesWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, own_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr),
            ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_), ERROR_SUCCESS);
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow();
        ASSERT_NE(main_, nullptr);
    }
    void TearDown() override {
        if (stored_) DestroyWindow(stored_);
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(root_);
        testing::DeleteRegistryTree(HKEY_CURRENT_USER, own_);
    }
    void OpenStored() {
        SendMessageW(main_->Handle(), WM_COMMAND, MAKEWPARAM(AwayIds::MenuStored, 0), 0);
        stored_ = testing::FindWindowOfProcess(GetCurrentProcessId(), L"Stored Messages");
        ASSERT_NE(stored_, nullptr);
    }
    // The slots the list shows, each row's text before its tab.
    std::vector<std::wstring> Slots() const {
        HWND list = GetDlgItem(stored_, StoredIds::Messages);
        std::vector<std::wstring> slots;
        for (LRESULT i = 0, count = SendMessageW(list, LB_GETCOUNT, 0, 0); i < count; ++i) {
            wchar_t row[256]{};
            if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
                SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
            const std::wstring text = row;
            slots.push_back(text.substr(0, text.find(L'\t')));
        }
        return slots;
    }
    bool Shows(const std::vector<std::wstring>& slots) const {
        return WaitUntil([&] { return Slots() == slots; });
    }
    std::wstring Label() const { return testing::WindowText(GetDlgItem(stored_, StoredIds::LabelShown)); }
    HWND Names() const { return GetDlgItem(stored_, StoredIds::ScreenNames); }
    LRESULT NameCount() const { return SendMessageW(Names(), CB_GETCOUNT, 0, 0); }
    LRESULT ChosenRow() const { return SendMessageW(GetDlgItem(stored_, StoredIds::Messages), LB_GETCURSEL, 0, 0); }
    // As a user's click raises them.
    void ChooseRow(int row) const {
        HWND list = GetDlgItem(stored_, StoredIds::Messages);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageW(stored_, WM_COMMAND, MAKEWPARAM(StoredIds::Messages, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    void ChooseName(const std::wstring& name) const {
        const LRESULT index =
            SendMessageW(Names(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
        ASSERT_GE(index, 0);
        SendMessageW(Names(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(stored_, WM_COMMAND, MAKEWPARAM(StoredIds::ScreenNames, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Names()));
    }
    // A Users key as a busy IM client's may hold it: many screen names, each beside the keys of
    // its other settings. Reading it takes over a second under Wine.
    static void MakeManyScreenNames() {
        for (int i = 0; i < kManyNames; ++i)
            for (const wchar_t* part :
                 {L"\\IAmGoneList", L"\\Buddy Info", L"\\Preferences\\Sounds", L"\\Preferences\\Windows"}) {
                HKEY key = nullptr;
                const std::wstring path = UsersKeyPath() + L"\\user" + std::to_wstring(100000 + i) + part;
                ASSERT_EQ(
                    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                    ERROR_SUCCESS);
                RegCloseKey(key);
            }
    }
    static constexpr int kManyNames = 12000;

    std::wstring own_ = L"Software\\VelmoraTest\\" + testing::UniqueScreenName(L"user");
    HKEY root_ = nullptr;
    Program program_{GetModuleHandleW(nullptr)};
    AwayWindow* main_ = nullptr;
    HWND stored_ = nullptr;
    const std::wstring name_ = L"Harlowpine";
};

TEST_F(StoredMessagesWindowTest, TheListFollowsTheStoreAfterTheClientsWholeKeyIsRemovedAndWrittenAnew) {
    WriteAwayMessage(name_, L"1", L"first");
    OpenStored();
    EXPECT_TRUE(Shows({L"1"}));
    // As an IM client's reinstall or a cleanup does it.
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, L"SOFTWARE\\America Online");
    EXPECT_TRUE(Shows({}));
    WriteAwayMessage(name_, L"2", L"second");
    EXPECT_TRUE(Shows({L"2"}));
    WriteAwayMessage(name_, L"4", L"third");
    EXPECT_TRUE(Shows({L"2", L"4"}));
}

TEST_F(StoredMessagesWindowTest, TheListFollowsTheStoreAfterAnEmptyUsersKeyIsRemovedAndMadeAgain) {
    HKEY users = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, UsersKeyPath().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &users, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(users);
    OpenStored();
    EXPECT_TRUE(Shows({}));
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, UsersKeyPath().c_str()), ERROR_SUCCESS);
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, UsersKeyPath().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &users, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(users);
    WriteAwayMessage(name_, L"3", L"back");
    EXPECT_TRUE(Shows({L"3"}));
}

TEST_F(StoredMessagesWindowTest, ManyReadingsLeaveNoThreadOrHandleBehind) {
    WriteAwayMessage(name_, L"1", L"text");
    OpenStored();
    ASSERT_TRUE(Shows({L"1"}));
    const DWORD threads = CountThreadsOfThisProcess();
    const DWORD handles = testing::CountKernelHandles(GetCurrentProcessId());
    // Each change is read again, and every other one brings another name and back.
    for (int round = 0; round < 40; ++round) {
        WriteAwayMessage(name_, L"2", round % 2 ? L"even" : L"odd");
        if (round % 2) ChooseName(name_);
        ASSERT_TRUE(WaitUntil([&] { return Slots() == std::vector<std::wstring>{L"1", L"2"} && Label() != kReading; }));
        RemoveAwayMessage(name_, L"2");
        ASSERT_TRUE(Shows({L"1"}));
    }
    EXPECT_EQ(CountThreadsOfThisProcess(), threads);
    EXPECT_LE(testing::CountKernelHandles(GetCurrentProcessId()), handles);
}

TEST_F(StoredMessagesWindowTest, TheWindowAnswersWhileABigStoreIsReadAndKeepsTheUsersChoices) {
    MakeManyScreenNames();
    const std::wstring other = L"Otherpine";
    for (const wchar_t* slot : {L"1", L"2"}) WriteAwayMessage(name_, slot, L"text");
    WriteAwayMessage(other, L"7", L"other");
    testing::TypeInto(GetDlgItem(main_->Handle(), AwayIds::Text5), name_);
    AnswerProbe probe(main_->Handle());  // the thread of every window of the program

    // Opened as the menu opens it, while this thread handles its messages.
    PostMessageW(main_->Handle(), WM_COMMAND, MAKEWPARAM(AwayIds::MenuStored, 0), 0);
    ASSERT_TRUE(WaitUntil([&] {
        return (stored_ = testing::FindWindowOfProcess(GetCurrentProcessId(), L"Stored Messages")) != nullptr;
    }));
    EXPECT_EQ(Label(), kReading);
    EXPECT_TRUE(Shows({L"1", L"2"}));
    EXPECT_TRUE(WaitUntil([&] { return Label() != kReading; })) << Label();
    EXPECT_EQ(NameCount(), kManyNames + 2);
    EXPECT_EQ(testing::WindowText(Names()), name_);
    EXPECT_EQ(ChosenRow(), 0);

    // A change read again over the list shown: the chosen message stays chosen.
    ChooseRow(1);
    WriteAwayMessage(name_, L"3", L"text");
    EXPECT_TRUE(WaitUntil([&] { return Label() == kReading; }));
    EXPECT_TRUE(Shows({L"1", L"2", L"3"}));
    EXPECT_EQ(ChosenRow(), 1);
    EXPECT_EQ(testing::WindowText(Names()), name_);

    // Another name chosen while the first one's list is read again: nothing of it is shown.
    WriteAwayMessage(name_, L"4", L"text");
    EXPECT_TRUE(WaitUntil([&] { return Label() == kReading; }));
    ChooseName(other);
    EXPECT_TRUE(WaitUntil([&] { return Label() != kReading; })) << Label();
    EXPECT_EQ(Slots(), std::vector<std::wstring>{L"7"});
    EXPECT_EQ(testing::WindowText(Names()), other);
    EXPECT_EQ(ChosenRow(), 0);

    probe.Stop();
    EXPECT_GT(probe.Asked(), 20);
    EXPECT_EQ(probe.Unanswered(), 0);
}

TEST_F(StoredMessagesWindowTest, AWindowClosedInTheMiddleOfAReadingLeavesNothingBehind) {
    MakeManyScreenNames();
    WriteAwayMessage(name_, L"1", L"text");
    // Once opened and closed, so whatever the system keeps after a first use is counted before.
    OpenStored();
    EXPECT_TRUE(Shows({L"1"}));
    testing::CloseWithCloseBox(stored_);
    const DWORD threads = CountThreadsOfThisProcess();
    const DWORD handles = testing::CountKernelHandles(GetCurrentProcessId());
    for (int round = 0; round < 3; ++round) {
        OpenStored();
        EXPECT_EQ(Label(), kReading);
        testing::CloseWithCloseBox(stored_);
        EXPECT_FALSE(IsWindow(stored_));
        stored_ = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return CountThreadsOfThisProcess() <= threads; }));
        EXPECT_TRUE(WaitUntil([&] { return testing::CountKernelHandles(GetCurrentProcessId()) <= handles; }));
    }
    // Opened again, the window reads the whole list as the first time.
    OpenStored();
    EXPECT_TRUE(Shows({L"1"}));
    EXPECT_EQ(NameCount(), kManyNames + 1);
}

}  // namespace
}  // namespace velmora
