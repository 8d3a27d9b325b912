// The desktop of a compositor that copies regions of its outputs on
// request: the outputs' places, scales and turns, and the regions copied
// for one reading, read as one picture of device pixels on the grid of the
// output under the pointer.
#pragma once

#include "platform/desktop/framepixel.h"
#include "platform/desktop/logicaldesktop.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tintorel {

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
// `asked` is the box to name to the compositor for it: the region itself,
// or on an output turned by 90 or 270 degrees, where a compositor that
// turns regions the wrong way (wlroots before 0.16) finds its pixels.
struct RegionRequest {
    std::size_t output = 0;
    LogicalRect region;
    LogicalRect asked;
    bool operator==(const RegionRequest&) const = default;
};

// A copied region: `width` × `height` pixels (rows of `stride` bytes) in
// the orientation of the output's own pixels, the first row the last one
// when `yInverted`.
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
    const std::vector<OutputPlace>& Outputs() const { return desktop_.Outputs(); }

    // The picture follows the output under the pointer (logical units).
    void FollowPointer(double x, double y) { desktop_.FollowPointer(x, y); }
    double Scale() const { return desktop_.Scale(); }
    DesktopPoint Size() const { return desktop_.Size(); }
    DesktopPoint ToDevice(double x, double y) const { return desktop_.ToDevice(x, y); }

    // The regions to copy for the desktop pixels `area` covers (left, top,
    // width, height): one per output it touches, clamped to the output,
    // its edges where the output's pixels begin (at scale 1.5, every
    // second unit) so that the copy holds whole pixels. Until the
    // compositor has shown which way it turns regions, a turned output is
    // also copied whole, which every compositor copies right.
    std::vector<RegionRequest> RegionsFor(int left, int top, int width, int height) const;
    // Whether the compositor turns the regions of outputs turned by 90 or
    // 270 degrees the wrong way; nothing until copies showed it.
    std::optional<bool> TurnsRegionsWrongly() const { return turnsWrongly_; }

    // The regions copied for the current reading; a region whose pixels
    // do not fill its size is dropped. Where a whole output was copied
    // beside a region of it, the two show which way the compositor turns
    // regions, and the whole one is read.
    void SetCopied(std::vector<CopiedRegion> copied);
    void ClearCopied() { copied_.clear(); }

    // A desktop pixel as 0x00BBGGRR; black where nothing was copied.
    std::uint32_t Pixel(int x, int y) const;
    // Whether a desktop pixel lies on an output and was copied.
    bool PixelExists(int x, int y) const;

private:
    const CopiedRegion* RegionAt(int x, int y, double& rx, double& ry) const;
    // The copy's pixel at a point of its output (logical units from the
    // output's top-left); nothing outside the copy.
    std::optional<std::uint32_t> ReadCopy(const CopiedRegion& copied, double x, double y) const;
    void LearnHowRegionsTurn(const CopiedRegion& region, const CopiedRegion& whole);

    LogicalDesktop desktop_;
    std::vector<CopiedRegion> copied_;
    std::optional<bool> turnsWrongly_;
};

} // namespace tintorel
