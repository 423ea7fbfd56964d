// The floor the bench holds the window to: a plain Qt 6 window of the main window's size with eleven labels
// that are rewritten every 5 s, as the readings are.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <array>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
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
    const auto rewrite = [&labels, &round] {
        ++round;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            labels[i]->setText(QString::number(round * 1.25 + static_cast<double>(i), 'f', 2));
        }
    };
    rewrite();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, rewrite);
    timer.start(5000);
    window.show();
    return QApplication::exec();
}
