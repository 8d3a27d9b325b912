// One copy of a region of an output (zwlr_screencopy_frame_v1): asked for,
// it comes when the compositor next draws the output, into shared memory
// of the first kind offered that the pipette reads.
#pragma once

#include "platform/desktop/outputlayout.h"
#include "platform/screen/wlroots/wlrshm.h"

#include <cstdint>
#include <optional>

struct wl_output;
struct wl_shm;
struct zwlr_screencopy_frame_v1;
struct zwlr_screencopy_manager_v1;

namespace tintorel {

class WlrCopy {
public:
    // Asks `manager` (none in tests) for `request`'s region of `output`.
    WlrCopy(zwlr_screencopy_manager_v1* manager, wl_output* output, wl_shm* shm,
            const RegionRequest& request);
    // The compositor forgets the copy before its buffer goes.
    ~WlrCopy();
    WlrCopy(const WlrCopy&) = delete;
    WlrCopy& operator=(const WlrCopy&) = delete;

    bool Done() const { return done_; }
    bool Failed() const { return failed_; }
    // What came, once Done.
    CopiedRegion Take() { return std::move(copied_); }

    // The frame's listeners.
    static void OnBuffer(void* data, zwlr_screencopy_frame_v1* frame, std::uint32_t format,
                         std::uint32_t width, std::uint32_t height, std::uint32_t stride);
    static void OnFlags(void* data, zwlr_screencopy_frame_v1* frame, std::uint32_t flags);
    static void OnReady(void* data, zwlr_screencopy_frame_v1* frame, std::uint32_t secondsHigh,
                        std::uint32_t secondsLow, std::uint32_t nanoseconds);
    static void OnFailed(void* data, zwlr_screencopy_frame_v1* frame);
    // Every kind of buffer has been offered: the copy is made into the one
    // chosen.
    static void OnBuffersDone(void* data, zwlr_screencopy_frame_v1* frame);

private:
    zwlr_screencopy_frame_v1* frame_ = nullptr;
    wl_shm* shm_;
    CopiedRegion copied_;
    std::optional<std::uint32_t> shmFormat_;
    ShmBuffer buffer_;
    bool done_ = false;
    bool failed_ = false;
};

} // namespace tintorel
