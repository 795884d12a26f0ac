#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cwchar>
#include <thread>

#include "misc/Ansi.h"
#include "misc/Failure.h"
#include "misc/Handles.h"
#include "misc/Text.h"
#include "storage/INI.h"
#include "storage/SavedMessage.h"

namespace velmora {
namespace {

// Far beyond any settings file Velmora writes; a larger one is not read into memory.
constexpr LONGLONG kMaxSettingsFile = LONGLONG{64} << 20;

constexpr FileCodePage kAnsi{[](std::wstring_view text) { return ToAnsi(text); },
                             [](std::string_view bytes) { return FromAnsi(bytes); }};

HANDLE OrNull(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

// The whole file in one read. A missing file reads as empty text with ERROR_FILE_NOT_FOUND.
DWORD ReadWholeFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    UniqueKernelHandle file(
        OrNull(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) return GetLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return GetLastError();
    if (size.QuadPart > kMaxSettingsFile) return ERROR_FILE_TOO_LARGE;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr))
            return GetLastError();
        if (read == 0) break;  // the file became shorter meanwhile
        done += read;
    }
    bytes.resize(done);
    return ERROR_SUCCESS;
}

HANDLE CreateNewFile(const std::wstring& path) {
    return OrNull(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

DWORD WriteNewFile(const std::wstring& path, const std::string& bytes) {
    UniqueKernelHandle file(CreateNewFile(path));
    // The settings folder in the user's application data is made when it is first written.
    if (!file && GetLastError() == ERROR_PATH_NOT_FOUND) {
        const std::wstring folder = path.substr(0, path.find_last_of(L"\\/"));
        if (CreateDirectoryW(folder.c_str(), nullptr)) file.reset(CreateNewFile(path));
    }
    if (!file) return GetLastError();
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, size_t{1} << 24));
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
        done += written;
    }
    // On the disk before it takes the old file's place.
    if (!FlushFileBuffers(file.get())) return GetLastError();
    return ERROR_SUCCESS;
}

DWORD ReplaceWholeFile(const std::wstring& path, const std::string& bytes) {
    // A file the user made read-only is not replaced. Windows refuses that move too; asked
    // first, every system answers alike and at once.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    // Beside the file, so the move stays on one volume and is a single rename; one per process,
    // so two copies of Velmora never share it.
    const std::wstring temporary = path + L"." + DecimalText(GetCurrentProcessId()) + L".tmp";
    DWORD error = WriteNewFile(temporary, bytes);
    for (int attempt = 0; error == ERROR_SUCCESS; ++attempt) {
        if (MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = GetLastError();
        // Another program reading the file at this moment holds it for a moment only.
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 10) break;
        error = ERROR_SUCCESS;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    DeleteFileW(temporary.c_str());
    return error;
}

// Held by one save of a settings file at a time, in every copy of Velmora of this session: the
// file read, merged and replaced with nothing saved in between. The name stands for the path.
class SettingsFileTurn {
public:
    explicit SettingsFileTurn(const std::wstring& path) {
        std::wstring lower = path;
        CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
        std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
        for (const wchar_t c : lower) hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
        wchar_t name[64];
        swprintf(name, 64, L"Local\\VelmoraSettingsFile-%016llx", static_cast<unsigned long long>(hash));
        mutex_.reset(CreateMutexW(nullptr, FALSE, name));
        // A copy that hangs with its turn is waited for a while, then saved past; one that ended
        // with it hands it on (WAIT_ABANDONED).
        const DWORD waited = mutex_ ? WaitForSingleObject(mutex_.get(), kLongestTurnMs) : WAIT_FAILED;
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~SettingsFileTurn() {
        if (held_) ReleaseMutex(mutex_.get());
    }
    SettingsFileTurn(const SettingsFileTurn&) = delete;
    SettingsFileTurn& operator=(const SettingsFileTurn&) = delete;

private:
    static constexpr DWORD kLongestTurnMs = 3000;
    UniqueKernelHandle mutex_;
    bool held_ = false;
};

}  // namespace

std::wstring LoadLastMessage(std::wstring_view filePath) {
    try {
        std::string file;
        if (ReadWholeFile(std::wstring(filePath), file) != ERROR_SUCCESS) return {};
        return LoadSavedMessage(file, kAnsi);
    } catch (...) {
        ReportCaughtFailure(L"Reading the last message");
        return {};  // no memory for a huge file: start with the box empty
    }
}

unsigned long SaveLastMessage(std::wstring_view filePath, std::wstring_view message,
                              std::optional<std::wstring_view> asLoaded) {
    return RewriteSettingsFile(filePath, [&](std::string_view file) {
        return asLoaded ? SaveMessageOver(file, *asLoaded, message, kAnsi) : SaveMessageInto(file, message, kAnsi);
    });
}

std::string ReadSettingsFile(std::wstring_view filePath) {
    try {
        std::string file;
        if (ReadWholeFile(std::wstring(filePath), file) != ERROR_SUCCESS) return {};
        return file;
    } catch (...) {
        ReportCaughtFailure(L"Reading the settings file");
        return {};
    }
}

unsigned long RewriteSettingsFile(std::wstring_view filePath,
                                  const std::function<std::string(std::string_view)>& edit) {
    try {
        const std::wstring path(filePath);
        const SettingsFileTurn turn(path);
        std::string file;
        // Other sections and keys are kept, so a file that cannot be read is not replaced.
        const DWORD readError = ReadWholeFile(path, file);
        // A missing file, or a missing folder (made when it is written), is an empty one.
        if (readError != ERROR_SUCCESS && readError != ERROR_FILE_NOT_FOUND && readError != ERROR_PATH_NOT_FOUND)
            return readError;
        return ReplaceWholeFile(path, edit(file));
    } catch (...) {
        ReportCaughtFailure(L"Rewriting the settings file");
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

}  // namespace velmora
