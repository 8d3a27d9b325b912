#include "platform/screen/screen.h"

#include <QCursor>
#include <QGuiApplication>

namespace tintorel {

namespace {

std::uint32_t Packed(QRgb rgb) {
    return static_cast<std::uint32_t>(qRed(rgb)) | static_cast<std::uint32_t>(qGreen(rgb)) << 8 |
           static_cast<std::uint32_t>(qBlue(rgb)) << 16;
}

} // namespace

bool ScreenReader::PointerOnOwnWindow() const {
    return QGuiApplication::topLevelAt(QCursor::pos()) != nullptr;
}

ScreenGrab ScreenGrab::Coming() {
    ScreenGrab grab;
    grab.state_ = State::Coming;
    return grab;
}

ScreenGrab::ScreenGrab(const QRect& area, const std::function<bool(int x, int y)>& exists)
    : state_(State::Taken), area_(area), image_(area.size(), QImage::Format_RGB32) {
    image_.fill(Qt::black);
    exists_.reserve(static_cast<std::size_t>(area.width()) *
                    static_cast<std::size_t>(area.height()));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            exists_.push_back(exists(x, y));
        }
    }
}

ScreenGrab ScreenGrab::FromPixels(const QRect& area,
                                  const std::function<bool(int x, int y)>& exists,
                                  const std::function<std::uint32_t(int x, int y)>& pixel) {
    ScreenGrab grab(area, exists);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grab.image_.scanLine(y - area.top()));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (grab.Exists(x, y)) {
                const std::uint32_t p = pixel(x, y);
                line[x - area.left()] = qRgb(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF);
            }
        }
    }
    return grab;
}

bool ScreenGrab::Exists(int x, int y) const {
    if (!area_.contains(x, y) || exists_.empty()) {
        return false;
    }
    return exists_[static_cast<std::size_t>(y - area_.top()) *
                       static_cast<std::size_t>(area_.width()) +
                   static_cast<std::size_t>(x - area_.left())];
}

std::uint32_t ScreenGrab::Pixel(int x, int y) const {
    if (image_.isNull() || !area_.contains(x, y)) {
        return 0;
    }
    return Packed(image_.pixel(x - area_.left(), y - area_.top()));
}

} // namespace tintorel
