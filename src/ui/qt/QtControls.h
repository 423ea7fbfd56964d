#pragma once

#include "ui/framework/DialogDescription.h"
#include "ui/framework/Image.h"

#include <QAbstractButton>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

// How a static paints: the dialog's answer to WM_CTLCOLORSTATIC, asked at every paint.
struct StaticLook {
    bool transparent = false;
    QColor text;
    QFont font;
    QColor background;
};

// A static text control: its text drawn from the top of its rectangle, wrapped at word breaks, tabs
// expanded every eight average characters, as DrawText does for statics. Transparent for the mouse, as a
// static without SS_NOTIFY is, so that presses reach the dialog.
class QtStaticText final : public QWidget {
public:
    QtStaticText(QWidget* parent, zui::TextAlign align, std::function<StaticLook()> look);

    void SetText(const QString& text);
    const QString& Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const zui::TextAlign m_align;
    const std::function<StaticLook()> m_look;
    QString m_text;
};

// An owner-drawn image button (CBitmapButton with a normal image only): the image unscaled from the
// top-left corner in every state, no focus rectangle; what the image does not cover shows the dialog.
class QtImageButton final : public QAbstractButton {
public:
    explicit QtImageButton(QWidget* parent);

    void SetImage(const zui::Image& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const zui::Image* m_source = nullptr;
    QImage m_image;
};

// The widget of one control of a description, not yet placed: look is what a static asks when it paints,
// onClick what a button does when it is clicked.
QWidget* CreateControlWidget(QWidget* parent, const zui::ControlDescription& control,
                             std::function<StaticLook()> look, std::function<void()> onClick);
