#pragma once
// The one shape of Velmora's background work: a thread owned by a window's object, a stop event,
// a stop policy named in the type, and a mailbox through which the thread hands its newest result
// to the window. The window is posted one message when something waits in the mailbox and takes
// it with Take(); no pointer travels in a message, and nothing is posted once the mailbox is
// closed, so a window may close right after stopping its worker.
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "misc/Handles.h"

namespace velmora {

// The one lock: an SRWLOCK held exclusively for a scope.
class ScopedLock {
public:
    explicit ScopedLock(SRWLOCK& lock) noexcept : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock() { ReleaseSRWLockExclusive(&lock_); }
    SRWLOCK& Held() const noexcept { return lock_; }

private:
    SRWLOCK& lock_;
};

// What the worker holds for the window. `Result` is what Take() gives (an optional reading, a
// list of log rows); Put merges into it under the lock, so a result the window has not taken yet
// is replaced by a newer one, or added to, as the use decides.
template <typename Result>
class Mailbox {
public:
    // Opens it: from now on a Put posts `message` (wParam and lParam 0) to the window.
    void Open(HWND window, UINT message) noexcept {
        ScopedLock hold(lock_);
        window_ = window;
        message_ = message;
        closed_ = false;
        posted_ = false;
    }
    // Nothing is posted after this returns; what waits is dropped.
    void Close() noexcept {
        ScopedLock hold(lock_);
        closed_ = true;
        window_ = nullptr;
        held_ = Result{};
    }
    // Runs merge(held) under the lock and tells the window, once until it takes.
    template <typename Merge>
    void Put(Merge&& merge) {
        ScopedLock hold(lock_);
        if (closed_) return;
        std::forward<Merge>(merge)(held_);
        // Posted while the lock holds off Close: nothing reaches a window that has closed.
        if (!posted_ && window_) posted_ = PostMessageW(window_, message_, 0, 0) != FALSE;
    }
    // What waits, once; an empty Result when it has been taken.
    Result Take() noexcept {
        ScopedLock hold(lock_);
        posted_ = false;
        return std::exchange(held_, Result{});
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    HWND window_ = nullptr;
    UINT message_ = 0;
    bool closed_ = true;
    bool posted_ = false;
    Result held_{};
};

// How Stop() treats work under way.
enum class StopPolicy {
    // Stop waits for the work to come to its end: what it does once stopped is quick, or must be
    // finished (a reply on its way puts the user's draft back).
    WaitForWork,
    // Stop waits a short while, then leaves the thread to end by itself; the work must own (share)
    // everything it touches.
    AbandonAfterBound,
};

// The core of BackgroundThread, apart from its policy.
class BackgroundThreadCore {
public:
    BackgroundThreadCore() = default;
    BackgroundThreadCore(const BackgroundThreadCore&) = delete;
    BackgroundThreadCore& operator=(const BackgroundThreadCore&) = delete;

    // Runs work(stopEvent) on a thread of its own; false (reported as a failure) when it could
    // not start. The stop event is a manual-reset event, set once Stop is asked.
    bool Start(std::function<void(HANDLE stop)> work, const wchar_t* name) noexcept;
    bool Running() const noexcept { return static_cast<bool>(thread_); }
    // Sets the stop event and waits for the thread at most `waitMs`; the thread is let go after.
    void Stop(DWORD waitMs) noexcept;
    HANDLE StopEvent() const noexcept { return stop_ ? stop_->get() : nullptr; }

private:
    std::shared_ptr<UniqueKernelHandle> stop_;  // shared with the thread, which may outlive this
    UniqueKernelHandle thread_;
};

template <StopPolicy kPolicy, DWORD kStopWaitMs = INFINITE>
class BackgroundThread {
    static_assert(kPolicy == StopPolicy::WaitForWork ? kStopWaitMs == INFINITE : kStopWaitMs != INFINITE,
                  "only a thread that may be abandoned has a bound");

public:
    static constexpr StopPolicy kStopPolicy = kPolicy;
    BackgroundThread() = default;
    ~BackgroundThread() { Stop(); }

    bool Start(std::function<void(HANDLE stop)> work, const wchar_t* name) noexcept {
        Stop();
        return core_.Start(std::move(work), name);
    }
    bool Running() const noexcept { return core_.Running(); }
    void Stop() noexcept { core_.Stop(kStopWaitMs); }
    HANDLE StopEvent() const noexcept { return core_.StopEvent(); }

private:
    BackgroundThreadCore core_;
};

// True once the stop event is set (never for none).
inline bool StopAsked(HANDLE stop) noexcept { return stop && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0; }

}  // namespace velmora
