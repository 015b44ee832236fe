#include "shell/user_files.h"

#include "core/form1.h"

std::string SettingsPath(IFiles& files, const std::string& assetDir, const std::string& configDir) {
    if (!configDir.empty()) {
        const std::string own = configDir + "settings.ini";
        if (files.IsFile(own)) return own;
    }
    return assetDir + "settings.ini";
}

TSettings ReadGameSettings(TPlatform& platform) {
    const std::string path =
        SettingsPath(platform.files, TForm1::AssetDirOf(platform.exeDir), platform.configDir);
    const auto text = platform.files.Read(path, kMaxSettingsBytes);
    return text ? ReadSettingsText(*text) : TSettings();
}
