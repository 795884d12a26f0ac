#include <windows.h>

#include "misc/Shell.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "misc/Ansi.h"

namespace velmora {

void OpenWithShell(std::wstring_view target) {
    // The target crosses to the shell as ANSI text, like every text Velmora hands out.
    const std::string file = ToAnsi(target);
    ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

}  // namespace velmora
