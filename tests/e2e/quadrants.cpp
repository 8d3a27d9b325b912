// A window of four known colours, for the pipette to sample on
// a desktop where the test cannot draw on the screen itself:
// red | blue over green | (12, 61, 90).
#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class Quadrants : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int w = width() / 2;
        const int h = height() / 2;
        painter.fillRect(0, 0, w, h, QColor(255, 0, 0));
        painter.fillRect(w, 0, width() - w, h, QColor(0, 0, 255));
        painter.fillRect(0, h, w, height() - h, QColor(0, 255, 0));
        painter.fillRect(w, h, width() - w, height() - h, QColor(12, 61, 90));
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Quadrants window;
    // A title of its own when a test shows more than one.
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Quadrants"));
    // Small enough for the desktop to place it beside the main window.
    window.resize(300, 140);
    window.show();
    return QApplication::exec();
}
