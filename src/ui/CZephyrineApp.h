#pragma once

#include "common/Sleeper.h"
#include "device/HidPlatform.h"
#include "settings/Autostart.h"
#include "settings/SettingsPlatform.h"
#include "ui/CZephyrineDlg.h"
#include "ui/SingleInstanceGuard.h"
#include "ui/framework/ApplicationBase.h"

// The application: one copy per user, which runs the main window modally and ends when the run ends.
class CZephyrineApp final : public zui::ApplicationBase {
public:
    static constexpr const char* kInstanceName = kWindowInstanceName;
    static constexpr const char* kAlreadyRunningText = "应用程序已经启动!\r\nApplication already running!";

    // What the program works with; the executable's file name (for the title) comes from settings.
    struct Services {
        HidPlatform& hidPlatform;
        Sleeper& sleeper;
        SettingsPlatform& settings;
        Autostart& autostart;
        InstanceLock& instanceLock;
        WindowTimings timings;
    };

    CZephyrineApp(zui::UiPlatform& ui, Services services)
        : zui::ApplicationBase(ui, services.settings.ModuleFileName()), m_services(services) {}

    // Runs the program: the single-instance check, then the main window until its run ends. False in every
    // case: nothing is left for the framework to run afterwards.
    bool InitInstance();

private:
    Services m_services;
};
