// The screen of a wlroots-based Wayland desktop (Sway, Hyprland and their
// kin), read live without any dialog: the compositor copies the few
// pixels around the pointer on request, and an overlay above everything
// says where the pointer is while the pipette runs. A click anywhere, or
// Escape, ends the pipette with the colour under the pointer, as pressing
// its button again does: the overlay lies over the program's own windows
// too.
#pragma once

#include "platform/outputlayout.h"
#include "platform/screen.h"
#include "platform/wlrclient.h"

#include <chrono>
#include <memory>

namespace tintorel {

class WlrScreenReader : public ScreenReader {
public:
    // `limit` bounds the wait for one copy.
    explicit WlrScreenReader(std::unique_ptr<WlrClient> client,
                             std::chrono::milliseconds limit = std::chrono::seconds(2));

    void SetActive(bool active) override;
    // The overlay holds the keyboard while the pipette runs: the program's
    // window losing the focus to it must not stop the pipette.
    bool AwaitingDesktop() const override { return client_->OverlaysShown(); }
    bool PointerOnOwnWindow() const override;

    QSize Size() const override;
    QPoint CursorPos() const override;
    bool Open(const QRect& area) override;
    std::uint32_t Pixel(int x, int y) const override;
    bool PixelExists(int x, int y) const override;
    void StretchCopy(const QRect& source, QImage& target, const QRect& destination) const override;
    void Close() override { layout_.ClearCopied(); }

private:
    void Fail(const std::string& reason);

    std::unique_ptr<WlrClient> client_;
    std::chrono::milliseconds limit_;
    // Laid on the grid of the output under the pointer as each tick reads
    // where the pointer is.
    mutable OutputLayout layout_;
    bool active_ = false;
    bool failing_ = false; // a failure on its way to the pipette
    mutable QPoint lastPointer_;
};

} // namespace tintorel
