#include "support/ShellRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/StandIn.h"

namespace velmora::testing {
namespace {

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), chars);
    return wide;
}

std::wstring ReadDefaultValue(HKEY key, bool& found) {
    wchar_t value[2048]{};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    found = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
    return found ? std::wstring(value) : std::wstring();
}

void WriteDefaultValue(HKEY key, const std::wstring& value) {
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

ShellRecorder::ShellRecorder(const wchar_t* scheme)
    : keyPath_(std::wstring(scheme) + L"\\shell\\open\\command"), log_(folder_.File(L"shell-calls.txt")) {
    HKEY key = nullptr;
    // Wine's shell reads the classes from HKEY_CLASSES_ROOT only, not the user's own classes.
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath_.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot register the shell recorder";
        return;
    }
    previousCommand_ = ReadDefaultValue(key, hadCommand_);
    WriteDefaultValue(key, L"\"" + StandInPath(L"shell-recorder.exe") + L"\" \"" + log_ + L"\" \"%1\"");
    RegCloseKey(key);
}

ShellRecorder::~ShellRecorder() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath_.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    if (hadCommand_)
        WriteDefaultValue(key, previousCommand_);
    else
        RegDeleteValueW(key, nullptr);
    RegCloseKey(key);
}

std::vector<ShellCall> ShellRecorder::Calls() const {
    std::vector<ShellCall> calls;
    const auto bytes = ReadWholeFile(log_);
    if (!bytes) return calls;
    const std::wstring text = FromUtf8(*bytes);
    size_t start = 0;
    for (size_t end = text.find(L'\n'); end != std::wstring::npos; start = end + 1, end = text.find(L'\n', start)) {
        const std::wstring line = text.substr(start, end - start);
        const size_t blank = line.find(L' ');
        if (blank == std::wstring::npos) continue;
        calls.push_back({std::stoi(line.substr(0, blank)), line.substr(blank + 1)});
    }
    return calls;
}

std::vector<ShellCall> ShellRecorder::WaitForCalls(size_t count) const {
    // The shell has started the recorder when ShellExecute returns; it writes soon after.
    for (int attempt = 0; attempt < 300; ++attempt) {
        auto calls = Calls();
        if (calls.size() >= count) return calls;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return Calls();
}

}  // namespace velmora::testing
