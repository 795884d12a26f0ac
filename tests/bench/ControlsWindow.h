#pragma once
#include <windows.h>

// Makes the main window's controls in the window (the same classes, styles, places and fonts)
// with plain window-system calls and nothing else of Velmora: no icons, no painting, no lists,
// no settings file. What Velmora takes beyond such a window is Velmora's own work.
void MakeAwayControls(HWND window, HINSTANCE instance);
