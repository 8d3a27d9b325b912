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

#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QSocketNotifier;
struct wl_display;

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
    bool OverlaysShown() const override;
    std::optional<std::pair<double, double>> Pointer() const override;
    void AskCopies(const std::vector<RegionRequest>& regions) override;
    void DropCopies() override;

    struct State;

private:
    explicit WlrClient(wl_display* display);
    void Dispatch();
    void Lose(const std::string& reason);
    // Hands the asked copies on once every one has come or one failed.
    void DeliverCopies();

    std::unique_ptr<State> state_;
    QSocketNotifier* notifier_ = nullptr;
    Events events_;
};

} // namespace tintorel
