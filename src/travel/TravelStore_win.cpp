#include <algorithm>

#include "misc/Ansi.h"
#include "misc/Failure.h"
#include "misc/Handles.h"
#include "misc/Text.h"
#include "storage/Reg.h"
#include "storage/RegValues.h"
#include "travel/TravelStore.h"

namespace velmora {
namespace {

constexpr DWORD kValueNameRoom = 16384;

HANDLE OrNull(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

std::wstring FromAnsiBytes(std::string_view bytes) { return FromAnsi(bytes); }

// A name the client reaches through the code page: it converts there and back as itself.
bool ReachedThroughCodePage(std::wstring_view name) {
    const std::optional<std::string> ansi = ToAnsiExactly(name);
    return ansi && FromAnsi(*ansi) == name;
}

// What a value was before the writing touched it, to put it back.
struct Before {
    bool present = false;
    std::string data;
};

TravelWriting Stopped(TravelStep step, std::size_t at, long error = 0) {
    TravelWriting writing;
    writing.step = step;
    writing.failed = at;
    writing.error = error;
    return writing;
}

UniqueHkey OpenList(std::wstring_view screenName, REGSAM access) {
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName).c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        key.reset();
    return key;
}

}  // namespace

std::vector<TravellingMessage> StoredMessagesExactly(std::wstring_view screenName, const Abandoned* abandoned) {
    std::vector<TravellingMessage> messages;
    if (!IsValidScreenNameKey(screenName)) return messages;
    UniqueHkey list = OpenList(screenName, KEY_READ);
    if (!list) return messages;
    std::wstring name(kValueNameRoom, L'\0');
    for (DWORD index = 0; !(abandoned && abandoned->load(std::memory_order_relaxed)); ++index) {
        DWORD length = kValueNameRoom;
        DWORD type = REG_NONE;
        const LSTATUS status = RegEnumValueW(list.get(), index, name.data(), &length, nullptr, &type, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        TravellingMessage message{std::wstring(screenName), name.substr(0, length), {}};
        if (type != REG_SZ || !IsAwayValueName(message.valueName)) continue;
        if (!ReadValueData(list.get(), message.valueName, type, message.data) || type != REG_SZ) continue;
        messages.push_back(std::move(message));
    }
    return messages;
}

HeldNow StoredNow(std::wstring_view screenName, std::wstring_view valueName) {
    HeldNow held;
    if (!IsValidScreenNameKey(screenName)) return held;
    UniqueHkey list = OpenList(screenName, KEY_QUERY_VALUE);
    if (list) held.present = ReadValueData(list.get(), std::wstring(valueName), held.type, held.data);
    return held;
}

TravelWriting WriteMessagesExactly(const std::vector<TravellingMessage>& messages, StoreTextData store) {
    if (!store) store = &SetTextData;
    try {
        // Every name and every value there now, before anything is written.
        std::vector<Before> before(messages.size());
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const TravellingMessage& message = messages[i];
            if (!IsValidScreenNameKey(message.screenName) || !IsUsableScreenName(message.screenName))
                return Stopped(TravelStep::NameUnusable, i);
            if (!ReachedThroughCodePage(message.screenName) || !ReachedThroughCodePage(message.valueName))
                return Stopped(TravelStep::NameNotInCodePage, i);
            if (!IsAwayValueName(message.valueName)) return Stopped(TravelStep::NotAwayMessage, i);
            const HeldNow held = StoredNow(message.screenName, message.valueName);
            if (held.present && held.type != REG_SZ) return Stopped(TravelStep::OtherTypeThere, i);
            before[i] = {held.present, held.data};
        }
        // A value named twice is put back to what it was before the first.
        std::vector<std::size_t> done;
        const auto putBack = [&](TravelWriting writing) {
            for (auto it = done.rbegin(); it != done.rend(); ++it) {
                const TravellingMessage& message = messages[*it];
                bool restored = false;
                if (UniqueHkey list = OpenList(message.screenName, KEY_SET_VALUE)) {
                    restored = before[*it].present
                                   ? SetTextData(list.get(), message.valueName, before[*it].data) == ERROR_SUCCESS
                                   : RegDeleteValueW(list.get(), message.valueName.c_str()) == ERROR_SUCCESS;
                    RegFlushKey(list.get());
                }
                if (!restored) writing.written.push_back(*it);
            }
            std::sort(writing.written.begin(), writing.written.end());
            return writing;
        };
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const TravellingMessage& message = messages[i];
            UniqueHkey list;
            if (const LSTATUS error = RegCreateKeyExW(HKEY_CURRENT_USER, AwayKeyPath(message.screenName).c_str(), 0,
                                                      nullptr, 0, KEY_SET_VALUE, nullptr, list.put(), nullptr))
                return putBack(Stopped(TravelStep::OpenKey, i, error));
            if (const LSTATUS error = store(list.get(), message.valueName, message.data))
                return putBack(Stopped(TravelStep::StoreValue, i, error));
            done.push_back(i);
            if (const LSTATUS error = RegFlushKey(list.get())) return putBack(Stopped(TravelStep::FlushKey, i, error));
        }
        return {};
    } catch (...) {
        ReportCaughtFailure(L"Writing stored messages");
        return Stopped(TravelStep::StoreValue, 0, ERROR_NOT_ENOUGH_MEMORY);
    }
}

std::wstring TravelFailureText(const TravelWriting& writing, const std::vector<TravellingMessage>& messages,
                               std::wstring_view reason) {
    if (writing.Done() || writing.failed >= messages.size()) return {};
    const TravellingMessage& stopped = messages[writing.failed];
    const auto named = [](const TravellingMessage& message) {
        return L"\"" + ShownOnOneLine(message.valueName, 60) + L"\" of " + ShownOnOneLine(message.screenName, 60);
    };
    std::wstring text =
        writing.written.empty() ? L"No away message was written." : L"Not every away message was written.";
    text += L"\r\n\r\n";
    switch (writing.step) {
        case TravelStep::Done: return {};
        case TravelStep::NameUnusable:
            text += L"The screen name \"" + ShownOnOneLine(stopped.screenName, 60) +
                    L"\" names no key: it is empty, has an empty part between backslashes, or a part longer than "
                    L"255 characters.";
            break;
        case TravelStep::NameNotInCodePage:
            text += named(stopped) +
                    L" has characters that this system's code page cannot hold, so the AIM client would not find it.";
            break;
        case TravelStep::NotAwayMessage: text += named(stopped) + L" is no away message (GoneMsg...)."; break;
        case TravelStep::OtherTypeThere:
            text += named(stopped) + L" is there already and holds something other than text; Velmora leaves it.";
            break;
        case TravelStep::OpenKey:
        case TravelStep::StoreValue:
        case TravelStep::FlushKey:
            text += L"Writing " + named(stopped) + L" failed: ";
            text += reason;
            break;
    }
    if (!writing.written.empty()) {
        text += L"\r\n\r\nThese were written and could not be put back as they were:";
        for (std::size_t index : writing.written) text += L"\r\n" + named(messages[index]);
    }
    return text;
}

FileReading ReadRegFileAt(const std::wstring& path) {
    FileReading reading;
    try {
        UniqueKernelHandle file(OrNull(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!file) {
            reading.error = GetLastError();
            return reading;
        }
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size)) {
            reading.error = GetLastError();
            return reading;
        }
        // Refused before a byte is read: memory stays bounded, whatever the file's size.
        if (static_cast<unsigned long long>(size.QuadPart) > kMostRegFileBytes) {
            reading.contents.problem = RegFileProblem::TooLarge;
            return reading;
        }
        std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD read = 0;
            if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr)) {
                reading.error = GetLastError();
                return reading;
            }
            if (read == 0) break;
            done += read;
        }
        bytes.resize(done);
        reading.contents = ReadRegFile(bytes, &FromAnsiBytes);
    } catch (...) {
        ReportCaughtFailure(L"Reading a registry file");
        reading.error = ERROR_NOT_ENOUGH_MEMORY;
    }
    return reading;
}

DWORD WriteFileAt(const std::wstring& path, const std::string& bytes) {
    const std::wstring temporary = path + L"." + DecimalText(GetCurrentProcessId()) + L".tmp";
    DWORD error = ERROR_SUCCESS;
    {
        UniqueKernelHandle file(OrNull(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!file) return GetLastError();
        std::size_t done = 0;
        while (error == ERROR_SUCCESS && done < bytes.size()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, std::size_t{1} << 24));
            if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) error = GetLastError();
            done += written;
        }
        if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get())) error = GetLastError();
    }
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS) DeleteFileW(temporary.c_str());
    return error;
}

}  // namespace velmora
