#pragma once
// The registry operations under the away-message store, on the ANSI registry calls.
#include <windows.h>

#include <string>
#include <string_view>

#include "misc/Handles.h"
#include "storage/Reg.h"

namespace velmora {

// Opens or creates the key (with every missing key on its path), stores the text as REG_SZ
// with its terminating NUL counted, flushes and closes; stops at the first step that fails.
StoreResult WriteRegValue(HKEY root, std::wstring_view keyPath, std::wstring_view valueName,
                          std::wstring_view text) noexcept;
// Opens an existing key, deletes the value and closes the key; never creates a key. A key or
// value that is not there is nothing to remove, which is done.
StoreResult RemoveRegValue(HKEY root, std::wstring_view keyPath, std::wstring_view valueName) noexcept;
// Opens an existing key for reading, by the wide call (names outside the ANSI code page stay
// exact); none when it is not there or may not be read. An empty path opens root again.
UniqueHkey OpenForReading(HKEY root, const std::wstring& path);

// A value's data exactly as the registry holds it, by the wide call (no conversion, embedded
// NULs and odd lengths kept); false when it is not there or could not be read.
bool ReadValueData(HKEY key, const std::wstring& name, DWORD& type, std::string& data);
// Stores those bytes as REG_SZ exactly, by the wide call: what was read from one value is what
// the next reader of the other value gets, the client's ANSI reading included.
LSTATUS SetTextData(HKEY key, const std::wstring& name, const std::string& data) noexcept;

}  // namespace velmora
