#pragma once
#include <string>

namespace velmora {

// The system's own words for an error code, with the code ("Access denied. (error 5)").
std::wstring SystemErrorText(unsigned long error);

}  // namespace velmora
