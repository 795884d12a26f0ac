// Ten thousand ticks of the personal-message window against the AIM stand-in holding a 32 KB
// conversation, with a thousand Update presses among them: handles, GDI and USER objects and
// private bytes end where they began.
#include <gtest/gtest.h>

#include <iostream>

#include "aim/PersonalControls.h"
#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "preview/RenderPane.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

struct Footprint {
    testing::GuiObjectCounts gui;
    DWORD kernelHandles;
    SIZE_T privateBytes;
};

Footprint Measure() {
    return {testing::CountGuiObjects(), testing::CountKernelHandles(GetCurrentProcessId()),
            testing::PrivateBytes(GetCurrentProcess())};
}

std::string ThirtyTwoKilobyteConversation() {
    std::string markup;
    for (int line = 0; markup.size() < 32 * 1024; ++line)
        markup += "<B>" + std::string(line % 2 ? "me99" : "pal42") + "</B>: line " + std::to_string(line) +
                  " of a long talk about nothing much<BR>";
    return markup + "<B>pal42</B>: still there?";
}

TEST(Soak, TicksAndUpdatesLeaveNothingBehind) {
    auto aim = testing::StandInProcess::Start(testing::StandInPath(L"aim-standin.exe"), L"");
    aim.Command("set " + testing::EscapeLine(ThirtyTwoKilobyteConversation()));

    Program program(GetModuleHandleW(nullptr));
    ASSERT_TRUE(program.Start());
    HWND main = program.OpenMainWindow()->Handle();
    const std::wstring screenName = testing::UniqueScreenName(L"soak");
    testing::TypeInto(GetDlgItem(main, AwayIds::Text5), screenName);
    testing::TypeInto(GetDlgItem(main, AwayIds::Text2_0), L"Soaking\r\nin the tub");
    program.Show(ChildWindow::PersonalMessage);
    Window* personal = program.OpenChild(ChildWindow::PersonalMessage);
    ASSERT_NE(personal, nullptr);
    HWND watch = personal->Handle();
    testing::TypeInto(GetDlgItem(watch, PersonalIds::Text1), L"nobody listed");
    testing::ClickWithMouse(GetDlgItem(watch, PersonalIds::Label2));
    ASSERT_EQ(testing::WindowText(GetDlgItem(watch, PersonalIds::Label2)), L"On");

    // Each tick writes the sender box afresh; every tenth round also presses Update.
    const auto round = [&](int i) {
        SendMessageW(GetDlgItem(watch, PersonalIds::Text2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        SendMessageW(watch, WM_TIMER, PersonalIds::Timer1, 0);
        if (i % 10 == 0) SendMessageW(GetDlgItem(main, AwayIds::Command5), BM_CLICK, 0, 0);
    };
    for (int i = 0; i < 200; ++i) round(i);
    ASSERT_EQ(testing::WindowText(GetDlgItem(watch, PersonalIds::Text2)), L"pal42");
    const Footprint before = Measure();

    for (int i = 0; i < 10000; ++i) round(i);

    const Footprint after = Measure();
    EXPECT_EQ(testing::WindowText(GetDlgItem(watch, PersonalIds::Text2)), L"pal42");
    EXPECT_TRUE(aim.Command("sent").empty());
    EXPECT_TRUE(testing::ReadRegistryValue(HKEY_CURRENT_USER, kUsers + screenName + L"\\IAmGoneList", L"GoneMsg1"));
    EXPECT_LE(after.gui.gdi, before.gui.gdi);
    EXPECT_LE(after.gui.user, before.gui.user);
    EXPECT_GT(before.kernelHandles, 0u);
    EXPECT_LE(after.kernelHandles, before.kernelHandles + 2);
    EXPECT_GT(before.privateBytes, 0u);
    EXPECT_LE(after.privateBytes, before.privateBytes + 512 * 1024)
        << "private bytes grew from " << before.privateBytes << " to " << after.privateBytes;
    std::printf("gdi %lu -> %lu, user %lu -> %lu, kernel handles %lu -> %lu, private bytes %zu -> %zu\n",
                before.gui.gdi, after.gui.gdi, before.gui.user, after.gui.user, before.kernelHandles,
                after.kernelHandles, static_cast<std::size_t>(before.privateBytes),
                static_cast<std::size_t>(after.privateBytes));
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName);
}

// Documents of many font styles each, every one of them new: the pane keeps the fonts of the
// shown document only, so GDI objects and memory stay where the first documents left them.
TEST(Soak, ManyDocumentsOfManyFontsLeaveNothingBehind) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"pane", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    {
        RenderPane pane;
        ASSERT_TRUE(pane.Create(parent, 7, RECT{0, 0, 300, 200}));
        const auto document = [](int number) {
            std::wstring markup;
            for (int style = 0; style < 256; ++style)
                markup += L"<font face=\"Face " + std::to_wstring(number) + L"-" + std::to_wstring(style) +
                          L"\" size=" + std::to_wstring(style % 7 + 1) + L">" + (style % 2 ? L"<b>" : L"<i>") + L"w" +
                          (style % 2 ? L"</b>" : L"</i>") + L"</font>";
            return markup;
        };
        const auto show = [&](int number) {
            pane.SetDocument(document(number));
            UpdateWindow(pane.Handle());
        };
        show(0);
        show(1);
        const Footprint before = Measure();
        for (int number = 2; number < 40; ++number) show(number);
        const Footprint after = Measure();
        EXPECT_LE(after.gui.gdi, before.gui.gdi + 16)
            << "GDI objects grew from " << before.gui.gdi << " to " << after.gui.gdi;
        EXPECT_LE(after.privateBytes, before.privateBytes + 2 * 1024 * 1024)
            << "private bytes grew from " << before.privateBytes << " to " << after.privateBytes;
        std::cout << "gdi " << before.gui.gdi << " -> " << after.gui.gdi << ", private bytes " << before.privateBytes
                  << " -> " << after.privateBytes << "\n";
    }
    DestroyWindow(parent);
}

}  // namespace
}  // namespace velmora
