#include "ui/qt/QtDialogWindow.h"

#include "ui/framework/DialogCodes.h"
#include "ui/framework/DialogUnits.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtFonts.h"
#include "ui/qt/QtImages.h"
#include "ui/qt/QtPaintContext.h"
#include "ui/qt/QtRects.h"
#include "ui/qt/QtUiPlatform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimerEvent>

#include <algorithm>

namespace {

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

} // namespace

QtDialogWindow::QtDialogWindow(QtUiPlatform& platform, const zui::DialogDescription& description,
                               zui::DialogEvents& events, QtDialogWindow* owner)
    : QWidget(owner), zui::DialogWindow(platform, description, events), m_platform(platform),
      m_dialogFont(QtFonts::DialogFont(platform.ResolveFace(description.fontFace), description.fontPoints,
                                       description.fontWeight)),
      m_baseUnits(QtFonts::BaseUnitsOf(m_dialogFont)) {
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
    const zui::PixelRect size = zui::DialogUnitsToPixels(
        {0, 0, description.widthDialogUnits, description.heightDialogUnits}, m_baseUnits);
    m_requestedSize = QSize(size.width, size.height);
    setFixedSize(m_requestedSize);
    qApp->installEventFilter(this);
}

QtDialogWindow::~QtDialogWindow() {
    qApp->removeEventFilter(this);
}

bool QtDialogWindow::Create(const std::function<bool()>& windowCreated) {
    if (!windowCreated()) {
        return false;
    }
    CreateControls();
    return true;
}

void QtDialogWindow::RunMessageLoop() {
    if (!Ended()) {
        m_loop.exec();
    }
}

void QtDialogWindow::OnRunEnded() {
    // A box this window owns is its child for as long as it is open.
    for (QMessageBox* box : findChildren<QMessageBox*>(Qt::FindDirectChildrenOnly)) {
        box->reject();
    }
    m_loop.exit();
}

void QtDialogWindow::Destroy() {
    for (const auto& [id, qtId] : m_timers) {
        killTimer(qtId);
    }
    m_timers.clear();
    hide();
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
        Events().OnSize();
    }
}

zui::Rect QtDialogWindow::WindowRect() const {
    return FromQRect(geometry());
}

void QtDialogWindow::ShowWindow(bool show) {
    setVisible(show);
}

void QtDialogWindow::MinimizeWindow() {
    // A hidden window stays hidden, as on Win32: Qt's showMinimized would map it again.
    if (isVisible()) {
        showMinimized();
    } else {
        setWindowState(windowState() | Qt::WindowMinimized);
    }
}

void QtDialogWindow::SetForeground() {
    // Brought back from the tray after a minimise, the window comes back as it was before it: Win32 would
    // leave it minimised to a taskbar button, which on a Linux desktop may not exist.
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
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

zui::FontId QtDialogWindow::CreateLabelFont(const zui::FontSpec& wanted) {
    zui::FontSpec resolved = wanted;
    resolved.face = m_platform.ResolveFace(wanted.face);
    m_fonts.push_back(QtFonts::FontOf(resolved, ScreenDpiY()));
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
    // A canvas for the area being painted only: a reading's refresh is the size of its label, and nothing
    // window-sized stays allocated between paints.
    const QRect area = event->region().boundingRect();
    QImage canvas(area.size(), QImage::Format_RGB32);
    {
        // The erase with the dialog's own brush, then the paint handler.
        QPainter erase(&canvas);
        erase.translate(-area.topLeft());
        erase.setClipRegion(event->region());
        erase.fillRect(area, palette().color(QPalette::Window));
    }
    QtPaintContext dc(canvas, area.topLeft(), event->region());
    if (m_directPaint != nullptr) {
        (*m_directPaint)(dc);
    } else {
        Events().OnPaint(dc);
    }
    QPainter(this).drawImage(area.topLeft(), canvas);
}

void QtDialogWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A size the window system chose; the sizes MoveWindow sets have had their OnSize already.
    if (event->size() != m_requestedSize) {
        m_requestedSize = event->size();
        Events().OnSize();
    }
}

void QtDialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!Events().OnSystemCommand(zui::SystemCommandClose)) {
        Events().OnClose();
    }
}

void QtDialogWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        // The window manager has minimised the window already, which is all the default handling would do.
        if (isMinimized() && !(change->oldState() & Qt::WindowMinimized)) {
            Events().OnSystemCommand(zui::SystemCommandMinimize);
        }
    }
}

void QtDialogWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        Events().OnLeftButtonDown({at.x(), at.y()});
    }
    QWidget::mousePressEvent(event);
}

void QtDialogWindow::timerEvent(QTimerEvent* event) {
    const auto it = std::ranges::find_if(
        m_timers, [event](const auto& timer) { return timer.second == event->timerId(); });
    if (it != m_timers.end()) {
        Events().OnTimer(it->first);
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

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
            const int key = VirtualKeyOf(static_cast<QKeyEvent*>(event)->key());
            if (key != 0 && Events().PreTranslateKey(key)) {
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
