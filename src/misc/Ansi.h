#pragma once
// The one place where Velmora's wide text becomes the system's ANSI code page and back:
// every text crossing to the registry, the profile file or another program's window goes
// through the "A" calls.
#include <string>
#include <string_view>

namespace velmora {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

}  // namespace velmora
