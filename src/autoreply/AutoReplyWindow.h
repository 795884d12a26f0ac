#pragma once
// The window "Auto Reply": rules of whom to answer with what, and a watch that answers each
// open conversation once (or once per interval) while the user is away, with a log of the
// replies sent.
#include <string>

#include "autoreply/AutoReplyRules.h"
#include "autoreply/AutoReplyWatch.h"
#include "misc/TableWindow.h"

namespace velmora {

class Composer;

class AutoReplyWindow final : public TableWindow {
public:
    // `composer` is the main window it opens beside (nullptr: none); the rules are kept in the
    // settings file at `settingsPath`.
    AutoReplyWindow(HINSTANCE instance, Composer* composer, std::wstring settingsPath,
                    WatchClock clock = SystemClock());

    const AutoReplySettings& Settings() const noexcept { return settings_; }
    std::uint64_t TicksDone() const noexcept { return watch_.TicksDone(); }

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void PaintMore(HDC dc) override;
    HWND OpensBeside() const noexcept override;

    void OnDestroy();
    void OnCommand(int id, int notification);
    void OnTimer(UINT_PTR id);
    void OnReplySent();

    void OnRowChosen();           // Rules
    void OnAddClicked();          // Add
    void OnRemoveClicked();       // Remove
    void OnEveryoneElseTicked();  // EveryoneElse
    void OnRowTextChanged();      // Names, Reply
    void OnChoiceMade();          // AnswerAgain, Idle
    void OnSwitchClicked();       // Switch

    void ShowRows();
    void ShowChosenRow();
    void ShowSwitch();
    std::size_t ChosenRow() const noexcept;
    void Save();
    void SaveSoon();

    Composer* composer_;
    std::wstring settingsPath_;
    AutoReplySettings settings_;
    AutoReplyWatch watch_;
    bool showing_ = false;  // the boxes are being filled from the settings, not typed into
    bool savePending_ = false;
};

}  // namespace velmora
