#pragma once
// What the shell is asked to open, observed for real: while a ShellRecorder lives, the
// shell's "open" command of a URL scheme (in this test prefix) starts shell-recorder.exe,
// which writes down the target and the show command it was started with. The command that
// was there before comes back at the end.
#include <windows.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace velmora::testing {

struct ShellCall {
    int showCommand;
    std::wstring target;
    bool operator==(const ShellCall&) const = default;
};

class ShellRecorder {
public:
    explicit ShellRecorder(const wchar_t* scheme = L"https");
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    // The calls recorded so far, oldest first.
    std::vector<ShellCall> Calls() const;
    // Waits (bounded) until at least `count` calls are recorded; returns them.
    std::vector<ShellCall> WaitForCalls(size_t count) const;

private:
    std::wstring keyPath_;
    std::wstring previousCommand_;
    bool hadCommand_ = false;
    TempFolder folder_;
    std::wstring log_;
};

}  // namespace velmora::testing
