#pragma once
// The personal-message window "Personal Away Msg": while switched on it watches the open AIM
// IM window and answers the names listed in its names box once, with the reply of its message
// box, when the sender is the buddy the IM window's title names.
#include <string>
#include <string_view>

#include "aim/ReplyRule.h"
#include "misc/TableWindow.h"

namespace velmora {

// A SetTimer timer of a window, like a timer control. Windows cannot be asked whether a timer
// runs, so the timer keeps that one fact itself.
class WindowTimer {
public:
    WindowTimer(UINT_PTR id, UINT intervalMs) noexcept : id_(id), intervalMs_(intervalMs) {}
    void Start(HWND window) noexcept { runs_ = SetTimer(window, id_, intervalMs_, nullptr) != 0; }
    void Stop(HWND window) noexcept {
        KillTimer(window, id_);
        runs_ = false;
    }
    bool Runs() const noexcept { return runs_; }
    UINT_PTR Id() const noexcept { return id_; }

private:
    UINT_PTR id_;
    UINT intervalMs_;
    bool runs_ = false;
};

class PersonalWindow final : public TableWindow {
public:
    explicit PersonalWindow(HINSTANCE instance);

    // Read back from the switch's caption and Timer1.
    WatchState State() const;

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    bool OnKey(const MSG& message) override;  // Ctrl+Enter: the switch
    void PaintMore(HDC dc) override;

    void OnCommand(int id, int notification);

    void OnSwitchClicked();     // Label2
    void OnTimer(UINT_PTR id);  // Timer1
    void OnSenderChanged();     // Text2

    void ShowLook(const WatchLook& look);
    RECT LampRect() const noexcept;

    WindowTimer timer1_;
    bool replying_ = false;  // a reply is on its way to the IM window
};

}  // namespace velmora
