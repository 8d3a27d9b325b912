// The screen of a wlroots-based Wayland desktop (Sway, Hyprland and their
// kin), read live without any dialog: the compositor copies the few
// pixels around the pointer on request, and an overlay above everything
// says where the pointer is while the pipette runs. A click anywhere, or
// Escape, ends the pipette with the colour under the pointer, as pressing
// its button again does: the overlay lies over the program's own windows
// too.
//
// A copy comes when the compositor next draws the output, a frame or so
// after it is asked for: each tick asks, and the pipette reads once the
// copy has come. A copy still on its way when the next tick begins is
// dropped; a compositor that sends no copy at all for the stall limit
// stops the pipette.
#pragma once

#include "platform/desktop/outputlayout.h"
#include "platform/screen/wlroots/ownwindows.h"
#include "platform/screen/screen.h"
#include "platform/screen/wlroots/screencopier.h"
#include "platform/screen/timelimit.h"

#include <QObject>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace tintorel {

class WlrScreenReader : public ScreenReader {
public:
    // `ownWindows`, where the desktop says so, places the program's own
    // windows on a Wayland desktop (through XWayland, the X server does).
    explicit WlrScreenReader(std::unique_ptr<ScreenCopier> copier,
                             std::unique_ptr<OwnWindows> ownWindows = nullptr,
                             std::chrono::milliseconds stall = std::chrono::seconds(2));

    void SetActive(bool active) override;
    // The overlay holds the keyboard while the pipette runs: the program's
    // window losing the focus to it must not stop the pipette.
    bool AwaitingDesktop() const override { return copier_->OverlaysShown(); }
    bool PointerOnOwnWindow() const override;

    QSize Size() const override;
    QPoint CursorPos() const override;
    void NextPicture() override;
    ScreenGrab Grab(const QRect& area) override;

private:
    // Asks for the pixels of `area` and of those around the pointer, so
    // that one copy serves the sampled square and the magnifier alike.
    void Ask(const QRect& area);
    void Came(std::optional<std::vector<CopiedRegion>> copied, const std::string& reason);
    // Whether this tick's picture holds every pixel of `area`.
    bool Covers(const QRect& area) const;
    void Forget();
    void Fail(const std::string& reason);

    std::unique_ptr<ScreenCopier> copier_;
    std::unique_ptr<OwnWindows> ownWindows_;
    QObject context_; // calls put off to the event loop end with the reader
    TimeLimit stall_;
    std::chrono::milliseconds stallLimit_;
    // Laid on the grid of the output under the pointer as each tick reads
    // where the pointer is.
    mutable OutputLayout layout_;
    bool active_ = false;
    bool failing_ = false;   // a failure on its way to the pipette
    bool finishing_ = false; // the user is done; the last picture is on its way
    // This tick's copies: asked for (of the outputs as they were then),
    // then come.
    bool asked_ = false;
    std::vector<OutputPlace> askedOutputs_;
    std::optional<std::vector<CopiedRegion>> picture_;
    mutable QPoint lastPointer_;
};

} // namespace tintorel
