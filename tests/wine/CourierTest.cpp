// Messages to other programs' windows through the courier, against AIM stand-ins whose client
// threads come and go, stall or hang on cue: every message bounded however many threads have
// been served, a reply written to a slow client finished with the user's draft put back, and
// Auto Reply's switch and close honoured in the middle of a send.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "aim/AIM.h"
#include "autoreply/AutoReplyControls.h"
#include "autoreply/AutoReplyWatch.h"
#include "autoreply/AutoReplyWindow.h"
#include "misc/Courier.h"
#include "misc/Handles.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"
#include "winamp/Winamp.h"

namespace velmora {
namespace {

using testing::StandInProcess;
using testing::UnescapeLine;

// The user away from the keyboard for an hour: the tests beside these share the desktop and its
// input, and a stand-in's window in front with input a moment ago would wait as a conversation
// the user is typing in.
std::uint64_t SteadyMs() { return GetTickCount64(); }
std::uint64_t AnHourIdle() { return 3'600'000; }
constexpr WatchClock kAwayClock{&SteadyMs, &AnHourIdle};

StandInProcess StartAim(const std::wstring& arguments = L"") {
    return StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), arguments);
}

// The number K in the stand-in's "window K".
std::string WindowNumber(const std::vector<std::string>& replies) { return replies.at(0).substr(7); }

HWND ImWindowTitled(const std::string& buddy) {
    return FindWindowA("aim_imessage", (buddy + " - Instant Message").c_str());
}

std::vector<std::string> Sent(StandInProcess& aim) {
    std::vector<std::string> texts;
    for (const std::string& reply : aim.Command("sent")) texts.push_back(UnescapeLine(reply.substr(5)));
    return texts;
}
std::string Entry(StandInProcess& aim) { return UnescapeLine(aim.Command("entry").at(0).substr(6)); }
std::string Presses(StandInProcess& aim) { return aim.Command("presses").at(0); }

// A named event the stand-in sets as a stall begins.
struct StallSignal {
    std::string name = "VelmoraCourierTestStall" + std::to_string(GetCurrentProcessId());
    UniqueKernelHandle event{CreateEventA(nullptr, TRUE, FALSE, name.c_str())};
    bool Began() const { return WaitForSingleObject(event.get(), StandInProcess::kReplyTimeoutMs) == WAIT_OBJECT_0; }
};

// Work on a thread of the test's own, so a wait that should be bounded and is not shows as a
// failure instead of a test that never ends.
class Helper {
public:
    template <typename Work>
    explicit Helper(Work work) : work_(std::move(work)) {
        thread_.reset(CreateThread(nullptr, 0, &Helper::Run, this, 0, nullptr));
    }
    // True once the work has ended within `mostMs`; the thread is left to the process otherwise.
    bool EndedWithin(DWORD mostMs) { return WaitForSingleObject(thread_.get(), mostMs) == WAIT_OBJECT_0; }

private:
    static DWORD WINAPI Run(void* self) {
        static_cast<Helper*>(self)->work_();
        return 0;
    }
    std::function<void()> work_;
    UniqueKernelHandle thread_;
};

// ---------------------------------------------------------------------------

TEST(AimCourier, AfterSeventyEndedClientThreadsAHungOneIsBoundedAndTheOthersGoOn) {
    StandInProcess aim = StartAim();
    // Each client thread opens a window, is read once (so it has been served), and ends.
    for (int i = 0; i < 70; ++i) {
        const std::string buddy = "gone" + std::to_string(i);
        const std::string number = WindowNumber(aim.Command("thread " + buddy));
        const ImLength length = ConversationLengthOf(ImWindowTitled(buddy));
        ASSERT_EQ(length.answer, ImAnswer::InTime) << buddy;
        aim.Command("at " + number + " close");
    }
    EXPECT_LE(CourierCount(), kMostCouriers) << "the couriers of ended threads are not kept";

    const std::string hungNumber = WindowNumber(aim.Command("thread hung"));
    HWND hung = ImWindowTitled("hung");
    constexpr DWORD kHangMs = 60000;
    aim.Command("at " + hungNumber + " hang " + std::to_string(kHangMs));
    aim.Command("thread later");
    HWND later = ImWindowTitled("later");
    HWND first = ImWindowTitled("pal42");
    aim.Command("at 1 recv pal42 still here?");

    std::vector<ImAnswer> hungAnswers;
    ImReading firstReading;
    ImLength laterLength;
    ImReplyReport hungReply;
    Helper reads([&] {
        hungAnswers.push_back(ConversationLengthOf(hung).answer);
        hungAnswers.push_back(ConversationOf(hung).answer);
        hungReply = SendImReply(hung, L"brb", ImReplyPatience::FinishWhatWasWritten);
        firstReading = ReadLastImLineOf(first);
        laterLength = ConversationLengthOf(later);
    });
    // Far less than the hang: a message that waited for the hung thread would still be waiting.
    ASSERT_TRUE(reads.EndedWithin(kHangMs / 3)) << "a message waited on the hung client";
    EXPECT_EQ(hungAnswers, (std::vector<ImAnswer>{ImAnswer::TimedOut, ImAnswer::TimedOut}));
    EXPECT_EQ(hungReply.outcome, ImReplyOutcome::ClientBusy);
    EXPECT_FALSE(hungReply.reachedClient);
    EXPECT_EQ(firstReading.answer, ImAnswer::InTime);
    EXPECT_EQ(firstReading.text, L"pal42: still here?");
    EXPECT_EQ(laterLength.answer, ImAnswer::InTime);
}

TEST(AimCourier, ThousandsOfMessagesToManyThreadsKeepTheCouriersFew) {
    StandInProcess aim = StartAim();
    std::vector<HWND> windows{FirstImWindow()};
    for (int i = 0; i < 40; ++i) {
        const std::string buddy = "many" + std::to_string(i);
        aim.Command("thread " + buddy);
        windows.push_back(ImWindowTitled(buddy));
    }
    for (int round = 0; round < 50; ++round)
        for (HWND window : windows) ASSERT_EQ(ConversationLengthOf(window).answer, ImAnswer::InTime);
    EXPECT_LE(CourierCount(), kMostCouriers);
}

// The client takes 1.5 s over the reply's text ("stall"), or over the Send press ("stallsend"):
// longer than the bound for one message. The reply is finished and the draft comes back.
void ExpectFinishedWithTheDraftPutBack(const std::string& stallCommand) {
    StandInProcess aim = StartAim();
    StallSignal stall;
    aim.Command("draft my important draft\\r\\nsecond line");
    aim.Command(stallCommand + " 1500 " + stall.name);
    const ImReplyReport report =
        SendImReply(FirstImWindow(), L"away now,\r\nback at five", ImReplyPatience::FinishWhatWasWritten);
    EXPECT_TRUE(stall.Began());
    EXPECT_EQ(report.outcome, ImReplyOutcome::SentSlowly);
    EXPECT_EQ(report.draft, ImDraftOutcome::PutBack);
    EXPECT_EQ(Sent(aim), std::vector<std::string>{"away now,\r\nback at five"});
    EXPECT_EQ(Entry(aim), "my important draft\r\nsecond line");

    // Today's bounded send (the personal window's, on its window's thread) gives up instead.
    aim.Command(stallCommand + " 1500");
    EXPECT_EQ(SendImTextTo(FirstImWindow(), L"away"), ImAnswer::TimedOut);
}

TEST(AimSlowClient, AReplyWrittenSlowlyIsFinishedAndTheDraftPutBack) { ExpectFinishedWithTheDraftPutBack("stall"); }

TEST(AimSlowClient, AReplyPressedSlowlyIsFinishedAndTheDraftPutBack) { ExpectFinishedWithTheDraftPutBack("stallsend"); }

// With nothing typed, a reply withdrawn while it is written leaves the entry empty again: the
// user's next Enter must not send it.
TEST(AimCourier, AReplyWithdrawnWhileWrittenLeavesNoTextInAnEmptyEntry) {
    StandInProcess aim = StartAim();
    StallSignal stall;
    aim.Command("stall 1500 " + stall.name);
    std::atomic<bool> withdrawn{false};
    ImReplyReport report;
    Helper send(
        [&] { report = SendImReply(FirstImWindow(), L"brb", ImReplyPatience::FinishWhatWasWritten, &withdrawn); });
    ASSERT_TRUE(stall.Began());
    withdrawn = true;
    ASSERT_TRUE(send.EndedWithin(StandInProcess::kReplyTimeoutMs));
    EXPECT_EQ(report.outcome, ImReplyOutcome::Withdrawn);
    EXPECT_EQ(report.draft, ImDraftOutcome::NoDraft);
    EXPECT_EQ(Entry(aim), "");
    EXPECT_EQ(Presses(aim), "presses 0 0 0");
}

TEST(AimCourier, AWindowClosedBeforeTheReplyIsNotCountedAsSent) {
    StandInProcess aim = StartAim();
    HWND first = FirstImWindow();
    aim.Command("close");
    const ImReplyReport report = SendImReply(first, L"brb", ImReplyPatience::FinishWhatWasWritten);
    EXPECT_EQ(report.outcome, ImReplyOutcome::WindowClosed);
    EXPECT_FALSE(report.Sent());
}

// ---------------------------------------------------------------------------
// Auto Reply's watch in the middle of a send.

AutoReplySettings AnswerPal42() {
    AutoReplySettings settings;
    settings.rules = {AutoReplyRule{L"pal42", L"brb"}};
    settings.on = true;
    return settings;
}

class AutoReplyWatchSend : public ::testing::Test {
protected:
    void SetUp() override {
        aim_.Command("draft half a sentence");
        ASSERT_TRUE(watch_.Start(nullptr, 0));
        watch_.SwitchOn();
        TickAndWait();  // the lines shown now are taken as read
        aim_.Command("recv pal42 are you there?");
    }
    void TickAndWait() {
        const std::uint64_t target = watch_.TicksDone() + 1;
        watch_.Tick(AnswerPal42());
        ASSERT_TRUE(testing::WaitUntil([&] { return watch_.TicksDone() >= target; })) << "no tick came";
    }
    std::vector<AutoReplyLogRow> Log() {
        std::vector<AutoReplyLogRow> rows = watch_.TakeLog();
        return rows;
    }

    StandInProcess aim_ = StartAim();
    StallSignal stall_;
    AutoReplyWatch watch_{kAwayClock};
};

TEST_F(AutoReplyWatchSend, OffDuringAStalledWriteSendsNothingAndPutsTheDraftBack) {
    aim_.Command("stall 1500 " + stall_.name);
    const std::uint64_t before = watch_.TicksDone();
    watch_.Tick(AnswerPal42());
    ASSERT_TRUE(stall_.Began());
    watch_.SwitchOff();
    ASSERT_TRUE(testing::WaitUntil([&] { return watch_.TicksDone() > before; }));
    EXPECT_TRUE(Sent(aim_).empty());
    EXPECT_EQ(Presses(aim_), "presses 0 0 0");
    EXPECT_EQ(Entry(aim_), "half a sentence");
    const std::vector<AutoReplyLogRow> rows = Log();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].outcome, ImReplyOutcome::Withdrawn);
    EXPECT_EQ(rows[0].draft, ImDraftOutcome::PutBack);
    EXPECT_FALSE(rows[0].delivered);
}

TEST_F(AutoReplyWatchSend, StoppingDuringAStalledPressFinishesTheSendAndPutsTheDraftBack) {
    aim_.Command("stallsend 1500 " + stall_.name);
    watch_.Tick(AnswerPal42());
    ASSERT_TRUE(stall_.Began());
    watch_.Stop();  // as the window does on closing
    EXPECT_EQ(Sent(aim_), std::vector<std::string>{"brb"});
    EXPECT_EQ(Entry(aim_), "half a sentence");
}

TEST_F(AutoReplyWatchSend, TheLogSaysASlowReplyWasSentAndTheDraftPutBack) {
    aim_.Command("stall 1500 " + stall_.name);
    TickAndWait();
    const std::vector<AutoReplyLogRow> rows = Log();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].outcome, ImReplyOutcome::SentSlowly);
    EXPECT_EQ(rows[0].draft, ImDraftOutcome::PutBack);
    EXPECT_TRUE(rows[0].delivered);
    EXPECT_EQ(OutcomeWords(rows[0]), L" (sent; the IM window was slow to take it) (your unsent text was put back)");
    EXPECT_EQ(Entry(aim_), "half a sentence");
}

// The same through the window: Off clicked while the client holds the reply's text.
TEST(AutoReplyWindowOff, OffClickedWhileAReplyIsWrittenSendsNothingAndTheLogSaysSo) {
    testing::TempFolder folder;
    const std::wstring path = folder.File(L"Msg.ini");
    testing::WriteWholeFile(path, "[AutoReply]\r\nSwitch=On\r\nRules=1\r\nRule1Names=pal42\r\nRule1Reply=brb\r\n");
    StandInProcess aim = StartAim();
    aim.Command("draft half a sentence");
    StallSignal stall;
    AutoReplyWindow window(GetModuleHandleW(nullptr), nullptr, path, kAwayClock);
    ASSERT_TRUE(window.Open());
    HWND log = GetDlgItem(window.Handle(), AutoReplyIds::Log);
    // Its first tick takes what the IM window shows as read.
    ASSERT_TRUE(testing::WaitUntil([&] { return window.TicksDone() >= 1; }));
    aim.Command("stall 1500 " + stall.name);
    aim.Command("recv pal42 are you there?");
    ASSERT_TRUE(testing::WaitUntil([&] { return WaitForSingleObject(stall.event.get(), 0) == WAIT_OBJECT_0; }));
    testing::ClickWithMouse(GetDlgItem(window.Handle(), AutoReplyIds::Switch));
    ASSERT_EQ(testing::WindowText(GetDlgItem(window.Handle(), AutoReplyIds::Switch)), L"Off");
    ASSERT_TRUE(testing::WaitUntil([&] { return SendMessageW(log, LB_GETCOUNT, 0, 0) == 1; }));
    std::wstring row(static_cast<std::size_t>(SendMessageW(log, LB_GETTEXTLEN, 0, 0)), L'\0');
    SendMessageW(log, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row.data()));
    EXPECT_NE(row.find(L"not sent: Auto Reply was switched off"), std::wstring::npos) << row;
    EXPECT_NE(row.find(L"your unsent text was put back"), std::wstring::npos) << row;
    EXPECT_TRUE(Sent(aim).empty());
    EXPECT_EQ(Entry(aim), "half a sentence");
    window.Destroy();
}

// ---------------------------------------------------------------------------
// A stopped player: Winamp's window in this process, on a thread that does not answer until
// the test lets it, counting the messages that reach it.

std::atomic<int> g_playerAsked{0};
HANDLE g_playerGoesOn = nullptr;

LRESULT CALLBACK StoppedPlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH) {
        ++g_playerAsked;
        WaitForSingleObject(g_playerGoesOn, INFINITE);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI RunStoppedPlayer(void* made) {
    WNDCLASSA playerClass{};
    playerClass.lpfnWndProc = StoppedPlayerProc;
    playerClass.hInstance = GetModuleHandleA(nullptr);
    playerClass.lpszClassName = "Winamp v1.x";
    RegisterClassA(&playerClass);
    HWND window = CreateWindowExA(0, "Winamp v1.x", "1. Band - Song - Winamp", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    SetEvent(made);
    MSG message;
    while (window && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

TEST(Winamp, AStoppedPlayerIsAskedOnceHoweverOftenUpdateReads) {
    UniqueKernelHandle goesOn(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueKernelHandle made(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_playerGoesOn = goesOn.get();
    UniqueKernelHandle player(CreateThread(nullptr, 0, &RunStoppedPlayer, made.get(), 0, nullptr));
    ASSERT_EQ(WaitForSingleObject(made.get(), 10000), WAIT_OBJECT_0);
    ASSERT_NE(FindWinampWindow(), nullptr);
    // Twenty Updates while the player is stopped: the first waits its bound, the others are not
    // sent while the first is still on its way, so the stop costs Update about one bound.
    for (int update = 0; update < 20; ++update) EXPECT_FALSE(GetWinampSong().has_value());
    SetEvent(goesOn.get());
    ASSERT_TRUE(testing::WaitUntil([] { return GetWinampSong().has_value(); }));
    EXPECT_EQ(g_playerAsked.load(), 2) << "one message during the stop, one after it";
    PostThreadMessageA(GetThreadId(player.get()), WM_QUIT, 0, 0);
    WaitForSingleObject(player.get(), 10000);
}

}  // namespace
}  // namespace velmora
