// The fan-speed dialog through its framework adapter on the Qt backend, on the offscreen platform of
// QtMainWindowTest.cpp: template 154 laid out from its dialog units, and a user at its keyboard.
#include "ui/SetSpeedDialogWindow.h"

#include "ui/CCDlgSetSpeed.h"
#include "ui/DialogTemplates.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtFonts.h"
#include "ui/qt/QtUiPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QRect PixelsOf(const DialogUnitRect& rect, const zui::DialogBaseUnits& units) {
    const zui::PixelRect pixels = zui::DialogUnitsToPixels(rect, units);
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

// The box open now, once it is.
QMessageBox* WaitForBox() {
    QMessageBox* box = nullptr;
    const auto open = [&] {
        return (box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) != nullptr;
    };
    return QTest::qWaitFor(open, 2000) ? box : nullptr;
}

class QtSetSpeedDialogWindow : public testing::Test {
protected:
    // Runs the dialog; the user acts on its window and should end it, which otherwise ends after a while
    // with 99.
    int Run(const std::function<void(QWidget& window, QLineEdit& edit)>& user) {
        SetSpeedDialogWindow window(app, dialog);
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* edit = widget->findChild<QLineEdit*>("1065");
                if (widget->objectName() == "dialog154" && widget->isVisible() && edit != nullptr) {
                    user(*widget, *edit);
                }
            }
        });
        QTimer giveUp;
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout,
                         [&window] { static_cast<zui::DialogBase&>(window).EndDialog(99); });
        giveUp.start(5000);
        return window.DoModal();
    }

    // Types text over the edit's whole content and presses Enter; answer sees the box that follows.
    static void TypeAndEnter(QLineEdit& edit, const char* text,
                             const std::function<void(QMessageBox&)>& answer) {
        edit.setFocus();
        edit.selectAll();
        QTest::keyClicks(&edit, QString::fromUtf8(text));
        QTimer::singleShot(0, [answer] {
            if (QMessageBox* box = WaitForBox()) {
                answer(*box);
                box->button(QMessageBox::Ok)->click();
            }
        });
        QTest::keyClick(&edit, Qt::Key_Return);
    }

    QtUiPlatform ui;
    zui::ApplicationBase app{ui, "/opt/zephyrine/Zephyrine"};
    CCDlgSetSpeed dialog;
};

TEST_F(QtSetSpeedDialogWindow, LaysOutTemplate154FromItsDialogUnitsWithOkAsTheDefaultAndNoCloseBox) {
    Run([&](QWidget& window, QLineEdit& edit) {
        EXPECT_EQ(window.windowTitle(), QString::fromUtf8("风扇转速设置"));
        EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(window.windowFlags() & Qt::WindowSystemMenuHint);
        const zui::DialogBaseUnits units = QtFonts::BaseUnitsOf(window.font());
        ASSERT_GT(units.averageCharWidthPx, 0);
        EXPECT_EQ(window.size(), PixelsOf({0, 0, 311, 65}, units).size());

        QList<QWidget*> controls;
        for (QObject* child : window.children()) {
            if (auto* widget = qobject_cast<QWidget*>(child)) {
                controls << widget;
            }
        }
        const auto& wanted = SetSpeedDialogTemplate().controls;
        ASSERT_EQ(controls.size(), static_cast<qsizetype>(wanted.size()));
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            EXPECT_EQ(controls[static_cast<qsizetype>(i)]->geometry(), PixelsOf(wanted[i].rect, units)) << i;
        }
        const auto* ok = qobject_cast<QPushButton*>(controls[0]);
        const auto* cancel = qobject_cast<QPushButton*>(controls[1]);
        ASSERT_TRUE(ok != nullptr && cancel != nullptr);
        EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
        EXPECT_TRUE(ok->isDefault());
        EXPECT_EQ(cancel->text(), QString::fromUtf8("取消"));
        EXPECT_FALSE(cancel->isDefault());
        const auto* note = dynamic_cast<QtStaticText*>(controls[2]);
        const auto* prompt = dynamic_cast<QtStaticText*>(controls[3]);
        ASSERT_TRUE(note != nullptr && prompt != nullptr);
        EXPECT_EQ(note->Text(),
                  QString::fromUtf8("注意：请参考Lumenvale界面显示转速值进行设置，\n            "
                                    "如果设置值小于智控程序的最低转速，设置将会失效！"));
        EXPECT_EQ(prompt->Text(), QString::fromUtf8("输入风机转速值："));
        EXPECT_EQ(controls[4], &edit);
        EXPECT_EQ(edit.text(), "0");
        EXPECT_EQ(window.focusWidget(), ok);
        QTest::keyClick(&edit, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.m_confirmed, 0);
}

TEST_F(QtSetSpeedDialogWindow, EnterConfirmsATypedSpeedInAPlainBoxAndEndsTheDialog) {
    QString confirmation;
    QMessageBox::Icon icon = QMessageBox::Warning;
    EXPECT_EQ(Run([&](QWidget&, QLineEdit& edit) {
                  TypeAndEnter(edit, "1500", [&](QMessageBox& box) {
                      confirmation = box.text();
                      icon = box.icon();
                  });
              }),
              kIdOk);
    EXPECT_EQ(confirmation, QString::fromUtf8("风机转速将被修改为：1500"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(dialog.m_confirmed, 1);
    EXPECT_EQ(dialog.m_acceptedSpeed, 1500);
}

TEST_F(QtSetSpeedDialogWindow, ASpeedOutOfRangeIsRefusedAndTheEditSelectedForTheNextTry) {
    QString refusal;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    EXPECT_EQ(Run([&](QWidget& window, QLineEdit& edit) {
                  TypeAndEnter(edit, "2201", [&](QMessageBox& box) {
                      refusal = box.text();
                      icon = box.icon();
                  });
                  EXPECT_TRUE(window.isVisible());
                  EXPECT_EQ(window.focusWidget(), &edit);
                  EXPECT_EQ(edit.selectedText(), "2201");
                  QTest::keyClick(&edit, Qt::Key_Escape);
              }),
              kIdCancel);
    EXPECT_EQ(refusal, QString::fromUtf8("请输入一个 0 至 2200 之间的整数。"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(dialog.m_confirmed, 0);
    EXPECT_EQ(dialog.m_acceptedSpeed, 0);
}

} // namespace
