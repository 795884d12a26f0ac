#pragma once
// Real input for the suite that drives velmora.exe as a person would: pointer moves and
// clicks and typed keys through SendInput (which Wine turns into input events on its X
// display), waits bounded by a deadline, and screenshots of the desktop saved per step.
#include <windows.h>

#include <string>

#include "support/TestSupport.h"

namespace velmora::testing {

void ClickAt(POINT screen);
// A click in the middle of a control, or at an offset from its top-left corner.
void ClickControl(HWND control);
void ClickControlAt(HWND control, int x, int y);
// Clicks a field or button and waits until it has the keyboard focus; false when it never does.
bool ClickToFocus(HWND control);
bool HasFocus(HWND control);
// Types text as key presses; "\r\n" and "\n" press Enter.
void TypeText(const std::wstring& text);
void PressKey(WORD virtualKey);
void PressKeys(std::initializer_list<WORD> chord);
// Selects everything in the focused edit field (Home, then Shift+End, or Ctrl+End for a multi-line one).
void SelectAllInField(bool multiLine = false);
// Lets the input just sent be handled: waits until the process is idle again.
void Settle(HANDLE process = nullptr);
// Saves the whole desktop as a BMP file named after the step, in the artifacts folder
// (VELMORA_ARTIFACTS, else "realinput-shots" beside the test exe). Returns the path.
std::wstring SaveScreenshot(const std::wstring& step);

}  // namespace velmora::testing
