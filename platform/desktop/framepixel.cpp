#include "platform/desktop/framepixel.h"

namespace tintorel {

std::uint32_t FramePixel(FrameFormat format, const std::uint8_t* p) {
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    switch (format) {
    case FrameFormat::Bgrx:
        blue = p[0], green = p[1], red = p[2];
        break;
    case FrameFormat::Rgbx:
        red = p[0], green = p[1], blue = p[2];
        break;
    case FrameFormat::Xbgr:
        blue = p[1], green = p[2], red = p[3];
        break;
    case FrameFormat::Xrgb:
        red = p[1], green = p[2], blue = p[3];
        break;
    }
    return red | green << 8 | blue << 16;
}

} // namespace tintorel
