#pragma once
// The one way Velmora sends a message to another program's window (the AIM client's, Winamp's).
// That program may be busy or hung, and SendMessageTimeout alone does not bound the wait
// everywhere: Wine gives up on another process's window only once that process wakes again. So
// every message travels on a courier thread of its own for the thread that owns the window, and
// the sender waits for it at most the bound it names; a hung client thread never holds up the
// messages to others. While a message to a client thread is still on its way, that thread is
// taken as busy and nothing more is sent to it. Couriers are few and reused: an idle courier
// serves whichever client thread comes next, and one idle for long ends, so nothing grows
// however many client threads come and go. Callable from any thread.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

namespace velmora {

enum class Delivery {
    Answered,
    NoWindow,    // handle 0, or a window closed meanwhile: nobody to wait for
    Unanswered,  // still on its way when the bound ran out: the client is busy or hung
    Refused,     // not sent: an earlier message to that client thread is still on its way
};

// One message and what came of it. The text it carries (WM_SETTEXT's text, WM_GETTEXT's buffer,
// in the "A" form, or in the "W" form for a Unicode window) lives here, so an answer that comes
// after the sender gave up still writes into live memory.
struct Letter {
    HWND target = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    std::string text;
    std::wstring wideText;     // the text of a wide letter
    bool carriesText = false;  // lParam is the text
    bool wide = false;         // sent as the "W" message, carrying wideText
    // Set by the courier once the message has come back; read them after Carry or AwaitLate
    // said Answered.
    DWORD_PTR result = 0;
    Delivery delivery = Delivery::Unanswered;
    bool finished = false;  // guarded by the couriers' lock
};

std::shared_ptr<Letter> MakeLetter(HWND target, UINT message, WPARAM wParam = 0);
std::shared_ptr<Letter> MakeTextLetter(HWND target, UINT message, std::string text);

// Sends the letter and waits for it at most boundMs.
Delivery Carry(const std::shared_ptr<Letter>& letter, DWORD boundMs);
// Waits on for a letter Carry left Unanswered, at most mostMs more: for a message that must be
// finished before the next one may go (the reply written before Send is pressed). Answered or
// NoWindow once it came back; Unanswered when the client still holds it.
Delivery AwaitLate(const std::shared_ptr<Letter>& letter, DWORD mostMs);

// The most courier threads alive at once; past them (every one waiting on a hung client) a
// message to yet another client thread is Refused.
inline constexpr std::size_t kMostCouriers = 32;
// Courier threads alive now, and messages carried so far (tests read these).
std::size_t CourierCount() noexcept;

}  // namespace velmora
