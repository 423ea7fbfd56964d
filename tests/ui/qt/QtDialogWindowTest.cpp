// A resource template on the Qt backend: its controls in pixels of its dialog units, and the dialog
// manager's keys. Shares the offscreen QApplication of QtMainWindowTest.cpp.
#include "ui/qt/QtDialogWindow.h"

#include "ui/DialogTemplates.h"
#include "ui/TemplateDescription.h"
#include "ui/framework/DialogBase.h"
#include "ui/qt/QtFonts.h"
#include "ui/qt/QtUiPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class PlainDialog final : public zui::DialogBase {
public:
    using zui::DialogBase::DialogBase;
};

class QtTemplateDialog : public testing::Test {
protected:
    // Runs the fan-speed dialog's template; script acts on its window and should end the dialog, which
    // otherwise ends after a while with 99.
    int Run(const std::function<void(QWidget& window)>& script) {
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->objectName() == "dialog154" && widget->isVisible()) {
                    script(*widget);
                }
            }
        });
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, [this] { dialog.EndDialog(99); });
        giveUp.start(5000);
        return dialog.DoModal();
    }

    QtUiPlatform ui;
    zui::ApplicationBase app{ui, "/opt/zephyrine/Zephyrine"};
    const zui::DialogDescription description = DescribeTemplate(SetSpeedDialogTemplate());
    PlainDialog dialog{app, description};
};

TEST_F(QtTemplateDialog, PlacesTheControlsInPixelsOfTheirDialogUnitsAndShowsTheDialog) {
    Run([&](QWidget& window) {
        EXPECT_EQ(window.windowTitle(), QString::fromUtf8("风扇转速设置"));
        const zui::DialogBaseUnits units = QtFonts::BaseUnitsOf(window.font());
        ASSERT_GT(units.averageCharWidthPx, 0);
        const zui::PixelRect size = zui::DialogUnitsToPixels({0, 0, 311, 65}, units);
        EXPECT_EQ(window.size(), QSize(size.width, size.height));
        auto* edit = window.findChild<QLineEdit*>("1065");
        ASSERT_NE(edit, nullptr);
        const zui::PixelRect rect = zui::DialogUnitsToPixels({73, 36, 76, 14}, units);
        EXPECT_EQ(edit->geometry(), QRect(rect.x, rect.y, rect.width, rect.height));
        EXPECT_EQ(window.findChild<QPushButton*>("1")->text(), QString::fromUtf8("确定"));
        // The first control with a tab stop.
        EXPECT_EQ(window.focusWidget(), window.findChild<QPushButton*>("1"));

        dialog.Host().SetControlText(1065, "1500");
        EXPECT_EQ(edit->text(), "1500");
        EXPECT_EQ(dialog.Host().ControlText(1065), "1500");
        dialog.EndDialog(kIdOk);
    });
}

TEST_F(QtTemplateDialog, ReturnPressesTheDefaultButtonAndEscapeCancels) {
    EXPECT_EQ(
        Run([](QWidget& window) { QTest::keyClick(window.findChild<QLineEdit*>("1065"), Qt::Key_Return); }),
        kIdOk);
    EXPECT_EQ(
        Run([](QWidget& window) { QTest::keyClick(window.findChild<QLineEdit*>("1065"), Qt::Key_Escape); }),
        kIdCancel);
    EXPECT_EQ(Run([](QWidget& window) { window.findChild<QPushButton*>("2")->click(); }), kIdCancel);
}

} // namespace
