// The window "Auto Reply" made in this process, its rules typed into its boxes, watching AIM
// stand-in windows with its real timer and watch thread: who is answered, how often, with
// what, and what is kept in Msg.ini.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "autoreply/AutoReplyControls.h"
#include "autoreply/AutoReplyLog.h"
#include "autoreply/AutoReplySettings.h"
#include "autoreply/AutoReplyWindow.h"
#include "autoreply/ConversationTracker.h"
#include "misc/DateTime.h"
#include "storage/INI.h"
#include "storage/Reg.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AutoReplyIds;
using testing::EscapeLine;
using testing::StandInProcess;
using testing::UnescapeLine;

// The test's clock: the system's, moved on at will; idle as the test says.
std::atomic<std::uint64_t> g_clockAhead{0};
std::atomic<std::uint64_t> g_idle{0};
std::uint64_t TestNow() { return GetTickCount64() + g_clockAhead.load(); }
std::uint64_t TestIdle() { return g_idle.load(); }

constexpr std::uint64_t kMinute = 60'000;

StandInProcess StartAim(const std::wstring& buddy) {
    return StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"),
                                 L"--title " + testing::QuoteArgument(buddy + L" - Instant Message"));
}

std::vector<std::string> Sent(StandInProcess& aim, int window = 1) {
    std::vector<std::string> texts;
    for (const std::string& reply : aim.Command("at " + std::to_string(window) + " sent"))
        texts.push_back(UnescapeLine(reply.substr(5)));
    return texts;
}

std::string Entry(StandInProcess& aim, int window) {
    return UnescapeLine(aim.Command("at " + std::to_string(window) + " entry").at(0).substr(6));
}

// Runs `act` on this thread while another thread reads each message box `owner` opens (a box
// holds this thread until it is answered) and presses `button` in it; the boxes' texts.
std::vector<std::wstring> AnsweringBoxes(HWND owner, int button, const std::function<void()>& act) {
    std::vector<std::wstring> told;
    std::atomic<bool> done{false};
    std::thread answerer([&] {
        while (!done)
            if (HWND box = testing::WaitForOwnedWindow(owner, 50)) {
                told.push_back(testing::MessageBoxText(box));
                testing::PressMessageBoxButton(box, button);
            }
    });
    act();
    done = true;
    answerer.join();
    return told;
}

class AutoReplyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_clockAhead = 0;
        // The user is not typing (the stand-in's new windows come to the front).
        g_idle = kTypingPauseMs;
        Open();
    }

    void Open() {
        window_ = std::make_unique<AutoReplyWindow>(GetModuleHandleW(nullptr), nullptr, path_,
                                                    WatchClock{&TestNow, &TestIdle});
        ASSERT_TRUE(window_->Open());
    }
    void Close() {
        testing::CloseWithCloseBox(Window());
        window_.reset();
    }

    HWND Window() const { return window_->Handle(); }
    HWND Control(int id) const { return GetDlgItem(Window(), id); }
    std::wstring Text(int id) const { return testing::WindowText(Control(id)); }
    void Type(int id, const std::wstring& text) const { testing::TypeInto(Control(id), text); }
    void Click(int id) const { testing::ClickWithMouse(Control(id)); }
    void Choose(int list, LRESULT index, bool combo = false) const {
        SendMessageW(Control(list), combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(list, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Control(list)));
    }
    std::vector<std::wstring> ListRows(int list) const {
        std::vector<std::wstring> rows;
        const LRESULT count = SendMessageW(Control(list), LB_GETCOUNT, 0, 0);
        for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
            std::wstring row(static_cast<std::size_t>(SendMessageW(Control(list), LB_GETTEXTLEN, i, 0)), L'\0');
            SendMessageW(Control(list), LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
            rows.push_back(row);
        }
        return rows;
    }
    // The first row's names and reply, then the switch on, and the watch's picture of what the
    // windows show taken (those lines are read).
    void AnswerAndSwitchOn(const std::wstring& names, const std::wstring& reply) {
        Choose(Rules, 0);
        Type(Names, names);
        Type(Reply, reply);
        Click(Switch);
        ASSERT_TRUE(window_->Settings().on);
        WaitForTicks(1);
    }
    // Until the watch has done `target` ticks in all, without handling this thread's messages,
    // so that the window's timer cannot tick meanwhile.
    void WaitForTicksWithoutTimer(std::uint64_t target) const {
        const ULONGLONG deadline = GetTickCount64() + 20000;
        while (window_->TicksDone() < target && GetTickCount64() < deadline) SwitchToThread();
        ASSERT_GE(window_->TicksDone(), target) << "the watch did nothing before the window's timer ticked";
    }
    void WaitForTicks(std::uint64_t ticks) const {
        const std::uint64_t target = window_->TicksDone() + ticks;
        ASSERT_TRUE(testing::WaitUntil([&] { return window_->TicksDone() >= target; })) << "no tick came";
    }

    testing::TempFolder folder_;
    std::wstring path_ = folder_.File(L"Msg.ini");
    std::unique_ptr<AutoReplyWindow> window_;
};

// ---------------------------------------------------------------------------

TEST_F(AutoReplyWindowTest, ANewWindowHasOneEmptyRowEveryoneElseOffAndIsSwitchedOff) {
    EXPECT_EQ(testing::WindowText(Window()), L"Auto Reply");
    EXPECT_EQ(ListRows(Rules), (std::vector<std::wstring>{L"\t", L"Everyone else\t(not answered)"}));
    EXPECT_EQ(Text(Switch), L"Off");
    EXPECT_EQ(Text(AnswerAgain), L"never");
    EXPECT_EQ(Text(Idle), L"always");
    EXPECT_EQ(SendMessageW(Control(EveryoneElse), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(Control(Log), LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(GetFocus(), Control(Rules)) << "the keys start on the rules";
    const std::vector<std::wstring> again = {L"never", L"10 minutes", L"30 minutes", L"60 minutes"};
    for (std::size_t i = 0; i < again.size(); ++i) {
        wchar_t text[32] = {};
        SendMessageW(Control(AnswerAgain), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(text, again[i]);
    }
}

TEST_F(AutoReplyWindowTest, RowsAreAddedChangedAndRemovedAndEveryoneElseHasNoNames) {
    Choose(Rules, 0);
    Type(Names, L"pal42, bob");
    Type(Reply, L"back at five\r\npromise");
    Click(Add);
    EXPECT_EQ(GetFocus(), Control(Names));
    Type(Names, L"carol");
    Type(Reply, L"hi carol");
    EXPECT_EQ(ListRows(Rules), (std::vector<std::wstring>{L"pal42, bob\tback at five promise", L"carol\thi carol",
                                                          L"Everyone else\t(not answered)"}));
    // "Everyone else": its reply, its tick, no names and no removing.
    Choose(Rules, 2);
    EXPECT_FALSE(IsWindowEnabled(Control(Names)));
    EXPECT_FALSE(IsWindowEnabled(Control(Remove)));
    Type(Reply, L"not here");
    Click(EveryoneElse);
    EXPECT_TRUE(window_->Settings().everyoneElse);
    EXPECT_EQ(ListRows(Rules).back(), L"Everyone else\tnot here");

    Choose(Rules, 0);
    EXPECT_EQ(Text(Names), L"pal42, bob");
    EXPECT_EQ(Text(Reply), L"back at five\r\npromise");
    Click(Remove);
    EXPECT_EQ(ListRows(Rules).front(), L"carol\thi carol");
    EXPECT_EQ(Text(Names), L"carol");
    Click(Remove);
    EXPECT_EQ(ListRows(Rules).size(), 2u) << "one row is always left to fill in";
    EXPECT_EQ(Text(Names), L"");
}

TEST_F(AutoReplyWindowTest, ThreeConversationsAreAnsweredOnceEachAndTheirDraftsKept) {
    StandInProcess aim = StartAim(L"pal42");
    aim.Command("im bob");
    aim.Command("im Carol 7");
    aim.Command("recv pal42 read before switching on");
    AnswerAndSwitchOn(L"pal42, bob, carol7", L"away, back soon");
    aim.Command("at 2 draft so I was saying");
    aim.Command("at 3 draft " + EscapeLine("two\r\nlines"));
    aim.Command("recv pal42 hello?");
    aim.Command("at 2 recv bob hey");
    aim.Command("at 3 recv carol7 yo");  // the title's "Carol 7", as the service compares names
    ASSERT_TRUE(testing::WaitUntil(
        [&] { return Sent(aim, 1).size() == 1 && Sent(aim, 2).size() == 1 && Sent(aim, 3).size() == 1; }));
    WaitForTicks(3);
    aim.Command("recv pal42 still there?");
    aim.Command("at 2 recv bob ?");
    WaitForTicks(3);
    for (int window = 1; window <= 3; ++window)
        EXPECT_EQ(Sent(aim, window), std::vector<std::string>{"away, back soon"}) << "window " << window;
    EXPECT_EQ(Entry(aim, 1), "");
    EXPECT_EQ(Entry(aim, 2), "so I was saying");
    EXPECT_EQ(Entry(aim, 3), "two\r\nlines");
    const std::vector<std::wstring> log = ListRows(Log);
    ASSERT_EQ(log.size(), 3u);
    for (const std::wstring& row : log) EXPECT_NE(row.find(L"\taway, back soon"), std::wstring::npos) << row;
}

TEST_F(AutoReplyWindowTest, AWindowClosedAndOpenedAgainIsAnsweredAgain) {
    StandInProcess aim = StartAim(L"pal42");
    aim.Command("im bob");
    AnswerAndSwitchOn(L"bob", L"brb");
    aim.Command("at 2 recv bob one");
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim, 2).size() == 1; }));
    aim.Command("at 2 close");
    WaitForTicks(1);
    aim.Command("at 2 open");
    aim.Command("at 2 recv bob two");
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim, 2).size() == 2; }));
    WaitForTicks(2);
    EXPECT_EQ(Sent(aim, 2).size(), 2u);
    EXPECT_TRUE(Sent(aim, 1).empty());
}

TEST_F(AutoReplyWindowTest, AHungClientDoesNotHoldUpTheOthersAndIsAnsweredOnceItAnswers) {
    StandInProcess slow = StartAim(L"slow");
    StandInProcess quick = StartAim(L"quick");
    AnswerAndSwitchOn(L"slow, quick", L"brb");
    slow.Command("recv slow hi");
    // Longer than the wait for the other's answer below, shorter than a stand-in command's
    // bound (commands to the hung one wait for its end).
    slow.Command("hang 13000");
    quick.Command("recv quick hi");
    // Answered while the other client is still hung.
    EXPECT_TRUE(testing::WaitUntil([&] { return Sent(quick).size() == 1; }, 9000));
    quick.Command("recv quick again");
    WaitForTicks(2);
    EXPECT_EQ(Sent(quick).size(), 1u);
    // The window stays responsive meanwhile.
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
    // Once it answers again, its line is answered, once.
    EXPECT_TRUE(testing::WaitUntil([&] { return Sent(slow).size() == 1; }, 30000));
    WaitForTicks(2);
    EXPECT_EQ(Sent(slow).size(), 1u);
}

TEST_F(AutoReplyWindowTest, AnsweredAgainOnlyOnceTheChosenIntervalHasPassed) {
    StandInProcess aim = StartAim(L"bob");
    Choose(AnswerAgain, 1, true);
    ASSERT_EQ(window_->Settings().answerAgainMinutes, 10);
    AnswerAndSwitchOn(L"bob", L"brb");
    aim.Command("recv bob one");
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim).size() == 1; }));
    g_clockAhead = 9 * kMinute;
    aim.Command("recv bob two");
    WaitForTicks(2);
    EXPECT_EQ(Sent(aim).size(), 1u);
    g_clockAhead = 11 * kMinute;
    aim.Command("recv bob three");
    EXPECT_TRUE(testing::WaitUntil([&] { return Sent(aim).size() == 2; }));
}

TEST_F(AutoReplyWindowTest, OnlyAwayFromTheKeyboardWhenChosen) {
    StandInProcess aim = StartAim(L"bob");
    Choose(Idle, 2, true);
    ASSERT_EQ(window_->Settings().idleMinutes, 10);
    AnswerAndSwitchOn(L"bob", L"brb");
    g_idle = 2 * kMinute;
    aim.Command("recv bob one");
    WaitForTicks(2);
    EXPECT_TRUE(Sent(aim).empty());
    g_idle = 11 * kMinute;
    aim.Command("recv bob two");
    EXPECT_TRUE(testing::WaitUntil([&] { return Sent(aim).size() == 1; }));
}

TEST_F(AutoReplyWindowTest, PlaceholdersAreFilledAsTheReplyIsSent) {
    StandInProcess aim = StartAim(L"Pal 42");
    AnswerAndSwitchOn(L"pal42", L"Hi %n, it is %t on %d. 100% sure");
    const std::wstring before = ShortTimeNow();
    aim.Command("recv PAL42 there?");
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim).size() == 1; }));
    const std::wstring after = ShortTimeNow();
    const std::string sent = Sent(aim).at(0);
    const auto narrow = [](const std::wstring& text) { return std::string(text.begin(), text.end()); };
    const std::string date = narrow(ShortDateNow());
    EXPECT_TRUE(sent == "Hi PAL42, it is " + narrow(before) + " on " + date + ". 100% sure" ||
                sent == "Hi PAL42, it is " + narrow(after) + " on " + date + ". 100% sure")
        << sent;
}

TEST_F(AutoReplyWindowTest, ATitleNamingNoBuddyIsAnsweredAndTheLogSaysTheSenderWasNotChecked) {
    StandInProcess aim = StartAim(L"eve");
    aim.Command("imtitle Chat with friends");
    AnswerAndSwitchOn(L"pal42", L"for pal42 only");
    aim.Command("recv eve " + EscapeLine("<BR><B>pal42</B>: hi"));  // eve's fake, in her window
    aim.Command("at 2 recv pal42 hi");
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim, 2).size() == 1; }));
    WaitForTicks(2);
    EXPECT_TRUE(Sent(aim, 1).empty());
    const std::vector<std::wstring> log = ListRows(Log);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(L"\tpal42\tfor pal42 only (the sender could not be checked)"), std::wstring::npos) << log[0];
}

// What the user has read is what the windows showed as the switch went on: a window opened, or
// a line that came, before the window's first tick is new. The picture is taken on the watch's
// thread at once; no timer message is handled here before the stand-in has its new lines.
TEST_F(AutoReplyWindowTest, WhatComesRightAfterSwitchingOnIsAnswered) {
    StandInProcess aim = StartAim(L"pal42");
    aim.Command("recv pal42 read before switching on");
    Choose(Rules, 0);
    Type(Names, L"pal42, bob");
    Type(Reply, L"brb");
    const std::uint64_t ticks = window_->TicksDone();
    Click(Switch);
    WaitForTicksWithoutTimer(ticks + 1);
    aim.Command("recv pal42 are you there?");
    aim.Command("im bob");
    aim.Command("at 2 recv bob hi");
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim, 1).size() == 1 && Sent(aim, 2).size() == 1; }));
    WaitForTicks(2);
    EXPECT_EQ(Sent(aim, 1), std::vector<std::string>{"brb"});
    EXPECT_EQ(Sent(aim, 2), std::vector<std::string>{"brb"});
}

TEST_F(AutoReplyWindowTest, AStartWithTheSwitchSavedOnAnswersWhatComesRightAfter) {
    Close();
    testing::WriteWholeFile(path_, "[AutoReply]\r\nSwitch=On\r\nRules=1\r\nRule1Names=bob\r\nRule1Reply=brb\r\n");
    StandInProcess aim = StartAim(L"bob");
    aim.Command("recv bob read before");
    Open();
    ASSERT_TRUE(window_->Settings().on);
    WaitForTicksWithoutTimer(1);  // a new window's watch
    aim.Command("recv bob hi");
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim).size() == 1; }));
    WaitForTicks(2);
    EXPECT_EQ(Sent(aim), std::vector<std::string>{"brb"});
}

// The user's own screen names are the AIM client's Users keys. Under a title that names no
// buddy, only a row that names the sender answers, never "Everyone else", and the user's own
// line is never answered, even when a row names that screen name.
TEST_F(AutoReplyWindowTest, TheUsersOwnLineIsNeverAnsweredAndAnUncheckedSenderOnlyByItsRow) {
    const std::wstring ownKey = UsersKeyPath() + L"\\OwnName 77";
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, ownKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
    struct RemoveKey {
        std::wstring path;
        ~RemoveKey() { testing::DeleteRegistryTree(HKEY_CURRENT_USER, path); }
    } removeKey{ownKey};

    StandInProcess aim = StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), L"--title \"pal42 - IM\"");
    aim.Command("imtitle carol - IM");
    Click(EveryoneElse);
    Choose(Rules, 1);
    Type(Reply, L"for anyone");
    AnswerAndSwitchOn(L"pal42, ownname77", L"for pal42");
    aim.Command("recv ownname77 brb");
    aim.Command("at 2 recv carol hi");
    WaitForTicks(3);
    EXPECT_TRUE(Sent(aim, 1).empty()) << "the user's own line";
    EXPECT_TRUE(Sent(aim, 2).empty()) << "no row names carol";
    aim.Command("recv pal42 hi");
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim, 1).size() == 1; }));
    WaitForTicks(1);  // its log row handled
    EXPECT_EQ(Sent(aim, 1), std::vector<std::string>{"for pal42"});
    const std::vector<std::wstring> log = ListRows(Log);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(L"(the sender could not be checked)"), std::wstring::npos) << log[0];
}

// While the user types in a conversation (its window in front, keys pressed moments ago),
// nothing is written into it; once they pause it is answered, once.
TEST_F(AutoReplyWindowTest, AConversationTheUserIsTypingInWaitsForAPause) {
    StandInProcess aim = StartAim(L"bob");
    HWND im = FindWindowW(L"aim_imessage", L"bob - Instant Message");
    ASSERT_NE(im, nullptr);
    SetForegroundWindow(im);
    if (GetForegroundWindow() != im) GTEST_SKIP() << "this display does not let the test choose the foreground";
    AnswerAndSwitchOn(L"bob", L"brb");
    g_idle = 100;
    aim.Command("draft I was just say");
    aim.Command("recv bob hi");
    WaitForTicks(3);
    EXPECT_TRUE(Sent(aim).empty());
    EXPECT_EQ(Entry(aim, 1), "I was just say");
    g_idle = kTypingPauseMs;
    ASSERT_TRUE(testing::WaitUntil([&] { return Sent(aim).size() == 1; }));
    WaitForTicks(2);
    EXPECT_EQ(Sent(aim).size(), 1u);
    EXPECT_EQ(Entry(aim, 1), "I was just say");
}

TEST_F(AutoReplyWindowTest, TheRulesTheChoicesAndTheSwitchSurviveClosingBesideTheMessage) {
    testing::WriteWholeFile(path_, "[General]\r\nMsg=Out to lunch\r\n");
    Choose(Rules, 0);
    Type(Names, L"pal42, Ren\u00e9e");
    Type(Reply, L"  brb\r\n\"%n\"  ");
    Click(Add);
    Type(Names, L"bob");
    Click(EveryoneElse);
    Choose(AnswerAgain, 3, true);
    Choose(Idle, 1, true);
    Click(Switch);
    const AutoReplySettings shown = window_->Settings();
    Close();
    EXPECT_EQ(ReadAutoReplySettings(ReadSettingsFile(path_)), shown);
    EXPECT_EQ(LoadLastMessage(path_), L"Out to lunch");

    Open();
    EXPECT_EQ(window_->Settings(), shown);
    EXPECT_EQ(Text(Names), L"pal42, Ren\u00e9e");
    EXPECT_EQ(Text(Reply), L"  brb\r\n\"%n\"  ");
    EXPECT_EQ(Text(Switch), L"On");
    EXPECT_EQ(Text(AnswerAgain), L"60 minutes");
    EXPECT_EQ(Text(Idle), L"5 minutes");
    EXPECT_EQ(ListRows(Rules).size(), 3u);
}

// Windows that lie or vanish, two hundred of them, a row of 10,000 names and a reply of
// 100 KB in the rules (a conversation of a megabyte: AimWindows): every conversation with a new
// line from a listed buddy is answered once, the others are not, and the window goes on
// answering its own messages. buddy7, whose row holds the 100 KB reply, writes nothing: the
// stand-in's edit control would take longer than its command bound to lay out that one line,
// and a part of a listed name ("buddy7" in "buddy70") no longer answers for it.
TEST_F(AutoReplyWindowTest, BadInputIsAnsweredOnceOrNotAtAllAndNothingStops) {
    constexpr int kWindows = 200;
    StandInProcess aim = StartAim(L"buddy1");
    for (int window = 2; window <= kWindows; ++window) aim.Command("im buddy" + std::to_string(window));
    std::wstring names;
    for (int i = 8; i <= 10000; ++i) names += L"buddy" + std::to_wstring(i) + L", ";
    names += L"buddy1, buddy2, buddy3, buddy4, buddy5, buddy6";
    std::wstring big;
    while (big.size() < 100 * 1024) big += L"a long reply, line after line\r\n";
    AnswerAndSwitchOn(names, L"brb");
    Click(Add);
    Type(Names, L"buddy7");
    Type(Reply, big);

    aim.Command("at 2 recv buddy2 hi");
    aim.Command("at 2 lie -1 0");  // lengths below zero: never taken for a text
    aim.Command("at 4 recv buddy4 here and gone");
    aim.Command("at 4 close");
    for (int window : {1, 3, 5, 150, kWindows})
        aim.Command("at " + std::to_string(window) + " recv buddy" + std::to_string(window) + " hi");
    aim.Command("at 6 recv stranger hi");  // not the window's buddy
    const auto answered = [&](int window) { return Sent(aim, window).size() == 1; };
    ASSERT_TRUE(testing::WaitUntil(
        [&] { return answered(1) && answered(3) && answered(5) && answered(150) && answered(kWindows); }, 60000));
    WaitForTicks(3);
    for (int window : {1, 3, 5, 150, kWindows})
        EXPECT_EQ(Sent(aim, window), std::vector<std::string>{"brb"}) << "window " << window;
    EXPECT_TRUE(Sent(aim, 7).empty());
    EXPECT_TRUE(Sent(aim, 2).empty()) << "the lying window";
    EXPECT_TRUE(Sent(aim, 6).empty());
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
    aim.Command("at 2 truth");
    EXPECT_EQ(window_->Settings().rules.at(0).names, names);
}

// Msg.ini read-only, or a folder of that name: the first change that cannot be saved is told as
// Save Last Msg tells it (the file and the system's reason), once, and the rules stay.
TEST_F(AutoReplyWindowTest, RulesThatCannotBeSavedAreToldOnceAndStayInTheWindow) {
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "a folder named Msg.ini" : "a read-only Msg.ini");
        Close();
        // The last window closed asked this thread to quit; a message box would take that as its end.
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        const std::string before = "[General]\r\nMsg=lunch\r\n";
        if (folder) {
            ASSERT_TRUE(CreateDirectoryW(path_.c_str(), nullptr));
        } else {
            testing::WriteWholeFile(path_, before);
            ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        Open();
        const std::vector<std::wstring> told = AnsweringBoxes(Window(), IDOK, [&] {
            Click(Add);
            Type(Names, L"alice");
            Type(Reply, L"back at 5");
            Click(Switch);
            Click(Add);
        });
        ASSERT_EQ(told.size(), 1u) << "told once, not at every change";
        EXPECT_NE(told[0].find(L"could not be saved"), std::wstring::npos) << told[0];
        EXPECT_NE(told[0].find(path_), std::wstring::npos) << told[0];
        const std::vector<AutoReplyRule> shown{{}, {L"alice", L"back at 5"}, {}};
        EXPECT_EQ(window_->Settings().rules, shown);
        EXPECT_TRUE(window_->Settings().on);
        EXPECT_EQ(ListRows(Rules).size(), 4u);
        // Closed with changes not saved: asked, as the main window asks; No goes back to them.
        Type(Reply, L"back at 6");
        const std::vector<std::wstring> asked =
            AnsweringBoxes(Window(), IDNO, [&] { testing::CloseWithCloseBox(Window()); });
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_NE(asked[0].find(L"Close anyway?"), std::wstring::npos) << asked[0];
        ASSERT_TRUE(IsWindow(Window()));
        if (folder) {
            ASSERT_TRUE(RemoveDirectoryW(path_.c_str()));
        } else {
            EXPECT_EQ(testing::ReadWholeFile(path_), before);
            ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL));
        }
        // Once the file can be written, closing saves all of them.
        Close();
        const AutoReplySettings saved = ReadAutoReplySettings(ReadSettingsFile(path_));
        EXPECT_EQ(saved.rules, (std::vector<AutoReplyRule>{{}, {L"alice", L"back at 5"}, {L"", L"back at 6"}}));
        EXPECT_TRUE(saved.on);
        DeleteFileW(path_.c_str());
        Open();
    }
}

// A file of 10,000 rows (more than the window adds): every row is shown, an edit of one keeps
// the others in the file, and Add says why it adds no more.
TEST_F(AutoReplyWindowTest, EveryRowOfALongFileIsShownAndKeptAndAddSaysWhereItStops) {
    Close();
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    AutoReplySettings many;
    many.rules.clear();
    for (int row = 0; row < 10000; ++row) many.rules.push_back({L"pal" + std::to_wstring(row), L"brb"});
    testing::WriteWholeFile(path_, WriteAutoReplySettingsInto("", many));
    const std::size_t before = testing::ReadWholeFile(path_)->size();
    Open();
    EXPECT_EQ(ListRows(Rules).size(), 10001u);
    Choose(Rules, 9999);
    Type(Reply, L"back");
    const std::vector<std::wstring> told = AnsweringBoxes(Window(), IDOK, [&] { Click(Add); });
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(L"at most " + std::to_wstring(kMostAutoReplyRules) + L" rows"), std::wstring::npos)
        << told[0];
    Close();
    const AutoReplySettings saved = ReadAutoReplySettings(ReadSettingsFile(path_));
    many.rules[9999].reply = L"back";
    EXPECT_EQ(saved.rules, many.rules);
    EXPECT_EQ(testing::ReadWholeFile(path_)->size(), before + 1);
}

TEST_F(AutoReplyWindowTest, TheLogIsShownAgainWhenTheWindowIsOpenedAgain) {
    StandInProcess aim = StartAim(L"pal42");
    AnswerAndSwitchOn(L"pal42", L"brb");
    aim.Command("recv pal42 hi");
    ASSERT_TRUE(testing::WaitUntil([&] { return ListRows(Log).size() == 1; }));
    const std::vector<std::wstring> log = ListRows(Log);
    Close();
    Open();
    EXPECT_EQ(ListRows(Log), log);
    // Answered again while open: newest first, above the rows kept.
    aim.Command("im bob");
    Choose(Rules, 0);
    Type(Names, L"pal42, bob");
    WaitForTicks(2);
    aim.Command("at 2 recv bob hello");
    ASSERT_TRUE(testing::WaitUntil([&] { return ListRows(Log).size() == 2; }));
    EXPECT_EQ(ListRows(Log).at(1), log.at(0));
    Close();
    Open();
    EXPECT_EQ(ListRows(Log).size(), 2u);
}

TEST(AutoReplyLogTest, KeepsTheNewestRowsOnly) {
    AutoReplyLog log;
    for (int i = 0; i < 5000; ++i) log.Add(std::to_wstring(i));
    ASSERT_EQ(log.Rows().size(), kMostLogRows);
    EXPECT_EQ(log.Rows().front(), L"4999");
    EXPECT_EQ(log.Rows().back(), std::to_wstring(5000 - kMostLogRows));
}

// A megabyte reply of long words, saved by hand or by another program: the window opens and
// answers at once, shows that the reply is too long to show, and keeps it whole in Msg.ini
// while the row's names are changed.
TEST_F(AutoReplyWindowTest, AMegabyteReplyInMsgIniOpensTheWindowAtOnceAndStaysWhole) {
    Close();
    std::string reply;
    while (reply.size() < (std::size_t{1} << 20)) reply += std::string(5000, 'w') + "\\s";
    testing::WriteWholeFile(path_,
                            "[AutoReply]\r\nFormat=2\r\nRules=1\r\nRule1Names=pal42\r\nRule1Reply=" + reply + "\r\n");
    const AutoReplySettings stored = ReadAutoReplySettings(ReadSettingsFile(path_));
    ASSERT_GT(stored.rules.at(0).reply.size(), std::size_t{1} << 19);
    std::atomic<bool> opened{false};
    std::thread pinger([&] {
        // Another thread's message to the window, answered within the test's bounded wait.
        HWND window = nullptr;
        testing::WaitUntil([&] { return (window = FindWindowW(L"VelmoraAutoReply", nullptr)) != nullptr; });
        DWORD_PTR result = 0;
        opened = window && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
    });
    Open();
    testing::WaitUntil([&] { return opened.load(); });
    pinger.join();
    EXPECT_TRUE(opened);
    EXPECT_EQ(Text(Reply).rfind(L"(Too long to show or edit here: the reply", 0), 0u) << Text(Reply).substr(0, 200);
    EXPECT_LT(Text(Reply).size(), 4000u);
    EXPECT_NE(GetWindowLongW(Control(Reply), GWL_STYLE) & ES_READONLY, 0);
    Type(Names, L"pal42, bob");
    Close();
    const AutoReplySettings saved = ReadAutoReplySettings(ReadSettingsFile(path_));
    EXPECT_EQ(saved.rules.at(0).names, L"pal42, bob");
    EXPECT_EQ(saved.rules.at(0).reply, stored.rules.at(0).reply) << "the reply, whole";
}

// Another process asks the window how many ticks have run, to wait for ticks, not for a time.
TEST_F(AutoReplyWindowTest, TheWindowTellsHowManyTicksHaveRun) {
    const UINT query = RegisterWindowMessageW(kTicksDoneQueryName);
    ASSERT_NE(query, 0u);
    EXPECT_EQ(SendMessageW(Window(), query, 0, 0), 0);
    AnswerAndSwitchOn(L"pal42", L"brb");
    WaitForTicks(1);
    EXPECT_GE(SendMessageW(Window(), query, 0, 0), 2);
    EXPECT_EQ(static_cast<std::uint64_t>(SendMessageW(Window(), query, 0, 0)), window_->TicksDone());
}

// Two savers of one Msg.ini at the same moment, each adding its own rows one save at a time
// (as two copies of Velmora do): no save comes between another's reading and its replace, so
// every row lands.
TEST(AutoReplySettingsSaves, SavesAtTheSameMomentLoseNoRow) {
    testing::TempFolder folder;
    const std::wstring path = folder.File(L"Msg.ini");
    constexpr int kRowsEach = 60;
    const auto saver = [&](const std::wstring& who) {
        AutoReplySettings base = ReadAutoReplySettings(ReadSettingsFile(path));
        for (int row = 0; row < kRowsEach; ++row) {
            AutoReplySettings mine = base;
            mine.rules.push_back({who + std::to_wstring(row), L"brb"});
            ASSERT_EQ(RewriteSettingsFile(
                          path, [&](std::string_view file) { return MergeAutoReplySettingsInto(file, base, mine); }),
                      0u);
            base = mine;
        }
    };
    std::thread alice(saver, L"alice"), bob(saver, L"bob");
    alice.join();
    bob.join();
    const AutoReplySettings saved = ReadAutoReplySettings(ReadSettingsFile(path));
    EXPECT_EQ(saved.rules.size(), 1u + 2 * kRowsEach);
    for (const wchar_t* who : {L"alice", L"bob"})
        for (int row = 0; row < kRowsEach; ++row)
            EXPECT_NE(
                std::find(saved.rules.begin(), saved.rules.end(), AutoReplyRule{who + std::to_wstring(row), L"brb"}),
                saved.rules.end())
                << "no " << ::testing::PrintToString(std::wstring(who)) << row;
}

}  // namespace
}  // namespace velmora
