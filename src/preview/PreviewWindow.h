#pragma once
// The window "Preview": the away message as a buddy's IM client will show it, built from the
// main window's fields exactly as Update would store it now, with its label above it and a
// readability line below. It follows every change of those fields while open, and keeps
// showing the last document once the main window has closed.
#include <optional>
#include <string>

#include "misc/TableWindow.h"
#include "preview/RenderPane.h"

namespace velmora {

class Composer;

class PreviewWindow final : public TableWindow {
public:
    PreviewWindow(HINSTANCE instance, Composer& composer);
    // The table's controls, and the rendering as Pane.
    HWND Control(int id) const noexcept;

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void OnLayout(UINT dpi) override;
    HWND OpensBeside() const noexcept override;

    void OnSize();
    void OnGetMinMaxInfo(MINMAXINFO& limits);
    void OnCommand(int id, int notification);
    void OnTimer(UINT_PTR id);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnCompositionChanged();
    void OnReaderChanged();

    // Builds the document from the main window's fields and shows it; with no main window the
    // last one stays.
    void ShowComposition();
    // The song Winamp plays, read again only once the last reading is about a second old.
    const std::optional<std::wstring>& Song();
    void PlaceControls();

    Composer& composer_;
    RenderPane pane_;
    std::optional<std::wstring> song_;
    unsigned long long songReadAt_ = 0;
    bool songRead_ = false;
    bool songWanted_ = false;  // "Brodcast Winamp" as last seen
};

}  // namespace velmora
