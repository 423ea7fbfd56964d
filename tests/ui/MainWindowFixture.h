#pragma once

#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "settings/ModeSettings.h"
#include "support/FakeUi.h"
#include "support/MainWindowWorld.h"
#include "support/RecordingAutostart.h"
#include "support/RecordingSleeper.h"
#include "support/TempDirectory.h"
#include "support/TestSettingsPlatform.h"
#include "ui/CZephyrineDlg.h"
#include "ui/framework/ApplicationBase.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The main window on the fake backend, the virtual supply and a configuration file in a fresh directory,
// with the autostart registration of its start-up kept in memory. The fake window gets a Win32-like
// frame, so a 1366 x 768 screen gives the 804 x 394 reference client area.
class MainWindowFixture : public testing::Test, protected MainWindowWorld<FakeUiPlatform> {
protected:
    using Script = std::function<void(FakeDialogHost& host, CZephyrineDlg& dlg)>;

    MainWindowFixture() { ui.frame = {3, 25, 3, 3}; }

    // Runs the window modally; script is its life between start-up and destruction.
    int Run(const Script& script) {
        CZephyrineDlg dlg(app, hid, sleeper, *settings, autostart, timings);
        ui.ScriptNextRun([&](FakeDialogHost& host) { script(host, dlg); });
        return dlg.DoModal();
    }

    std::string ConfigPath() const { return (dir.Path() / ModeSettings::kFileName).string(); }
    void WriteMode(const std::string& value) {
        WriteFileBytes(ConfigPath(), "");
        settings->WriteProfileValue(ModeSettings::kSection, ModeSettings::kKey, value, ConfigPath());
    }
    std::string SavedMode() {
        return settings->ReadProfileValue(ModeSettings::kSection, ModeSettings::kKey, "", ConfigPath());
    }
    std::vector<VirtualPowerSupply::Bytes> Frames() {
        return hid.WithSupply([](VirtualPowerSupply& model) { return model.ReceivedReports(); });
    }

    // The reading thread without pauses, so that a pass follows each poll tick at once.
    WindowTimings timings{5000, {0, 0, 0}};
};
