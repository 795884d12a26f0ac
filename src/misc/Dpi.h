#pragma once
#include <windows.h>

namespace velmora {

// The DPI a window is laid out for: its monitor's on Windows 10 and later when Velmora is
// per-monitor aware, else the system's.
UINT DpiForWindow(HWND window) noexcept;
UINT SystemDpi() noexcept;

// The outer size that gives a window the client size (in device pixels) at that DPI.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi) noexcept;

}  // namespace velmora
