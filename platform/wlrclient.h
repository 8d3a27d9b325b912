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
// Copies are made on request and waited for, with a limit, on the UI
// thread: a region of a few pixels costs the compositor a fraction of a
// millisecond.
#pragma once

#include "platform/outputlayout.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QSocketNotifier;
struct wl_display;

namespace tintorel {

class WlrClient : public QObject {
    Q_OBJECT

public:
    struct Events {
        // A click on an overlay, or Escape: the user is done.
        std::function<void()> finished;
        // The pipette cannot go on: the connection broke (nothing more
        // will come), or the compositor closed every overlay.
        std::function<void(const std::string& reason)> lost;
    };

    // Connects to the session's compositor; nothing when there is none or
    // it lacks what the pipette needs (`missing` then says what).
    static std::unique_ptr<WlrClient> Connect(std::string* missing = nullptr);
    ~WlrClient() override;
    WlrClient(const WlrClient&) = delete;
    WlrClient& operator=(const WlrClient&) = delete;

    void SetEvents(Events events) { events_ = std::move(events); }

    // The outputs as the compositor lays them out now.
    std::vector<OutputPlace> Outputs() const;

    // The overlays come up on every output, or go.
    void ShowOverlays(bool shown);
    bool OverlaysShown() const;
    // Where the pointer is in logical coordinates, once it has been over
    // an overlay.
    std::optional<std::pair<double, double>> Pointer() const;

    // Copies the regions now, waiting at most `limit` for all of them;
    // nothing, with the reason, when one cannot be copied.
    std::optional<std::vector<CopiedRegion>> Copy(const std::vector<RegionRequest>& regions,
                                                  std::chrono::milliseconds limit,
                                                  std::string& reason);

    struct State;

private:
    explicit WlrClient(wl_display* display);
    void Dispatch();
    void Lose(const std::string& reason);

    std::unique_ptr<State> state_;
    QSocketNotifier* notifier_ = nullptr;
    Events events_;
};

} // namespace tintorel
