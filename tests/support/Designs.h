#pragma once
// Velmora's windows as designed, in 96-DPI pixels, written out independently of the code:
// the tests compare the windows against these at the DPI each test run has. Every window
// the layout tests check is in kWindowDesigns; a new window joins by adding its entry.
#include <windows.h>

#include <span>

namespace velmora::testing {

struct ControlDesign {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    int x, y, width, height;  // on the window's client area
    int centiPoints;          // 825 is 8.25 pt; 0 for a control that draws no text (a scroll bar)
    bool bold;
    const wchar_t* face = L"Tahoma";
};

struct WindowDesignSheet {
    const wchar_t* title;
    int openedBy;  // the main window's button or menu entry that opens it; 0: the main window
    bool openedByButton;
    int clientWidth, clientHeight;
    std::span<const ControlDesign> controls;
};

extern const std::span<const WindowDesignSheet> kWindowDesigns;

// The DPI this test run's prefix has: 96, or what VELMORA_TEST_DPI says (ctest sets it for
// the run in the 144-DPI prefix).
UINT DpiOfThisRun();

// Opens a window from the main window (of this process or another) as the user would: a
// click on its button, or its menu entry; the main window itself is already open.
void OpenFromMainWindow(HWND main, const WindowDesignSheet& sheet);

// A control's rectangle on its parent's client area.
RECT RectOnParent(HWND control);

// Checks the window's client size and every control's class, text and rectangle against the
// design scaled for the DPI (within a pixel, as positions and sizes are rounded apart).
void ExpectLaidOutAsDesigned(HWND window, const WindowDesignSheet& sheet, UINT dpi);
// The same for the controls alone. A label is as designed where its text fits there with the
// fonts this system has; where not, it may be wider, up to the next control to its right.
void ExpectControlsAsDesigned(HWND window, const WindowDesignSheet& sheet, UINT dpi);
// Checks that every label shows its whole text: measured in its font at the DPI as it draws
// it, wrapped at its width, the text takes no more lines than the box holds (at least one).
void ExpectLabelsShowTheirText(HWND window, const WindowDesignSheet& sheet, UINT dpi);
// Checks every control's font: Tahoma, its points at the DPI, bold or not. The fonts must
// belong to this process.
void ExpectFontsAsDesigned(HWND window, const WindowDesignSheet& sheet, UINT dpi);

}  // namespace velmora::testing
