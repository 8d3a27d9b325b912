#include "controls/colorselector.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace tintorel {

namespace {

QRgb ToQRgb(PackedColor packed) {
    return qRgb(static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
                static_cast<int>((packed >> 16) & 0xFF));
}

// Fills the pixels [left, right) × [top, bottom) of a 32-bit image.
void FillCell(QImage& image, int left, int top, int right, int bottom, QRgb colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image.width());
    bottom = std::min(bottom, image.height());
    for (int row = top; row < bottom; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        std::fill(line + left, line + std::max(left, right), colour);
    }
}

// A one-pixel frame along the inside of `r`, as the drawing canvas frames
// a rectangle whose right and bottom edges are exclusive.
void FrameRect(QPainter& painter, const QRect& r, const QColor& colour) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), colour);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), colour);
}

} // namespace

BColorSelector::BColorSelector(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A control of its own in the Tab order, for the keyboard.
    setFocusPolicy(Qt::StrongFocus);
    xOrientation_ = true;
    yOrientation_ = true;
    resize(64, 64);
    SetNbDivX(64);
    SetNbDivY(64);
    UpdateFactors();
    // The colour is the one at the centre the field starts with. Computed
    // before the factors exist it would be black while the mark sits in the
    // middle of a mid-saturation plane, and setting black from outside would
    // then change nothing: the field would not show the owner's colour.
    UpdateColorFromXYZ();
    UpdateBitmap();
}

void BColorSelector::UpdateFactors() {
    if (space_ == HLS) {
        UpdateFactorsHls();
    } else {
        UpdateFactorsRgb();
    }
    zOffset_ = 0;
    xSign_ = xOrientation_ ? 1.0f : -1.0f;
    xOffset_ = xOrientation_ ? 0.0f : 1.0f;
    ySign_ = yOrientation_ ? 1.0f : -1.0f;
    yOffset_ = yOrientation_ ? 0.0f : 1.0f;
}

void BColorSelector::UpdateFactorsHls() {
    // Hue runs over 360 degrees, lightness and saturation over 1.
    const auto range = [](BColorComp c) { return c == Component1 ? 360.0f : 1.0f; };
    xRange_ = range(xComponent_);
    yRange_ = range(yComponent_);
    zRange_ = range(ThirdComponent());
}

void BColorSelector::UpdateFactorsRgb() {
    xRange_ = yRange_ = zRange_ = 1.0f;
}

BColorComp BColorSelector::ThirdComponent() const {
    return static_cast<BColorComp>(3 - xComponent_ - yComponent_);
}

PackedColor BColorSelector::ColorOf(float x, float y, float z) const {
    std::array<float, 3> c{};
    c[xComponent_] = x;
    c[yComponent_] = y;
    c[ThirdComponent()] = z;
    if (space_ == HLS) {
        return BColorHls(c[0], c[1], c[2]).ToColor();
    }
    return BColorRgb(c[0], c[1], c[2]).ToColor();
}

void BColorSelector::UpdateBitmap() {
    // A hidden field (one on a page not shown, or not yet shown at all) has
    // no pixels to bring up to date: the plane is built once, when it is
    // painted, however often it changed meanwhile.
    if (!isVisible()) {
        bitmapStale_ = true;
        return;
    }
    BuildBitmap();
}

const QImage& BColorSelector::Bitmap() {
    if (bitmapStale_) {
        BuildBitmap();
    }
    return bitmap_;
}

QSize BColorSelector::DeviceSize() const {
    const qreal ratio = devicePixelRatioF();
    return {std::max(qRound(width() * ratio), 0), std::max(qRound(height() * ratio), 0)};
}

void BColorSelector::BuildBitmap() {
    bitmapStale_ = false;
    // The cells are laid out in device pixels, so that on a high-density
    // screen the plane is as fine as the screen.
    const QSize device = DeviceSize();
    const int w = device.width();
    const int h = device.height();
    if (bitmap_.size() != device) {
        bitmap_ = QImage(device, QImage::Format_RGB32);
        bitmap_.fill(Qt::white);
    }
    bitmap_.setDevicePixelRatio(devicePixelRatioF());
    ++bitmapBuilds_;
    if (nbDivX_ <= 0 || nbDivY_ <= 0 || bitmap_.isNull()) {
        return;
    }
    const float z = static_cast<float>((static_cast<double>(z_) + zOffset_) * zRange_);
    if (smooth_) {
        // Each device pixel takes the colour at its own left and top edge,
        // as a cell does at a division per pixel.
        std::vector<float> ys(static_cast<std::size_t>(h));
        for (int row = 0; row < h; ++row) {
            ys[static_cast<std::size_t>(row)] =
                static_cast<float>((static_cast<double>(row) / h * ySign_ + yOffset_) * yRange_);
        }
        for (int column = 0; column < w; ++column) {
            const auto x =
                static_cast<float>((static_cast<double>(column) / w * xSign_ + xOffset_) * xRange_);
            for (int row = 0; row < h; ++row) {
                reinterpret_cast<QRgb*>(bitmap_.scanLine(row))[column] =
                    ToQRgb(ColorOf(x, ys[static_cast<std::size_t>(row)], z));
            }
        }
        return;
    }
    for (int i = 0; i < nbDivX_; ++i) {
        const auto x = static_cast<float>(((1.0 / nbDivX_) * i * xSign_ + xOffset_) * xRange_);
        const auto left = static_cast<int>(static_cast<long long>(w) * i / nbDivX_);
        const auto right = static_cast<int>(static_cast<long long>(w) * (i + 1) / nbDivX_);
        for (int j = 0; j < nbDivY_; ++j) {
            const auto y = static_cast<float>(((1.0 / nbDivY_) * j * ySign_ + yOffset_) * yRange_);
            const auto top = static_cast<int>(static_cast<long long>(h) * j / nbDivY_);
            const auto bottom = static_cast<int>(static_cast<long long>(h) * (j + 1) / nbDivY_);
            FillCell(bitmap_, left, top, right, bottom, ToQRgb(ColorOf(x, y, z)));
        }
    }
}

void BColorSelector::UpdateColorFromXYZ() {
    color_ = ColorOf(x_ * xRange_, y_ * yRange_, z_ * zRange_);
}

void BColorSelector::UpdateXYZFromColor() {
    std::array<float, 3> c{};
    if (space_ == HLS) {
        BColorHls hls(0, 0, 0);
        hls.FromColor(color_);
        c = {hls.Hue(), hls.Lightness(), hls.Saturation()};
    } else {
        BColorRgb rgb(0, 0, 0);
        rgb.FromColor(color_);
        c = {rgb.Red(), rgb.Green(), rgb.Blue()};
    }
    x_ = c[xComponent_] / xRange_;
    y_ = c[yComponent_] / yRange_;
    const float z = c[ThirdComponent()] / zRange_;
    if (z != z_) {
        z_ = z;
        UpdateBitmap(); // the plane itself changed
    }
}

QRect BColorSelector::MarkFrame(double cx, double cy) {
    const auto cut = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    const QRect white(QPoint(cut(cx - 4), cut(cy - 4)), QPoint(cut(cx + 4) - 1, cut(cy + 4) - 1));
    return white.adjusted(-1, -1, 1, 1);
}

void BColorSelector::DrawColorPosition(QPainter& painter) {
    const double cx = width() * (static_cast<double>(x_) * xSign_ + xOffset_);
    const double cy = height() * (static_cast<double>(y_) * ySign_ + yOffset_);
    const QRect outer = MarkFrame(cx, cy);
    FrameRect(painter, outer.adjusted(1, 1, -1, -1), Qt::white);
    FrameRect(painter, outer, Qt::black);
}

void BColorSelector::paintEvent(QPaintEvent*) {
    if (bitmapStale_ || bitmap_.size() != DeviceSize()) {
        BuildBitmap();
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), bitmap_);
    DrawColorPosition(painter);
    if (hasFocus()) {
        // Where the arrow keys go: a dotted frame along the field's edge, in
        // the palette's highlight over black and white alike.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void BColorSelector::UpdateControl(bool rebuild) {
    if (rebuild) {
        UpdateFactors();
        UpdateBitmap();
    }
    // The cached plane is current now; the next paint shows it.
    update();
}

void BColorSelector::QueryUpdateControl(bool rebuild) {
    if (autoUpdate_) {
        UpdateControl(rebuild);
    }
}

void BColorSelector::SetAutoUpdate(bool value) {
    autoUpdate_ = value;
    if (autoUpdate_) {
        UpdateControl(true);
    }
}

void BColorSelector::SetSpace(BColorSpace value) {
    if (value != space_) {
        space_ = value;
        QueryUpdateControl(true);
    }
}

void BColorSelector::SetXOrientation(bool value) {
    if (value != xOrientation_) {
        xOrientation_ = value;
        QueryUpdateControl(true);
    }
}

void BColorSelector::SetYOrientation(bool value) {
    if (value != yOrientation_) {
        yOrientation_ = value;
        QueryUpdateControl(true);
    }
}

void BColorSelector::SetSmooth(bool value) {
    if (value != smooth_) {
        smooth_ = value;
        QueryUpdateControl(true);
    }
}

void BColorSelector::SetNbDivX(int value) {
    if (value != nbDivX_) {
        nbDivX_ = value;
        // Redrawn whatever AutoUpdate says, with the factors as they are.
        UpdateBitmap();
        update();
    }
}

void BColorSelector::SetNbDivY(int value) {
    if (value != nbDivY_) {
        nbDivY_ = value;
        QueryUpdateControl(true);
    }
}

void BColorSelector::SetXComponent(BColorComp value) {
    if (value == xComponent_) {
        return;
    }
    if (value == yComponent_) {
        yComponent_ = xComponent_;
        std::swap(x_, y_);
    } else {
        std::swap(x_, z_); // the old X component becomes the third
    }
    xComponent_ = value;
    QueryUpdateControl(true);
}

void BColorSelector::SetYComponent(BColorComp value) {
    if (value == yComponent_) {
        return;
    }
    if (value == xComponent_) {
        xComponent_ = yComponent_;
        std::swap(x_, y_);
    } else {
        std::swap(y_, z_);
    }
    yComponent_ = value;
    QueryUpdateControl(true);
}

void BColorSelector::SetColor(PackedColor value) {
    if (value == color_) {
        return;
    }
    color_ = value;
    UpdateXYZFromColor();
    QueryUpdateControl(true);
    Change();
}

void BColorSelector::SetZValue(float value) {
    if (value != z_) {
        z_ = value;
        UpdateColorFromXYZ();
        QueryUpdateControl(true);
        Change();
    }
}

float BColorSelector::PixelToValue(int pixel, int length, float offset, float sign) {
    const auto v = static_cast<float>((static_cast<double>(pixel) / length - offset) / sign);
    if (std::isnan(v) || v < 0.0f) {
        return 0.0f;
    }
    return v > 1.0f ? 1.0f : v;
}

void BColorSelector::PickAt(const QPoint& position) {
    x_ = PixelToValue(position.x(), width(), xOffset_, xSign_);
    y_ = PixelToValue(position.y(), height(), yOffset_, ySign_);
    UpdateColorFromXYZ();
    UpdateControl(false); // repaint from the cached plane
    Change();
}

void BColorSelector::mousePressEvent(QMouseEvent* event) {
    dragging_ = true;
    PickAt(event->position().toPoint());
}

void BColorSelector::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        PickAt(event->position().toPoint());
    }
}

void BColorSelector::mouseReleaseEvent(QMouseEvent* event) {
    PickAt(event->position().toPoint());
    dragging_ = false;
}

void BColorSelector::MoveMarkTo(std::optional<double> across, std::optional<double> down) {
    const auto clamped = [](double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); };
    if (across) {
        x_ = static_cast<float>((clamped(*across) - xOffset_) / xSign_);
    }
    if (down) {
        y_ = static_cast<float>((clamped(*down) - yOffset_) / ySign_);
    }
    UpdateColorFromXYZ();
    UpdateControl(false); // repaint from the cached plane
    Change();
}

void BColorSelector::keyPressEvent(QKeyEvent* event) {
    // The mark's place on the screen, 0..1 along each axis.
    const double across = static_cast<double>(x_) * xSign_ + xOffset_;
    const double down = static_cast<double>(y_) * ySign_ + yOffset_;
    const double column = nbDivX_ > 0 ? 1.0 / nbDivX_ : 0.0;
    const double row = nbDivY_ > 0 ? 1.0 / nbDivY_ : 0.0;
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Left:
        MoveMarkTo(across - column, std::nullopt);
        break;
    case Qt::Key_Right:
        MoveMarkTo(across + column, std::nullopt);
        break;
    case Qt::Key_Up:
        MoveMarkTo(std::nullopt, down - row);
        break;
    case Qt::Key_Down:
        MoveMarkTo(std::nullopt, down + row);
        break;
    case Qt::Key_PageUp:
        MoveMarkTo(std::nullopt, down - 8 * row);
        break;
    case Qt::Key_PageDown:
        MoveMarkTo(std::nullopt, down + 8 * row);
        break;
    case Qt::Key_Home:
        control ? MoveMarkTo(std::nullopt, 0.0) : MoveMarkTo(0.0, std::nullopt);
        break;
    case Qt::Key_End:
        control ? MoveMarkTo(std::nullopt, 1.0) : MoveMarkTo(1.0, std::nullopt);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void BColorSelector::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update(); // the focus frame
}

void BColorSelector::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void BColorSelector::Change() {
    // The colour under the mark stays the field's value and description
    // for a screen reader that asks; its owner says the colour it leads
    // to. (A description change reaches screen readers as the object, not
    // as the text, and some try to speak that.)
    emit OnChange(this);
}

} // namespace tintorel
