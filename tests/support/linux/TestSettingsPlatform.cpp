#include "support/TestSettingsPlatform.h"

#include "settings/linux/LinuxSettingsPlatform.h"

std::unique_ptr<SettingsPlatform> MakeTestSettingsPlatform(const std::string& moduleFileName) {
    return std::make_unique<LinuxSettingsPlatform>(moduleFileName);
}

bool ProfileFunctionsAreWines() {
    return false;
}
