#pragma once
#include <string>

namespace velmora {

// The folder that holds Velmora's executable, as the system reports it (no trailing separator
// except at a drive's root).
std::wstring ExecutableFolder();

}  // namespace velmora
