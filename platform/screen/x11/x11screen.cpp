#include "platform/screen/x11/x11screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tintorel {

namespace {

// A monitor's place on the virtual desktop in device pixels.
QRect DeviceGeometry(const QScreen* screen) {
    const QRect logical = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    return QRect(QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio)),
                 QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
}

// An X server, read as it is: the pointer and the pixels of its root
// window in the server's own pixels, which are the device pixels. Qt's
// cursor position and window grabs go through its logical pixels, which
// at a scale of 1.5 or 2 reach only some device pixels and shift a grab
// by one.
struct X11Root {
    xcb_connection_t* connection = nullptr;
    const xcb_screen_t* screen = nullptr;
};

template <class Reply> using XReply = std::unique_ptr<Reply, decltype(&std::free)>;

X11Root X11() {
    X11Root root;
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) {
        return root;
    }
    root.connection = x11->connection();
    root.screen = xcb_setup_roots_iterator(xcb_get_setup(root.connection)).data;
    return root;
}

QRect RootRect(const X11Root& root) {
    return {0, 0, root.screen->width_in_pixels, root.screen->height_in_pixels};
}

// Whether the root window's pixels come as 32-bit words 0x??RRGGBB, least
// significant byte first: what every true-colour server of 24 or 32 bits
// gives. Anything else is left to Qt.
bool PlainTrueColour(const X11Root& root, std::uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(root.connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    bool words = false;
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem > 0;
         xcb_format_next(&format)) {
        if (format.data->depth == depth) {
            words = format.data->bits_per_pixel == 32 && format.data->scanline_pad == 32;
        }
    }
    for (auto depths = xcb_screen_allowed_depths_iterator(root.screen); depths.rem > 0;
         xcb_depth_next(&depths)) {
        for (auto visual = xcb_depth_visuals_iterator(depths.data); visual.rem > 0;
             xcb_visualtype_next(&visual)) {
            if (visual.data->visual_id == root.screen->root_visual) {
                return words && visual.data->red_mask == 0xFF0000u &&
                       visual.data->green_mask == 0xFF00u && visual.data->blue_mask == 0xFFu;
            }
        }
    }
    return false;
}

// `area` of the root window into `image` (whose top-left is `area`'s),
// black beyond the root window; false when the server gives no pixels.
bool GrabRoot(const X11Root& root, const QRect& area, QImage& image) {
    const QRect part = area.intersected(RootRect(root));
    if (part.isEmpty()) {
        return false;
    }
    const XReply<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(root.connection,
                            xcb_get_image(root.connection, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                          root.screen->root, static_cast<std::int16_t>(part.x()),
                                          static_cast<std::int16_t>(part.y()),
                                          static_cast<std::uint16_t>(part.width()),
                                          static_cast<std::uint16_t>(part.height()), ~0u),
                            nullptr),
        &std::free);
    if (!reply || !PlainTrueColour(root, reply->depth)) {
        return false;
    }
    const std::uint8_t* data = xcb_get_image_data(reply.get());
    const auto length = static_cast<std::size_t>(xcb_get_image_data_length(reply.get()));
    const auto row = static_cast<std::size_t>(part.width()) * 4;
    if (length < row * static_cast<std::size_t>(part.height())) {
        return false;
    }
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(part.y() - area.y() + y)) +
                     (part.x() - area.x());
        std::memcpy(line, data + row * static_cast<std::size_t>(y), row);
        for (int x = 0; x < part.width(); ++x) {
            line[x] |= 0xFF000000u; // the word's top byte is not alpha
        }
    }
    return true;
}

} // namespace

bool XServerIsXWayland() {
    const X11Root root = X11();
    if (root.connection == nullptr) {
        return false;
    }
    static constexpr char kName[] = "XWAYLAND";
    const XReply<xcb_query_extension_reply_t> extension(
        xcb_query_extension_reply(
            root.connection,
            xcb_query_extension(root.connection, sizeof kName - 1, kName), nullptr),
        &std::free);
    if (extension && extension->present != 0) {
        return true;
    }
    // Before XWayland 23.1 there is no such extension, but its outputs are
    // named XWAYLAND0, XWAYLAND1 and so on.
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [](const QScreen* screen) {
        return screen->name().startsWith(QLatin1String("XWAYLAND"));
    });
}

QSize QtScreenReader::Size() const {
    if (const X11Root root = X11(); root.connection != nullptr) {
        return RootRect(root).size();
    }
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens()) {
        desktop = desktop.united(DeviceGeometry(screen));
    }
    return QSize(desktop.right() + 1, desktop.bottom() + 1);
}

bool QtScreenReader::PointerOnOwnWindow() const {
    // One reading of the pointer serves this question and the tick's
    // sample: each is a round trip to the display server.
    const QPoint device = ReadPointer();
    pointerRead_ = device;
    QPoint logical = device;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect geometry = DeviceGeometry(screen);
        if (geometry.contains(device)) {
            logical = screen->geometry().topLeft() +
                      (device - geometry.topLeft()) / screen->devicePixelRatio();
            break;
        }
    }
    return QGuiApplication::topLevelAt(logical) != nullptr;
}

QPoint QtScreenReader::CursorPos() const {
    if (pointerRead_) {
        const QPoint read = *pointerRead_;
        pointerRead_.reset();
        return read;
    }
    return ReadPointer();
}

QPoint QtScreenReader::ReadPointer() const {
    if (const X11Root root = X11(); root.connection != nullptr) {
        const XReply<xcb_query_pointer_reply_t> pointer(
            xcb_query_pointer_reply(root.connection,
                                    xcb_query_pointer(root.connection, root.screen->root),
                                    nullptr),
            &std::free);
        if (pointer) {
            return {pointer->root_x, pointer->root_y};
        }
    }
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

ScreenGrab QtScreenReader::Grab(const QRect& area) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty() || area.isEmpty()) {
        return {};
    }
    const X11Root root = X11();
    const QRect rootRect = root.connection != nullptr ? RootRect(root) : QRect();
    std::vector<QRect> monitors;
    for (const QScreen* screen : screens) {
        monitors.push_back(DeviceGeometry(screen));
    }
    ScreenGrab grab(area, [&](int x, int y) {
        if (root.connection != nullptr && !rootRect.contains(x, y)) {
            return false;
        }
        return std::any_of(monitors.begin(), monitors.end(),
                           [x, y](const QRect& monitor) { return monitor.contains(x, y); });
    });
    if (root.connection != nullptr && GrabRoot(root, area, grab.Image())) {
        return grab;
    }
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
        QPainter painter(&grab.Image());
        painter.drawImage(part.topLeft() - area.topLeft(), image,
                          QRect(local.topLeft() - shotOrigin, part.size()));
        anything = true;
    }
    if (!anything) {
        return {}; // nothing readable: a session that hides the screen
    }
    return grab;
}

} // namespace tintorel
