// The real main window on the Qt backend, on Qt's offscreen platform with a 1366 x 768 screen at 96 DPI:
// grabs of the window checked pixel by pixel.
#include "Resources.h"
#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "protocol/ReadingPipeline.h"
#include "support/MainWindowWorld.h"
#include "support/RecordingAutostart.h"
#include "support/RecordingSleeper.h"
#include "support/TempDirectory.h"
#include "support/TestSettingsPlatform.h"
#include "ui/CZephyrineDlg.h"
#include "ui/ControlTable.h"
#include "ui/DialogFonts.h"
#include "ui/ResourceIds.h"
#include "ui/qt/QtDialogWindow.h"
#include "ui/qt/QtImages.h"
#include "ui/qt/QtUiPlatform.h"

#include "support/CurrentDirectory.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QMessageBox>
#include <QRawFont>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

// One QApplication for the whole executable, on a screen of our own description.
class OffscreenQt : public testing::Environment {
public:
    void SetUp() override {
        const auto config = m_directory.Path() / "screen.json";
        WriteFileBytes(config,
                       R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1366, "height": 768,
                                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str());
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        m_application = std::make_unique<QApplication>(m_argc, m_argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { m_application.reset(); }

private:
    TempDirectory m_directory;
    int m_argc = 1;
    char m_name[16] = "qt_window_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_application;
};

const testing::Environment* const kOffscreen = testing::AddGlobalTestEnvironment(new OffscreenQt);

QRect ToQRect(const zui::Rect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

// Over the part of area inside the image: some controls reach past the window's edge.
int CountPixels(const QImage& image, const QRect& unclipped, const std::function<bool(QColor)>& wanted) {
    const QRect area = unclipped.intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += wanted(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return count;
}

bool IsRed(QColor c) {
    return c.red() > 180 && c.green() < 80 && c.blue() < 80;
}

class QtMainWindow : public testing::Test, protected MainWindowWorld<QtUiPlatform> {
protected:
    using Script = std::function<void(QtDialogWindow& window, CZephyrineDlg& dlg)>;

    QtMainWindow() {
        hid.AddSupply();
        UseCaptionFaceForDialogs(ui);
    }

    static QtDialogWindow* FindMainWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "dialog102") {
                return dynamic_cast<QtDialogWindow*>(widget);
            }
        }
        return nullptr;
    }

    // Runs the window; the script runs once the modal loop has started, and the window is ended after it.
    int Run(const Script& script) {
        CZephyrineDlg dlg(app, hid, sleeper, *settings, autostart, timings);
        QTimer::singleShot(0, [&] {
            QtDialogWindow* window = FindMainWindow();
            EXPECT_NE(window, nullptr);
            if (window != nullptr) {
                script(*window, dlg);
            }
            dlg.EndDialog(zui::kIdCancel);
        });
        return dlg.DoModal();
    }

    static QImage Grab(QtDialogWindow& window) {
        return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    WindowTimings timings{5000, {0, 20, 0}};
};

TEST_F(QtMainWindow, IsTheProportionalSizeAndEndsAtItsPlacementOnA1366By768Screen) {
    Run([&](QtDialogWindow& window, CZephyrineDlg&) {
        // The client area; the window system's frame lies around it.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.geometry() == QRect(350, 180, 810, 422); }, 2000));
        EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Lumenvale（设备已连接）"));
        EXPECT_TRUE(window.isVisible());
    });
}

TEST_F(QtMainWindow, PaintsAReadingRedOnlyWhileItsFlagIsExactlyOne) {
    Run([&](QtDialogWindow& window, CZephyrineDlg& dlg) {
        const QRect label = ToQRect(window.ControlRect(LabelRail12V));
        for (const int flag : {1, 0, 2, 1}) {
            dlg.ReadingFlags.Rail12VOutOfBand = flag;
            dlg.SetLabelText(LabelRail12V, "13.50");
            dlg.RefreshLabelArea(LabelRail12V);
            const int red = CountPixels(Grab(window), label, IsRed);
            if (flag == 1) {
                EXPECT_GT(red, 50);
            } else {
                EXPECT_EQ(red, 0) << flag;
            }
        }
    });
}

// The energy reading reaches five digits; a face too wide for the 84 px box is drawn up to both its edges.
TEST_F(QtMainWindow, DrawsAFiveDigitReadingWhollyInsideItsBox) {
    Run([&](QtDialogWindow& window, CZephyrineDlg& dlg) {
        const QRect label = ToQRect(window.ControlRect(LabelRail12V));
        dlg.ReadingFlags.Rail12VOutOfBand = 1; // red, to tell the digits from the skin
        dlg.SetLabelText(LabelRail12V, "123.45");
        dlg.RefreshLabelArea(LabelRail12V);
        const QImage grab = Grab(window);
        int first = label.right() + 1;
        int last = label.left() - 1;
        for (int x = label.left(); x <= label.right(); ++x) {
            if (CountPixels(grab, QRect(x, label.top(), 1, label.height()), IsRed) > 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        EXPECT_GT(first, label.left());
        EXPECT_LT(last, label.right());
        EXPECT_GT(last - first, label.width() / 2);
    });
}

TEST_F(QtMainWindow, ShowsEachModeButtonsImageUnscaledAtItsRectangle) {
    Run([&](QtDialogWindow& window, CZephyrineDlg&) {
        const QImage grab = Grab(window);
        const std::pair<int, int> buttons[] = {{IdEcoButton, BitmapEcoSelected},
                                               {IdTempControlButton, BitmapTempControlUnselected},
                                               {IdClearEnergyButton, BitmapClearEnergyActive}};
        for (const auto& [id, bitmap] : buttons) {
            const QRect rect = ToQRect(window.ControlRect(id));
            const QImage image =
                qt_images::View(qt_images::Decode(zres::EmbeddedResource(zres::ResourceKind::Bitmap, bitmap)),
                                false)
                    .copy();
            ASSERT_EQ(rect.size(), image.size()) << id;
            EXPECT_EQ(grab.copy(rect), image.convertToFormat(QImage::Format_RGB32)) << id;
        }
    });
}

TEST_F(QtMainWindow, BlendsTheLogoOfTheCurrentDirectoryOverTheTopBar) {
    const CurrentDirectory inFixture(dir.Path());
    timings.pollPeriodMs = 600000; // no reading changes between the grabs
    Run([&](QtDialogWindow& window, CZephyrineDlg&) {
        const QImage bare = Grab(window);
        const auto logoBytes = zres::EmbeddedResource(zres::ResourceKind::Png, 160);
        WriteFileBytes(dir.Path() / "logo.png", std::string(logoBytes.begin(), logoBytes.end()));
        const QImage withLogo = Grab(window);
        const QImage logo = QImage::fromData(logoBytes.data(), static_cast<int>(logoBytes.size()))
                                .convertToFormat(QImage::Format_ARGB32);

        int partlyCovered = 0;
        for (int y = 0; y < logo.height(); ++y) {
            for (int x = 0; x < logo.width(); ++x) {
                const QColor source = logo.pixelColor(x, y);
                const QColor under = bare.pixelColor(80 + x, 20 + y);
                const int alpha = source.alpha();
                const auto blend = [alpha](int s, int d) {
                    return s * alpha / 255 + d * (255 - alpha) / 255;
                };
                const QColor expected(blend(source.red(), under.red()), blend(source.green(), under.green()),
                                      blend(source.blue(), under.blue()));
                ASSERT_EQ(withLogo.pixelColor(80 + x, 20 + y), expected) << x << "," << y;
                partlyCovered += alpha > 0 && alpha < 255 ? 1 : 0;
            }
        }
        EXPECT_GT(partlyCovered, 0);
        EXPECT_EQ(withLogo.pixelColor(80 + logo.width() + 2, 20), bare.pixelColor(80 + logo.width() + 2, 20));

        std::filesystem::remove(dir.Path() / "logo.png");
        EXPECT_EQ(Grab(window), bare);
    });
}

TEST_F(QtMainWindow, StretchesTheBackgroundSoTheBarsKeepTheirGreys) {
    Run([&](QtDialogWindow& window, CZephyrineDlg&) {
        const QImage grab = Grab(window);
        EXPECT_EQ(grab.pixelColor(20, 50), QColor(100, 100, 100));   // top bar
        EXPECT_EQ(grab.pixelColor(500, 414), QColor(128, 128, 128)); // bottom bar
        // The bottom bar's captions are white.
        const QRect disclaimer = ToQRect(window.ControlRect(1088));
        EXPECT_GT(CountPixels(grab, disclaimer, [](QColor c) { return c.lightness() > 230; }), 20);
    });
}

TEST_F(QtMainWindow, FindsEveryCaptionCharacterInTheEmbeddedFonts) {
    Run([&](QtDialogWindow&, CZephyrineDlg&) {
        EXPECT_EQ(ui.ResolveFace(control_table::kCaptionFace), "WenQuanYi Micro Hei Zephyrine Subset");
        const QFont caption(QString::fromStdString(ui.ResolveFace(control_table::kCaptionFace)));
        EXPECT_EQ(QFontInfo(caption).family(), "WenQuanYi Micro Hei Zephyrine Subset");
        const QRawFont raw = QRawFont::fromFont(caption);
        for (const CaptionText& text : control_table::Captions()) {
            for (const char32_t character : QString::fromUtf8(text.text).toStdU32String()) {
                EXPECT_TRUE(raw.supportsCharacter(character))
                    << text.id << " U+" << std::hex << static_cast<std::uint32_t>(character);
            }
        }
        EXPECT_EQ(ui.ResolveFace(control_table::kReadingFace), "Zephyrine Segments");
        EXPECT_EQ(
            QFontInfo(QFont(QString::fromStdString(ui.ResolveFace(control_table::kReadingFace)))).family(),
            "Zephyrine Segments");
    });
}

TEST_F(QtMainWindow, EscapeAndReturnLeaveTheWindowButTheCloseBoxEndsItWithoutANotificationArea) {
    ASSERT_FALSE(ui.SystemTrayAvailable());
    bool stillRunning = false;
    CZephyrineDlg dlg(app, hid, sleeper, *settings, autostart, timings);
    QTimer::singleShot(0, [&] {
        QWidget* window = FindMainWindow();
        ASSERT_NE(window, nullptr);
        QTest::keyClick(window, Qt::Key_Escape);
        QTest::keyClick(window, Qt::Key_Return);
        stillRunning = dlg.HasWindow() && window->isVisible();
        window->close();
    });
    EXPECT_EQ(dlg.DoModal(), zui::kIdCancel);
    EXPECT_TRUE(stillRunning);
}

TEST_F(QtMainWindow, EndingWhileAWarningBoxIsOpenClosesTheBoxAndStopsTheReadingThread) {
    supply.ForceTemperature(75);
    timings.pollPeriodMs = 100;
    CZephyrineDlg dlg(app, hid, sleeper, *settings, autostart, timings);
    QString boxText;
    // Runs inside the box's own modal loop, as the tray menu's exit would.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (const auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxText = box->text();
            watch.stop();
            dlg.OnCommand(zui::kIdCancel);
        }
    });
    watch.start(20);
    QTimer::singleShot(10000, [&] { dlg.EndDialog(zui::kIdCancel); });

    EXPECT_EQ(dlg.DoModal(), zui::kIdCancel);

    EXPECT_EQ(boxText, QString::fromUtf8(ReadingPipeline::kOverTemperatureWarning).replace("\r\n", "\n"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
