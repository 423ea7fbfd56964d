#pragma once

#include "settings/SettingsPlatform.h"

#include <memory>
#include <string>

// This platform's real settings implementation, as if the executable were moduleFileName.
std::unique_ptr<SettingsPlatform> MakeTestSettingsPlatform(const std::string& moduleFileName);

// True where the profile functions are Wine's, which answer some hand-edited files otherwise than Windows.
bool ProfileFunctionsAreWines();
