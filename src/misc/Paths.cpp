#include "misc/Paths.h"

namespace velmora {

std::wstring SettingsFolderFor(std::wstring_view exeFolder, std::wstring_view appDataFolder, bool settingsBesideExe,
                               bool exeFolderWritable) {
    if (settingsBesideExe || exeFolderWritable || appDataFolder.empty()) return std::wstring(exeFolder);
    std::wstring folder(appDataFolder);
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    folder += L"Velmora";
    return folder;
}

}  // namespace velmora
