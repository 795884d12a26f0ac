#pragma once
#include <string_view>

namespace velmora {

// Hands a target (a web address, a file) to the shell's "open", shown maximised. The shell
// picks the program registered for it; whether that works is the shell's business, so
// nothing is returned.
void OpenWithShell(std::wstring_view target);

}  // namespace velmora
