// A window of four known colours, for the pipette to sample on
// a desktop where the test cannot draw on the screen itself:
// red | blue over green | (12, 61, 90). With "gradient" after its title,
// each of its own pixels has a colour of its own instead (red growing
// across, green down).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {

class Quadrants : public QWidget {
public:
    bool gradient = false;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (gradient) {
            const qreal ratio = devicePixelRatioF();
            QImage pixels(size() * ratio, QImage::Format_RGB32);
            for (int y = 0; y < pixels.height(); ++y) {
                for (int x = 0; x < pixels.width(); ++x) {
                    pixels.setPixel(x, y, qRgb((x * 5) % 256, (y * 7) % 256, 100));
                }
            }
            pixels.setDevicePixelRatio(ratio);
            painter.drawImage(0, 0, pixels);
            return;
        }
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
    window.gradient = argc > 2 && QByteArray(argv[2]) == "gradient";
    // A title of its own when a test shows more than one.
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Quadrants"));
    // Small enough for the desktop to place it beside the main window.
    window.resize(300, 140);
    window.show();
    return QApplication::exec();
}
