#include "platform/screen/wlroots/wlroutput.h"

#include "platform/screen/wlroots/wlrlisteners.h"

#include "platform/screen/wlroots/wlrshm.h"

#include <wayland-client.h>

// The layer shell's C header names an argument "namespace".
#define namespace namespace_
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
#include "xdg-output-unstable-v1-client-protocol.h"

#include <algorithm>

namespace tintorel {

namespace {

const wl_output_listener kOutput = {
    .geometry = WlrOutput::OnGeometry,
    .mode = WlrOutput::OnMode,
    .done = Ignore<wl_output*>,
    .scale = WlrOutput::OnScale,
    .name = Ignore<wl_output*, const char*>,
    .description = Ignore<wl_output*, const char*>,
};

const zxdg_output_v1_listener kXdgOutput = {
    .logical_position = WlrOutput::OnLogicalPosition,
    .logical_size = WlrOutput::OnLogicalSize,
    .done = Ignore<zxdg_output_v1*>,
    .name = Ignore<zxdg_output_v1*, const char*>,
    .description = Ignore<zxdg_output_v1*, const char*>,
};

const zwlr_layer_surface_v1_listener kLayerSurface = {
    .configure = WlrOutput::OnOverlayConfigure,
    .closed = WlrOutput::OnOverlayClosed,
};

WlrOutput* Of(void* data) {
    return static_cast<WlrOutput*>(data);
}

// The largest overlay side: beyond it a buffer would be absurdly large.
constexpr std::uint32_t kLargestSide = 1U << 14;

} // namespace

struct WlrOutput::Overlay {
    Overlay() = default;
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;
    // The surface goes after its role.
    ~Overlay() {
        if (layer != nullptr) {
            zwlr_layer_surface_v1_destroy(layer);
        }
        if (surface != nullptr) {
            wl_surface_destroy(surface);
        }
    }
    wl_shm* shm = nullptr;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    ShmBuffer buffer;
    std::function<void()> closed;
};

WlrOutput::WlrOutput(std::uint32_t name, wl_output* output) : name_(name), output_(output) {
    if (output_ != nullptr) {
        wl_output_add_listener(output_, &kOutput, this);
    }
}

WlrOutput::~WlrOutput() {
    overlay_.reset();
    if (xdg_ != nullptr) {
        zxdg_output_v1_destroy(xdg_);
    }
    if (output_ != nullptr) {
        wl_output_destroy(output_);
    }
}

void WlrOutput::Describe(zxdg_output_manager_v1* manager) {
    if (manager != nullptr && xdg_ == nullptr && output_ != nullptr) {
        xdg_ = zxdg_output_manager_v1_get_xdg_output(manager, output_);
        zxdg_output_v1_add_listener(xdg_, &kXdgOutput, this);
    }
}

std::pair<double, double> WlrOutput::OnDesktop(double x, double y) const {
    const int left = report_.logical ? report_.logical->x : report_.x;
    const int top = report_.logical ? report_.logical->y : report_.y;
    return {left + x, top + y};
}

void WlrOutput::OnGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t,
                           std::int32_t, std::int32_t, const char*, const char*,
                           std::int32_t transform) {
    OutputReport& report = Of(data)->report_;
    report.x = x;
    report.y = y;
    report.transform = transform;
}

void WlrOutput::OnMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                       std::int32_t height, std::int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        OutputReport& report = Of(data)->report_;
        report.modeWidth = width;
        report.modeHeight = height;
    }
}

void WlrOutput::OnScale(void* data, wl_output*, std::int32_t scale) {
    Of(data)->report_.scale = std::max(scale, 1);
}

void WlrOutput::OnLogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    WlrOutput& output = *Of(data);
    output.logical_.x = x;
    output.logical_.y = y;
    if (output.report_.logical) {
        output.report_.logical = output.logical_;
    }
}

void WlrOutput::OnLogicalSize(void* data, zxdg_output_v1*, std::int32_t width,
                              std::int32_t height) {
    WlrOutput& output = *Of(data);
    output.logical_.width = width;
    output.logical_.height = height;
    // Known from its size on: a position alone places nothing.
    output.report_.logical = output.logical_;
}

void WlrOutput::ShowOverlay(const OverlayGlobals& globals, std::function<void()> closed) {
    if (overlay_ != nullptr || output_ == nullptr) {
        return;
    }
    overlay_ = std::make_unique<Overlay>();
    Overlay& overlay = *overlay_;
    overlay.shm = globals.shm;
    overlay.closed = std::move(closed);
    overlay.surface = wl_compositor_create_surface(globals.compositor);
    overlay.layer = zwlr_layer_shell_v1_get_layer_surface(globals.layerShell, overlay.surface,
                                                           output_,
                                                           ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
                                                           "tintorel-pipette");
    zwlr_layer_surface_v1_set_anchor(
        overlay.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                           ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(overlay.layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(overlay.layer, 1);
    zwlr_layer_surface_v1_add_listener(overlay.layer, &kLayerSurface, this);
    // The first commit, without a buffer, asks the compositor for a size.
    wl_surface_commit(overlay.surface);
}

void WlrOutput::HideOverlay() {
    overlay_.reset();
}

bool WlrOutput::IsOverlay(const wl_surface* surface) const {
    return overlay_ != nullptr && surface != nullptr && overlay_->surface == surface;
}

void WlrOutput::OnOverlayConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                                   std::uint32_t width, std::uint32_t height) {
    Overlay* overlay = Of(data)->overlay_.get();
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (overlay == nullptr) {
        return;
    }
    // A transparent buffer as large as the output: it shows nothing and
    // takes the pointer everywhere.
    const int w = static_cast<int>(std::min(width, kLargestSide));
    const int h = static_cast<int>(std::min(height, kLargestSide));
    if (overlay->buffer.Create(overlay->shm, w, h, w * 4, WL_SHM_FORMAT_ARGB8888)) {
        wl_surface_attach(overlay->surface, overlay->buffer.Buffer(), 0, 0);
        wl_surface_damage(overlay->surface, 0, 0, w, h);
    }
    wl_surface_commit(overlay->surface);
}

void WlrOutput::OnOverlayClosed(void* data, zwlr_layer_surface_v1*) {
    WlrOutput& output = *Of(data);
    if (output.overlay_ == nullptr) {
        return;
    }
    const std::function<void()> closed = std::move(output.overlay_->closed);
    output.overlay_.reset();
    if (closed) {
        closed();
    }
}

} // namespace tintorel
