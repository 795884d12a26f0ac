#include <windows.h>

#include "misc/Ansi.h"
#include "storage/INI.h"
#include "storage/SavedMessage.h"

namespace velmora {

std::wstring ReadIniValue(std::wstring_view section, std::wstring_view key, std::wstring_view filePath) {
    const std::string ansiSection = ToAnsi(section);
    const std::string ansiKey = ToAnsi(key);
    const std::string ansiPath = ToAnsi(filePath);
    std::string buffer(256, '\0');
    for (;;) {
        const DWORD copied = GetPrivateProfileStringA(ansiSection.c_str(), ansiKey.c_str(), "", buffer.data(),
                                                      static_cast<DWORD>(buffer.size()), ansiPath.c_str());
        // A value cut to fit comes back as size - 1 characters: grow and read again.
        if (copied + 1 < buffer.size() || buffer.size() >= (1u << 30)) {
            buffer.resize(copied);
            return FromAnsi(buffer);
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}

void WriteIniValue(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                   std::wstring_view filePath) {
    WritePrivateProfileStringA(ToAnsi(section).c_str(), ToAnsi(key).c_str(), ToAnsi(value).c_str(),
                               ToAnsi(filePath).c_str());
}

void RemoveIniValue(std::wstring_view section, std::wstring_view key, std::wstring_view filePath) {
    WritePrivateProfileStringA(ToAnsi(section).c_str(), ToAnsi(key).c_str(), nullptr, ToAnsi(filePath).c_str());
}

std::wstring LoadLastMessage(std::wstring_view filePath) {
    const std::wstring message = ReadIniValue(kSettingsSection, kMessageKey, filePath);
    std::wstring exact;
    for (size_t part = 0;; ++part) {
        const std::wstring value = ReadIniValue(kSettingsSection, ExactPartKey(part), filePath);
        if (value.empty()) break;
        exact += value;
    }
    return DecodeSavedMessage(message, exact);
}

void SaveLastMessage(std::wstring_view filePath, std::wstring_view message) {
    const SavedMessageEntries entries = EncodeSavedMessage(message);
    WriteIniValue(kSettingsSection, kMessageKey, entries.message, filePath);
    size_t part = 0;
    for (; part < entries.exactParts.size(); ++part)
        WriteIniValue(kSettingsSection, ExactPartKey(part), entries.exactParts[part], filePath);
    // Parts left over from a longer earlier message go.
    for (; !ReadIniValue(kSettingsSection, ExactPartKey(part), filePath).empty(); ++part)
        RemoveIniValue(kSettingsSection, ExactPartKey(part), filePath);
}

}  // namespace velmora
