#include <algorithm>
#include <utility>
#include <vector>

#include "misc/Background.h"
#include "misc/Courier.h"
#include "misc/Failure.h"

namespace velmora {
namespace {

// How long a courier waits on the client for one message. Long, so that a message the client
// handles slowly is seen to come back (the sender's own bound is far shorter); a client that
// never answers leaves the courier busy, and its thread is then refused.
constexpr UINT kCourierPatienceMs = 5 * 60 * 1000;
// A courier with nothing to carry for this long ends.
constexpr DWORD kIdleEndMs = 30 * 1000;

struct Courier {
    DWORD clientThread = 0;
    std::shared_ptr<Letter> pending;
    bool busy = false;  // a letter is given and not yet come back
    bool ended = false;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
};

// All couriers share one lock: their work is waiting on other programs, not on each other.
SRWLOCK g_lock = SRWLOCK_INIT;
CONDITION_VARIABLE g_letterFinished = CONDITION_VARIABLE_INIT;
// Never destroyed: a courier may still wait on a hung client when the program ends.
std::vector<std::shared_ptr<Courier>>& Couriers() {
    static auto* const couriers = new std::vector<std::shared_ptr<Courier>>();
    return *couriers;
}

void Deliver(Letter& letter) noexcept {
    LPARAM lParam = 0;
    if (letter.carriesText)
        lParam = letter.wide ? reinterpret_cast<LPARAM>(letter.wideText.data())
                             : reinterpret_cast<LPARAM>(letter.text.data());
    DWORD_PTR result = 0;
    SetLastError(ERROR_SUCCESS);
    const auto send = letter.wide ? &SendMessageTimeoutW : &SendMessageTimeoutA;
    const bool answered =
        send(letter.target, letter.message, letter.wParam, lParam, SMTO_ABORTIFHUNG, kCourierPatienceMs, &result) != 0;
    const bool stillThere = !answered && letter.target != nullptr && IsWindow(letter.target);
    ScopedLock hold(g_lock);
    letter.result = result;
    // A window that is still there but did not answer is busy or hung.
    letter.delivery = answered                                        ? Delivery::Answered
                      : GetLastError() == ERROR_TIMEOUT || stillThere ? Delivery::Unanswered
                                                                      : Delivery::NoWindow;
    letter.finished = true;
}

void Forget(const std::shared_ptr<Courier>& courier) {
    auto& couriers = Couriers();
    couriers.erase(std::remove(couriers.begin(), couriers.end(), courier), couriers.end());
}

DWORD WINAPI RunCourier(void* parameter) noexcept {
    const std::unique_ptr<std::shared_ptr<Courier>> own(static_cast<std::shared_ptr<Courier>*>(parameter));
    Courier& courier = **own;
    for (;;) {
        std::shared_ptr<Letter> letter;
        {
            ScopedLock hold(g_lock);
            while (!courier.pending) {
                if (!SleepConditionVariableSRW(&courier.changed, &g_lock, kIdleEndMs, 0) && !courier.pending &&
                    GetLastError() == ERROR_TIMEOUT) {
                    courier.ended = true;
                    Forget(*own);
                    return 0;
                }
            }
            letter = std::move(courier.pending);
            courier.pending.reset();
        }
        Deliver(*letter);
        {
            ScopedLock hold(g_lock);
            courier.busy = false;
        }
        WakeAllConditionVariable(&g_letterFinished);
    }
}

// The courier for the client thread, under g_lock: its own, else an idle one taken over, else a
// new one while there are fewer than kMostCouriers. nullptr when every courier is busy.
std::shared_ptr<Courier> CourierFor(DWORD clientThread) {
    auto& couriers = Couriers();
    for (const auto& courier : couriers)
        if (courier->clientThread == clientThread) return courier;
    // The client thread of an idle courier may have ended long ago: it serves this one now.
    for (const auto& courier : couriers)
        if (!courier->busy && !courier->ended) {
            courier->clientThread = clientThread;
            return courier;
        }
    if (couriers.size() >= kMostCouriers) return nullptr;
    auto courier = std::make_shared<Courier>();
    courier->clientThread = clientThread;
    auto share = std::make_unique<std::shared_ptr<Courier>>(courier);
    const HANDLE thread = CreateThread(nullptr, 0, &RunCourier, share.get(), 0, nullptr);
    if (!thread) {
        ReportFailure(L"Courier: no thread");
        return nullptr;
    }
    share.release();
    CloseHandle(thread);
    couriers.push_back(courier);
    return courier;
}

// Waits under g_lock (held by `hold`) until the letter has come back or the time is up.
void WaitForLetter(ScopedLock& hold, const Letter& letter, DWORD mostMs) {
    const ULONGLONG deadline = GetTickCount64() + mostMs;
    while (!letter.finished) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        SleepConditionVariableSRW(&g_letterFinished, &hold.Held(), static_cast<DWORD>(deadline - now), 0);
    }
}

}  // namespace

std::shared_ptr<Letter> MakeLetter(HWND target, UINT message, WPARAM wParam) {
    auto letter = std::make_shared<Letter>();
    letter->target = target;
    letter->message = message;
    letter->wParam = wParam;
    return letter;
}

std::shared_ptr<Letter> MakeTextLetter(HWND target, UINT message, std::string text) {
    auto letter = MakeLetter(target, message);
    letter->text = std::move(text);
    letter->carriesText = true;
    return letter;
}

Delivery Carry(const std::shared_ptr<Letter>& letter, DWORD boundMs) {
    const DWORD clientThread = letter->target != nullptr ? GetWindowThreadProcessId(letter->target, nullptr) : 0;
    if (clientThread == 0) {
        // No window: nobody to wait for, and nothing sent.
        letter->delivery = Delivery::NoWindow;
        letter->finished = true;
        return Delivery::NoWindow;
    }
    ScopedLock hold(g_lock);
    const std::shared_ptr<Courier> courier = CourierFor(clientThread);
    if (!courier || courier->busy) return Delivery::Refused;
    courier->pending = letter;
    courier->busy = true;
    WakeAllConditionVariable(&courier->changed);
    WaitForLetter(hold, *letter, boundMs);
    return letter->finished ? letter->delivery : Delivery::Unanswered;
}

Delivery AwaitLate(const std::shared_ptr<Letter>& letter, DWORD mostMs) {
    ScopedLock hold(g_lock);
    WaitForLetter(hold, *letter, mostMs);
    return letter->finished ? letter->delivery : Delivery::Unanswered;
}

std::size_t CourierCount() noexcept {
    ScopedLock hold(g_lock);
    return Couriers().size();
}

}  // namespace velmora
