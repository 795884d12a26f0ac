#pragma once
// The window "Auto Reply": rules of whom to answer with what, and a watch that answers each
// open conversation once (or once per interval) while the user is away, with a log of the
// replies sent that lasts for the run.
#include <string>

#include "autoreply/AutoReplyLog.h"
#include "autoreply/AutoReplyRules.h"
#include "autoreply/AutoReplyWatch.h"
#include "misc/TableWindow.h"

namespace velmora {

class Composer;

class AutoReplyWindow final : public TableWindow {
public:
    // `composer` is the main window it opens beside (nullptr: none); the rules are kept in the
    // settings file at `settingsPath`; the log rows are kept in `log`.
    AutoReplyWindow(HINSTANCE instance, Composer* composer, std::wstring settingsPath, WatchClock clock = SystemClock(),
                    AutoReplyLog& log = AutoReplyLogOfThisRun());

    const AutoReplySettings& Settings() const noexcept { return settings_; }
    std::uint64_t TicksDone() const noexcept { return watch_.TicksDone(); }

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void PaintMore(HDC dc) override;
    HWND OpensBeside() const noexcept override;

    void OnClose();
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
    // Saves, merged with what the file holds by now; a failure is told once (until a save works
    // again) when `mayTell`, and the rules stay in the window either way. 0 when saved, else the
    // system's error code.
    unsigned long Save(bool mayTell = true);
    void SaveSoon();

    Composer* composer_;
    std::wstring settingsPath_;
    AutoReplySettings settings_;
    AutoReplySettings saved_;  // as this window read or last saved them: what its changes are measured from
    AutoReplyWatch watch_;
    AutoReplyLog& log_;
    UINT ticksDoneQuery_ = 0;
    bool showing_ = false;    // the boxes are being filled from the settings, not typed into
    bool replyWhole_ = true;  // the Reply box holds the chosen reply whole, and so may change it
    bool savePending_ = false;
    bool failureTold_ = false;
    bool askingToClose_ = false;
};

}  // namespace velmora
