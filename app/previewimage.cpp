#include "app/previewimage.h"

#include <QPainter>

namespace tintorel {

PreviewImage::PreviewImage(QWidget* parent, const QRect& geometry)
    : QWidget(parent), canvas_(geometry.size(), QImage::Format_RGB32) {
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.fill(Qt::black);
}

void PreviewImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_);
}

} // namespace tintorel
