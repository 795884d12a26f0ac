#pragma once
// The screen-name box offers the screen names the IM client holds as the user types: the
// system's own autocomplete (IAutoComplete2) over a list of the names Stored Messages reads.
// COM comes from ole32, loaded when the box is first given names, so velmora.exe imports
// nothing beyond the DLLs it always had.
#include <windows.h>

#include <string>
#include <vector>

struct IAutoComplete2;

namespace velmora {

class NameList;

class ScreenNameCompletion {
public:
    ScreenNameCompletion() = default;
    // Released after the box is gone: the system's object leaves the box when the box goes.
    ~ScreenNameCompletion();
    ScreenNameCompletion(const ScreenNameCompletion&) = delete;
    ScreenNameCompletion& operator=(const ScreenNameCompletion&) = delete;

    // Offers these names in the box from now on; the first call fits the completion to the box.
    // False when the system has no autocomplete to offer (nothing is offered then).
    bool Offer(HWND edit, std::vector<std::wstring> names);

private:
    bool Attach(HWND edit);

    HMODULE ole32_ = nullptr;
    bool apartment_ = false;
    bool failed_ = false;
    NameList* names_ = nullptr;
    IAutoComplete2* completion_ = nullptr;
};

}  // namespace velmora
