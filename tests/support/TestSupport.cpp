#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

namespace velmora::testing {

std::wstring WindowsPath(const char* buildPath) {
    std::wstring path;
    for (const char* c = buildPath; *c; ++c) path += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

namespace {

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

std::atomic<int> g_counter{0};

}  // namespace

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH + 1]{};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"velmora-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++g_counter);
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& keyPath, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    RegistryValue value;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.data.resize(size);
        // The raw bytes, read with the ANSI call so they are the stored ANSI text.
        status = RegQueryValueExA(key, std::string(name.begin(), name.end()).c_str(), nullptr, &value.type,
                                  value.data.data(), &size);
        value.data.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

bool RegistryKeyExists(HKEY root, const std::wstring& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& keyPath) {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

void DeleteRegistryTree(HKEY root, const std::wstring& keyPath) {
    RegDeleteTreeW(root, keyPath.c_str());
    RegDeleteKeyW(root, keyPath.c_str());
}

std::wstring UniqueScreenName(const wchar_t* stem) {
    return std::wstring(stem) + std::to_wstring(GetCurrentProcessId()) + L"x" + std::to_wstring(++g_counter);
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    text.resize(copied);
    return text;
}

std::wstring VelmoraExePath() { return WindowsPath(VELMORA_EXE_FOR_TESTS); }

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void TypeInto(HWND control, const std::wstring& text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // A one-line box says EN_CHANGE on WM_SETTEXT by itself; a multi-line one does not.
    if (GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE)
        SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), EN_CHANGE),
                     reinterpret_cast<LPARAM>(control));
}

void ClickWithMouse(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageW(control, WM_LBUTTONUP, 0, middle);
}

void CloseWithCloseBox(HWND window) { SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

namespace {

// Handles carry their slot in the low 16 bits; Wine finds the object from the slot alone.
constexpr UINT_PTR kHandleSlots = 0x10000;

DWORD CountLiveGdiHandles() {
    DWORD count = 0;
    for (UINT_PTR slot = 1; slot < kHandleSlots; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++count;
    return count;
}

DWORD CountLiveUserHandles() {
    const DWORD self = GetCurrentProcessId();
    DWORD count = 0;
    for (UINT_PTR slot = 1; slot < kHandleSlots; ++slot) {
        HWND window = reinterpret_cast<HWND>(slot);
        DWORD owner = 0;
        if (IsWindow(window) && GetWindowThreadProcessId(window, &owner) && owner == self) ++count;
        if (IsMenu(reinterpret_cast<HMENU>(slot))) ++count;
    }
    return count;
}

}  // namespace

DWORD CountKernelHandles(DWORD processId) {
    // SystemExtendedHandleInformation: every handle of every process, with its owner.
    struct Entry {
        PVOID object;
        ULONG_PTR processId;
        ULONG_PTR handle;
        ULONG access;
        USHORT backTrace;
        USHORT type;
        ULONG attributes;
        ULONG reserved;
    };
    struct Table {
        ULONG_PTR count;
        ULONG_PTR reserved;
        Entry entries[1];
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(64, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) break;
        if (buffer.size() >= (1u << 28)) return 0;
        buffer.resize(buffer.size() * 2);
    }
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    DWORD count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i) count += table->entries[i].processId == processId;
    return count;
}

SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(process, &counters, sizeof(counters));
    return counters.PagefileUsage;
}

GuiObjectCounts CountGuiObjects() {
    HANDLE self = GetCurrentProcess();
    GuiObjectCounts counts{GetGuiResources(self, GR_GDIOBJECTS), GetGuiResources(self, GR_USEROBJECTS)};
    // A process with windows holds some of each; 0 means the system does not count them.
    if (counts.gdi == 0) counts.gdi = CountLiveGdiHandles();
    if (counts.user == 0) counts.user = CountLiveUserHandles();
    return counts;
}

namespace {

struct TitledSearch {
    DWORD processId;
    const wchar_t* title;
    HWND found;
    int count = 0;
};

BOOL CALLBACK MatchTitled(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TitledSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    wchar_t title[256]{};
    GetWindowTextW(window, title, 256);
    if (wcscmp(title, search->title) != 0) return TRUE;
    if (!search->found) search->found = window;
    ++search->count;
    return TRUE;
}

}  // namespace

VelmoraProcess::VelmoraProcess(const std::wstring& folder) {
    const std::wstring exe = folder + L"\\velmora.exe";
    if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        CopyFileW(VelmoraExePath().c_str(), exe.c_str(), FALSE);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info)) {
        ADD_FAILURE() << "velmora.exe did not start, error " << GetLastError();
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    WaitForInputIdle(process_, 20000);
    // The window has its title from its first message on; it is shown once its controls are made.
    for (int attempt = 0; attempt < 400 && !main_; ++attempt) {
        main_ = FindWindowTitled(L"Velmora");
        if (main_ && !IsWindowVisible(main_)) main_ = nullptr;
        if (!main_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!main_) ADD_FAILURE() << "no window titled Velmora appeared";
}

VelmoraProcess::~VelmoraProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND VelmoraProcess::Control(int id) const { return GetDlgItem(main_, id); }

std::wstring VelmoraProcess::Text(int id) const { return WindowText(Control(id)); }

void VelmoraProcess::Type(int id, const std::wstring& text) const {
    HWND control = Control(id);
    // An editable combo box is typed into through its edit field, which tells the box itself.
    if (HWND field = FindWindowExW(control, nullptr, L"Edit", nullptr)) control = field;
    TypeInto(control, text);
}

void VelmoraProcess::Click(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }

bool VelmoraProcess::IsTicked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void VelmoraProcess::Choose(int id, int index) const {
    HWND control = Control(id);
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
}

std::vector<std::wstring> VelmoraProcess::ComboItems(int id) const {
    HWND control = Control(id);
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring item(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(length));
        items.push_back(item);
    }
    return items;
}

void VelmoraProcess::ChooseMenu(int menuId) const { SendMessageW(main_, WM_COMMAND, MAKEWPARAM(menuId, 0), 0); }

HWND VelmoraProcess::FindWindowTitled(const wchar_t* title) const { return FindWindowOfProcess(processId_, title); }

int VelmoraProcess::CountWindowsTitled(const wchar_t* title) const { return CountWindowsOfProcess(processId_, title); }

HWND FindWindowOfProcess(DWORD processId, const wchar_t* title) {
    TitledSearch search{processId, title, nullptr};
    EnumWindows(MatchTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

BOOL CALLBACK MatchVisibleDialog(HWND window, LPARAM found) {
    auto* search = reinterpret_cast<std::pair<DWORD, HWND>*>(found);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[8]{};
    GetClassNameW(window, className, 8);
    if (owner != search->first || std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    search->second = window;
    return FALSE;
}

}  // namespace

HWND VisibleDialogOfProcess(DWORD processId) {
    std::pair<DWORD, HWND> search{processId, nullptr};
    EnumWindows(MatchVisibleDialog, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

HWND VelmoraProcess::WaitForWindowTitled(const wchar_t* title, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowTitled(title)) != nullptr; }, timeoutMs);
    return found;
}

int CountWindowsOfProcess(DWORD processId, const wchar_t* title) {
    TitledSearch search{processId, title, nullptr};
    EnumWindows(MatchTitled, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

void ClickAt(HWND window, POINT clientPoint) {
    POINT screen = clientPoint;
    ClientToScreen(window, &screen);
    HWND target = WindowFromPoint(screen);
    ASSERT_NE(target, nullptr);
    POINT local = screen;
    ScreenToClient(target, &local);
    const LPARAM where = MAKELPARAM(local.x, local.y);
    SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(target, WM_LBUTTONUP, 0, where);
}

POINT CentreOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void VelmoraProcess::CloseMainWindow() const {
    // As the close box does: WM_SYSCOMMAND SC_CLOSE, which becomes WM_CLOSE.
    SendMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool VelmoraProcess::WaitForExit(DWORD milliseconds) {
    return process_ && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

bool VelmoraProcess::IsRunning() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD VelmoraProcess::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

void VelmoraProcess::PostClick(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }

void VelmoraProcess::PostCloseMainWindow() const { PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0); }

namespace {

BOOL CALLBACK MatchOwned(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<std::pair<HWND, HWND>*>(lParam);  // the owner, what was found
    if (GetWindow(window, GW_OWNER) != search->first || !IsWindowVisible(window)) return TRUE;
    search->second = window;
    return FALSE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM lParam) {
    *reinterpret_cast<std::wstring*>(lParam) += WindowText(child) + L"\n";
    return TRUE;
}

}  // namespace

HWND WaitForOwnedWindow(HWND owner, DWORD timeoutMs) {
    std::pair<HWND, HWND> search{owner, nullptr};
    WaitUntil([&] { return EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search)), search.second != nullptr; },
              timeoutMs);
    return search.second;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
    return text;
}

bool PressMessageBoxButton(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (!button) return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(box); });
}

}  // namespace velmora::testing
