#include "imagescreen.h"

namespace tintorel {

ScreenGrab ImageScreenReader::Grab(const QRect& area) {
    ++grabs_;
    if (late_ && !delivered_) {
        asks_ += asked_ ? 0 : 1;
        asked_ = true;
        return ScreenGrab::Coming();
    }
    if (!readable_) {
        return {};
    }
    return ScreenGrab::FromPixels(
        area,
        [this](int x, int y) {
            return image_.rect().contains(x, y) && !missing_.contains(QPoint(x, y));
        },
        [this](int x, int y) {
            const QRgb rgb = image_.pixel(x, y);
            return static_cast<std::uint32_t>(qRed(rgb)) |
                   static_cast<std::uint32_t>(qGreen(rgb)) << 8 |
                   static_cast<std::uint32_t>(qBlue(rgb)) << 16;
        });
}

} // namespace tintorel
