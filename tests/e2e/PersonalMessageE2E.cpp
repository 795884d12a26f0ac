// velmora.exe and the AIM stand-in as two processes: the personal-message window opened from
// the main window's menu watches the stand-in's IM window on its real 1.1 s timer and answers.
// Every wait for something Velmora does is bounded only to end a failed test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aim/PersonalControls.h"
#include "app/AwayControls.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::EscapeLine;
using testing::StandInProcess;
using testing::UnescapeLine;
using testing::VelmoraProcess;
using testing::WaitUntil;
using testing::WindowText;

const std::string kDefaultReply = "Personal Message - I'll  Be right back\r\n";

class PersonalMessageE2E : public ::testing::Test {
protected:
    // Opens "Personal Msg" from the main window's menu, lists the names and switches it on.
    HWND OpenAndSwitchOn(const std::wstring& names) {
        velmora_.ChooseMenu(AwayIds::MenuPerna);
        personal_ = velmora_.WaitForWindowTitled(L"Personal Away Msg");
        if (!personal_) {
            ADD_FAILURE() << "the personal-message window did not open";
            return nullptr;
        }
        EXPECT_EQ(Text(PersonalIds::Label2), L"Off");
        testing::TypeInto(Control(PersonalIds::Text1), names);
        testing::ClickWithMouse(Control(PersonalIds::Label2));
        EXPECT_EQ(Text(PersonalIds::Label2), L"On");
        return personal_;
    }

    HWND Control(int id) const { return GetDlgItem(personal_, id); }
    std::wstring Text(int id) const { return WindowText(Control(id)); }
    void ClickSwitch() const { testing::ClickWithMouse(Control(PersonalIds::Label2)); }
    // The sender box is written by the timer only, so it changing shows a tick.
    bool SenderBoxBecomes(const std::wstring& sender) const {
        return WaitUntil([&] { return Text(PersonalIds::Text2) == sender; });
    }

    void Receive(const std::string& name, const std::string& text) {
        aim_.Command("recv " + name + " " + EscapeLine(text));
    }
    std::vector<std::string> Sent() {
        std::vector<std::string> texts;
        for (const std::string& reply : aim_.Command("sent")) texts.push_back(UnescapeLine(reply.substr(5)));
        return texts;
    }
    bool SentCountBecomes(size_t count) {
        return WaitUntil([&] { return Sent().size() >= count; }) && Sent().size() == count;
    }
    // Long enough for three ticks of Timer1, to see that none came.
    static void WaitThreeTicks() { Sleep(3 * PersonalIds::Timer1IntervalMs + 500); }

    testing::TempFolder folder_;
    StandInProcess aim_ = StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), L"");
    VelmoraProcess velmora_{folder_.Path()};
    HWND personal_ = nullptr;
};

TEST_F(PersonalMessageE2E, AListedNameGetsExactlyOneReplyAndTheWindowStillShowsOn) {
    Receive("stranger", "hello");
    ASSERT_TRUE(OpenAndSwitchOn(L"pal42"));
    ASSERT_TRUE(SenderBoxBecomes(L"stranger"));
    Receive("PAL42", "are you there?");
    ASSERT_TRUE(SentCountBecomes(1));
    EXPECT_EQ(Sent().front(), kDefaultReply);
    EXPECT_EQ(Text(PersonalIds::Label2), L"On");

    // No more ticks: the sender box keeps the name that was answered.
    Receive("stranger", "still here");
    Receive("pal42", "hello again");
    WaitThreeTicks();
    EXPECT_EQ(Text(PersonalIds::Text2), L"PAL42");
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_EQ(Text(PersonalIds::Label2), L"On");
}

TEST_F(PersonalMessageE2E, AnUnlistedNameGetsNothingAndWatchingGoesOn) {
    ASSERT_TRUE(OpenAndSwitchOn(L"pal42"));
    Receive("stranger", "hello");
    ASSERT_TRUE(SenderBoxBecomes(L"stranger"));
    EXPECT_TRUE(Sent().empty());
    Receive("me99", "my own line");
    ASSERT_TRUE(SenderBoxBecomes(L"me99"));
    EXPECT_TRUE(Sent().empty());
    Receive("pal42", "hi");
    EXPECT_TRUE(SentCountBecomes(1));
}

TEST_F(PersonalMessageE2E, ClosingTheImWindowOrANamelessLineSendsNothing) {
    Receive("stranger", "hello");
    ASSERT_TRUE(OpenAndSwitchOn(L"pal42"));
    ASSERT_TRUE(SenderBoxBecomes(L"stranger"));
    aim_.Command("close");
    ASSERT_TRUE(SenderBoxBecomes(L""));
    aim_.Command("open");
    Receive("stranger", "back");
    ASSERT_TRUE(SenderBoxBecomes(L"stranger"));
    // A last line without a name, with the IM window open.
    aim_.Command("set " + EscapeLine("<B>stranger</B>: back<BR>"));
    ASSERT_TRUE(SenderBoxBecomes(L""));
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(aim_.Command("presses").at(0), "presses 0 0 0");

    // Still watching for the listed name.
    Receive("pal42", "hi");
    EXPECT_TRUE(SentCountBecomes(1));
}

TEST_F(PersonalMessageE2E, SwitchingOffAndOnAgainArmsItAgain) {
    ASSERT_TRUE(OpenAndSwitchOn(L"pal42"));
    Receive("pal42", "hi");
    ASSERT_TRUE(SentCountBecomes(1));
    ClickSwitch();
    EXPECT_EQ(Text(PersonalIds::Label2), L"Off");
    ClickSwitch();
    EXPECT_EQ(Text(PersonalIds::Label2), L"On");
    // The reply, which ends in a line break, is now the last line and names nobody.
    ASSERT_TRUE(SenderBoxBecomes(L""));
    Receive("pal42", "hi again");
    ASSERT_TRUE(SentCountBecomes(2));
    EXPECT_EQ(Sent(), (std::vector<std::string>{kDefaultReply, kDefaultReply}));
}

TEST_F(PersonalMessageE2E, ItOutlivesTheMainWindowAndTheProgramEndsWithIt) {
    ASSERT_TRUE(OpenAndSwitchOn(L"pal42"));
    HWND main = velmora_.MainWindow();
    velmora_.CloseMainWindow();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(main); }));
    EXPECT_TRUE(velmora_.IsRunning());

    Receive("pal42", "anyone?");
    EXPECT_TRUE(SentCountBecomes(1));
    EXPECT_TRUE(velmora_.IsRunning());

    testing::CloseWithCloseBox(personal_);
    ASSERT_TRUE(velmora_.WaitForExit());
    EXPECT_EQ(velmora_.ExitCode(), 0u);
}

// Typing reaches a window only through its message loop, so a character posted to a text box
// shows up only while that loop runs (it replaces the text where the text is selected, as it
// is in a box that had the focus given on opening).
bool TakesTyping(HWND textBox) {
    const std::wstring before = WindowText(textBox);
    PostMessageW(textBox, WM_CHAR, before == L"x" ? L'y' : L'x', 1);
    return WaitUntil([&] { return WindowText(textBox) != before; });
}

TEST_F(PersonalMessageE2E, AHungClientLeavesEveryWindowResponsive) {
    Receive("stranger", "hello");
    ASSERT_TRUE(OpenAndSwitchOn(L"pal42"));
    ASSERT_TRUE(SenderBoxBecomes(L"stranger"));
    // Far longer than the waits below: a Velmora that waited for the client would stay stuck.
    aim_.Command("hang 120000");
    Sleep(2 * PersonalIds::Timer1IntervalMs);  // a tick or two run into the hang
    EXPECT_TRUE(TakesTyping(GetDlgItem(velmora_.MainWindow(), AwayIds::Text1)));
    EXPECT_TRUE(TakesTyping(Control(PersonalIds::Text3)));
    EXPECT_EQ(Text(PersonalIds::Text2), L"stranger") << "a read that timed out is no empty sender";
    EXPECT_EQ(Text(PersonalIds::Label2), L"On");
}

}  // namespace
}  // namespace velmora
