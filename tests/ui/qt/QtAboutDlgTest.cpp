// The About box on the Qt backend, on the offscreen platform of QtMainWindowTest.cpp.
#include "ui/CAboutDlg.h"

#include "ui/DialogTemplates.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtFonts.h"
#include "ui/qt/QtUiPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

TEST(QtAboutDlg, ShowsTemplate100WithItsIconAndTextAndEndsWithOkOnEnter) {
    QtUiPlatform ui;
    zui::ApplicationBase app{ui, "/opt/zephyrine/Zephyrine"};
    CAboutDlg about(app);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "dialog100" && widget->isVisible()) {
                window = widget;
            }
        }
        ASSERT_NE(window, nullptr);
        seen = true;
        EXPECT_EQ(window->windowTitle(), QString::fromUtf8("关于 Zephyrine"));
        EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
        const zui::DialogBaseUnits units = QtFonts::BaseUnitsOf(window->font());
        const auto pixels = [&](const DialogUnitRect& rect) {
            const zui::PixelRect p = zui::DialogUnitsToPixels(rect, units);
            return QRect(p.x, p.y, p.width, p.height);
        };
        const auto* icon = window->findChild<QLabel*>();
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(icon->pixmap().isNull());
        EXPECT_EQ(icon->geometry(), pixels({14, 14, 20, 20}));
        // QtStaticText has no meta-object of its own, so findChild cannot tell it from other widgets.
        const QtStaticText* text = nullptr;
        for (const QObject* child : window->children()) {
            text = text != nullptr ? text : dynamic_cast<const QtStaticText*>(child);
        }
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->Text(), QString::fromUtf8("Zephyrine，1.3 版"));
        EXPECT_EQ(text->geometry(), pixels({42, 14, 114, 8}));
        auto* ok = window->findChild<QPushButton*>("1");
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(ok->geometry(), pixels({113, 41, 50, 14}));
        QTest::keyClick(ok, Qt::Key_Return);
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [&about] { about.EndDialog(99); });
    giveUp.start(5000);

    EXPECT_EQ(about.DoModal(), kIdOk);
    EXPECT_TRUE(seen);
}

} // namespace
