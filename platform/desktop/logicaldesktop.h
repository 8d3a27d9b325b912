// The desktop as a Wayland compositor lays it out: outputs placed in
// logical units, each with its own device pixels per unit and its own
// turn, read by the pipette as one picture of device pixels with its
// top-left at (0, 0).
//
// The picture is laid on the pixel grid of one output, the one under the
// pointer: there the pipette's square and its magnifier cover whole pixels
// of the screen the user looks at, whatever the scales of the others. A
// pixel of the picture that lies on another output shows that output's
// pixel under its centre.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tintorel {

struct LogicalRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const LogicalRect&) const = default;
};

struct DesktopPoint {
    int x = 0;
    int y = 0;
    bool operator==(const DesktopPoint&) const = default;
};

struct LogicalPoint {
    double x = 0;
    double y = 0;
};

// The turns of wl_output.transform: 90 degrees each, counter-clockwise,
// then the same four mirrored.
enum class OutputTurn : std::int32_t {
    Normal,
    Turned90,
    Turned180,
    Turned270,
    Flipped,
    Flipped90,
    Flipped180,
    Flipped270,
};

// What a compositor sends as a transform, as a turn; a value it should not
// send reads as no turn at all.
OutputTurn TurnOf(std::int32_t transform);

struct OutputPlace {
    LogicalRect area;
    // Device pixels per logical unit (fractional on fractionally scaled
    // outputs).
    double scale = 1.0;
    // How the output's own pixels lie against its logical area: copies of
    // its pixels come in that orientation.
    OutputTurn turn = OutputTurn::Normal;
    bool operator==(const OutputPlace&) const = default;
};

// Where the point (u, v) of a region of `width` × `height` logical units
// lies in a copy of the region taken from an output turned by `turn`, in
// the copy's own orientation and still in logical units.
LogicalPoint IntoCopy(OutputTurn turn, double u, double v, double width, double height);

class LogicalDesktop {
public:
    // Replaces the outputs; they keep their indices. An output of no size,
    // or of a scale outside 1/64 to 64, covers nothing.
    void SetOutputs(std::vector<OutputPlace> outputs);
    const std::vector<OutputPlace>& Outputs() const { return outputs_; }

    // Lays the picture on the grid of the output under the point (logical
    // units); between outputs the grid stays where it was. Until then, and
    // when that output is gone, the grid is the largest scale's.
    void FollowPointer(double x, double y);

    // Device pixels per logical unit on the current grid; 1 without
    // outputs.
    double Scale() const;
    // The box around every output, in device pixels of the grid.
    DesktopPoint Size() const;
    // The device pixel under a logical point.
    DesktopPoint ToDevice(double x, double y) const;
    // The logical point at the centre of a device pixel.
    LogicalPoint ToLogical(int x, int y) const;
    // The box of whole logical units around device pixels (left, top,
    // width, height).
    LogicalRect Around(int left, int top, int width, int height) const;
    // The output under a logical point, nothing between outputs.
    std::optional<std::size_t> OutputAt(double x, double y) const;

private:
    static bool Covers(const OutputPlace& output);
    std::optional<std::size_t> Grid() const;
    // The top-left corner of the box around every output, in logical units.
    DesktopPoint Origin() const;
    // Where the grid's output begins, in device pixels of the picture.
    DesktopPoint GridOrigin() const;

    std::vector<OutputPlace> outputs_;
    std::optional<std::size_t> followed_;
};

} // namespace tintorel
