#include "platform/screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

namespace tintorel {

namespace {

std::uint32_t Packed(QRgb rgb) {
    return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8 |
           static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

// A monitor's place on the virtual desktop in device pixels.
QRect DeviceGeometry(const QScreen* screen) {
    const QRect logical = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    return QRect(QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio)),
                 QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
}

void StretchFrom(const QImage& image, const QPoint& origin, const QRect& source, QImage& target,
                 const QRect& destination) {
    QPainter painter(&target);
    painter.drawImage(destination, image, source.translated(-origin));
}

} // namespace

bool ScreenReader::PointerOnOwnWindow() const {
    return QGuiApplication::topLevelAt(QCursor::pos()) != nullptr;
}

void ScreenReader::StretchPixels(const QRect& source, QImage& target,
                                 const QRect& destination) const {
    if (source.isEmpty()) {
        return;
    }
    QImage area(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const std::uint32_t p = Pixel(source.left() + x, source.top() + y);
            area.setPixel(x, y, qRgb(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF));
        }
    }
    QPainter painter(&target);
    painter.drawImage(destination, area, area.rect());
}

QSize QtScreenReader::Size() const {
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) {
        desktop = desktop.united(DeviceGeometry(screen));
    }
    return QSize(desktop.right() + 1, desktop.bottom() + 1);
}

QPoint QtScreenReader::CursorPos() const {
    const QPoint logical = QCursor::pos();
    const QScreen* screen = QGuiApplication::screenAt(logical);
    if (screen == nullptr) {
        return logical;
    }
    const qreal ratio = screen->devicePixelRatio();
    const QPoint local = logical - screen->geometry().topLeft();
    return DeviceGeometry(screen).topLeft() +
           QPoint(qRound(local.x() * ratio), qRound(local.y() * ratio));
}

bool QtScreenReader::Open(const QRect& area) {
    grabbed_ = QImage();
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty() || area.isEmpty()) {
        return false;
    }
    area_ = area;
    grabbed_ = QImage(area.size(), QImage::Format_RGB32);
    grabbed_.fill(Qt::black);
    bool anything = false;
    for (QScreen* screen : screens) {
        const QRect device = DeviceGeometry(screen);
        const QRect part = device.intersected(area);
        if (part.isEmpty()) {
            continue;
        }
        const qreal ratio = screen->devicePixelRatio();
        // grabWindow takes logical coordinates relative to the monitor; the
        // pixmap it gives holds device pixels.
        const QRect local = part.translated(-device.topLeft());
        const QPixmap shot =
            screen->grabWindow(0, qFloor(local.x() / ratio), qFloor(local.y() / ratio),
                               qCeil(local.width() / ratio) + 1, qCeil(local.height() / ratio) + 1);
        if (shot.isNull()) {
            continue;
        }
        QImage image = shot.toImage().convertToFormat(QImage::Format_RGB32);
        // Pixel for pixel: the grab carries its monitor's ratio, which would
        // make the painter below shrink it to logical size.
        image.setDevicePixelRatio(1);
        const QPoint shotOrigin(qRound(qFloor(local.x() / ratio) * ratio),
                                qRound(qFloor(local.y() / ratio) * ratio));
        QPainter painter(&grabbed_);
        painter.drawImage(part.topLeft() - area.topLeft(), image,
                          QRect(local.topLeft() - shotOrigin, part.size()));
        anything = true;
    }
    if (!anything) {
        grabbed_ = QImage(); // nothing readable: a session that hides the screen
    }
    return anything;
}

std::uint32_t QtScreenReader::Pixel(int x, int y) const {
    const QPoint at = QPoint(x, y) - area_.topLeft();
    if (grabbed_.isNull() || !grabbed_.rect().contains(at)) {
        return 0;
    }
    return Packed(grabbed_.pixel(at));
}

bool QtScreenReader::PixelExists(int x, int y) const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [x, y](const QScreen* screen) {
        return DeviceGeometry(screen).contains(x, y);
    });
}

void QtScreenReader::StretchCopy(const QRect& source, QImage& target,
                                 const QRect& destination) const {
    if (!grabbed_.isNull()) {
        StretchFrom(grabbed_, area_.topLeft(), source, target, destination);
    }
}

void QtScreenReader::Close() {
    grabbed_ = QImage();
}

} // namespace tintorel
