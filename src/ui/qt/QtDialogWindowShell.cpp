#include "ui/qt/QtDialogWindow.h"

#include "ui/qt/QtImages.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QWindow>

// The window's place in the desktop: its notification-area icons, its menus and its move by the mouse.

namespace {

// The Win32 mouse message of a tray activation. Under XEmbed Qt reports the clicks at the press of the
// button, not at its release: the window comes back, and the menu opens, at the press.
std::uint32_t MouseMessageOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return zui::MouseLeftButtonUp;
    case QSystemTrayIcon::DoubleClick:
        return zui::MouseLeftButtonDoubleClick;
    case QSystemTrayIcon::Context:
        return zui::MouseRightButtonUp;
    case QSystemTrayIcon::MiddleClick:
        return zui::MouseMiddleButtonUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return 0;
}

// Runs a menu of the items at a screen point until it closes; the chosen item's command, or nullopt.
std::optional<int> RunMenu(QWidget* owner, std::span<const zui::MenuItem> items, QPoint at) {
    QMenu menu(owner);
    for (const zui::MenuItem& item : items) {
        if ((item.flags & zui::MenuSeparator) != 0) {
            menu.addSeparator();
            continue;
        }
        // Qt menus have no columns, so a column break (MenuMenuBarBreak) is left out. '&' marks the
        // mnemonic in both.
        QAction* action =
            menu.addAction(QString::fromUtf8(item.text.data(), static_cast<qsizetype>(item.text.size())));
        action->setData(item.commandId);
    }
    const QAction* chosen = menu.exec(at);
    return chosen != nullptr ? std::optional<int>(chosen->data().toInt()) : std::nullopt;
}

} // namespace

void QtDialogWindow::AppendSystemMenuItem(const zui::MenuItem& item) {
    m_systemMenu.push_back({item.flags, item.commandId, std::string(item.text)});
}

void QtDialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    // Presses on a control are the control's; statics let them through to the dialog.
    if (m_systemMenu.empty() || childAt(event->pos()) != nullptr) {
        QWidget::contextMenuEvent(event);
        return;
    }
    std::vector<zui::MenuItem> items;
    for (const StoredMenuItem& item : m_systemMenu) {
        items.push_back({item.flags, item.commandId, item.text});
    }
    if (const auto command = RunMenu(this, items, event->globalPos())) {
        QMetaObject::invokeMethod(
            this, [this, code = static_cast<unsigned>(*command)] { Events().OnSystemCommand(code); },
            Qt::QueuedConnection);
    }
}

void QtDialogWindow::TrackPopupMenu(std::span<const zui::MenuItem> items, zui::Point screenPoint) {
    if (const auto command = RunMenu(this, items, QPoint(screenPoint.x, screenPoint.y))) {
        QMetaObject::invokeMethod(
            this, [this, id = *command] { Events().OnCommand(id); }, Qt::QueuedConnection);
    }
}

bool QtDialogWindow::AddNotifyIcon(int iconId, const zui::Image& icon, const std::string& tip) {
    if (m_notifyIcons.contains(iconId)) {
        return false;
    }
    auto trayIcon = std::make_unique<QSystemTrayIcon>(
        QIcon(QPixmap::fromImage(qt_images::View(icon, icon.hasAlpha))), this);
    trayIcon->setObjectName(QStringLiteral("notifyIcon%1").arg(iconId));
    trayIcon->setToolTip(QString::fromStdString(tip));
    // No context menu of Qt's: the dialog builds its own at every right click.
    connect(trayIcon.get(), &QSystemTrayIcon::activated, this,
            [this, iconId](QSystemTrayIcon::ActivationReason reason) {
                if (const std::uint32_t message = MouseMessageOf(reason)) {
                    Events().OnTrayNotify(iconId, message);
                }
            });
    // Also while the desktop has no notification area: Qt docks the icon as soon as one appears.
    trayIcon->show();
    m_notifyIcons.emplace(iconId, std::move(trayIcon));
    return true;
}

bool QtDialogWindow::DeleteNotifyIcon(int iconId) {
    return m_notifyIcons.erase(iconId) != 0;
}

void QtDialogWindow::BeginWindowMove(zui::Point clientPoint) {
    // The window manager's own move where it offers one (_NET_WM_MOVERESIZE); without it, the window
    // follows the mouse itself until the button is released.
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        return;
    }
    m_moveGrab = mapToGlobal(QPoint(clientPoint.x, clientPoint.y)) - pos();
}

void QtDialogWindow::mouseMoveEvent(QMouseEvent* event) {
    if (m_moveGrab && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *m_moveGrab);
    }
    QWidget::mouseMoveEvent(event);
}

void QtDialogWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_moveGrab.reset();
    }
    QWidget::mouseReleaseEvent(event);
}
