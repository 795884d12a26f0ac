// The real velmora.exe's windows at the screen's DPI, measured from outside. Runs in the
// 96-DPI test prefix and again in the 144-DPI one (see tests/wine/LayoutAtDpiTest.cpp for
// how Wine reports DPI to this exe and to velmora.exe).
#include <gtest/gtest.h>

#include "support/Designs.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

TEST(LayoutAtDpiE2E, EveryWindowOfVelmoraFollowsItsDesignScaledForTheScreen) {
    testing::TempFolder folder;
    testing::VelmoraProcess velmora(folder.Path());
    ASSERT_NE(velmora.MainWindow(), nullptr);
    const UINT dpi = testing::DpiOfThisRun();
    for (const testing::WindowDesignSheet& sheet : testing::kWindowDesigns) {
        testing::OpenFromMainWindow(velmora.MainWindow(), sheet);
        HWND window = velmora.FindWindowTitled(sheet.title);
        ASSERT_NE(window, nullptr);
        HDC dc = GetDC(window);
        const int screenDpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(window, dc);
        ASSERT_EQ(screenDpi, static_cast<int>(dpi)) << "the test prefix is not at the DPI this run is for";
        testing::ExpectLaidOutAsDesigned(window, sheet, dpi);
        testing::ExpectLabelsShowTheirText(window, sheet, dpi);
    }
}

}  // namespace
}  // namespace velmora
