#include <string>

#include "misc/Background.h"
#include "misc/Failure.h"

namespace velmora {
namespace {

struct Job {
    std::function<void(HANDLE)> work;
    std::shared_ptr<UniqueKernelHandle> stop;
    std::wstring name;
};

DWORD WINAPI RunJob(void* parameter) noexcept {
    const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    try {
        job->work(job->stop->get());
    } catch (...) {
        ReportCaughtFailure(job->name);
    }
    return 0;
}

}  // namespace

bool BackgroundThreadCore::Start(std::function<void(HANDLE stop)> work, const wchar_t* name) noexcept {
    try {
        auto stop = std::make_shared<UniqueKernelHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!*stop) {
            ReportFailure(std::wstring(name) + L": no stop event");
            return false;
        }
        auto job = std::make_unique<Job>(Job{std::move(work), stop, name});
        // The window system's own thread call: one worker needs no C++ thread library.
        thread_.reset(CreateThread(nullptr, 0, &RunJob, job.get(), 0, nullptr));
        if (!thread_) {
            ReportFailure(std::wstring(name) + L": no thread");
            return false;
        }
        job.release();
        stop_ = std::move(stop);
        return true;
    } catch (...) {
        ReportCaughtFailure(name);
        return false;
    }
}

void BackgroundThreadCore::Stop(DWORD waitMs) noexcept {
    if (!thread_) return;
    SetEvent(stop_->get());
    WaitForSingleObject(thread_.get(), waitMs);
    thread_.reset();
    stop_.reset();
}

}  // namespace velmora
