#pragma once
// The main window "Velmora": the away-message composer.
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "app/ScreenNameCompletion.h"
#include "compose/Composer.h"
#include "misc/Balloon.h"
#include "misc/TableWindow.h"
#include "storage/ComposerSection.h"
#include "storage/Reg.h"
#include "stored/StoredReading.h"

namespace velmora {

class Program;

// The main window's controls in creation order (which is the Tab order), and the font of
// those that name none. The start-up benchmark makes the same controls without the rest of
// Velmora, to tell the window system's share of the start-up from Velmora's own.
std::span<const ControlSpec> AwayControlTable() noexcept;
FontSpec AwayControlFont() noexcept;

class AwayWindow final : public TableWindow, public Composer {
public:
    explicit AwayWindow(Program& program);

    // Composer
    bool IsOpen() const noexcept override { return Window::IsOpen(); }
    HWND Handle() const noexcept override { return Window::Handle(); }
    AwayFields ComposedFields() const override;
    std::wstring ScreenName() const override;
    void SetFontColour(std::wstring_view colour) override;
    void SetBodyColour(std::wstring_view colour) override;
    void LoadComposition(const SomeAwayFields& fields, const std::optional<std::wstring>& slot,
                         bool songWanted) override;

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void OnLayout(UINT dpi) override;
    bool OnKey(const MSG& message) override;
    void PaintMore(HDC dc) override;

    void OnClose();
    void OnMessageChanged();
    void OnScreenNamesRead();
    void OnDestroy();
    void OnEndSession(bool ending);
    void OnCommand(int id, int notification);

    void OnOptionsClicked();  // Label2
    // The Options menu at a point of the screen (by a click, the pointer; by a key, the label).
    void ShowOptionsMenu(POINT screen);
    void OnUpdateClicked();  // Command5
    void OnDeleteClicked();  // Command2
    void OnClearClicked();   // Command3

    void LoadLists();
    // The composer as the last close with "Save Last Msg" ticked left it, message and fields.
    void RestoreLastComposition();
    void RestoreFields(const ComposerFields& fields);
    ComposerFields CurrentFields() const;
    // 0 when saved or not wanted, else the system's error code.
    unsigned long SaveLastMessageIfWanted();
    // Said in balloons, never in a box: at start, a saved message the box could not take;
    // after Update, a message stored with colours too close to read.
    void ShowStartNotice();
    void TellIfUnreadable(const AwayFields& fields);
    // A failed Update or Delete told in a message box; success stays silent.
    void TellIfNotDone(bool update, const StoreResult& result, std::wstring_view screenName, std::wstring_view slot);
    void FitComboHeights();
    // Text set from code in a field; the preview follows it as it follows typing.
    void SetField(int id, std::wstring_view text);
    void ChooseFontSize(const std::wstring& size);
    // Runs a change of fields that make the document, made from code, and then tells the
    // preview once.
    void ChangeFromCode(const std::function<void()>& change);
    bool IsTicked(int id) const;
    std::wstring SettingsPath() const;

    Program& program_;
    UniqueBitmap banner_;  // Picture2's picture

    // The message as loaded or last saved: while the box still holds it, a message another copy
    // saved meanwhile stays.
    std::wstring savedMessage_;
    bool askingToClose_ = false;
    // The saved message was too long to put back: a close keeps it until the box is changed.
    bool keepSavedMessage_ = false;
    std::wstring startNotice_;
    Balloon startBalloon_;              // at the message box
    Balloon contrastBalloon_;           // at the colour boxes
    ScreenNameCompletion screenNames_;  // offered in Text5
    StoreReader namesReader_;           // reads them beside the window
    int changingFromCode_ = 0;          // nested changes from code under way
};

}  // namespace velmora
