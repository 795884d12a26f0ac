// The windows "About" and "Help" made in this process, opened from the main window's menu
// and examined through the window system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about/AboutControls.h"
#include "about/HelpControls.h"
#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "res/resource.h"
#include "support/Designs.h"
#include "support/ShellRecorder.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::CentreOf;
using testing::ClickAt;
using testing::ShellCall;

class AboutHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow()->Handle();
    }
    HWND Open(int menuEntry, const wchar_t* title) {
        SendMessageW(main_, WM_COMMAND, MAKEWPARAM(menuEntry, 0), 0);
        return Find(title);
    }
    HWND OpenAbout() { return Open(AwayIds::MenuAbast, L"About"); }
    HWND OpenHelp() { return Open(AwayIds::MenuHlpe, L"Help"); }
    static HWND Find(const wchar_t* title) { return testing::FindWindowOfProcess(GetCurrentProcessId(), title); }
    static int Count(const wchar_t* title) { return testing::CountWindowsOfProcess(GetCurrentProcessId(), title); }
    int Scaled(int pixels) const { return MulDiv(pixels, static_cast<int>(testing::DpiOfThisRun()), 96); }

    Program program_{GetModuleHandleW(nullptr)};
    HWND main_ = nullptr;
};

TEST_F(AboutHelpTest, EachIsAFixedCentredWindowWithACloseBoxOnly) {
    for (HWND window : {OpenHelp(), OpenAbout()}) {
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(testing::WindowText(window).size());
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & WS_MINIMIZEBOX);
        EXPECT_FALSE(style & WS_MAXIMIZEBOX);
        EXPECT_FALSE(style & WS_THICKFRAME);
        EXPECT_EQ(GetMenu(window), nullptr);
        // Modeless and without an owner: the main window stays usable.
        EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowEnabled(main_));
        RECT outer{}, work{};
        GetWindowRect(window, &outer);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR(outer.left - work.left, work.right - outer.right, 1);
        EXPECT_NEAR(outer.top - work.top, work.bottom - outer.bottom, 1);
    }
}

TEST_F(AboutHelpTest, BothShowTheInfoIconAndTheMainWindowItsOwn) {
    // Test exes carry velmora.exe's resources, so the icons are the ones velmora.exe shows.
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto shared = [instance](int id) {
        return reinterpret_cast<LONG_PTR>(
            LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    };
    ASSERT_NE(shared(IDI_INFO), 0);
    EXPECT_EQ(GetClassLongPtrW(OpenHelp(), GCLP_HICON), shared(IDI_INFO));
    EXPECT_EQ(GetClassLongPtrW(OpenAbout(), GCLP_HICON), shared(IDI_INFO));
    EXPECT_EQ(GetClassLongPtrW(main_, GCLP_HICON), shared(IDI_VELMORA));
    EXPECT_NE(shared(IDI_VELMORA), shared(IDI_INFO));
}

// Lengths of the runs of two or more blanks, and whether the text ends in a blank.
std::vector<size_t> BlankRuns(const std::wstring& text) {
    std::vector<size_t> runs;
    for (size_t i = 0; i < text.size();) {
        const size_t end = text.find_first_not_of(L' ', i);
        const size_t length = (end == std::wstring::npos ? text.size() : end) - i;
        if (length >= 2 || (length == 1 && end == std::wstring::npos)) runs.push_back(length);
        i = end == std::wstring::npos ? text.size() : text.find(L' ', end);
        if (i == std::wstring::npos) break;
    }
    return runs;
}

TEST_F(AboutHelpTest, TheNotesKeepEveryRunOfBlanks) {
    HWND help = OpenHelp();
    const std::wstring note1 = testing::WindowText(GetDlgItem(help, HelpIds::Label3));
    const std::wstring note2 = testing::WindowText(GetDlgItem(help, HelpIds::Label4));
    const std::wstring note3 = testing::WindowText(GetDlgItem(help, HelpIds::Label5));
    EXPECT_EQ(BlankRuns(note1), (std::vector<size_t>{6, 17}));
    EXPECT_EQ(BlankRuns(note2), (std::vector<size_t>{10, 11, 2, 1}));  // the last: the trailing blank
    EXPECT_EQ(BlankRuns(note3), (std::vector<size_t>{2, 6, 6}));
    EXPECT_EQ(note1.substr(0, 3), L"1. ");
    EXPECT_EQ(note2.back(), L' ');
    EXPECT_EQ(note3.substr(note3.size() - 10), L"you enter.");
}

TEST_F(AboutHelpTest, TheNotesWrapAtWordBoundariesAndEveryLineIsShown) {
    HWND help = OpenHelp();
    for (int id : {HelpIds::Label3, HelpIds::Label4, HelpIds::Label5}) {
        HWND note = GetDlgItem(help, id);
        const std::wstring text = testing::WindowText(note);
        SCOPED_TRACE(std::string(text.begin(), text.begin() + 2));
        // A left-aligned static breaks its lines between words, as DrawText does with
        // DT_WORDBREAK; the other kinds cut or never break.
        EXPECT_EQ(GetWindowLongW(note, GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
        const RECT box = testing::RectOnParent(note);
        HDC dc = GetDC(note);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(note, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        RECT needed{0, 0, box.right - box.left, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(note, dc);
        // Each note is three lines at its label's width, all of them inside the label.
        EXPECT_EQ((needed.bottom - needed.top) / metrics.tmHeight, 3);
        EXPECT_LE(needed.bottom - needed.top, box.bottom - box.top);
        EXPECT_LE(needed.right - needed.left, box.right - box.left);
    }
}

// The window's own painting (its background, the panel, the frame, the line under the title),
// drawn into a bitmap through WM_PRINT.
class Painting {
public:
    explicit Painting(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, client.right, client.bottom);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        FillRect(dc_, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc_), PRF_ERASEBKGND | PRF_CLIENT);
    }
    ~Painting() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

TEST_F(AboutHelpTest, AWhitePanelInADarkAndLightFrameWithALineUnderTheTitle) {
    struct Case {
        HWND window;
        int bottom;          // the frame's bottom line
        COLORREF light;      // right and bottom of the frame
        COLORREF titleLine;  // Line1
    };
    const Case cases[] = {
        {OpenAbout(), 120, RGB(0xC0, 0xC0, 0xC0), RGB(0xE0, 0xE0, 0xE0)},
        {OpenHelp(), 184, RGB(0xE0, 0xE0, 0xE0), RGB(0xC0, 0xC0, 0xC0)},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.window, nullptr);
        const Painting painting(c.window);
        const auto at = [&](int x, int y) { return painting.At(Scaled(x), Scaled(y)); };
        const COLORREF dark = RGB(0x40, 0x40, 0x40);
        EXPECT_EQ(at(150, 8), dark);      // top
        EXPECT_EQ(at(8, 60), dark);       // left
        EXPECT_EQ(at(304, 60), c.light);  // right
        EXPECT_EQ(at(150, c.bottom), c.light);
        EXPECT_EQ(at(150, 40), c.titleLine);  // Line1, from 16 to 288
        EXPECT_EQ(at(16, 40), c.titleLine);
        EXPECT_EQ(at(288, 40), c.titleLine);
        EXPECT_EQ(at(12, 40), RGB(0xFF, 0xFF, 0xFF));  // the panel beside it
        EXPECT_EQ(at(150, 44), RGB(0xFF, 0xFF, 0xFF));
        EXPECT_EQ(at(295, c.bottom - 4), RGB(0xFF, 0xFF, 0xFF));
        // Outside the frame the window keeps its own face colour.
        EXPECT_EQ(at(3, 3), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(at(308, c.bottom + 4), GetSysColor(COLOR_BTNFACE));
    }
}

TEST_F(AboutHelpTest, TheLabelsLetThePanelShowThrough) {
    // No label paints a background of its own: the title's line under it stays visible.
    for (HWND window : {OpenAbout(), OpenHelp()}) {
        for (HWND label = GetWindow(window, GW_CHILD); label; label = GetWindow(label, GW_HWNDNEXT)) {
            HDC dc = GetDC(label);
            const auto brush = reinterpret_cast<HBRUSH>(
                SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
            const int mode = GetBkMode(dc);
            ReleaseDC(label, dc);
            EXPECT_EQ(brush, GetStockObject(NULL_BRUSH));
            EXPECT_EQ(mode, TRANSPARENT);
        }
    }
}

TEST_F(AboutHelpTest, AClickOnTheLinkOpensItsCaptionMaximised) {
    testing::ShellRecorder shell;
    HWND about = OpenAbout();
    HWND link = GetDlgItem(about, AboutIds::Label6);
    ClickAt(about, CentreOf(link));
    EXPECT_EQ(shell.WaitForCalls(1), (std::vector<ShellCall>{{SW_SHOWMAXIMIZED, L"https://velmora.github.io"}}));
    // The caption is read at the click: what the label shows is what opens.
    SetWindowTextW(link, L"https://velmora.github.io/help");
    ClickAt(about, CentreOf(link));
    EXPECT_EQ(shell.WaitForCalls(2).back(), (ShellCall{SW_SHOWMAXIMIZED, L"https://velmora.github.io/help"}));
}

TEST_F(AboutHelpTest, AClickAnywhereElseOpensNothing) {
    testing::ShellRecorder shell;
    HWND help = OpenHelp();
    HWND about = OpenAbout();
    for (int id : {AboutIds::Label2, AboutIds::Label3, AboutIds::Label4, AboutIds::Label5})
        ClickAt(about, CentreOf(GetDlgItem(about, id)));
    for (POINT spot : {POINT{Scaled(4), Scaled(4)}, POINT{Scaled(290), Scaled(112)}, POINT{Scaled(150), Scaled(40)}})
        ClickAt(about, spot);
    SetForegroundWindow(help);
    BringWindowToTop(help);
    for (int id : {HelpIds::Label2, HelpIds::Label3, HelpIds::Label4, HelpIds::Label5})
        ClickAt(help, CentreOf(GetDlgItem(help, id)));
    ClickAt(help, POINT{Scaled(150), Scaled(190)});
    // Then the link, once: its call is the only one.
    SetForegroundWindow(about);
    BringWindowToTop(about);
    ClickAt(about, CentreOf(GetDlgItem(about, AboutIds::Label6)));
    EXPECT_EQ(shell.WaitForCalls(1).size(), 1u);
}

TEST_F(AboutHelpTest, EachOpensOnceHoweverOftenItIsAskedFor) {
    HWND help = OpenHelp();
    HWND about = OpenAbout();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(OpenHelp(), help);
        EXPECT_EQ(OpenAbout(), about);
    }
    EXPECT_EQ(Count(L"Help"), 1);
    EXPECT_EQ(Count(L"About"), 1);
    EXPECT_EQ(Window::OpenWindowCount(), 3);
    // Asked for again, the window that is behind comes to the front.
    OpenHelp();
    EXPECT_EQ(GetForegroundWindow(), help);
}

TEST_F(AboutHelpTest, ClosingEitherLeavesEveryOtherWindowOpen) {
    HWND help = OpenHelp();
    HWND about = OpenAbout();
    SendMessageW(help, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(help));
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_EQ(Window::OpenWindowCount(), 2);
    // The next request shows it again from its design.
    HWND again = OpenHelp();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(testing::WindowText(GetDlgItem(again, HelpIds::Label2)), L"Velmora Help");
    SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowVisible(again));
    EXPECT_TRUE(IsWindowVisible(main_));
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(AboutHelpTest, TheProgramRunsOnWhileAboutIsOpenAfterTheMainWindowClosed) {
    HWND about = OpenAbout();
    SendMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program_.OpenMainWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(about));
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Window::OpenWindowCount(), 0);
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace velmora
