#include "ui/qt/QtControls.h"

#include "Resources.h"
#include "ui/qt/QtImages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>

QtStaticText::QtStaticText(QWidget* parent, zui::TextAlign align, std::function<StaticLook()> look)
    : QWidget(parent), m_align(align), m_look(std::move(look)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QtStaticText::SetText(const QString& text) {
    m_text = text;
    update();
}

void QtStaticText::paintEvent(QPaintEvent*) {
    const StaticLook look = m_look();
    QPainter painter(this);
    if (!look.transparent) {
        painter.fillRect(rect(), look.background);
    }
    painter.setFont(look.font);
    painter.setPen(look.text);
    QTextOption option((m_align == zui::TextAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    option.setWrapMode(QTextOption::WordWrap);
    option.setTabStopDistance(8 * QFontMetricsF(look.font).averageCharWidth());
    painter.drawText(QRectF(rect()), m_text, option);
}

QtImageButton::QtImageButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void QtImageButton::SetImage(const zui::Image& image) {
    // The same image again (the mode look sets both buttons every 500 ms) shows nothing new.
    if (&image == m_source) {
        return;
    }
    m_source = &image;
    // A view: the image stays as it is while the button shows it.
    m_image = qt_images::View(image, false);
    update();
}

void QtImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

QWidget* CreateControlWidget(QWidget* parent, const zui::ControlDescription& control,
                             std::function<StaticLook()> look, std::function<void()> onClick) {
    const QString text = QString::fromStdString(control.text);
    switch (control.kind) {
    case zui::ControlKind::StaticText: {
        auto* label = new QtStaticText(parent, control.align, std::move(look));
        label->SetText(text);
        return label;
    }
    case zui::ControlKind::StaticIcon: {
        auto* icon = new QLabel(parent);
        const zui::Image image =
            qt_images::Decode(zres::EmbeddedResource(zres::ResourceKind::Icon, control.iconId));
        icon->setPixmap(QPixmap::fromImage(qt_images::View(image, true)));
        return icon;
    }
    case zui::ControlKind::ImageButton: {
        auto* button = new QtImageButton(parent);
        QObject::connect(button, &QAbstractButton::clicked, std::move(onClick));
        return button;
    }
    case zui::ControlKind::PushButton: {
        auto* button = new QPushButton(text, parent);
        // Return is the dialog manager's (DialogEvents::PreTranslateKey), not Qt's.
        button->setAutoDefault(false);
        button->setDefault(control.defaultButton);
        QObject::connect(button, &QAbstractButton::clicked, std::move(onClick));
        return button;
    }
    case zui::ControlKind::Edit:
        break;
    }
    return new QLineEdit(text, parent);
}
