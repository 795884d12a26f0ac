#pragma once
#include <string>
#include <string_view>

namespace velmora {

// The folder that holds Velmora's executable, as the system reports it (no trailing separator
// except at a drive's root).
std::wstring ExecutableFolder();

// The folder Msg.ini lives in. Portable first: beside the exe when that folder can be written
// or a Msg.ini is already there (the user put it there, or an earlier version wrote it);
// otherwise Velmora's own folder in the user's application data (appDataFolder\Velmora). With
// no application-data folder known, beside the exe all the same.
std::wstring SettingsFolderFor(std::wstring_view exeFolder, std::wstring_view appDataFolder, bool settingsBesideExe,
                               bool exeFolderWritable);

// Windows only. The user's roaming application-data folder (%APPDATA%); empty when unknown.
std::wstring ApplicationDataFolder();
// Whether a new file can be made in the folder now: one is made and removed at once.
bool CanWriteInFolder(const std::wstring& folder);
bool FileExists(const std::wstring& path);

}  // namespace velmora
