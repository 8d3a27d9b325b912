// A Wayland connection of the pipette's own to a wlroots-based compositor
// (Sway, Hyprland and their kin), which lets a client copy regions of its
// outputs (zwlr_screencopy_manager_v1) and put a surface above everything
// (zwlr_layer_shell_v1). It works whether the program's windows run on
// Wayland or through XWayland.
//
// While the pipette runs, a transparent overlay on each output learns
// where the pointer is, takes the keyboard so that Escape reaches the
// program, and shows a crosshair whose arms keep clear of the sampled
// square, so that no pointer drawn by the compositor gets into a copy.
// Copies are asked for and come when the compositor next draws the
// output; the UI thread never waits for them.
#pragma once

#include "platform/screen/wlroots/screencopier.h"
#include "platform/screen/wlroots/wlrcopy.h"
#include "platform/screen/wlroots/wlroutput.h"
#include "platform/screen/wlroots/wlrseat.h"
#include "platform/screen/wlroots/wlrshm.h"

#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QSocketNotifier;
struct wl_display;
struct wl_registry;
struct zwlr_screencopy_manager_v1;
struct zxdg_output_manager_v1;

namespace tintorel {

class WlrClient : public QObject, public ScreenCopier {
    Q_OBJECT

public:
    // Connects to the session's compositor; nothing when there is none or
    // it lacks what the pipette needs (`missing` then says what).
    static std::unique_ptr<WlrClient> Connect(std::string* missing = nullptr);
    ~WlrClient() override;
    WlrClient(const WlrClient&) = delete;
    WlrClient& operator=(const WlrClient&) = delete;

    void SetEvents(Events events) override { events_ = std::move(events); }
    std::vector<OutputPlace> Outputs() const override;
    void ShowOverlays(bool shown) override;
    bool OverlaysShown() const override { return overlaysShown_; }
    std::optional<std::pair<double, double>> Pointer() const override { return pointerAt_; }
    void AskCopies(const std::vector<RegionRequest>& regions) override;
    void DropCopies() override;

    // The registry's listeners.
    static void OnGlobal(void* data, wl_registry* registry, std::uint32_t name,
                         const char* interface, std::uint32_t version);
    static void OnGlobalRemoved(void* data, wl_registry* registry, std::uint32_t name);

private:
    explicit WlrClient(wl_display* display);
    void Global(std::uint32_t name, const char* interface, std::uint32_t version);
    void AddOutput(std::uint32_t name, std::uint32_t version);
    void RemoveOutput(std::uint32_t name);
    void ShowOverlay(WlrOutput& output);
    void OverlayClosed();
    WlrOutput* OverlayOf(const wl_surface* surface) const;
    void PointerAt(const wl_surface* surface, double x, double y);
    void DrawCursor();
    void Dispatch();
    void Flush();
    void Lose(const std::string& reason);
    // Hands the asked copies on once every one has come or one failed.
    void DeliverCopies();

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    OverlayGlobals globals_;
    zwlr_screencopy_manager_v1* screencopy_ = nullptr;
    zxdg_output_manager_v1* xdgOutputs_ = nullptr;
    std::unique_ptr<WlrSeat> seat_;
    std::vector<std::unique_ptr<WlrOutput>> outputs_;
    // The copies asked for last, until they are handed on.
    std::vector<std::unique_ptr<WlrCopy>> copies_;
    // While the pipette runs, every output has an overlay, also one
    // plugged in meanwhile.
    bool overlaysShown_ = false;
    wl_surface* cursor_ = nullptr;
    ShmBuffer cursorBuffer_;
    std::optional<std::pair<double, double>> pointerAt_;
    QSocketNotifier* notifier_ = nullptr;
    Events events_;
};

} // namespace tintorel
