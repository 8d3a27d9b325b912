#include "platform/desktop/outputlayout.h"

#include "util/utilnumber.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tintorel {

namespace {

// The fewest logical units at which an output's pixels begin again: 1 at
// whole scales, 2 at 1.5, 4 at 1.25; 1 when no small count does.
int UnitsPerWholePixels(double scale) {
    for (int units = 1; units <= 8; ++units) {
        const double pixels = units * scale;
        if (std::abs(pixels - std::round(pixels)) < 1e-6) {
            return units;
        }
    }
    return 1;
}

// Turns whose regions compositors have turned both ways: a quarter turn
// either way, unmirrored (the others are their own inverses).
bool QuarterTurn(OutputTurn turn) {
    return turn == OutputTurn::Turned90 || turn == OutputTurn::Turned270;
}

LogicalRect WholeOf(const OutputPlace& output) {
    return {0, 0, output.area.width, output.area.height};
}

// The box a compositor that turns regions the wrong way copies the pixels
// of `region` from: the region turned half round the output.
LogicalRect HalfRound(const LogicalRect& region, const OutputPlace& output) {
    return {output.area.width - region.x - region.width,
            output.area.height - region.y - region.height, region.width, region.height};
}

int AlignDown(int value, int step) {
    return FloorToInt(static_cast<double>(value) / step) * step;
}

std::int64_t AlignUp(int value, int step) {
    return std::int64_t{CeilToInt(static_cast<double>(value) / step)} * step;
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
    place.turn = TurnOf(output.transform);
    return place;
}

void OutputLayout::SetOutputs(std::vector<OutputPlace> outputs) {
    desktop_.SetOutputs(std::move(outputs));
    copied_.clear();
}

std::vector<RegionRequest> OutputLayout::RegionsFor(int left, int top, int width,
                                                    int height) const {
    std::vector<RegionRequest> requests;
    const LogicalRect box = desktop_.Around(left, top, width, height);
    if (box.width <= 0 || box.height <= 0) {
        return requests;
    }
    const std::vector<OutputPlace>& outputs = desktop_.Outputs();
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const LogicalRect& area = outputs[i].area;
        // In 64 bits: a compositor may place an output anywhere an int
        // reaches. Once not empty, the edges lie within the output.
        using Wide = std::int64_t;
        const Wide l = std::max<Wide>(box.x, area.x) - area.x;
        const Wide t = std::max<Wide>(box.y, area.y) - area.y;
        const Wide r = std::min(Wide{box.x} + box.width, Wide{area.x} + area.width) - area.x;
        const Wide b = std::min(Wide{box.y} + box.height, Wide{area.y} + area.height) - area.y;
        if (area.width <= 0 || l >= r || t >= b) {
            continue;
        }
        // A compositor copies from its pixels, cutting the region's edges
        // down to whole ones: the edges are put where pixels begin.
        const int step = UnitsPerWholePixels(outputs[i].scale);
        const int l2 = AlignDown(static_cast<int>(l), step);
        const int t2 = AlignDown(static_cast<int>(t), step);
        const auto r2 = static_cast<int>(
            std::min<std::int64_t>(AlignUp(static_cast<int>(r), step), area.width));
        const auto b2 = static_cast<int>(
            std::min<std::int64_t>(AlignUp(static_cast<int>(b), step), area.height));
        const LogicalRect region{l2, t2, r2 - l2, b2 - t2};
        if (!QuarterTurn(outputs[i].turn)) {
            requests.push_back({i, region, region});
        } else if (turnsWrongly_) {
            requests.push_back({i, region, *turnsWrongly_ ? HalfRound(region, outputs[i]) : region});
        } else {
            requests.push_back({i, region, region});
            if (region != WholeOf(outputs[i])) {
                requests.push_back({i, WholeOf(outputs[i]), WholeOf(outputs[i])});
            }
        }
    }
    return requests;
}

void OutputLayout::SetCopied(std::vector<CopiedRegion> copied) {
    copied.erase(
        std::remove_if(copied.begin(), copied.end(),
                       [this](const CopiedRegion& c) { return !Usable(c, desktop_.Outputs().size()); }),
        copied.end());
    // A region beside its whole output: compared, then left for the whole.
    const auto isWhole = [this](const CopiedRegion& c) {
        return c.region == WholeOf(desktop_.Outputs()[c.output]);
    };
    std::vector<bool> dropped(copied.size(), false);
    for (std::size_t w = 0; w < copied.size(); ++w) {
        if (!isWhole(copied[w])) {
            continue;
        }
        for (std::size_t r = 0; r < copied.size(); ++r) {
            if (r != w && copied[r].output == copied[w].output && !isWhole(copied[r])) {
                if (!turnsWrongly_ && QuarterTurn(desktop_.Outputs()[copied[r].output].turn)) {
                    LearnHowRegionsTurn(copied[r], copied[w]);
                }
                dropped[r] = true;
            }
        }
    }
    copied_.clear();
    for (std::size_t i = 0; i < copied.size(); ++i) {
        if (!dropped[i]) {
            copied_.push_back(std::move(copied[i]));
        }
    }
}

void OutputLayout::LearnHowRegionsTurn(const CopiedRegion& region, const CopiedRegion& whole) {
    // Each of the region's pixels, as copied and as the whole output shows
    // it there and where a compositor turning regions wrongly takes it
    // from. Where those two look alike, nothing is decided.
    const OutputPlace& output = desktop_.Outputs()[region.output];
    const LogicalRect elsewhere = HalfRound(region.region, output);
    // At most 16 × 16 of them, spread evenly: a region is a few pixels, but
    // a compositor's scale and sizes could make it any number.
    constexpr int kMostPoints = 16;
    const int across = std::clamp(CeilToInt(region.region.width * output.scale), 1, kMostPoints);
    const int down = std::clamp(CeilToInt(region.region.height * output.scale), 1, kMostPoints);
    bool asAsked = true;
    bool halfRound = true;
    for (int j = 0; j < down; ++j) {
        for (int i = 0; i < across; ++i) {
            const double u = (i + 0.5) * region.region.width / across;
            const double v = (j + 0.5) * region.region.height / down;
            const std::optional<std::uint32_t> got =
                ReadCopy(region, region.region.x + u, region.region.y + v);
            const std::optional<std::uint32_t> here =
                ReadCopy(whole, region.region.x + u, region.region.y + v);
            const std::optional<std::uint32_t> there =
                ReadCopy(whole, elsewhere.x + u, elsewhere.y + v);
            if (!got || !here || !there) {
                return;
            }
            asAsked = asAsked && *got == *here;
            halfRound = halfRound && *got == *there;
        }
    }
    if (asAsked != halfRound) {
        turnsWrongly_ = halfRound;
    }
}

const CopiedRegion* OutputLayout::RegionAt(int x, int y, double& rx, double& ry) const {
    const LogicalPoint centre = desktop_.ToLogical(x, y);
    for (const CopiedRegion& copied : copied_) {
        const LogicalRect& output = desktop_.Outputs()[copied.output].area;
        rx = centre.x - output.x - copied.region.x;
        ry = centre.y - output.y - copied.region.y;
        if (rx >= 0 && ry >= 0 && rx < copied.region.width && ry < copied.region.height) {
            return &copied;
        }
    }
    return nullptr;
}

std::optional<std::uint32_t> OutputLayout::ReadCopy(const CopiedRegion& copied, double x,
                                                    double y) const {
    const double rx = x - copied.region.x;
    const double ry = y - copied.region.y;
    if (!(rx >= 0 && ry >= 0 && rx < copied.region.width && ry < copied.region.height)) {
        return std::nullopt;
    }
    // The copy lies as the output's pixels lie: turned, it is as wide as
    // the region is high.
    const OutputTurn turn = desktop_.Outputs()[copied.output].turn;
    const bool across = (static_cast<int>(turn) & 1) != 0;
    const double wide = across ? copied.region.height : copied.region.width;
    const double high = across ? copied.region.width : copied.region.height;
    const LogicalPoint at = IntoCopy(turn, rx, ry, copied.region.width, copied.region.height);
    const int px = std::clamp(FloorToInt(at.x * copied.width / wide), 0, copied.width - 1);
    int py = std::clamp(FloorToInt(at.y * copied.height / high), 0, copied.height - 1);
    if (copied.yInverted) {
        py = copied.height - 1 - py;
    }
    return FramePixel(copied.format, copied.bytes.data() +
                                         static_cast<std::size_t>(py) * copied.stride +
                                         static_cast<std::size_t>(px) * 4);
}

std::uint32_t OutputLayout::Pixel(int x, int y) const {
    double rx = 0;
    double ry = 0;
    const CopiedRegion* copied = RegionAt(x, y, rx, ry);
    if (copied == nullptr) {
        return 0;
    }
    return ReadCopy(*copied, copied->region.x + rx, copied->region.y + ry).value_or(0);
}

bool OutputLayout::PixelExists(int x, int y) const {
    double rx = 0;
    double ry = 0;
    return RegionAt(x, y, rx, ry) != nullptr;
}

} // namespace tintorel
