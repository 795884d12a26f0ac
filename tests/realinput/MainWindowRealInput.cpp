// The main window driven as a person would: pointer clicks and typed keys on a real (virtual)
// display, the results checked in the registry and in Msg.ini, a screenshot at each step.
#include <gtest/gtest.h>

#include <utility>

#include "app/AwayControls.h"
#include "support/RealInput.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using namespace testing;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

class MainWindowRealInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(velmora_->MainWindow(), nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(velmora_->MainWindow()) != FALSE; }));
        Settle();
    }
    void TearDown() override { DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_); }

    // Clicks into a one-line field and types over what it holds.
    void TypeInto(int id, const std::wstring& text) const {
        ASSERT_TRUE(ClickToFocus(velmora_->Control(id)));
        SelectAllInField();
        TypeText(text);
        // Typing is done once the field shows it.
        ASSERT_TRUE(WaitUntil([&] { return velmora_->Text(id) == text; })) << velmora_->Text(id);
    }
    void TypeIntoMessage(const std::wstring& text) const {
        ASSERT_TRUE(ClickToFocus(velmora_->Control(Text2_0)));
        TypeText(text);
        ASSERT_TRUE(WaitUntil([&] { return velmora_->Text(Text2_0) == text; })) << velmora_->Text(Text2_0);
    }
    std::string Stored(const std::wstring& valueName) const {
        const auto value = ReadRegistryValue(HKEY_CURRENT_USER, kUsers + screenName_ + L"\\IAmGoneList", valueName);
        return value ? std::string(value->data.begin(), value->data.end()) : std::string("(no value)");
    }
    void Shot(const std::wstring& step) const {
        Settle();
        SaveScreenshot(std::wstring(::testing::UnitTest::GetInstance()->current_test_info()->name(),
                                    ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                        strlen(::testing::UnitTest::GetInstance()->current_test_info()->name())) +
                       L"-" + step);
    }

    TempFolder folder_;
    std::wstring screenName_ = UniqueScreenName(L"hand");
    std::unique_ptr<VelmoraProcess> velmora_ = std::make_unique<VelmoraProcess>(folder_.Path());
};

TEST_F(MainWindowRealInput, ComposeChooseUpdateDeleteAndClear) {
    Shot(L"01-start");
    TypeInto(Text5, screenName_);
    TypeInto(Text1, L"Lunch");
    TypeIntoMessage(L"Back soon\r\nat two");
    TypeInto(Text6, L"000000");
    TypeInto(Text7, L"FFFFCC");
    // The size list opens on a click; the arrow key and Enter choose "3".
    ASSERT_TRUE(ClickToFocus(velmora_->Control(Combo1)));
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    TypeInto(Combo2, L"7");
    Shot(L"02-filled");
    ASSERT_TRUE(WaitUntil([&] { return velmora_->Text(Combo1) == L"3" && velmora_->Text(Combo2) == L"7"; }));

    ClickControl(velmora_->Control(Command5));
    const std::string expected =
        "<title>Lunch</title><HTML><BODY BGCOLOR=\"#FFFFCC\"><B><FONT COLOR=\"#000000\"FACE=\"Tahoma\"LANG=\"0\"SIZE=3>"
        "Back soon\r\nat two</FONT></BODY></HTML>" +
        std::string(1, '\0');
    EXPECT_TRUE(WaitUntil([&] { return Stored(L"GoneMsg7") == expected; })) << Stored(L"GoneMsg7");
    Shot(L"03-updated");

    ClickControl(velmora_->Control(Command2));
    EXPECT_TRUE(WaitUntil([&] { return Stored(L"GoneMsg7") == "(no value)"; }));
    Shot(L"04-deleted");

    ClickControl(velmora_->Control(Command3));
    EXPECT_TRUE(WaitUntil([&] { return velmora_->Text(Text2_0).empty(); }));
    EXPECT_EQ(velmora_->Text(Text1), L"Lunch");
    Shot(L"05-cleared");
}

TEST_F(MainWindowRealInput, BrodcastWinampAddsThePlayingSong) {
    auto winamp = StandInProcess::Start(StandInPath(L"winamp-standin.exe"), L"\"7. Band - Song - Winamp\"");
    TypeInto(Text5, screenName_);
    TypeInto(Text1, L"Tunes");
    TypeIntoMessage(L"Listening");
    ClickControl(velmora_->Control(Check1));
    ASSERT_TRUE(WaitUntil([&] { return velmora_->IsTicked(Check1); }));
    Shot(L"01-ticked");
    ClickControl(velmora_->Control(Command5));
    EXPECT_TRUE(WaitUntil([&] {
        return Stored(L"GoneMsg1").find("Last Song Played on winamp:  Band - Song") != std::string::npos;
    })) << Stored(L"GoneMsg1");
}

TEST_F(MainWindowRealInput, SaveLastMsgKeepsTheMessageForTheNextStart) {
    TypeIntoMessage(L"[x]\r\na=b\r\n  Out all week  ");
    ClickControl(velmora_->Control(Check2));
    ASSERT_TRUE(WaitUntil([&] { return velmora_->IsTicked(Check2); }));
    Shot(L"01-ticked");
    // The keyboard's way to close a window.
    PressKeys({VK_MENU, VK_F4});
    ASSERT_TRUE(velmora_->WaitForExit());
    velmora_ = std::make_unique<VelmoraProcess>(folder_.Path());
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(velmora_->MainWindow()) != FALSE; }));
    EXPECT_EQ(velmora_->Text(Text2_0), L"[x]\r\na=b\r\n  Out all week  ");
    Shot(L"02-restored");
}

// The designed Tab order, from the message box round to it again.
constexpr int kOrderFromTheMessage[] = {Text5,  Text6,    Command7, Combo1,   Text7,  Command8, Combo2,
                                        Check1, Command2, Command5, Command3, Check2, Text1,    Text2_0};

TEST_F(MainWindowRealInput, TabAndShiftTabLeaveTheMessageBoxAndGoRoundTheWholeOrder) {
    // The window opened with the keyboard on its first field, its text selected: typing replaces it.
    ASSERT_TRUE(WaitUntil([&] { return HasFocus(velmora_->Control(Text1)); }));
    TypeText(L"Gone");
    EXPECT_TRUE(WaitUntil([&] { return velmora_->Text(Text1) == L"Gone"; })) << velmora_->Text(Text1);
    TypeIntoMessage(L"Out\r\nback at two");
    for (int id : kOrderFromTheMessage) {
        PressKey(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return HasFocus(velmora_->Control(id)); }, 5000)) << "Tab to " << id;
    }
    Shot(L"01-round");
    for (auto id = std::rbegin(kOrderFromTheMessage) + 1; id != std::rend(kOrderFromTheMessage); ++id) {
        PressKeys({VK_SHIFT, VK_TAB});
        EXPECT_TRUE(WaitUntil([&] { return HasFocus(velmora_->Control(*id)); }, 5000)) << "Shift+Tab to " << *id;
    }
    // From the first field after the message back into it, and backwards out of it.
    PressKeys({VK_SHIFT, VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return HasFocus(velmora_->Control(Text2_0)); }, 5000)) << "back to the message";
    PressKeys({VK_SHIFT, VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return HasFocus(velmora_->Control(Text1)); }, 5000)) << "Shift+Tab out of it";
    Settle();
    // No Tab was typed into the boxes on the way.
    EXPECT_EQ(velmora_->Text(Text2_0), L"Out\r\nback at two");
    EXPECT_EQ(velmora_->Text(Text1), L"Gone");
}

TEST_F(MainWindowRealInput, AfterSwitchingAwayAndBackTypingGoesWhereItWent) {
    TypeIntoMessage(L"Lunch");
    auto winamp = StandInProcess::Start(StandInPath(L"winamp-standin.exe"), L"");
    HWND other = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (other = FindWindowW(L"Winamp v1.x", nullptr)) && IsWindowVisible(other); }));
    Settle();
    ClickControl(other);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }));
    Shot(L"01-away");
    // Back by a click on the main window's title bar, where no field lies.
    RECT frame{};
    GetWindowRect(velmora_->MainWindow(), &frame);
    ClickAt({(frame.left + frame.right) / 2,
             frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2});
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == velmora_->MainWindow(); }));
    TypeText(L" at one");
    EXPECT_TRUE(WaitUntil([&] { return velmora_->Text(Text2_0) == L"Lunch at one"; })) << velmora_->Text(Text2_0);
    Shot(L"02-back");
}

void PutOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(memory, nullptr);
    memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();
}

// The platform's default limit stops typing and pasting at about 32,000 characters.
TEST_F(MainWindowRealInput, PastingFortyThousandCharactersKeepsThemAll) {
    std::wstring lines;
    while (lines.size() < 40000) lines += std::wstring(78, static_cast<wchar_t>(L'a' + lines.size() % 26)) + L"\r\n";
    for (const auto& [id, text] : {std::pair{Text2_0, lines}, std::pair{Text1, std::wstring(40000, L'n')}}) {
        PutOnClipboard(text);
        ASSERT_TRUE(ClickToFocus(velmora_->Control(id)));
        SelectAllInField(id == Text2_0);
        PressKeys({VK_CONTROL, 'V'});
        EXPECT_TRUE(WaitUntil([&, id = id] { return velmora_->Text(id) == text; })) << velmora_->Text(id).size();
    }
}

TEST_F(MainWindowRealInput, OptionsOpensThePopUpMenuAndEscapeClosesIt) {
    ClickControl(velmora_->Control(Label2));
    const auto menuShown = [] {
        return FindWindowW(L"#32768", nullptr) != nullptr && IsWindowVisible(FindWindowW(L"#32768", nullptr));
    };
    ASSERT_TRUE(WaitUntil(menuShown));
    Shot(L"01-menu");
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !menuShown(); }));
    // Clicked again at once (the system sees a double-click): the menu opens again.
    ClickControl(velmora_->Control(Label2));
    EXPECT_TRUE(WaitUntil(menuShown, 5000));
    PressKey(VK_ESCAPE);
}

}  // namespace
}  // namespace velmora
