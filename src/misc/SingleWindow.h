#pragma once
// One instance of a window: made on its first request, shown modeless without an owner,
// brought to the front while open, and made afresh from its design once it has closed.
#include <functional>
#include <memory>

#include "misc/Window.h"

namespace velmora {

class SingleWindow {
public:
    using Factory = std::function<std::unique_ptr<Window>()>;

    SingleWindow() = default;
    explicit SingleWindow(Factory factory) : factory_(std::move(factory)) {}

    void Show() {
        if (window_ && window_->IsOpen()) {
            window_->BringToFront();
            return;
        }
        window_.reset();
        if (factory_) window_ = factory_();
    }
    // The open instance, or nullptr.
    Window* Open() const noexcept { return window_ && window_->IsOpen() ? window_.get() : nullptr; }

private:
    Factory factory_;
    std::unique_ptr<Window> window_;
};

}  // namespace velmora
