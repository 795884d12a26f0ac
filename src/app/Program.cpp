#include "app/Program.h"

#include "app/AwayWindow.h"

namespace velmora {

Program::Program(HINSTANCE instance) : instance_(instance) {}

Program::~Program() = default;

bool Program::Start() {
    main_ = std::make_unique<AwayWindow>(*this);
    return main_->Open();
}

int Program::Run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab moves the focus in every window, as in a dialog.
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void Program::Show(ChildWindow which) { children_[static_cast<size_t>(which)].Show(); }

void Program::SetFactory(ChildWindow which, SingleWindow::Factory factory) {
    children_[static_cast<size_t>(which)] = SingleWindow(std::move(factory));
}

Window* Program::OpenChild(ChildWindow which) const noexcept { return children_[static_cast<size_t>(which)].Open(); }

void Program::CompositionChanged() const noexcept {
    if (Window* preview = OpenChild(ChildWindow::Preview))
        SendMessageW(preview->Handle(), kCompositionChangedMessage, 0, 0);
}

AwayWindow* Program::OpenMainWindow() const noexcept { return main_ && main_->IsOpen() ? main_.get() : nullptr; }

void Program::MainWindowClosing() const noexcept {
    for (const SingleWindow& child : children_)
        if (Window* window = child.Open()) PostMessageW(window->Handle(), kMainWindowClosedMessage, 0, 0);
}

}  // namespace velmora
