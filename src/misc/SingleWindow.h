#pragma once
// One instance of a window: made on its first request, shown modeless without an owner,
// brought to the front while open, and made afresh from its design once it has closed.
#include <memory>

#include "misc/Window.h"

namespace velmora {

class SingleWindow {
public:
    SingleWindow() = default;
    SingleWindow(const SingleWindow&) = delete;
    SingleWindow& operator=(const SingleWindow&) = delete;
    // An open window closes with its own cleanup run.
    ~SingleWindow() { Destroy(); }
    void Destroy() noexcept {
        if (window_) window_->Destroy();
    }

    // `make` makes the window afresh from its design and opens it.
    template <typename Make>
    void Show(Make make) {
        if (window_ && window_->IsOpen()) {
            window_->BringToFront();
            return;
        }
        window_.reset();
        window_ = make();
    }
    // The open instance, or nullptr.
    Window* Open() const noexcept { return window_ && window_->IsOpen() ? window_.get() : nullptr; }

private:
    std::unique_ptr<Window> window_;
};

}  // namespace velmora
