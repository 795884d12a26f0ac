#pragma once
// The colour pickers "Font Color" and "Body Color": red, green and blue bars mix a colour, and
// OK writes it as six hex digits into the main window's font colour or body colour box. One
// class serves both; they differ in caption, layout, focus order and the box they write.
#include <string>
#include <string_view>

#include "misc/TableWindow.h"

namespace velmora {

class Composer;

class ColourPickerWindow final : public TableWindow {
public:
    enum class Kind {
        FontColour,  // "Font Color", writes the main window's Text6
        BodyColour,  // "Body Color", writes the main window's Text7
    };

    // The bars' steps: an arrow click or arrow key moves a bar by one, a click in the track or
    // Page Up / Page Down by five.
    static constexpr int kArrowStep = 1;
    static constexpr int kPageStep = 5;

    ColourPickerWindow(HINSTANCE instance, Composer& composer, Kind kind);

private:
    static const TableDesign& DesignFor(Kind kind);

    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    LRESULT OnControlColour(UINT message, HWND control, HDC dc) override;

    LRESULT OnGetDefaultButton() const;
    void OnCommand(int id, int notification);
    void OnBarScrolled(HWND bar, int request, int thumbPosition);

    void OnBarChanged(int channel);
    void OnNumberBoxChanged(int channel);
    void OnOkClicked();      // Command1
    void OnCancelClicked();  // Command2

    int BarValue(int channel) const;
    void SetBarValue(int channel, int value);
    void Close();

    Composer& composer_;
    Kind kind_;
};

}  // namespace velmora
