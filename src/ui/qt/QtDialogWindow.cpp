#include "ui/qt/QtDialogWindow.h"

#include "Resources.h"
#include "ui/DialogTemplates.h"
#include "ui/framework/DialogCodes.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtImages.h"
#include "ui/qt/QtPaintContext.h"
#include "ui/qt/QtUiPlatform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimerEvent>

#include <algorithm>

namespace {

QRect ToQRect(const zui::Rect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

zui::Rect FromQRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

// The virtual-key code of a Qt key, for the keys the dialogs act on; 0 for the others.
int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Escape:
        return zui::KeyEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return zui::KeyReturn;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Space:
        return 0x20;
    default:
        // Digits and letters have the same codes in both.
        return (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
                   ? qtKey
                   : 0;
    }
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    return {
        AverageCharWidth(metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        metrics.height()};
}

} // namespace

QtDialogWindow::QtDialogWindow(QtUiPlatform& platform, const zui::DialogDescription& description,
                               zui::DialogEvents& events, QtDialogWindow* owner)
    : QWidget(owner), m_platform(platform), m_description(description), m_events(events),
      m_dialogFont(
          QtFonts::DialogFont(description.fontFace, description.fontPoints, description.fontWeight)) {
    // A title bar, and the close box only with a system menu; no minimise, maximise or sizing.
    Qt::WindowFlags flags = (owner != nullptr ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint |
                            Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint;
    if (description.systemMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
    if (owner != nullptr) {
        setWindowModality(Qt::ApplicationModal);
    }
    setObjectName(QStringLiteral("dialog%1").arg(description.resourceId));
    setWindowTitle(QString::fromStdString(description.title));
    setFont(m_dialogFont);
    // paintEvent covers every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    const PixelRect size = DialogUnitsToPixels(
        {0, 0, description.widthDialogUnits, description.heightDialogUnits}, BaseUnitsOf(m_dialogFont));
    m_requestedSize = QSize(size.width, size.height);
    setFixedSize(m_requestedSize);
    qApp->installEventFilter(this);
}

QtDialogWindow::~QtDialogWindow() {
    qApp->removeEventFilter(this);
}

int QtDialogWindow::Run() {
    m_events.AttachHost(this);
    if (m_events.OnCreate() == -1) {
        m_events.AttachHost(nullptr);
        return kDialogCreationFailed;
    }
    CreateControls();
    const bool focusFirst = m_events.OnInitDialog();
    if (!m_ended && m_description.visible) {
        show();
        SetForeground();
    }
    if (focusFirst) {
        const auto first =
            std::ranges::find_if(m_description.controls, [](const auto& c) { return c.tabStop; });
        if (first != m_description.controls.end()) {
            SetFocusToControl(first->id);
        }
    }
    if (!m_ended) {
        m_loop.exec();
    }
    m_events.OnDestroy();
    for (const auto& [id, qtId] : m_timers) {
        killTimer(qtId);
    }
    m_timers.clear();
    hide();
    m_events.AttachHost(nullptr);
    return m_result;
}

void QtDialogWindow::CreateControls() {
    const DialogBaseUnits units = BaseUnitsOf(m_dialogFont);
    for (const zui::ControlDescription& control : m_description.controls) {
        QWidget* widget = nullptr;
        const int id = control.id;
        const QString text = QString::fromStdString(control.text);
        switch (control.kind) {
        case zui::ControlKind::StaticText: {
            auto* label = new QtStaticText(this, control.align, [this, id] {
                const zui::CtlColor answer = m_events.OnCtlColor(id);
                if (!answer.custom) {
                    return StaticLook{false, palette().color(QPalette::WindowText), m_dialogFont,
                                      palette().color(QPalette::Window)};
                }
                const bool known = answer.font > 0 && answer.font <= static_cast<int>(m_fonts.size());
                return StaticLook{true,
                                  QColor(answer.text.red, answer.text.green, answer.text.blue),
                                  known ? m_fonts[static_cast<std::size_t>(answer.font - 1)] : m_dialogFont,
                                  {}};
            });
            label->SetText(text);
            widget = label;
            break;
        }
        case zui::ControlKind::StaticIcon: {
            auto* icon = new QLabel(this);
            const zui::Image image =
                qt_images::Decode(zres::EmbeddedResource(zres::ResourceKind::Icon, control.iconId));
            icon->setPixmap(QPixmap::fromImage(qt_images::View(image, true)));
            widget = icon;
            break;
        }
        case zui::ControlKind::ImageButton: {
            auto* button = new QtImageButton(this);
            connect(button, &QAbstractButton::clicked, this, [this, id] { m_events.OnCommand(id); });
            widget = button;
            break;
        }
        case zui::ControlKind::PushButton: {
            auto* button = new QPushButton(text, this);
            // Return is the dialog manager's (DialogEvents::PreTranslateKey), not Qt's.
            button->setAutoDefault(false);
            button->setDefault(control.defaultButton);
            connect(button, &QAbstractButton::clicked, this, [this, id] { m_events.OnCommand(id); });
            widget = button;
            break;
        }
        case zui::ControlKind::Edit: {
            auto* edit = new QLineEdit(text, this);
            widget = edit;
            break;
        }
        }
        const PixelRect rect = DialogUnitsToPixels(control.rect, units);
        widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
        if (widget->focusPolicy() != Qt::NoFocus) {
            widget->setFocusPolicy(control.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        }
        if (id != kNoControlId) {
            widget->setObjectName(QString::number(id));
            m_controls[id] = widget;
        }
        widget->show();
    }
}

QWidget* QtDialogWindow::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void QtDialogWindow::TrackBox(QMessageBox* box) {
    m_boxes.emplace_back(box);
}

void QtDialogWindow::ForgetBox(QMessageBox* box) {
    std::erase_if(m_boxes,
                  [box](const QPointer<QMessageBox>& tracked) { return tracked == box || !tracked; });
}

void QtDialogWindow::SetTitle(const std::string& text) {
    setWindowTitle(QString::fromStdString(text));
}

void QtDialogWindow::SetIcon(const zui::Image& icon, bool) {
    // Qt keeps one icon and scales it for each place.
    setWindowIcon(QIcon(QPixmap::fromImage(qt_images::View(icon, icon.hasAlpha))));
}

void QtDialogWindow::MoveWindow(const zui::Rect& outer, bool repaint) {
    const QSize size(std::max(0, outer.Width()), std::max(0, outer.Height()));
    const bool resized = size != m_requestedSize;
    m_requestedSize = size;
    // Fixed first: a geometry outside the old minimum and maximum would be clamped.
    setFixedSize(size);
    setGeometry(outer.left, outer.top, size.width(), size.height());
    if (repaint) {
        Invalidate(ClientRect(), true);
    }
    if (resized) {
        m_events.OnSize();
    }
}

zui::Rect QtDialogWindow::WindowRect() const {
    return FromQRect(geometry());
}

void QtDialogWindow::ShowWindow(bool show) {
    setVisible(show);
}

void QtDialogWindow::SetForeground() {
    raise();
    activateWindow();
}

std::optional<int> QtDialogWindow::LogicalDpiX() const {
    if (const QScreen* display = screen()) {
        return qRound(display->logicalDotsPerInchX());
    }
    return std::nullopt;
}

int QtDialogWindow::ScreenDpiY() const {
    const QScreen* display = screen();
    return display != nullptr ? qRound(display->logicalDotsPerInchY()) : 96;
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
    return kNoControlId;
}

void QtDialogWindow::SelectControlText(int id) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
        edit->selectAll();
    }
}

zui::FontId QtDialogWindow::CreateLabelFont(const zui::FontSpec& spec) {
    m_fonts.push_back(QtFonts::FontOf(spec, ScreenDpiY()));
    return static_cast<zui::FontId>(m_fonts.size());
}

void QtDialogWindow::Invalidate(const zui::Rect& area, bool) {
    const QRect rect = ToQRect(area);
    m_invalid += rect;
    update(rect);
}

void QtDialogWindow::InvalidateControl(int id, bool) {
    if (QWidget* widget = Control(id)) {
        widget->update();
    }
}

void QtDialogWindow::UpdateWindow() {
    // A hidden window is not painted and keeps its invalid area, as on Win32.
    if (isVisible() && !m_invalid.isEmpty()) {
        repaint(m_invalid);
    }
}

void QtDialogWindow::PaintNow(const std::function<void(zui::PaintContext&)>& paint) {
    if (m_invalid.isEmpty()) {
        return;
    }
    if (!isVisible()) {
        // Drawn where nobody sees it, and taken as painted.
        m_invalid = QRegion();
        return;
    }
    m_directPaint = &paint;
    repaint(m_invalid);
    m_directPaint = nullptr;
}

void QtDialogWindow::paintEvent(QPaintEvent* event) {
    m_invalid -= event->region();
    if (m_canvas.size() != size()) {
        m_canvas = QImage(size(), QImage::Format_RGB32);
    }
    {
        // The erase with the dialog's own brush, then the paint handler.
        QPainter erase(&m_canvas);
        erase.setClipRegion(event->region());
        erase.fillRect(m_canvas.rect(), palette().color(QPalette::Window));
    }
    QtPaintContext dc(m_canvas, event->region());
    if (m_directPaint != nullptr) {
        (*m_directPaint)(dc);
    } else {
        m_events.OnPaint(dc);
    }
    QPainter(this).drawImage(0, 0, m_canvas);
}

void QtDialogWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A size the window system chose; the sizes MoveWindow sets have had their OnSize already.
    if (event->size() != m_requestedSize) {
        m_requestedSize = event->size();
        m_events.OnSize();
    }
}

void QtDialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_events.OnSystemCommand(zui::SystemCommandClose);
}

void QtDialogWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (isMinimized() && !(change->oldState() & Qt::WindowMinimized)) {
            m_events.OnSystemCommand(zui::SystemCommandMinimize);
        }
    }
}

void QtDialogWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        m_events.OnLeftButtonDown({at.x(), at.y()});
    }
    QWidget::mousePressEvent(event);
}

void QtDialogWindow::timerEvent(QTimerEvent* event) {
    const auto it = std::ranges::find_if(
        m_timers, [event](const auto& timer) { return timer.second == event->timerId(); });
    if (it != m_timers.end()) {
        m_events.OnTimer(it->first);
    }
}

void QtDialogWindow::SetTimer(int id, int periodMs) {
    KillTimer(id);
    m_timers[id] = startTimer(std::max(0, periodMs), Qt::PreciseTimer);
}

void QtDialogWindow::KillTimer(int id) {
    const auto it = m_timers.find(id);
    if (it != m_timers.end()) {
        killTimer(it->second);
        m_timers.erase(it);
    }
}

void QtDialogWindow::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    m_platform.EndRunsAbove(*this);
    const auto boxes = m_boxes;
    for (const QPointer<QMessageBox>& box : boxes) {
        if (box) {
            box->reject();
        }
    }
    m_loop.exit();
}

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
            const int key = VirtualKeyOf(static_cast<QKeyEvent*>(event)->key());
            if (key != 0 && m_events.PreTranslateKey(key)) {
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
