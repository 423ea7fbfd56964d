#include "ui/qt/QtUiPlatform.h"

#include "ui/framework/DialogUnits.h"
#include "ui/qt/QtDialogWindow.h"
#include "ui/qt/QtFonts.h"
#include "ui/qt/QtImages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>

#include <algorithm>

namespace {

QMessageBox::Icon IconOf(zui::MessageBoxIcon icon) {
    switch (icon) {
    case zui::MessageBoxIcon::Exclamation:
        return QMessageBox::Warning;
    case zui::MessageBoxIcon::Information:
        return QMessageBox::Information;
    case zui::MessageBoxIcon::Question:
        return QMessageBox::Question;
    case zui::MessageBoxIcon::Error:
        return QMessageBox::Critical;
    case zui::MessageBoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtUiPlatform::QtUiPlatform() {
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &m_context,
                     [this] { BroadcastEndSession(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &m_context, [this] { BroadcastEndSession(); });
}

zui::Size QtUiPlatform::PrimaryScreenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? zui::Size{screen->geometry().width(), screen->geometry().height()}
                             : zui::Size{};
}

zui::Size QtUiPlatform::SystemIconSize() const {
    const int size = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    return {size, size};
}

bool QtUiPlatform::SystemTrayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

zui::Point QtUiPlatform::CursorPosition() const {
    const QPoint at = QCursor::pos();
    return {at.x(), at.y()};
}

int QtUiPlatform::ShowMessageBox(const std::string& text, const std::string& caption,
                                 zui::MessageBoxButtons buttons, zui::MessageBoxIcon icon,
                                 zui::DialogHost* owner) {
    auto* window = dynamic_cast<QtDialogWindow*>(owner);
    // The texts break their lines the Windows way; Qt would show the carriage return.
    const QString body = QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const auto standardButtons =
        buttons == zui::MessageBoxButtons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(IconOf(icon), QString::fromStdString(caption), body, standardButtons, window);
    box.setDefaultButton(QMessageBox::Ok);
    // The buttons speak the dialogs' language, as a Chinese Windows labels them; Qt would say OK and Cancel.
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8("确定"));
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel)) {
        cancel->setText(QString::fromUtf8("取消"));
    }
    const int answer = box.exec();
    return answer == QMessageBox::Ok ? zui::kIdOk : zui::kIdCancel;
}

zui::Image QtUiPlatform::DecodeImage(std::span<const std::uint8_t> bytes) {
    return qt_images::Decode(bytes);
}

zui::Image QtUiPlatform::LoadImageFile(const std::string& path) {
    // Known by its content, as the other images are, whatever its name says.
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return qt_images::Decode(
        {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
}

std::optional<std::string> QtUiPlatform::AddPrivateFont(std::span<const std::uint8_t> bytes) {
    return QtFonts::Add(bytes);
}

void QtUiPlatform::CloseMenusAndBoxes() {
    // A menu's loop ends when it hides; the active popup is the innermost of the open ones.
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close()) {
            break;
        }
    }
    // The boxes are the only message boxes of the process, and exist only while they are open.
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            box->reject();
        }
    }
}

std::unique_ptr<zui::DialogWindow> QtUiPlatform::MakeDialogWindow(const zui::DialogDescription& description,
                                                                  zui::DialogEvents& events,
                                                                  zui::DialogWindow* owner) {
    return std::make_unique<QtDialogWindow>(*this, description, events, dynamic_cast<QtDialogWindow*>(owner));
}

SyncCallQueue::Poster QtUiPlatform::WindowThreadPoster() {
    return [context = &m_context](std::function<void()> call) {
        QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
    };
}
