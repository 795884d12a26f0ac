#include <windows.h>

#include "misc/Shell.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "misc/Ansi.h"

namespace velmora {
namespace {

using ShellExecuteAFunction = decltype(&ShellExecuteA);

// The shell is a large library that Velmora needs only when a link is clicked, so it is
// loaded then rather than with the program; it stays loaded from then on.
ShellExecuteAFunction LoadShellExecute() {
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    // A known DLL: Windows loads it from the system folder whatever the search path, also on
    // the versions that lack LoadLibraryEx's search flags.
    if (!shell) shell = LoadLibraryW(L"shell32.dll");
    if (!shell) return nullptr;
    return reinterpret_cast<ShellExecuteAFunction>(reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteA")));
}

}  // namespace

void OpenWithShell(std::wstring_view target) {
    const ShellExecuteAFunction shellExecute = LoadShellExecute();
    if (!shellExecute) return;
    // The target crosses to the shell as ANSI text, like every text Velmora hands out.
    const std::string file = ToAnsi(target);
    shellExecute(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

}  // namespace velmora
