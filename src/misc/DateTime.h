#pragma once
// Today's date and the time now in the user's short formats, as the IM client fills %d and %t.
#include <string>

namespace velmora {

std::wstring ShortDateNow();
std::wstring ShortTimeNow();

}  // namespace velmora
