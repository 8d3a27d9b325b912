#include "imagescreen.h"

#include <QPainter>

namespace tintorel {

bool ImageScreenReader::Open(const QRect&) {
    ++opens_;
    if (late_ && !delivered_) {
        asks_ += asked_ ? 0 : 1;
        asked_ = true;
        return false;
    }
    open_ = readable_;
    return readable_;
}

std::uint32_t ImageScreenReader::Pixel(int x, int y) const {
    if (!PixelExists(x, y)) {
        return 0;
    }
    const QRgb rgb = image_.pixel(x, y);
    return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8 |
           static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

void ImageScreenReader::StretchCopy(const QRect& source, QImage& target,
                                    const QRect& destination) const {
    QPainter painter(&target);
    painter.drawImage(destination, image_, source);
}

} // namespace tintorel
