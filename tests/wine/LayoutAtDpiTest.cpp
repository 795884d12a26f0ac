// Every window of Velmora laid out for the screen's DPI: its controls where the 96-DPI design
// puts them, scaled, with fonts of the designed points at that DPI. The same cases run in
// the test prefix at 96 DPI and again in one at 144 DPI.
//
// How Wine 8 reports DPI: every process counts as per-monitor aware, whether its manifest
// says so (velmora.exe) or it has none; the system DPI is the prefix's LogPixels and nothing
// is scaled for an unaware process. So a test exe sees the pixels velmora.exe draws. Should
// a later Wine scale an unaware test exe's view to 96 DPI, these cases would fail on the DPI
// check below rather than pass on numbers that were never scaled.
#include <gtest/gtest.h>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "misc/Handles.h"
#include "support/Designs.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::kWindowDesigns;
using testing::WindowDesignSheet;

UINT ScreenDpiOf(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return static_cast<UINT>(dpi);
}

class LayoutAtDpi : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow()->Handle();
    }
    void TearDown() override {
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    HWND Open(const WindowDesignSheet& sheet) {
        testing::OpenFromMainWindow(main_, sheet);
        return testing::FindWindowOfProcess(GetCurrentProcessId(), sheet.title);
    }

    Program program_{GetModuleHandleW(nullptr)};
    HWND main_ = nullptr;
};

TEST_F(LayoutAtDpi, EveryWindowFollowsItsDesignScaledForTheScreen) {
    const UINT dpi = testing::DpiOfThisRun();
    for (const WindowDesignSheet& sheet : kWindowDesigns) {
        HWND window = Open(sheet);
        ASSERT_NE(window, nullptr) << "no window titled "
                                   << std::string(sheet.title, sheet.title + wcslen(sheet.title));
        ASSERT_EQ(ScreenDpiOf(window), dpi) << "the test prefix is not at the DPI this run is for";
        testing::ExpectLaidOutAsDesigned(window, sheet, dpi);
        testing::ExpectFontsAsDesigned(window, sheet, dpi);
        testing::ExpectLabelsShowTheirText(window, sheet, dpi);
    }
}

TEST_F(LayoutAtDpi, OnADpiChangeEveryWindowTakesTheSuggestedPlaceAndLaysOutAgain) {
    // Moved to a monitor at 144 DPI, or (in the 144-DPI run) to one at 96.
    const UINT from = testing::DpiOfThisRun();
    const UINT dpi = from == 96 ? 144 : 96;
    for (const WindowDesignSheet& sheet : kWindowDesigns) {
        HWND window = Open(sheet);
        ASSERT_NE(window, nullptr);
        RECT before{};
        GetWindowRect(window, &before);
        RECT client{};
        GetClientRect(window, &client);
        // About where Windows would put it there: the client area scaled, inside the frame the
        // window has (a resizable window's controls follow its client size).
        const int frameWidth = (before.right - before.left) - client.right;
        const int frameHeight = (before.bottom - before.top) - client.bottom;
        const RECT suggested{
            before.left + 10, before.top + 5,
            before.left + 10 + frameWidth + MulDiv(client.right, static_cast<int>(dpi), static_cast<int>(from)),
            before.top + 5 + frameHeight + MulDiv(client.bottom, static_cast<int>(dpi), static_cast<int>(from))};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT after{};
        GetWindowRect(window, &after);
        EXPECT_TRUE(EqualRect(&after, &suggested));
        testing::ExpectControlsAsDesigned(window, sheet, dpi);
        testing::ExpectFontsAsDesigned(window, sheet, dpi);
        testing::ExpectLabelsShowTheirText(window, sheet, dpi);
    }
}

// What of the main window's controls shows, on its client area: the window rectangle, cut to
// the window region where the control has one.
RECT ShownPart(HWND control) {
    RECT shown = testing::RectOnParent(control);
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(control, region.get()) != ERROR) {
        RECT box{};
        GetRgnBox(region.get(), &box);
        OffsetRect(&box, shown.left, shown.top);
        IntersectRect(&shown, &shown, &box);
    }
    return shown;
}

// Nothing shows past the white panel's inner edge (the panel at 8,16, 313 x 361), neither at
// this run's DPI nor after a move to the other.
void ExpectEveryControlInsideThePanel(HWND main, UINT dpi) {
    const auto scale = [dpi](int pixels) { return MulDiv(pixels, static_cast<int>(dpi), 96); };
    const RECT panel{scale(8), scale(16), scale(8) + scale(313), scale(16) + scale(361)};
    int controls = 0;
    for (HWND control = GetWindow(main, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT), ++controls) {
        const RECT shown = ShownPart(control);
        EXPECT_GE(shown.left, panel.left) << "control " << GetDlgCtrlID(control) << " at " << dpi << " DPI";
        EXPECT_GE(shown.top, panel.top) << "control " << GetDlgCtrlID(control) << " at " << dpi << " DPI";
        EXPECT_LE(shown.right, panel.right) << "control " << GetDlgCtrlID(control) << " at " << dpi << " DPI";
        EXPECT_LE(shown.bottom, panel.bottom) << "control " << GetDlgCtrlID(control) << " at " << dpi << " DPI";
    }
    EXPECT_GT(controls, 20);
}

TEST_F(LayoutAtDpi, TheMainWindowsPanelClipsWhatLiesPastItsEdge) {
    const UINT from = testing::DpiOfThisRun();
    ExpectEveryControlInsideThePanel(main_, from);
    // "Brodcast Winamp" keeps its designed box; only what shows of it is cut.
    const RECT designed = testing::RectOnParent(GetDlgItem(main_, AwayIds::Check1));
    EXPECT_NEAR(designed.right - designed.left, MulDiv(121, static_cast<int>(from), 96), 1);

    const UINT dpi = from == 96 ? 144 : 96;
    RECT place{};
    GetWindowRect(main_, &place);
    RECT client{};
    GetClientRect(main_, &client);
    place.right += MulDiv(client.right, static_cast<int>(dpi), static_cast<int>(from)) - client.right;
    place.bottom += MulDiv(client.bottom, static_cast<int>(dpi), static_cast<int>(from)) - client.bottom;
    SendMessageW(main_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    ExpectEveryControlInsideThePanel(main_, dpi);
}

}  // namespace
}  // namespace velmora
