#pragma once
// Module INI: Velmora's settings file, through the private-profile "A" calls.
#include <string>
#include <string_view>

namespace velmora {

// The key's value, read whole (the buffer grows until it fits); empty when the file, the
// section or the key is missing.
std::wstring ReadIniValue(std::wstring_view section, std::wstring_view key, std::wstring_view filePath);
// Creates the file, section and key as needed or replaces the value; failures are ignored.
void WriteIniValue(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                   std::wstring_view filePath);
void RemoveIniValue(std::wstring_view section, std::wstring_view key, std::wstring_view filePath);

// The last message, exactly as it was saved (see SavedMessage.h for how it is kept).
std::wstring LoadLastMessage(std::wstring_view filePath);
void SaveLastMessage(std::wstring_view filePath, std::wstring_view message);

}  // namespace velmora
