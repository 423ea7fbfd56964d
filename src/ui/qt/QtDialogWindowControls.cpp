#include "ui/qt/QtDialogWindow.h"

#include "ui/framework/DialogUnits.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtRects.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

// The controls of a dialog window: made from the description, addressed by their IDs.

void QtDialogWindow::CreateControls() {
    for (const zui::ControlDescription& control : Description().controls) {
        const int id = control.id;
        QWidget* widget = CreateControlWidget(
            this, control, [this, id] { return LookOf(id); }, [this, id] { Events().OnCommand(id); });
        const zui::PixelRect rect = zui::DialogUnitsToPixels(control.rect, m_baseUnits);
        widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
        if (widget->focusPolicy() != Qt::NoFocus) {
            widget->setFocusPolicy(control.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        }
        if (id != zui::kNoControlId) {
            widget->setObjectName(QString::number(id));
            m_controls[id] = widget;
        }
        widget->show();
    }
}

StaticLook QtDialogWindow::LookOf(int id) {
    const zui::CtlColor answer = Events().OnCtlColor(id);
    if (!answer.custom) {
        return {false, palette().color(QPalette::WindowText), m_dialogFont,
                palette().color(QPalette::Window)};
    }
    const bool known = answer.font > 0 && answer.font <= static_cast<int>(m_fonts.size());
    return {true,
            QColor(answer.text.red, answer.text.green, answer.text.blue),
            known ? m_fonts[static_cast<std::size_t>(answer.font - 1)] : m_dialogFont,
            {}};
}

QWidget* QtDialogWindow::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void QtDialogWindow::SetControlText(int id, const std::string& text) {
    const QString value = QString::fromStdString(text);
    QWidget* widget = Control(id);
    if (auto* label = dynamic_cast<QtStaticText*>(widget)) {
        label->SetText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    }
}

std::string QtDialogWindow::ControlText(int id) const {
    QWidget* widget = Control(id);
    if (const auto* label = dynamic_cast<const QtStaticText*>(widget)) {
        return label->Text().toStdString();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text().toStdString();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text().toStdString();
    }
    return {};
}

void QtDialogWindow::MoveControl(int id, const zui::Rect& rect, bool) {
    if (QWidget* widget = Control(id)) {
        widget->setGeometry(ToQRect(rect));
    }
}

void QtDialogWindow::ResizeControl(int id, zui::Size size) {
    if (QWidget* widget = Control(id)) {
        widget->resize(size.width, size.height);
    }
}

zui::Rect QtDialogWindow::ControlRect(int id) const {
    const QWidget* widget = Control(id);
    return widget != nullptr ? FromQRect(widget->geometry()) : zui::Rect{};
}

void QtDialogWindow::ShowControl(int id, bool show) {
    if (QWidget* widget = Control(id)) {
        widget->setVisible(show);
    }
}

void QtDialogWindow::EnableControl(int id, bool enable) {
    if (QWidget* widget = Control(id)) {
        widget->setEnabled(enable);
    }
}

void QtDialogWindow::SetControlImage(int id, const zui::Image& image) {
    if (auto* button = dynamic_cast<QtImageButton*>(Control(id))) {
        button->SetImage(image);
    }
}

void QtDialogWindow::SetFocusToControl(int id) {
    if (QWidget* widget = Control(id)) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

int QtDialogWindow::FocusedControl() const {
    const QWidget* focused = QApplication::focusWidget();
    for (const auto& [id, widget] : m_controls) {
        if (widget == focused) {
            return id;
        }
    }
    return zui::kNoControlId;
}

void QtDialogWindow::SelectControlText(int id) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
        edit->selectAll();
    }
}
