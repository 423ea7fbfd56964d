#include "support/TestSettingsPlatform.h"

#include "settings/win32/Win32SettingsPlatform.h"

std::unique_ptr<SettingsPlatform> MakeTestSettingsPlatform(const std::string& moduleFileName) {
    return std::make_unique<Win32SettingsPlatform>(moduleFileName);
}
