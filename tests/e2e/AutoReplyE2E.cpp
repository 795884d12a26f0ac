// velmora.exe with "Auto Reply" opened from its menu, watching AIM stand-ins in other
// processes on its real timer: rules kept across a restart, the window outliving the main
// window, and two copies of Velmora that answer each other's users.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AwayControls.h"
#include "autoreply/AutoReplyControls.h"
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

// Ticks of the watch to see that nothing more comes.
void WaitSomeTicks() { Sleep(4 * TickIntervalMs + 500); }

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
        WaitSomeTicks();
        aim.Command("recv pal42 hi");
        EXPECT_TRUE(WaitUntil([&] { return Sent(aim).size() == 1; }));
        EXPECT_EQ(Sent(aim).at(0), "out, back at 5\r\n-- pal42");
        testing::CloseWithCloseBox(window);
        EXPECT_TRUE(velmora.WaitForExit()) << "the last window closed";
    }
    const std::optional<std::string> file = testing::ReadWholeFile(folder.File(L"Msg.ini"));
    ASSERT_TRUE(file.has_value());
    EXPECT_NE(file->find("[AutoReply]\r\nSwitch=On\r\n"), std::string::npos) << *file;

    VelmoraProcess again(folder.Path());
    HWND window = OpenAutoReply(again);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(window, Names)), L"pal42");
    EXPECT_EQ(WindowText(GetDlgItem(window, Reply)), L"out, back at 5\r\n-- %n");
    EXPECT_EQ(WindowText(GetDlgItem(window, Switch)), L"On");
    // Switched on again as it opens: the line it finds was read before, the next is new.
    WaitSomeTicks();
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
    ASSERT_NE(OpenAutoReply(alice), nullptr);
    ASSERT_NE(OpenAutoReply(bob), nullptr);
    WaitSomeTicks();

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
        Sleep(TickIntervalMs);
        carry();
    }
    EXPECT_EQ(Sent(aliceAim), std::vector<std::string>{"alice is away"});
    EXPECT_EQ(Sent(bobAim), std::vector<std::string>{"bob is away"});
}

}  // namespace
}  // namespace velmora
