#include "platform/desktop/logicaldesktop.h"

#include "util/utilnumber.h"

#include <algorithm>
#include <climits>

namespace tintorel {

namespace {

// a + b, held to a billion either way: outputs placed at the ends of the
// ints must not overflow a sum, here or where the pipette adds the square's
// half to the pointer.
int Add(std::int64_t a, std::int64_t b) {
    constexpr std::int64_t kFarthest = std::int64_t{1} << 30;
    return static_cast<int>(std::clamp<std::int64_t>(a + b, -kFarthest, kFarthest));
}

} // namespace

OutputTurn TurnOf(std::int32_t transform) {
    return transform >= 0 && transform <= 7 ? static_cast<OutputTurn>(transform)
                                            : OutputTurn::Normal;
}

LogicalPoint IntoCopy(OutputTurn turn, double u, double v, double width, double height) {
    // The output's pixels hold the picture turned back by the output's
    // turn: on an output turned 90 degrees, the picture's top-left corner
    // is the pixels' bottom-left one.
    switch (turn) {
    case OutputTurn::Normal:
        return {u, v};
    case OutputTurn::Turned90:
        return {v, width - u};
    case OutputTurn::Turned180:
        return {width - u, height - v};
    case OutputTurn::Turned270:
        return {height - v, u};
    case OutputTurn::Flipped:
        return {width - u, v};
    case OutputTurn::Flipped90:
        return {v, u};
    case OutputTurn::Flipped180:
        return {u, height - v};
    case OutputTurn::Flipped270:
        return {height - v, width - u};
    }
    return {u, v};
}

void LogicalDesktop::SetOutputs(std::vector<OutputPlace> outputs) {
    // An output of no size, or of a scale that is no number (or none a
    // screen has), would make every position meaningless: it keeps its
    // index but covers nothing.
    for (OutputPlace& output : outputs) {
        if (output.area.width <= 0 || output.area.height <= 0 ||
            !(output.scale >= 1.0 / 64 && output.scale < 64)) {
            output = OutputPlace{{output.area.x, output.area.y, 0, 0}, 0.0, OutputTurn::Normal};
        }
    }
    outputs_ = std::move(outputs);
}

bool LogicalDesktop::Covers(const OutputPlace& output) {
    return output.area.width > 0;
}

void LogicalDesktop::FollowPointer(double x, double y) {
    if (const std::optional<std::size_t> under = OutputAt(x, y)) {
        followed_ = under;
    }
}

std::optional<std::size_t> LogicalDesktop::Grid() const {
    if (followed_ && *followed_ < outputs_.size() && Covers(outputs_[*followed_])) {
        return followed_;
    }
    std::optional<std::size_t> largest;
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        if (Covers(outputs_[i]) && (!largest || outputs_[i].scale > outputs_[*largest].scale)) {
            largest = i;
        }
    }
    return largest;
}

double LogicalDesktop::Scale() const {
    const std::optional<std::size_t> grid = Grid();
    return grid ? outputs_[*grid].scale : 1.0;
}

DesktopPoint LogicalDesktop::Origin() const {
    std::optional<DesktopPoint> origin;
    for (const OutputPlace& output : outputs_) {
        if (Covers(output)) {
            const DesktopPoint least = origin.value_or(DesktopPoint{INT_MAX, INT_MAX});
            origin =
                DesktopPoint{std::min(least.x, output.area.x), std::min(least.y, output.area.y)};
        }
    }
    return origin.value_or(DesktopPoint{});
}

DesktopPoint LogicalDesktop::GridOrigin() const {
    const std::optional<std::size_t> grid = Grid();
    if (!grid) {
        return {};
    }
    // Rounded up, so that the desktop's left and top edges land on 0.
    const OutputPlace& output = outputs_[*grid];
    const DesktopPoint origin = Origin();
    return {CeilToInt((static_cast<double>(output.area.x) - origin.x) * output.scale),
            CeilToInt((static_cast<double>(output.area.y) - origin.y) * output.scale)};
}

DesktopPoint LogicalDesktop::Size() const {
    std::optional<double> right;
    std::optional<double> bottom;
    for (const OutputPlace& output : outputs_) {
        if (Covers(output)) {
            right = std::max(right.value_or(INT_MIN),
                             static_cast<double>(output.area.x) + output.area.width);
            bottom = std::max(bottom.value_or(INT_MIN),
                              static_cast<double>(output.area.y) + output.area.height);
        }
    }
    const std::optional<std::size_t> grid = Grid();
    if (!grid || !right || !bottom) {
        return {};
    }
    const OutputPlace& output = outputs_[*grid];
    const DesktopPoint origin = GridOrigin();
    return {Add(origin.x, CeilToInt((*right - output.area.x) * output.scale)),
            Add(origin.y, CeilToInt((*bottom - output.area.y) * output.scale))};
}

DesktopPoint LogicalDesktop::ToDevice(double x, double y) const {
    const std::optional<std::size_t> grid = Grid();
    if (!grid) {
        return {Add(0, FloorToInt(x)), Add(0, FloorToInt(y))};
    }
    const OutputPlace& output = outputs_[*grid];
    const DesktopPoint origin = GridOrigin();
    return {Add(origin.x, FloorToInt((x - output.area.x) * output.scale)),
            Add(origin.y, FloorToInt((y - output.area.y) * output.scale))};
}

LogicalPoint LogicalDesktop::ToLogical(int x, int y) const {
    const std::optional<std::size_t> grid = Grid();
    if (!grid) {
        return {x + 0.5, y + 0.5};
    }
    const OutputPlace& output = outputs_[*grid];
    const DesktopPoint origin = GridOrigin();
    return {output.area.x + (static_cast<double>(x) - origin.x + 0.5) / output.scale,
            output.area.y + (static_cast<double>(y) - origin.y + 0.5) / output.scale};
}

LogicalRect LogicalDesktop::Around(int left, int top, int width, int height) const {
    if (width <= 0 || height <= 0) {
        return {};
    }
    // The centres of the first and last pixels, widened by half a pixel;
    // an edge that falls on a unit's edge (up to the rounding of the
    // division) takes no unit beyond it.
    constexpr double kRounding = 1e-7;
    const double half = 0.5 / Scale();
    const LogicalPoint first = ToLogical(left, top);
    const LogicalPoint last = ToLogical(Add(left, width - 1), Add(top, height - 1));
    const int x0 = FloorToInt(first.x - half + kRounding);
    const int y0 = FloorToInt(first.y - half + kRounding);
    return {x0, y0, Add(CeilToInt(last.x + half - kRounding), -std::int64_t{x0}),
            Add(CeilToInt(last.y + half - kRounding), -std::int64_t{y0})};
}

std::optional<std::size_t> LogicalDesktop::OutputAt(double x, double y) const {
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        const LogicalRect& area = outputs_[i].area;
        if (Covers(outputs_[i]) && x >= area.x && y >= area.y &&
            x < static_cast<double>(area.x) + area.width &&
            y < static_cast<double>(area.y) + area.height) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace tintorel
