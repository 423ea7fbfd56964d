// The floor the bench holds the window to: a plain Qt 6 window of the main window's size with eleven labels
// that are rewritten every 5 s, as the readings are. Two options give the floor of what the window is bound
// to do beyond that: --immediate repaints each label at once after its text, limited to the label (as every
// reading is), and --tick MS wakes the event loop every MS ms for nothing (as the mode look's timer does).
// --interval MS rewrites the labels every MS ms.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstring>
#include <string>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int intervalMs = 5000;
    int tickMs = 0;
    bool immediate = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--immediate") == 0) {
            immediate = true;
        } else if (std::strcmp(argv[i], "--interval") == 0 && i + 1 < argc) {
            intervalMs = std::stoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--tick") == 0 && i + 1 < argc) {
            tickMs = std::stoi(argv[++i]);
        }
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(810, 422);
    std::array<QLabel*, 11> labels{};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i] = new QLabel(&window);
        labels[i]->setGeometry(20 + static_cast<int>(i % 4) * 190, 40 + static_cast<int>(i / 4) * 110, 170,
                               40);
    }
    int round = 0;
    const auto rewrite = [&labels, &round, immediate] {
        ++round;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            labels[i]->setText(QString::number(round * 1.25 + static_cast<double>(i), 'f', 2));
            if (immediate) {
                labels[i]->repaint();
            }
        }
    };
    rewrite();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, rewrite);
    timer.start(intervalMs);
    QTimer tick;
    if (tickMs > 0) {
        QObject::connect(&tick, &QTimer::timeout, [] {});
        tick.start(tickMs);
    }
    window.show();
    return QApplication::exec();
}
