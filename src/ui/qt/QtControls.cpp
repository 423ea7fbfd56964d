#include "ui/qt/QtControls.h"

#include "ui/qt/QtImages.h"

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
    m_image = qt_images::View(image, false).copy();
    update();
}

void QtImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}
