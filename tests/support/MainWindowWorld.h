#pragma once

#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "support/RecordingAutostart.h"
#include "support/RecordingSleeper.h"
#include "support/TempDirectory.h"
#include "support/TestSettingsPlatform.h"
#include "ui/framework/ApplicationBase.h"

#include <memory>

// What the main window works with in a test, on the backend Ui: the configuration file in a fresh directory
// (as if the executable lay there), the virtual supply, a sleeper that only records, and the autostart
// registration kept in memory.
template <class Ui> struct MainWindowWorld {
    TempDirectory dir;
    std::unique_ptr<SettingsPlatform> settings =
        MakeTestSettingsPlatform((dir.Path() / "Zephyrine").string());
    VirtualPowerSupply supply;
    VirtualHidPlatform hid{supply};
    RecordingSleeper sleeper;
    RecordingAutostart autostart;
    Ui ui;
    zui::ApplicationBase app{ui, settings->ModuleFileName()};
};
