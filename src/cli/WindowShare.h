#pragma once

#include "settings/ModeSettings.h"
#include "settings/SettingsPlatform.h"

#include <cstdint>
#include <memory>
#include <optional>

// What the cli shares with the window: the mode it keeps in its configuration file, and whether it runs (its
// single-instance lock is held). While it runs, the supply's commands are its buttons'.
class WindowShare {
public:
    virtual ~WindowShare() = default;
    virtual bool WindowRuns() = 0;
    // The mode the window keeps; nullopt when it keeps none yet.
    virtual std::optional<std::int32_t> KeptMode() = 0;
    // Kept for the window's next start; false when it could not be written.
    virtual bool KeepMode(std::int32_t mode) = 0;
};

// The demo's: no window and nothing kept, so that a run on the virtual supply never touches the user's file.
class NoWindowShare final : public WindowShare {
public:
    bool WindowRuns() override { return false; }
    std::optional<std::int32_t> KeptMode() override { return std::nullopt; }
    bool KeepMode(std::int32_t) override { return false; }
};

// The window's own configuration file, found as the window finds it, and its lock.
class SystemWindowShare final : public WindowShare {
public:
    bool WindowRuns() override;
    std::optional<std::int32_t> KeptMode() override { return Mode().KeptMode(); }
    bool KeepMode(std::int32_t mode) override { return Mode().KeepMode(mode); }

private:
    // Found at the first use: finding it may make the user's configuration directory, which a run that
    // never gets to poll has no business doing.
    ModeSettings& Mode();

    std::unique_ptr<SettingsPlatform> m_settings;
    std::optional<ModeSettings> m_mode;
};

// The demo's share for --simulate, else the system's.
std::unique_ptr<WindowShare> MakeWindowShare(bool simulate);
// The window's settings as seen from the cli (cli/linux/, cli/win32/).
std::unique_ptr<SettingsPlatform> MakeWindowSettings();
