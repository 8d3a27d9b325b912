// One output of a wlroots compositor as this connection knows it: what the
// output and its xdg-output say of its place, mode, turn and scale, and
// while the pipette runs, the transparent overlay above everything on it
// that learns where the pointer is and takes the click or Escape that ends
// the pipette.
#pragma once

#include "platform/desktop/outputlayout.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

struct wl_compositor;
struct wl_output;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace tintorel {

// What an overlay needs of the connection.
struct OverlayGlobals {
    wl_compositor* compositor = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    wl_shm* shm = nullptr;
};

class WlrOutput {
public:
    // Takes `output` (none in tests), the global the compositor named `name`.
    WlrOutput(std::uint32_t name, wl_output* output);
    ~WlrOutput();
    WlrOutput(const WlrOutput&) = delete;
    WlrOutput& operator=(const WlrOutput&) = delete;

    std::uint32_t Name() const { return name_; }
    wl_output* Handle() const { return output_; }
    // Asks `manager` for the output's logical place and size, once.
    void Describe(zxdg_output_manager_v1* manager);
    // What the compositor said of the output so far.
    OutputReport Report() const { return report_; }
    // A point of the output in logical units, placed on the desktop.
    std::pair<double, double> OnDesktop(double x, double y) const;

    // The overlay comes up, or goes. `closed` is told when the compositor
    // closes it (the output went, or it will not show the overlay).
    void ShowOverlay(const OverlayGlobals& globals, std::function<void()> closed);
    void HideOverlay();
    bool OverlayShown() const { return overlay_ != nullptr; }
    bool IsOverlay(const wl_surface* surface) const;

    // The output's and its xdg-output's listeners.
    static void OnGeometry(void* data, wl_output* output, std::int32_t x, std::int32_t y,
                           std::int32_t widthMm, std::int32_t heightMm, std::int32_t subpixel,
                           const char* make, const char* model, std::int32_t transform);
    static void OnMode(void* data, wl_output* output, std::uint32_t flags, std::int32_t width,
                       std::int32_t height, std::int32_t refresh);
    static void OnScale(void* data, wl_output* output, std::int32_t scale);
    static void OnLogicalPosition(void* data, zxdg_output_v1* xdg, std::int32_t x, std::int32_t y);
    static void OnLogicalSize(void* data, zxdg_output_v1* xdg, std::int32_t width,
                              std::int32_t height);
    // The overlay's listeners.
    static void OnOverlayConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                                   std::uint32_t width, std::uint32_t height);
    static void OnOverlayClosed(void* data, zwlr_layer_surface_v1* layer);

private:
    struct Overlay;

    std::uint32_t name_;
    wl_output* output_;
    zxdg_output_v1* xdg_ = nullptr;
    OutputReport report_;
    LogicalRect logical_; // from xdg-output, as it comes
    std::unique_ptr<Overlay> overlay_;
};

} // namespace tintorel
