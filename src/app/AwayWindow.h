#pragma once
// The main window "Velmora": the away-message composer.
#include <span>
#include <string>

#include "app/AwayDocument.h"
#include "misc/Layout.h"
#include "misc/Window.h"

namespace velmora {

class Program;

// The main window's controls in creation order (which is the Tab order), and the font of
// those that name none. The start-up benchmark makes the same controls without the rest of
// Velmora, to tell the window system's share of the start-up from Velmora's own.
std::span<const ControlSpec> AwayControlTable() noexcept;
FontSpec AwayControlFont() noexcept;

class AwayWindow final : public Window {
public:
    explicit AwayWindow(Program& program);
    bool Open();

    // The colour pickers write their result here.
    void SetFontColour(std::wstring_view colour);
    void SetBodyColour(std::wstring_view colour);
    HWND Control(int id) const noexcept { return controls_.Control(id); }
    // The fields the document is made of, as they stand now.
    AwayFields ComposedFields() const;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCreate();
    void OnClose();
    void OnEndSession(bool ending);
    void OnCommand(int id, int notification);
    void OnPaint();
    void OnDpiChanged(UINT dpi) override;
    LRESULT OnControlColour(UINT message, HWND control, HDC dc);

    void OnOptionsClicked();  // Label2
    void OnUpdateClicked();   // Command5
    void OnDeleteClicked();   // Command2
    void OnClearClicked();    // Command3

    void LoadLists();
    void RestoreLastMessage();
    void SaveLastMessageIfWanted();
    void FitComboHeights();
    std::wstring Text(int id) const;
    void SetText(int id, std::wstring_view text);
    bool IsTicked(int id) const;
    std::wstring SettingsPath() const;

    Program& program_;
    ControlSet controls_;
    UniqueBitmap banner_;  // Picture2's picture
};

}  // namespace velmora
