#pragma once
// The window "Preview": the away message as a buddy's IM client will show it, built from the
// main window's fields exactly as Update would store it now, with its label above it and a
// readability line below. It follows every change of those fields while open, and keeps
// showing the last document once the main window has closed.
#include <optional>
#include <string>

#include "misc/Layout.h"
#include "misc/Window.h"
#include "preview/RenderPane.h"

namespace velmora {

class Composer;

class PreviewWindow final : public Window {
public:
    PreviewWindow(HINSTANCE instance, Composer& composer);
    bool Open();
    HWND Control(int id) const noexcept;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCreate();
    void OnSize();
    void OnGetMinMaxInfo(MINMAXINFO& limits);
    void OnPlacing(WINDOWPOS& place);
    void OnCommand(int id, int notification);
    void OnTimer(UINT_PTR id);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnCompositionChanged();
    void OnReaderChanged();
    LRESULT OnControlColour(UINT message, HWND control, HDC dc);
    void OnDpiChanged(UINT dpi) override;

    // Builds the document from the main window's fields and shows it; with no main window the
    // last one stays.
    void ShowComposition();
    // The song Winamp plays, read again only once the last reading is about a second old.
    const std::optional<std::wstring>& Song();
    void PlaceControls();

    HINSTANCE instance_;
    Composer& composer_;
    ControlSet controls_;
    RenderPane pane_;
    std::optional<std::wstring> song_;
    unsigned long long songReadAt_ = 0;
    bool songRead_ = false;
    bool songWanted_ = false;  // "Brodcast Winamp" as last seen
};

}  // namespace velmora
