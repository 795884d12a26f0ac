#pragma once
// The messages Velmora's windows send each other, in one place so no two share a number.
#include <windows.h>

namespace velmora {

// Sent to the open preview when a main-window field that makes the document has changed.
inline constexpr UINT kCompositionChangedMessage = WM_APP + 1;
// Posted to every other open window once the main window has closed.
inline constexpr UINT kMainWindowClosedMessage = WM_APP + 40;
// Posted to Stored Messages by its watch: the stored messages have changed.
inline constexpr UINT kStoreChangedMessage = WM_APP + 41;
// Posted to Stored Messages by its reader: a reading of the store is ready.
inline constexpr UINT kStoreReadMessage = WM_APP + 42;
// Posted to Auto Reply by its watch: a reply was sent; lParam is its log row.
inline constexpr UINT kReplySentMessage = WM_APP + 43;

}  // namespace velmora
