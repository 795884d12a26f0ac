#pragma once
// The program: its main window, the one instance of each other window, and the message loop.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "compose/Messages.h"
#include "misc/SingleWindow.h"

namespace velmora {

class AwayWindow;

enum class ChildWindow {
    FontColour,
    BodyColour,
    PersonalMessage,
    Help,
    About,
    Preview,
    StoredMessages,
    AutoReply,
    Count
};

// Where Msg.ini is read and written: SettingsFolderFor's rule, asked of this system with the
// probe given (CanWriteInFolder in Velmora).
std::wstring DecideSettingsPath(const std::wstring& exeFolder, const std::wstring& appDataFolder,
                                bool (*canWrite)(const std::wstring& folder));

class Program {
public:
    // The settings path is decided here, once, for every window that reads or writes it.
    explicit Program(HINSTANCE instance);
    Program(HINSTANCE instance, std::wstring settingsPath);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    HINSTANCE Instance() const noexcept { return instance_; }
    const std::wstring& SettingsPath() const noexcept { return settingsPath_; }
    // Creates and shows the main window; false when it could not be made.
    bool Start();
    // Runs until the last top-level window has closed; returns the exit code. Messages come
    // from GetMessageW (a test may hand in a stand-in for it).
    using MessageSource = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);
    int Run(MessageSource getMessage = &GetMessageW);

    // Opens the window, made afresh from its design, or brings the open one to the front.
    void Show(ChildWindow which);
    Window* OpenChild(ChildWindow which) const noexcept;
    // The main window while it is open, else nullptr.
    AwayWindow* OpenMainWindow() const noexcept;
    // A field of the main window that makes the document has changed.
    void CompositionChanged() const noexcept;
    // The main window is closing: the others hear kMainWindowClosedMessage once it has gone.
    void MainWindowClosing() const noexcept;

private:
    std::unique_ptr<Window> Make(ChildWindow which);

    HINSTANCE instance_;
    std::wstring settingsPath_;
    std::unique_ptr<AwayWindow> main_;
    std::array<SingleWindow, static_cast<size_t>(ChildWindow::Count)> children_;
};

}  // namespace velmora
