#pragma once
// Helpers shared by the Wine-level and end-to-end tests: paths, temporary folders, the
// registry read back with the real calls, files read whole, and velmora.exe driven from outside.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::testing {

// A path as the build wrote it (a Unix path under Wine) in the form Windows calls take.
std::wstring WindowsPath(const char* buildPath);

// A fresh empty folder under the temp folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

std::optional<std::string> ReadWholeFile(const std::wstring& path);
void WriteWholeFile(const std::wstring& path, const std::string& bytes);

struct RegistryValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};
std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& keyPath, const std::wstring& name);
bool RegistryKeyExists(HKEY root, const std::wstring& keyPath);
std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& keyPath);
void DeleteRegistryTree(HKEY root, const std::wstring& keyPath);
// A screen name no other test uses, so tests can share one prefix.
std::wstring UniqueScreenName(const wchar_t* stem);

// The text of any window (another process's too), through WM_GETTEXT.
std::wstring WindowText(HWND window);

// Checks the condition until it holds or the time is up, handling this thread's window
// messages in between (so windows made in this process keep working). For events that take
// their time, such as a window's timer: the bound is generous and only ends a test that failed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// Typing into a text box of any window: its text is replaced, and its owner hears EN_CHANGE once.
void TypeInto(HWND control, const std::wstring& text);
// A mouse click on a control (button down and up at its middle), as on a clickable label.
void ClickWithMouse(HWND control);
// Closes any window as its title-bar close box would (WM_SYSCOMMAND SC_CLOSE).
void CloseWithCloseBox(HWND window);

// The GDI and USER objects this process holds. GetGuiResources where the system counts them;
// where it answers 0 (Wine), the live handles of this process, looked at one by one.
struct GuiObjectCounts {
    DWORD gdi = 0;
    DWORD user = 0;
};
GuiObjectCounts CountGuiObjects();
// Kernel handles a process holds (read from the system's handle table) and its private bytes.
DWORD CountKernelHandles(DWORD processId);
SIZE_T PrivateBytes(HANDLE process);

// velmora.exe copied into a folder of its own (so Msg.ini starts as the test wants), started as
// a process, and driven through its controls with the messages a user's actions raise.
class VelmoraProcess {
public:
    // Copies velmora.exe into the folder (once) and starts it; waits for the "Velmora" window.
    explicit VelmoraProcess(const std::wstring& folder);
    ~VelmoraProcess();
    VelmoraProcess(const VelmoraProcess&) = delete;
    VelmoraProcess& operator=(const VelmoraProcess&) = delete;

    HWND MainWindow() const { return main_; }
    DWORD ProcessId() const { return processId_; }
    HWND Control(int id) const;
    std::wstring Text(int id) const;
    // Typing: the control's text is replaced, and its owner hears EN_CHANGE once, as after typing.
    void Type(int id, const std::wstring& text) const;
    // A click on a button or check box (BM_CLICK, which raises BN_CLICKED).
    void Click(int id) const;
    bool IsTicked(int id) const;
    // Choosing a list entry: the selection moves and the owner hears CBN_SELCHANGE.
    void Choose(int id, int index) const;
    std::vector<std::wstring> ComboItems(int id) const;
    // A pop-up menu entry chosen (the WM_COMMAND the menu sends once it has closed).
    void ChooseMenu(int menuId) const;
    // Top-level windows of this process with the given title.
    HWND FindWindowTitled(const wchar_t* title) const;
    // The same, waiting (bounded) for the window to appear; nullptr when it did not.
    HWND WaitForWindowTitled(const wchar_t* title, DWORD timeoutMs = 20000) const;
    int CountWindowsTitled(const wchar_t* title) const;
    // Closes the main window as its close box would, and waits until it is gone.
    void CloseMainWindow() const;
    // Waits for the process to end by itself; false when it still runs after the wait.
    bool WaitForExit(DWORD milliseconds = 20000);
    bool IsRunning() const;
    DWORD ExitCode() const;

    // The same actions without waiting for Velmora to handle them, for actions that may open a
    // message box (which holds the sender until it is answered).
    void PostClick(int id) const;
    void PostCloseMainWindow() const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
};

// The exe under test (copied) and its settings file.
std::wstring VelmoraExePath();

// Top-level windows of a process (this one or another) with the given title.
HWND FindWindowOfProcess(DWORD processId, const wchar_t* title);
int CountWindowsOfProcess(DWORD processId, const wchar_t* title);
// A visible dialog box (a message box) of a process, or nullptr when none is open.
HWND VisibleDialogOfProcess(DWORD processId);

// A left click at a point of a window's client area, delivered as the system delivers a
// real one: to the window found there by hit-testing (a label that does not take clicks lets
// them through to the window below), as button-down and button-up at that point.
void ClickAt(HWND window, POINT clientPoint);
// The middle of a control, in its parent's client coordinates.
POINT CentreOf(HWND control);

// A message box (or any window) that a window owns, waiting (bounded) for it to show;
// nullptr when none did. Its text, and one of its buttons pressed (IDOK, IDYES, IDNO...),
// then waiting until it has gone.
HWND WaitForOwnedWindow(HWND owner, DWORD timeoutMs = 20000);
std::wstring MessageBoxText(HWND box);
bool PressMessageBoxButton(HWND box, int buttonId);

}  // namespace velmora::testing
