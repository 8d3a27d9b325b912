// What the wlroots pipette needs of the compositor: its outputs, overlays
// that say where the pointer is and take the user's click or Escape, and
// copies of regions of the outputs. A copy is asked for and comes later,
// when the compositor next draws the output; nothing waits for it.
#pragma once

#include "platform/desktop/outputlayout.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tintorel {

class ScreenCopier {
public:
    struct Events {
        // A click on an overlay, or Escape: the user is done.
        std::function<void()> finished;
        // The pipette cannot go on: the connection broke (nothing more
        // will come), or the compositor closed every overlay.
        std::function<void(const std::string& reason)> lost;
        // The copies last asked for have come (every region asked for), or
        // one of them failed: nothing, with the reason.
        std::function<void(std::optional<std::vector<CopiedRegion>> copied,
                           const std::string& reason)>
            copied;
    };

    virtual ~ScreenCopier() = default;

    virtual void SetEvents(Events events) = 0;

    // The outputs as the compositor lays them out now.
    virtual std::vector<OutputPlace> Outputs() const = 0;

    // The overlays come up on every output, or go.
    virtual void ShowOverlays(bool shown) = 0;
    virtual bool OverlaysShown() const = 0;
    // Where the pointer is in logical coordinates, once it has been over
    // an overlay.
    virtual std::optional<std::pair<double, double>> Pointer() const = 0;

    // Asks for copies of the regions (of the outputs as Outputs() gave
    // them); `copied` follows once they have come. Asking again, or
    // dropping, forgets copies still on their way: they never reach
    // `copied`.
    virtual void AskCopies(const std::vector<RegionRequest>& regions) = 0;
    virtual void DropCopies() = 0;
};

} // namespace tintorel
