#include "platform/screen/wlroots/wlrcopy.h"

#include "platform/screen/wlroots/wlrlisteners.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include <wayland-client.h>

namespace tintorel {

namespace {

// Beyond these a copy of a few pixels is not what was asked for.
constexpr std::uint32_t kLargestSide = 1U << 14;
constexpr std::uint32_t kLargestStride = 1U << 17;

const zwlr_screencopy_frame_v1_listener kFrame = {
    .buffer = WlrCopy::OnBuffer,
    .flags = WlrCopy::OnFlags,
    .ready = WlrCopy::OnReady,
    .failed = WlrCopy::OnFailed,
    .damage = Ignore<zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t,
                     std::uint32_t>,
    .linux_dmabuf = Ignore<zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t>,
    .buffer_done = WlrCopy::OnBuffersDone,
};

WlrCopy* Of(void* data) {
    return static_cast<WlrCopy*>(data);
}

} // namespace

WlrCopy::WlrCopy(zwlr_screencopy_manager_v1* manager, wl_output* output, wl_shm* shm,
                 const RegionRequest& request)
    : shm_(shm) {
    copied_.output = request.output;
    copied_.region = request.region;
    if (manager != nullptr) {
        frame_ = zwlr_screencopy_manager_v1_capture_output_region(
            manager, 0, output, request.asked.x, request.asked.y, request.asked.width,
            request.asked.height);
        zwlr_screencopy_frame_v1_add_listener(frame_, &kFrame, this);
    }
}

WlrCopy::~WlrCopy() {
    if (frame_ != nullptr) {
        zwlr_screencopy_frame_v1_destroy(frame_);
    }
}

void WlrCopy::OnBuffer(void* data, zwlr_screencopy_frame_v1* frame, std::uint32_t format,
                       std::uint32_t width, std::uint32_t height, std::uint32_t stride) {
    WlrCopy& copy = *Of(data);
    const std::optional<FrameFormat> ours = FrameFormatOfShm(format);
    if (ours && !copy.shmFormat_ && width <= kLargestSide && height <= kLargestSide &&
        stride <= kLargestStride) {
        copy.shmFormat_ = format;
        copy.copied_.format = *ours;
        copy.copied_.width = static_cast<int>(width);
        copy.copied_.height = static_cast<int>(height);
        copy.copied_.stride = static_cast<int>(stride);
    }
    // Before version 3 there is one buffer event and nothing after.
    if (frame != nullptr && zwlr_screencopy_frame_v1_get_version(frame) < 3) {
        OnBuffersDone(data, frame);
    }
}

void WlrCopy::OnFlags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
    Of(data)->copied_.yInverted = (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}

void WlrCopy::OnBuffersDone(void* data, zwlr_screencopy_frame_v1* frame) {
    WlrCopy& copy = *Of(data);
    const CopiedRegion& c = copy.copied_;
    if (!copy.shmFormat_ || copy.shm_ == nullptr ||
        !copy.buffer_.Create(copy.shm_, c.width, c.height, c.stride, *copy.shmFormat_)) {
        copy.failed_ = true;
        return;
    }
    zwlr_screencopy_frame_v1_copy(frame, copy.buffer_.Buffer());
}

void WlrCopy::OnReady(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t,
                      std::uint32_t) {
    WlrCopy& copy = *Of(data);
    const std::uint8_t* bytes = copy.buffer_.Data();
    copy.copied_.bytes.assign(bytes, bytes + copy.buffer_.Size());
    copy.done_ = true;
}

void WlrCopy::OnFailed(void* data, zwlr_screencopy_frame_v1*) {
    Of(data)->failed_ = true;
}

} // namespace tintorel
