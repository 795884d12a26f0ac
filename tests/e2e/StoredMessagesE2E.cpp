// The Stored Messages window in the real velmora.exe: what Update stores is listed, loads back
// into the main window and is stored again unchanged; Delete asks and removes one value; the
// list follows the registry by itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/AwayControls.h"
#include "stored/StoredControls.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using testing::ReadRegistryValue;
using testing::RegistryKeyExists;
using testing::RegistryValueNames;
using testing::VelmoraProcess;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

std::vector<std::wstring> ListRows(HWND list) {
    std::vector<std::wstring> rows;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        // The list may be filled again between the questions.
        if (length < 0) return {L"(changing)"};
        std::wstring row(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
        row.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
        rows.push_back(row);
    }
    return rows;
}

// The question box Velmora shows: a dialog of its process, and the text it asks.
struct Question {
    HWND box = nullptr;
    std::wstring text;
};
BOOL CALLBACK FindQuestion(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<std::pair<DWORD, Question>*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[32]{};
    GetClassNameW(window, className, 32);
    if (owner != search->first || std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    for (HWND child = FindWindowExW(window, nullptr, L"Static", nullptr); child;
         child = FindWindowExW(window, child, L"Static", nullptr)) {
        const std::wstring text = testing::WindowText(child);
        if (!text.empty()) search->second = {window, text};
    }
    return search->second.box ? FALSE : TRUE;
}

class StoredMessagesE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(velmora_.MainWindow(), nullptr);
        velmora_.Type(Text5, screenName_);
    }
    void TearDown() override { testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_); }

    std::wstring ListKey() const { return kUsers + screenName_ + L"\\IAmGoneList"; }
    std::string Stored(const std::wstring& valueName) const {
        const auto value = ReadRegistryValue(HKEY_CURRENT_USER, ListKey(), valueName);
        if (!value) return "(no value)";
        return std::string(value->data.begin(), value->data.end());
    }
    HWND OpenStored() {
        velmora_.ChooseMenu(MenuStored);
        stored_ = velmora_.WaitForWindowTitled(L"Stored Messages");
        return stored_;
    }
    HWND StoredControl(int id) const { return GetDlgItem(stored_, id); }
    std::vector<std::wstring> Rows() const { return ListRows(StoredControl(StoredIds::Messages)); }
    void ChooseRow(int index) const {
        HWND list = StoredControl(StoredIds::Messages);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(stored_, WM_COMMAND, MAKEWPARAM(StoredIds::Messages, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    void ClickStored(int id) const { SendMessageW(StoredControl(id), BM_CLICK, 0, 0); }
    // Delete's question: the button is pressed without waiting, since the question holds it.
    Question PressDelete() const {
        PostMessageW(StoredControl(StoredIds::Delete), BM_CLICK, 0, 0);
        std::pair<DWORD, Question> search{velmora_.ProcessId(), {}};
        testing::WaitUntil([&] {
            search.second = {};
            EnumWindows(FindQuestion, reinterpret_cast<LPARAM>(&search));
            return search.second.box != nullptr;
        });
        return search.second;
    }
    static void Answer(const Question& question, int button) {
        PostMessageW(GetDlgItem(question.box, button), BM_CLICK, 0, 0);
        testing::WaitUntil([&] { return !IsWindow(question.box); });
    }
    // Fields the main window shows after Load, to compare with what was stored.
    std::vector<std::wstring> Composer() const {
        return {velmora_.Text(Text1),
                velmora_.Text(Text6),
                velmora_.Text(Text7),
                velmora_.Text(Combo1),
                velmora_.Text(Combo2),
                velmora_.Text(Text2_0),
                velmora_.IsTicked(Check1) ? L"ticked" : L"not ticked"};
    }
    void ScrambleComposer() const {
        velmora_.Type(Text1, L"other label");
        velmora_.Type(Text6, L"123456");
        velmora_.Type(Text7, L"654321");
        velmora_.Choose(Combo1, 20);
        velmora_.Choose(Combo2, 9);
        velmora_.Type(Text2_0, L"other message");
    }

    testing::TempFolder folder_;
    std::wstring screenName_ = testing::UniqueScreenName(L"stored");
    VelmoraProcess velmora_{folder_.Path()};
    HWND stored_ = nullptr;
};

TEST_F(StoredMessagesE2E, UpdatedMessageIsListedLoadsBackAndIsStoredAgainUnchanged) {
    velmora_.Type(Text1, L"Lunch & <b>more</b>");
    velmora_.Type(Text6, L"000080");
    velmora_.Type(Text7, L"FFFFE0");
    velmora_.Choose(Combo1, 2);
    velmora_.Choose(Combo2, 2);
    velmora_.Type(Text2_0, L"Out to lunch,\r\n<i>back</i> at %t");
    velmora_.Click(Command5);
    const std::string first = Stored(L"GoneMsg3");
    ASSERT_NE(first, "(no value)");
    const std::vector<std::wstring> typed = Composer();

    ASSERT_NE(OpenStored(), nullptr);
    EXPECT_EQ(testing::WindowText(StoredControl(StoredIds::ScreenNames)), screenName_);
    EXPECT_EQ(Rows(), std::vector<std::wstring>{L"3\tLunch & <b>more</b>"});
    EXPECT_EQ(testing::WindowText(StoredControl(StoredIds::LabelShown)), L"Lunch & <b>more</b>");

    ScrambleComposer();
    ChooseRow(0);
    ClickStored(StoredIds::Load);
    EXPECT_EQ(Composer(), typed);
    EXPECT_EQ(Stored(L"GoneMsg3"), first);  // Load writes nothing
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, ListKey()), std::vector<std::wstring>{L"GoneMsg3"});

    velmora_.Click(Command5);
    EXPECT_EQ(Stored(L"GoneMsg3"), first);
}

TEST_F(StoredMessagesE2E, ASongLineTicksBrodcastWinampAndStaysOutOfTheMessage) {
    auto winamp =
        testing::StandInProcess::Start(testing::StandInPath(L"winamp-standin.exe"), L"\"42. Artist - Title - Winamp\"");
    velmora_.Type(Text1, L"Weekend");
    velmora_.Type(Text2_0, L"Gone for the weekend");
    velmora_.Click(Check1);
    velmora_.Click(Command5);
    const std::string first = Stored(L"GoneMsg1");
    ASSERT_NE(first.find("Last Song Played on winamp:  Artist - Title"), std::string::npos);

    ASSERT_NE(OpenStored(), nullptr);
    ScrambleComposer();
    velmora_.Click(Check1);
    ASSERT_FALSE(velmora_.IsTicked(Check1));
    ChooseRow(0);
    ClickStored(StoredIds::Load);
    EXPECT_TRUE(velmora_.IsTicked(Check1));
    EXPECT_EQ(velmora_.Text(Text2_0), L"Gone for the weekend");
    EXPECT_EQ(velmora_.Text(Combo2), L"1");

    velmora_.Click(Command5);
    EXPECT_EQ(Stored(L"GoneMsg1"), first);
}

TEST_F(StoredMessagesE2E, DeleteAsksAndRemovesOnlyThatValue) {
    velmora_.Type(Text1, L"Lunch");
    velmora_.Choose(Combo2, 2);
    velmora_.Click(Command5);
    velmora_.Type(Text1, L"Meeting");
    velmora_.Choose(Combo2, 4);
    velmora_.Click(Command5);
    const std::string fifth = Stored(L"GoneMsg5");
    ASSERT_NE(OpenStored(), nullptr);
    ASSERT_EQ(Rows(), (std::vector<std::wstring>{L"3\tLunch", L"5\tMeeting"}));
    ChooseRow(0);

    Question question = PressDelete();
    ASSERT_NE(question.box, nullptr);
    EXPECT_EQ(question.text, L"Remove 'Lunch' (slot 3) of " + screenName_ + L"?");
    Answer(question, IDNO);
    EXPECT_NE(Stored(L"GoneMsg3"), "(no value)");

    question = PressDelete();
    ASSERT_NE(question.box, nullptr);
    Answer(question, IDYES);
    EXPECT_TRUE(testing::WaitUntil([&] { return Rows() == std::vector<std::wstring>{L"5\tMeeting"}; }));
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, ListKey()), std::vector<std::wstring>{L"GoneMsg5"});
    EXPECT_EQ(Stored(L"GoneMsg5"), fifth);
}

TEST_F(StoredMessagesE2E, TheListFollowsUpdateDeleteAndARemovedScreenName) {
    velmora_.Type(Text1, L"One");
    velmora_.Click(Command5);
    ASSERT_NE(OpenStored(), nullptr);
    ASSERT_EQ(Rows(), std::vector<std::wstring>{L"1\tOne"});

    velmora_.Type(Text1, L"Two");
    velmora_.Choose(Combo2, 1);
    velmora_.Click(Command5);
    EXPECT_TRUE(testing::WaitUntil([&] { return Rows() == std::vector<std::wstring>{L"1\tOne", L"2\tTwo"}; }));

    velmora_.Choose(Combo2, 0);
    velmora_.Click(Command2);
    EXPECT_TRUE(testing::WaitUntil([&] { return Rows() == std::vector<std::wstring>{L"2\tTwo"}; }));

    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_);
    EXPECT_TRUE(testing::WaitUntil([&] { return Rows().empty(); }));
    EXPECT_EQ(velmora_.CountWindowsTitled(L"Stored Messages"), 1);  // no error box
    EXPECT_FALSE(IsWindowEnabled(StoredControl(StoredIds::Load)));
}

TEST_F(StoredMessagesE2E, LoadIsUnavailableOnceTheMainWindowHasClosed) {
    velmora_.Click(Command5);
    ASSERT_NE(OpenStored(), nullptr);
    ChooseRow(0);
    ASSERT_TRUE(IsWindowEnabled(StoredControl(StoredIds::Load)));
    velmora_.CloseMainWindow();
    EXPECT_TRUE(testing::WaitUntil([&] { return !IsWindowEnabled(StoredControl(StoredIds::Load)); }));
    EXPECT_TRUE(IsWindowEnabled(StoredControl(StoredIds::Delete)));
    testing::CloseWithCloseBox(stored_);
    EXPECT_TRUE(velmora_.WaitForExit());
}

}  // namespace
}  // namespace velmora
