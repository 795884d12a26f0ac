#include <windows.h>

#include "misc/Handles.h"
#include "misc/Paths.h"
#include "misc/Text.h"

namespace velmora {

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return {};
    // "C:\velmora.exe" keeps its separator: "C:\".
    path.resize(separator == 2 && path[1] == L':' ? separator + 1 : separator);
    return path;
}

std::wstring ApplicationDataFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(L"APPDATA", folder.data(), static_cast<DWORD>(folder.size()));
        if (length == 0) return {};
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.resize(length);
    }
}

bool CanWriteInFolder(const std::wstring& folder) {
    // Asking for the folder's rights would miss a read-only disk, a share and the system's own
    // refusals; making a file is the question itself. One name per process, so two starting
    // copies never meet, and gone when its handle closes.
    std::wstring probe = folder;
    if (probe.empty() || (probe.back() != L'\\' && probe.back() != L'/')) probe += L'\\';
    probe += L"Velmora-write-check-" + DecimalText(GetCurrentProcessId()) + L".tmp";
    const HANDLE file =
        CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const UniqueKernelHandle made(file);
    return true;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace velmora
