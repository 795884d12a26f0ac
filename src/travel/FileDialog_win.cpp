// The dialogs' header needs windows.h before it.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <algorithm>
#include <vector>

#include "travel/FileDialog.h"

namespace velmora {
namespace {

// Two filters, each a name and a pattern, ended by an empty string.
constexpr wchar_t kFilter[] = L"Registry files (*.reg)\0*.reg\0All files (*.*)\0*.*\0";

std::optional<std::wstring> Choose(HWND owner, const std::wstring& suggested, bool save) {
    // Room for a long path; the dialog says so when the chosen one is longer still.
    std::vector<wchar_t> path(32768, L'\0');
    suggested.copy(path.data(), std::min(suggested.size(), path.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = L"reg";
    dialog.Flags =
        OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return std::nullopt;
    return std::wstring(path.data());
}

}  // namespace

std::optional<std::wstring> ChooseFileToSave(HWND owner, const std::wstring& suggested) {
    return Choose(owner, suggested, true);
}
std::optional<std::wstring> ChooseFileToOpen(HWND owner, const std::wstring& suggested) {
    return Choose(owner, suggested, false);
}

}  // namespace velmora
