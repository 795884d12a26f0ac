// velmora.exe closed while Auto Reply's reply is on its way to an IM window whose client is slow
// over it: the reply is finished and the user's draft put back before the process ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AwayControls.h"
#include "misc/Handles.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::StandInProcess;
using testing::UnescapeLine;
using testing::VelmoraProcess;
using testing::WaitUntil;

std::vector<std::string> Sent(StandInProcess& aim) {
    std::vector<std::string> texts;
    for (const std::string& reply : aim.Command("sent")) texts.push_back(UnescapeLine(reply.substr(5)));
    return texts;
}

// How often Velmora's watch has looked at the conversation.
int Looks(StandInProcess& aim) { return std::stoi(aim.Command("asked").at(0).substr(6)); }

TEST(AutoReplyE2E, ClosingDuringAStalledReplyFinishesItAndPutsTheDraftBackBeforeTheEnd) {
    testing::TempFolder folder;
    testing::WriteWholeFile(folder.File(L"Msg.ini"),
                            "[AutoReply]\r\nSwitch=On\r\nRules=1\r\nRule1Names=pal42\r\nRule1Reply=brb\r\n");
    StandInProcess aim = StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), L"--me me99");
    aim.Command("draft half a sentence");
    const std::string stallName = "VelmoraCloseE2EStall" + std::to_string(GetCurrentProcessId());
    UniqueKernelHandle stallBegan(CreateEventA(nullptr, TRUE, FALSE, stallName.c_str()));

    VelmoraProcess velmora(folder.Path());
    velmora.ChooseMenu(AwayIds::MenuAutoReply);
    HWND autoReply = velmora.WaitForWindowTitled(L"Auto Reply");
    ASSERT_NE(autoReply, nullptr);
    // Two looks: the first took what the window showed as read, the second came after it.
    ASSERT_TRUE(WaitUntil([&] { return Looks(aim) >= 2; })) << "the watch never looked";
    aim.Command("stall 3000 " + stallName);
    aim.Command("recv pal42 are you there?");
    ASSERT_EQ(WaitForSingleObject(stallBegan.get(), 20000), WAIT_OBJECT_0) << "no reply was written";

    // Every window closed while the client still holds the reply's text.
    PostMessageW(autoReply, WM_CLOSE, 0, 0);
    velmora.PostCloseMainWindow();
    ASSERT_TRUE(velmora.WaitForExit()) << "the last window closed";
    EXPECT_EQ(Sent(aim), std::vector<std::string>{"brb"});
    EXPECT_EQ(UnescapeLine(aim.Command("entry").at(0).substr(6)), "half a sentence");
}

}  // namespace
}  // namespace velmora
