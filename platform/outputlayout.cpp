#include "platform/outputlayout.h"

#include "util/utilnumber.h"

#include <algorithm>
#include <climits>

namespace tintorel {

namespace {

int CeilToInt(double value) {
    return -FloorToInt(-value);
}

bool Usable(const CopiedRegion& copied, std::size_t outputs) {
    if (copied.output >= outputs || copied.region.width <= 0 || copied.region.height <= 0 ||
        copied.width <= 0 || copied.height <= 0 || copied.width > INT_MAX / 4 ||
        copied.stride < copied.width * 4) {
        return false;
    }
    // The last row needs only its pixels, not a whole stride.
    const auto needed =
        static_cast<std::size_t>(copied.height - 1) * static_cast<std::size_t>(copied.stride) +
        static_cast<std::size_t>(copied.width) * 4;
    return copied.bytes.size() >= needed;
}

constexpr std::uint32_t Fourcc(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b) << 8 |
           static_cast<std::uint32_t>(c) << 16 | static_cast<std::uint32_t>(d) << 24;
}

} // namespace

std::optional<FrameFormat> FrameFormatOfShm(std::uint32_t format) {
    // The formats name the bits of a little-endian 32-bit word from the
    // top: XRGB8888 lies in memory as B, G, R, X.
    switch (format) {
    case 0: // ARGB8888
    case 1: // XRGB8888
        return FrameFormat::Bgrx;
    case Fourcc('A', 'B', '2', '4'):
    case Fourcc('X', 'B', '2', '4'):
        return FrameFormat::Rgbx;
    case Fourcc('R', 'A', '2', '4'):
    case Fourcc('R', 'X', '2', '4'):
        return FrameFormat::Xbgr;
    case Fourcc('B', 'A', '2', '4'):
    case Fourcc('B', 'X', '2', '4'):
        return FrameFormat::Xrgb;
    default:
        return std::nullopt;
    }
}

OutputPlace PlaceOutput(const OutputReport& output) {
    // A turned output's mode is its unturned size.
    const bool turned = (output.transform & 1) != 0;
    const int wide = turned ? output.modeHeight : output.modeWidth;
    const int high = turned ? output.modeWidth : output.modeHeight;
    // The protocol promises a scale of 1 or more; a compositor that sends
    // less must not divide by zero.
    const int scale = std::max(output.scale, 1);
    OutputPlace place;
    place.area = output.logical ? *output.logical
                                : LogicalRect{output.x, output.y, wide / scale, high / scale};
    place.scale = place.area.width > 0 && wide > 0 ? static_cast<double>(wide) / place.area.width
                                                   : static_cast<double>(scale);
    return place;
}

void OutputLayout::SetOutputs(std::vector<OutputPlace> outputs) {
    // An output of no size, or of a scale that is no number, would make
    // every position meaningless: it keeps its index but covers nothing.
    for (OutputPlace& output : outputs) {
        if (output.area.width <= 0 || output.area.height <= 0 ||
            !(output.scale > 0 && output.scale < 64)) {
            output = OutputPlace{{output.area.x, output.area.y, 0, 0}, 0.0};
        }
    }
    outputs_ = std::move(outputs);
    copied_.clear();
}

bool OutputLayout::Covers(const OutputPlace& output) {
    return output.area.width > 0;
}

double OutputLayout::Scale() const {
    double scale = 0.0;
    for (const OutputPlace& output : outputs_) {
        scale = std::max(scale, output.scale);
    }
    return scale > 0 ? scale : 1.0;
}

int OutputLayout::OriginX() const {
    std::optional<int> origin;
    for (const OutputPlace& output : outputs_) {
        if (Covers(output)) {
            origin = std::min(origin.value_or(INT_MAX), output.area.x);
        }
    }
    return origin.value_or(0);
}

int OutputLayout::OriginY() const {
    std::optional<int> origin;
    for (const OutputPlace& output : outputs_) {
        if (Covers(output)) {
            origin = std::min(origin.value_or(INT_MAX), output.area.y);
        }
    }
    return origin.value_or(0);
}

DesktopPoint OutputLayout::Size() const {
    double right = 0;
    double bottom = 0;
    for (const OutputPlace& output : outputs_) {
        if (!Covers(output)) {
            continue;
        }
        right = std::max(right, static_cast<double>(output.area.x) - OriginX() + output.area.width);
        bottom =
            std::max(bottom, static_cast<double>(output.area.y) - OriginY() + output.area.height);
    }
    return {TruncToInt(right * Scale() + 0.5), TruncToInt(bottom * Scale() + 0.5)};
}

DesktopPoint OutputLayout::ToDevice(double x, double y) const {
    return {FloorToInt((x - OriginX()) * Scale()), FloorToInt((y - OriginY()) * Scale())};
}

std::vector<RegionRequest> OutputLayout::RegionsFor(int left, int top, int width,
                                                    int height) const {
    std::vector<RegionRequest> requests;
    if (width <= 0 || height <= 0) {
        return requests;
    }
    const double scale = Scale();
    // The logical box around the desktop pixels, whole units.
    const int x0 = FloorToInt(left / scale) + OriginX();
    const int y0 = FloorToInt(top / scale) + OriginY();
    const int x1 = CeilToInt((static_cast<double>(left) + width) / scale) + OriginX();
    const int y1 = CeilToInt((static_cast<double>(top) + height) / scale) + OriginY();
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        const LogicalRect& area = outputs_[i].area;
        if (!Covers(outputs_[i])) {
            continue;
        }
        const int l = std::max(x0, area.x);
        const int t = std::max(y0, area.y);
        const int r = std::min(x1, area.x + area.width);
        const int b = std::min(y1, area.y + area.height);
        if (l < r && t < b) {
            requests.push_back({i, {l - area.x, t - area.y, r - l, b - t}});
        }
    }
    return requests;
}

void OutputLayout::SetCopied(std::vector<CopiedRegion> copied) {
    copied.erase(
        std::remove_if(copied.begin(), copied.end(),
                       [this](const CopiedRegion& c) { return !Usable(c, outputs_.size()); }),
        copied.end());
    copied_ = std::move(copied);
}

const CopiedRegion* OutputLayout::RegionAt(int x, int y, double& rx, double& ry) const {
    const double scale = Scale();
    // The centre of the desktop pixel, in logical units.
    const double lx = (x + 0.5) / scale + OriginX();
    const double ly = (y + 0.5) / scale + OriginY();
    for (const CopiedRegion& copied : copied_) {
        const LogicalRect& output = outputs_[copied.output].area;
        rx = lx - output.x - copied.region.x;
        ry = ly - output.y - copied.region.y;
        if (rx >= 0 && ry >= 0 && rx < copied.region.width && ry < copied.region.height) {
            return &copied;
        }
    }
    return nullptr;
}

std::uint32_t OutputLayout::Pixel(int x, int y) const {
    double rx = 0;
    double ry = 0;
    const CopiedRegion* copied = RegionAt(x, y, rx, ry);
    if (copied == nullptr) {
        return 0;
    }
    const int px =
        std::clamp(FloorToInt(rx * copied->width / copied->region.width), 0, copied->width - 1);
    int py =
        std::clamp(FloorToInt(ry * copied->height / copied->region.height), 0, copied->height - 1);
    if (copied->yInverted) {
        py = copied->height - 1 - py;
    }
    return FramePixel(copied->format, copied->bytes.data() +
                                          static_cast<std::size_t>(py) * copied->stride +
                                          static_cast<std::size_t>(px) * 4);
}

bool OutputLayout::PixelExists(int x, int y) const {
    double rx = 0;
    double ry = 0;
    return RegionAt(x, y, rx, ry) != nullptr;
}

} // namespace tintorel
