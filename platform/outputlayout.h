// The desktop of a compositor that copies regions of its outputs on
// request: where each output lies in the compositor's logical coordinates
// and how many device pixels it has per logical unit, and the regions
// copied for one reading. Read as the pipette reads a screen: one desktop
// of device pixels with its top-left at (0, 0), at the largest output
// scale, so that the sharpest output is read pixel for pixel and each
// pixel of the others covers a block.
#pragma once

#include "platform/desktopframes.h"

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

struct OutputPlace {
    LogicalRect area;
    // Device pixels per logical unit (fractional on fractionally scaled
    // outputs).
    double scale = 1.0;
};

// What a compositor says of one output: its place in logical units when
// it says so (xdg-output), else its position from wl_output; its current
// mode in device pixels, as the output is before its transform
// (wl_output.transform: the odd ones turn it by 90 or 270 degrees); its
// integer scale.
struct OutputReport {
    std::optional<LogicalRect> logical;
    int x = 0;
    int y = 0;
    int modeWidth = 0;
    int modeHeight = 0;
    std::int32_t transform = 0;
    std::int32_t scale = 1;
};

// Where the output lies and its device pixels per logical unit. Without a
// logical place, its size is its turned mode over its scale.
OutputPlace PlaceOutput(const OutputReport& output);

// A region of one output to copy, relative to the output's top-left, in
// logical units and within the output: some compositors do not clip.
struct RegionRequest {
    std::size_t output = 0;
    LogicalRect region;
    bool operator==(const RegionRequest&) const = default;
};

// A copied region: `width` × `height` pixels (rows of `stride` bytes),
// the first row the region's bottom one when `yInverted`.
struct CopiedRegion {
    std::size_t output = 0;
    LogicalRect region; // relative to the output, as requested
    int width = 0;
    int height = 0;
    int stride = 0;
    FrameFormat format = FrameFormat::Bgrx;
    bool yInverted = false;
    std::vector<std::uint8_t> bytes;
};

// The byte order of a Wayland shared-memory pixel format (wl_shm.format:
// 0 and 1 for ARGB8888 and XRGB8888, DRM fourcc codes otherwise) that the
// pipette reads; nothing for the others.
std::optional<FrameFormat> FrameFormatOfShm(std::uint32_t format);

class OutputLayout {
public:
    // Replaces the outputs and forgets every copied region. The outputs
    // keep their indices, which the regions name.
    void SetOutputs(std::vector<OutputPlace> outputs);
    const std::vector<OutputPlace>& Outputs() const { return outputs_; }

    // Desktop pixels per logical unit: the largest output scale.
    double Scale() const;
    // The box around every output, in device pixels.
    DesktopPoint Size() const;
    // The desktop pixel under a point in logical coordinates.
    DesktopPoint ToDevice(double x, double y) const;

    // The regions to copy for the desktop pixels `area` covers (left, top,
    // width, height): one per output it touches, clamped to the output.
    std::vector<RegionRequest> RegionsFor(int left, int top, int width, int height) const;

    // The regions copied for the current reading; a region whose pixels
    // do not fill its size is dropped.
    void SetCopied(std::vector<CopiedRegion> copied);
    void ClearCopied() { copied_.clear(); }

    // A desktop pixel as 0x00BBGGRR; black where nothing was copied.
    std::uint32_t Pixel(int x, int y) const;
    // Whether a desktop pixel lies on an output and was copied.
    bool PixelExists(int x, int y) const;

private:
    static bool Covers(const OutputPlace& output);
    const CopiedRegion* RegionAt(int x, int y, double& rx, double& ry) const;
    int OriginX() const;
    int OriginY() const;

    std::vector<OutputPlace> outputs_;
    std::vector<CopiedRegion> copied_;
};

} // namespace tintorel
