#include "app/previewimage.h"

#include <QPainter>

namespace tintorel {

PreviewImage::PreviewImage(QWidget* parent, int side) : QWidget(parent) {
    setFixedSize(side, side);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Canvas().fill(Qt::black);
}

QImage& PreviewImage::Canvas() {
    const qreal ratio = devicePixelRatioF();
    const QSize device(qRound(width() * ratio), qRound(height() * ratio));
    if (canvas_.size() != device) {
        canvas_ = QImage(device, QImage::Format_RGB32);
        canvas_.fill(Qt::black);
    }
    return canvas_;
}

void PreviewImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Device pixel for device pixel.
    painter.drawImage(QRectF(rect()), canvas_);
}

} // namespace tintorel
