#pragma once
// The main window "Velmora": the away-message composer.
#include <optional>
#include <span>
#include <string>

#include "app/AwayDocument.h"
#include "misc/Layout.h"
#include "misc/Window.h"
#include "storage/Reg.h"

namespace velmora {

class Program;

// What Stored Messages' Load puts into the composer. A field without a value stays as it is.
struct ComposerFields {
    std::optional<std::wstring> label, fontColour, bodyColour, fontSize, slot, message;
    bool broadcastSong = false;  // "Brodcast Winamp" ticked, or not
};

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
    // Fills the composer from a stored message; writes nothing anywhere. A font size that is
    // not one of the list's leaves the size as it is.
    void LoadComposition(const ComposerFields& fields);
    HWND Control(int id) const noexcept { return controls_.Control(id); }
    // The fields the document is made of, as they stand now.
    AwayFields ComposedFields() const;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCreate();
    void OnClose();
    void OnDestroy();
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
    // 0 when saved or not wanted, else the system's error code.
    unsigned long SaveLastMessageIfWanted();
    // A failed Update or Delete told in a message box; success stays silent.
    void TellIfNotDone(bool update, const StoreResult& result, std::wstring_view screenName, std::wstring_view slot);
    void FitComboHeights();
    std::wstring Text(int id) const;
    void SetText(int id, std::wstring_view text);
    bool IsTicked(int id) const;
    std::wstring SettingsPath() const;

    Program& program_;
    ControlSet controls_;
    UniqueBitmap banner_;  // Picture2's picture
    bool askingToClose_ = false;
};

}  // namespace velmora
