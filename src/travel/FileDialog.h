#pragma once
// The system's dialogs for a registry file to write or to read.
#include <windows.h>

#include <optional>
#include <string>

namespace velmora {

// The path the user chose, starting from `suggested`; none when the dialog was cancelled.
std::optional<std::wstring> ChooseFileToSave(HWND owner, const std::wstring& suggested);
std::optional<std::wstring> ChooseFileToOpen(HWND owner, const std::wstring& suggested);

}  // namespace velmora
