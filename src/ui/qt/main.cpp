#include "Resources.h"
#include "common/Sleeper.h"
#include "settings/CCSysControl.h"
#include "settings/ModeSettings.h"
#include "settings/linux/LinuxSettingsPlatform.h"
#include "ui/CZephyrineApp.h"
#include "ui/DialogFonts.h"
#include "ui/ProgramOptions.h"
#include "ui/ResourceIds.h"
#include "ui/SingleInstanceGuard.h"
#include "ui/qt/DeviceSource.h"
#include "ui/qt/QtArguments.h"
#include "ui/qt/QtUiPlatform.h"
#include "ui/qt/TerminationSignals.h"

#include <QApplication>
#include <QFont>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Chosen before Qt starts, unless the user chose already.
void PrepareWindowSystem(int argc, char** argv) {
    bool platformArgument = false;
    for (int i = 1; i < argc; ++i) {
        platformArgument = platformArgument || std::strcmp(argv[i], "-platform") == 0 ||
                           std::strcmp(argv[i], "--platform") == 0;
    }
    // A Wayland client cannot place its own window, and this one has a fixed place and size; through
    // XWayland it keeps them. Without XWayland the Wayland platform still gives the sizes, not the place.
    if (!platformArgument && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // The window is DPI-aware the Win32 way: every size is in device pixels and the DPI enters only through
    // the font rule. Qt's scaling would scale the geometry a second time.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) {
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    }
    // Each reading repaints its label at once, a few kilobytes: sent in the request itself, that costs less
    // than X shared memory, which makes every repaint wait for the server to finish with the previous one.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
}

} // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts: it needs a display, and aborts without one.
    const ProgramOptionsResult parsed =
        ParseProgramOptions(ProgramArguments(std::vector<std::string>(argv + 1, argv + argc)));
    if (!parsed.error.empty()) {
        std::cerr << "Zephyrine: " << parsed.error << " (see --help)\n";
        return 2;
    }
    if (parsed.options.help) {
        std::cout << ProgramUsage();
        return 0;
    }
    if (parsed.options.version) {
        std::cout << ProgramVersion() << '\n';
        return 0;
    }
    PrepareWindowSystem(argc, argv);
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);

    QtUiPlatform ui;
    UseCaptionFaceForDialogs(ui);
    // Message boxes too.
    QApplication::setFont(QFont(QString::fromStdString(ui.ResolveFace(kDialogTemplateFace)), 9));

    const std::unique_ptr<DeviceSource> devices =
        parsed.options.simulate ? MakeSimulatedSource(parsed.options.simulateLogPath) : MakeDeviceSource(ui);
    LinuxSettingsPlatform settings(LinuxSettingsPlatform::ConfigAnchorPath(
        LinuxSettingsPlatform::CurrentExecutablePath(), ModeSettings::kFileName));
    SystemSleeper sleeper;
    CCSysControl sysControl;
    SystemInstanceLock instanceLock;
    CZephyrineApp app(ui, {devices->Platform(),
                           sleeper,
                           settings,
                           AutostartFor(parsed.options, sysControl),
                           instanceLock,
                           {parsed.options.pollIntervalMs, {}}});
    const TerminationSignals terminationSignals([&ui] { ui.CancelMainDialog(); });
    app.InitInstance();
    return 0;
}
