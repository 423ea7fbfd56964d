// The main window's tray icon, menus and move on the Qt backend, on the offscreen platform of
// QtMainWindowTest.cpp, which has no notification area: the icon exists for Qt, nothing docks it.
#include "device/virtual/VirtualHidPlatform.h"
#include "device/virtual/VirtualPowerSupply.h"
#include "settings/ModeSettings.h"
#include "support/MainWindowWorld.h"
#include "support/RecordingAutostart.h"
#include "support/RecordingSleeper.h"
#include "support/TempDirectory.h"
#include "support/TestSettingsPlatform.h"
#include "ui/CZephyrineDlg.h"
#include "ui/ControlTable.h"
#include "ui/qt/QtDialogWindow.h"
#include "ui/qt/QtUiPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace {

QWidget* TopLevel(const QString& objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == objectName && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

// Acts on a widget once find gives one, from a timer of its own, so that it acts inside whatever modal loop
// runs then; gives up after three seconds, or when scope goes.
void WhenShown(QObject& scope, std::function<QWidget*()> find, std::function<void(QWidget&)> act) {
    auto* timer = new QTimer(&scope);
    QObject::connect(timer, &QTimer::timeout, [timer, find, act, ticks = 0]() mutable {
        QWidget* widget = find();
        if (widget != nullptr || ++ticks > 300) {
            timer->stop();
            timer->deleteLater();
        }
        if (widget != nullptr) {
            act(*widget);
        }
    });
    timer->start(10);
}

QWidget* Popup() {
    return QApplication::activePopupWidget();
}

QStringList ActionTexts(const QWidget& popup) {
    const auto& menu = dynamic_cast<const QMenu&>(popup);
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    return texts;
}

void Choose(QWidget& popup, const QString& text) {
    auto& menu = dynamic_cast<QMenu&>(popup);
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            menu.setActiveAction(action);
        }
    }
    QTest::keyClick(&menu, Qt::Key_Return);
}

class QtMainWindowTray : public testing::Test, protected MainWindowWorld<QtUiPlatform> {
protected:
    using Script = std::function<void(QtDialogWindow& window, CZephyrineDlg& dlg)>;

    QtMainWindowTray() { hid.AddSupply(); }

    // Runs the window; the script runs once the modal loop has started. The run ends after the script with
    // 99, unless ending is left to the script's doing, which has three seconds for it.
    int Run(const Script& script, bool endAfterScript = true) {
        CZephyrineDlg dlg(app, hid, sleeper, *settings, autostart, timings);
        QTimer::singleShot(0, [&] {
            auto* window = dynamic_cast<QtDialogWindow*>(TopLevel("dialog102"));
            EXPECT_NE(window, nullptr);
            if (window != nullptr) {
                script(*window, dlg);
            }
            if (endAfterScript) {
                dlg.EndDialog(99);
            }
        });
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, [&dlg] { dlg.EndDialog(99); });
        giveUp.start(3000);
        return dlg.DoModal();
    }

    static QSystemTrayIcon* OnlyTrayIcon(QtDialogWindow& window) {
        const auto icons = window.findChildren<QSystemTrayIcon*>();
        EXPECT_EQ(icons.size(), 1);
        return icons.size() == 1 ? icons.front() : nullptr;
    }

    std::string SavedMode() {
        return settings->ReadProfileValue(ModeSettings::kSection, ModeSettings::kKey, "",
                                          (dir.Path() / ModeSettings::kFileName).string());
    }

    WindowTimings timings{5000, {0, 20, 0}};
    // Holds the watchers of one test.
    QObject scope;
};

TEST_F(QtMainWindowTray, HasOneIconWithItsTipWhoseLeftClicksBringTheWindowBack) {
    Run([&](QtDialogWindow& window, CZephyrineDlg&) {
        QSystemTrayIcon* icon = OnlyTrayIcon(window);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->toolTip(), "zivev");
        EXPECT_FALSE(icon->icon().isNull());
        EXPECT_TRUE(icon->isVisible());

        for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick}) {
            window.ShowWindow(false);
            emit icon->activated(reason);
            EXPECT_TRUE(window.isVisible()) << reason;
        }
        window.ShowWindow(false);
        emit icon->activated(QSystemTrayIcon::MiddleClick);
        EXPECT_FALSE(window.isVisible());
    });
}

TEST_F(QtMainWindowTray, ARightClickOpensTheMenuAtTheCursorWhoseExitEndsTheRunAndSavesTheMode) {
    QCursor::setPos(1200, 700);
    QStringList texts;
    QPoint menuAt;
    WhenShown(scope, Popup, [&](QWidget& menu) {
        texts = ActionTexts(menu);
        menuAt = menu.pos();
        Choose(menu, QString::fromUtf8("退出"));
    });
    const int result = Run(
        [&](QtDialogWindow& window, CZephyrineDlg& dlg) {
            window.ShowWindow(false);
            dlg.OnTempControlButton();
            emit OnlyTrayIcon(window)->activated(QSystemTrayIcon::Context);
        },
        false);
    EXPECT_EQ(result, zui::kIdCancel);
    EXPECT_EQ(texts, (QStringList{QString::fromUtf8("界面"), QString::fromUtf8("退出")}));
    EXPECT_EQ(menuAt, QPoint(1200, 700));
    EXPECT_EQ(SavedMode(), "1");
}

TEST_F(QtMainWindowTray, TheMenusFirstItemShowsTheWindow) {
    WhenShown(scope, Popup, [](QWidget& menu) { Choose(menu, QString::fromUtf8("界面")); });
    Run([&](QtDialogWindow& window, CZephyrineDlg&) {
        window.ShowWindow(false);
        emit OnlyTrayIcon(window)->activated(QSystemTrayIcon::Context);
        // The command comes once the menu has closed.
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isVisible(); }, 2000));
    });
}

TEST_F(QtMainWindowTray, ARightClickOnTheClientAreaOffersAboutWhichOpensTheAboutBox) {
    QStringList texts;
    QString aboutTitle;
    WhenShown(scope, Popup, [&](QWidget& menu) {
        texts = ActionTexts(menu);
        Choose(menu, QString::fromUtf8("关于 Zephyrine(&A)..."));
    });
    WhenShown(
        scope, [] { return TopLevel("dialog100"); },
        [&](QWidget& about) {
            aboutTitle = about.windowTitle();
            QTest::keyClick(&about, Qt::Key_Return);
        });
    Run([&](QtDialogWindow& window, CZephyrineDlg& dlg) {
        const QPoint background(5, 200);
        QContextMenuEvent press(QContextMenuEvent::Mouse, background, window.mapToGlobal(background));
        QApplication::sendEvent(&window, &press);

        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !aboutTitle.isEmpty() && TopLevel("dialog100") == nullptr; }, 2000));
        EXPECT_TRUE(dlg.HasWindow());
        EXPECT_TRUE(window.isVisible());
    });
    EXPECT_EQ(texts, QStringList{QString::fromUtf8("关于 Zephyrine(&A)...")});
    EXPECT_EQ(aboutTitle, QString::fromUtf8("关于 Zephyrine"));
}

TEST_F(QtMainWindowTray, ARightClickOnAButtonOpensNoMenu) {
    bool opened = false;
    WhenShown(scope, Popup, [&](QWidget& menu) {
        opened = true;
        menu.close();
    });
    Run([&](QtDialogWindow& window, CZephyrineDlg&) {
        const zui::Rect button = window.ControlRect(IdEcoButton);
        const QPoint onButton(button.left + 5, button.top + 5);
        QContextMenuEvent press(QContextMenuEvent::Mouse, onButton, window.mapToGlobal(onButton));
        QApplication::sendEvent(&window, &press);
    });
    EXPECT_FALSE(opened);
}

TEST_F(QtMainWindowTray, ALeftPressOnTheBackgroundMovesTheWindowWithTheMouse) {
    Run([&](QtDialogWindow& window, CZephyrineDlg&) {
        // The placement comes first.
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.geometry().topLeft() == QPoint(350, 180); }, 2000));
        const QPoint before = window.pos();
        QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(5, 200));
        QTest::mouseMove(&window, QPoint(45, 230));
        QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(45, 230));
        EXPECT_EQ(window.pos(), before + QPoint(40, 30));
    });
}

} // namespace
