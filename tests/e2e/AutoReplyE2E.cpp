// velmora.exe with "Auto Reply" opened from its menu, watching AIM stand-ins in other
// processes on its real timer: rules kept across a restart, the window outliving the main
// window, two copies of Velmora that answer each other's users, and two copies in one folder
// that keep each other's rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/AwayControls.h"
#include "autoreply/AutoReplyControls.h"
#include "autoreply/AutoReplySettings.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AutoReplyIds;
using testing::EscapeLine;
using testing::StandInProcess;
using testing::UnescapeLine;
using testing::VelmoraProcess;
using testing::WaitUntil;
using testing::WindowText;

StandInProcess StartAim(const std::wstring& me, const std::wstring& buddy) {
    return StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"),
                                 L"--me " + me + L" --title " + testing::QuoteArgument(buddy + L" - Instant Message"));
}

std::vector<std::string> Sent(StandInProcess& aim) {
    std::vector<std::string> texts;
    for (const std::string& reply : aim.Command("sent")) texts.push_back(UnescapeLine(reply.substr(5)));
    return texts;
}

HWND OpenAutoReply(const VelmoraProcess& velmora) {
    velmora.ChooseMenu(AwayIds::MenuAutoReply);
    return velmora.WaitForWindowTitled(L"Auto Reply");
}

// How many ticks of the watch have run to their end, as the window tells another process.
std::uint64_t TicksDone(HWND window) {
    DWORD_PTR ticks = 0;
    SendMessageTimeoutW(window, RegisterWindowMessageW(kTicksDoneQueryName), 0, 0, SMTO_ABORTIFHUNG, 5000, &ticks);
    return ticks;
}

// Until `count` more ticks have run to their end: the first after the switch went on takes the
// lines shown as read, and later ones show that nothing more comes.
bool WaitForTicks(HWND window, std::uint64_t count) {
    const std::uint64_t target = TicksDone(window) + count;
    return WaitUntil([&] { return TicksDone(window) >= target; });
}

TEST(AutoReplyE2E, TheRulesSurviveARestartAndTheWindowOutlivesTheMainWindow) {
    testing::TempFolder folder;
    StandInProcess aim = StartAim(L"me99", L"pal42");
    {
        VelmoraProcess velmora(folder.Path());
        HWND window = OpenAutoReply(velmora);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(velmora.CountWindowsTitled(L"Auto Reply"), 1);
        OpenAutoReply(velmora);
        EXPECT_EQ(velmora.CountWindowsTitled(L"Auto Reply"), 1) << "one instance";
        testing::TypeInto(GetDlgItem(window, Names), L"pal42");
        testing::TypeInto(GetDlgItem(window, Reply), L"out, back at 5\r\n-- %n");
        SendMessageW(GetDlgItem(window, Switch), BM_CLICK, 0, 0);
        EXPECT_EQ(WindowText(GetDlgItem(window, Switch)), L"On");
        // The main window closes; the program goes on while Auto Reply is open, and answers.
        velmora.CloseMainWindow();
        EXPECT_TRUE(velmora.IsRunning());
        ASSERT_TRUE(WaitForTicks(window, 2));
        aim.Command("recv pal42 hi");
        EXPECT_TRUE(WaitUntil([&] { return Sent(aim).size() == 1; }));
        EXPECT_EQ(Sent(aim).at(0), "out, back at 5\r\n-- pal42");
        testing::CloseWithCloseBox(window);
        EXPECT_TRUE(velmora.WaitForExit()) << "the last window closed";
    }
    const std::optional<std::string> file = testing::ReadWholeFile(folder.File(L"Msg.ini"));
    ASSERT_TRUE(file.has_value());
    EXPECT_NE(file->find("[AutoReply]\r\nFormat=2\r\nSwitch=On\r\n"), std::string::npos) << *file;

    VelmoraProcess again(folder.Path());
    HWND window = OpenAutoReply(again);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(window, Names)), L"pal42");
    EXPECT_EQ(WindowText(GetDlgItem(window, Reply)), L"out, back at 5\r\n-- %n");
    EXPECT_EQ(WindowText(GetDlgItem(window, Switch)), L"On");
    // Switched on again as it opens: the line it finds was read before, the next is new.
    ASSERT_TRUE(WaitForTicks(window, 3));
    EXPECT_EQ(Sent(aim).size(), 1u);
    aim.Command("recv pal42 back?");
    EXPECT_TRUE(WaitUntil([&] { return Sent(aim).size() == 2; }));
}

// alice's Velmora answers bob in her IM window, bob's answers alice in his; what one client
// sends, the other shows as the buddy's line (the test carries it across, as the service would).
TEST(AutoReplyE2E, TwoCopiesAnsweringEachOtherStopAfterOneReplyEach) {
    testing::TempFolder aliceFolder;
    testing::TempFolder bobFolder;
    testing::WriteWholeFile(
        aliceFolder.File(L"Msg.ini"),
        "[AutoReply]\r\nSwitch=On\r\nRules=1\r\nRule1Names=bob\r\nRule1Reply=alice\\sis\\saway\r\n");
    testing::WriteWholeFile(
        bobFolder.File(L"Msg.ini"),
        "[AutoReply]\r\nSwitch=On\r\nRules=1\r\nRule1Names=alice\r\nRule1Reply=bob\\sis\\saway\r\n");
    StandInProcess aliceAim = StartAim(L"alice", L"bob");
    StandInProcess bobAim = StartAim(L"bob", L"alice");
    VelmoraProcess alice(aliceFolder.Path());
    VelmoraProcess bob(bobFolder.Path());
    HWND aliceWindow = OpenAutoReply(alice);
    HWND bobWindow = OpenAutoReply(bob);
    ASSERT_NE(aliceWindow, nullptr);
    ASSERT_NE(bobWindow, nullptr);
    ASSERT_TRUE(WaitForTicks(aliceWindow, 2));
    ASSERT_TRUE(WaitForTicks(bobWindow, 2));

    aliceAim.Command("recv bob hi alice");  // bob typed this himself
    std::size_t carriedFromAlice = 0;
    std::size_t carriedFromBob = 0;
    const auto carry = [&] {
        const std::vector<std::string> fromAlice = Sent(aliceAim);
        for (; carriedFromAlice < fromAlice.size(); ++carriedFromAlice)
            bobAim.Command("recv alice " + EscapeLine(fromAlice[carriedFromAlice]));
        const std::vector<std::string> fromBob = Sent(bobAim);
        for (; carriedFromBob < fromBob.size(); ++carriedFromBob)
            aliceAim.Command("recv bob " + EscapeLine(fromBob[carriedFromBob]));
        return carriedFromAlice >= 1 && carriedFromBob >= 1;
    };
    ASSERT_TRUE(WaitUntil(carry)) << "each answers once";
    // Carried on for a while: nothing more comes.
    for (int round = 0; round < 8; ++round) {
        ASSERT_TRUE(WaitForTicks(aliceWindow, 1));
        ASSERT_TRUE(WaitForTicks(bobWindow, 1));
        carry();
    }
    EXPECT_EQ(Sent(aliceAim), std::vector<std::string>{"alice is away"});
    EXPECT_EQ(Sent(bobAim), std::vector<std::string>{"bob is away"});
}

// Two copies of Velmora started from one folder, both with Auto Reply open: each adds its own
// row and makes its own choice, one changes the message, and each save keeps what the other
// saved before it.
TEST(AutoReplyE2E, TwoCopiesInOneFolderKeepEachOthersRowsAndChoices) {
    testing::TempFolder folder;
    testing::WriteWholeFile(folder.File(L"Msg.ini"), "[General]\r\nMsg=lunch\r\n");
    VelmoraProcess first(folder.Path());
    VelmoraProcess second(folder.Path());
    HWND firstWindow = OpenAutoReply(first);
    HWND secondWindow = OpenAutoReply(second);
    ASSERT_NE(firstWindow, nullptr);
    ASSERT_NE(secondWindow, nullptr);
    const auto addRow = [](HWND window, const std::wstring& names, const std::wstring& reply) {
        SendMessageW(GetDlgItem(window, Add), BM_CLICK, 0, 0);
        testing::TypeInto(GetDlgItem(window, Names), names);
        testing::TypeInto(GetDlgItem(window, Reply), reply);
    };
    addRow(firstWindow, L"alice", L"hi alice");
    SendMessageW(GetDlgItem(firstWindow, Switch), BM_CLICK, 0, 0);
    testing::CloseWithCloseBox(firstWindow);
    addRow(secondWindow, L"bob, Sam 7", L"hi bob");
    SendMessageW(GetDlgItem(secondWindow, Idle), CB_SETCURSEL, 2, 0);
    SendMessageW(secondWindow, WM_COMMAND, MAKEWPARAM(Idle, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(secondWindow, Idle)));
    testing::CloseWithCloseBox(secondWindow);
    // Save Last Msg ticked in both: the first changed the message, the second left it.
    first.Type(AwayIds::Text2_0, L"dinner");
    first.Click(AwayIds::Check2);
    second.Click(AwayIds::Check2);
    first.CloseMainWindow();
    ASSERT_TRUE(first.WaitForExit());
    second.CloseMainWindow();
    EXPECT_TRUE(second.WaitForExit());

    const std::optional<std::string> file = testing::ReadWholeFile(folder.File(L"Msg.ini"));
    ASSERT_TRUE(file.has_value());
    const AutoReplySettings saved = ReadAutoReplySettings(*file);
    EXPECT_EQ(saved.rules, (std::vector<AutoReplyRule>{{}, {L"alice", L"hi alice"}, {L"bob, Sam 7", L"hi bob"}}))
        << *file;
    EXPECT_TRUE(saved.on) << "the first copy's switch";
    EXPECT_EQ(saved.idleMinutes, 10) << "the second copy's choice";
    EXPECT_EQ(file->rfind("[General]\r\nMsg=dinner\r\n", 0), 0u) << "the message the first copy saved";
}

}  // namespace
}  // namespace velmora
