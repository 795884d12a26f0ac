#include "app/Program.h"

#include <utility>

#include "about/AboutWindow.h"
#include "about/HelpWindow.h"
#include "aim/PersonalWindow.h"
#include "app/AwayWindow.h"
#include "autoreply/AutoReplyWindow.h"
#include "colour/ColourPickerWindow.h"
#include "misc/Failure.h"
#include "misc/Paths.h"
#include "preview/PreviewWindow.h"
#include "storage/SavedMessage.h"
#include "stored/StoredMessagesWindow.h"

namespace velmora {
namespace {

constexpr int kFailuresBeforeGivingUp = 1000;

template <typename WindowType, typename... Arguments>
std::unique_ptr<Window> Opened(Arguments&&... arguments) {
    auto window = std::make_unique<WindowType>(std::forward<Arguments>(arguments)...);
    if (!window->Open()) ReportFailure(L"A window did not open");
    return window;
}

}  // namespace

std::wstring DecideSettingsPath(const std::wstring& exeFolder, const std::wstring& appDataFolder,
                                bool (*canWrite)(const std::wstring& folder)) {
    // The folder is tried only when no Msg.ini is there: an existing file decides alone.
    const bool besideExe = FileExists(SettingsPathFor(exeFolder));
    return SettingsPathFor(SettingsFolderFor(exeFolder, appDataFolder, besideExe, besideExe || canWrite(exeFolder)));
}

Program::Program(HINSTANCE instance)
    : Program(instance, DecideSettingsPath(ExecutableFolder(), ApplicationDataFolder(), &CanWriteInFolder)) {}

Program::Program(HINSTANCE instance, std::wstring settingsPath)
    : instance_(instance), settingsPath_(std::move(settingsPath)) {}

Program::~Program() {
    // The children first, each with its own cleanup, then the main window.
    for (SingleWindow& child : children_) child.Destroy();
    if (main_) main_->Destroy();
}

bool Program::Start() {
    main_ = std::make_unique<AwayWindow>(*this);
    if (main_->Open()) return true;
    ReportFailure(L"The main window did not open");
    return false;
}

int Program::Run(MessageSource getMessage) {
    MSG message{};
    int failuresInARow = 0;
    for (;;) {
        const BOOL got = getMessage(&message, nullptr, 0, 0);
        if (got == 0) break;
        // A message the window system failed to deliver is lost, not a reason to quit: the
        // program ends only when its last window has closed (and saved what it keeps).
        if (got == -1) {
            if (++failuresInARow < kFailuresBeforeGivingUp) continue;
            // A loop that can no longer get any message ends, but the main window still
            // closes as the user's close would, keeping the message when that is wanted.
            if (AwayWindow* main = OpenMainWindow()) SendMessageW(main->Handle(), WM_CLOSE, 0, 0);
            return 1;
        }
        failuresInARow = 0;
        // A window's own keys (the main window's menu keys, a shortcut) come first.
        if (Window::TakeWindowKey(message)) continue;
        // Tab moves the focus in every window, as in a dialog, also out of a multi-line box.
        if (Window::MoveFocusOnTab(message)) continue;
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogMessageW(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void Program::Show(ChildWindow which) {
    // The others work with the main window, so none opens before it.
    if (!main_) return;
    children_[static_cast<size_t>(which)].Show([this, which] { return Make(which); });
}

std::unique_ptr<Window> Program::Make(ChildWindow which) {
    Composer& composer = *main_;
    switch (which) {
        case ChildWindow::FontColour:
            return Opened<ColourPickerWindow>(instance_, composer, ColourPickerWindow::Kind::FontColour);
        case ChildWindow::BodyColour:
            return Opened<ColourPickerWindow>(instance_, composer, ColourPickerWindow::Kind::BodyColour);
        case ChildWindow::PersonalMessage: return Opened<PersonalWindow>(instance_);
        case ChildWindow::Help: return Opened<HelpWindow>(instance_);
        case ChildWindow::About: return Opened<AboutWindow>(instance_);
        case ChildWindow::Preview: return Opened<PreviewWindow>(instance_, composer);
        case ChildWindow::StoredMessages: return Opened<StoredMessagesWindow>(instance_, composer);
        case ChildWindow::AutoReply: return Opened<AutoReplyWindow>(instance_, &composer, settingsPath_);
        case ChildWindow::Count: break;
    }
    return nullptr;
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
