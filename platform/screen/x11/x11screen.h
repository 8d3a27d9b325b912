// The screen of an X server, and of desktops Qt reads only through its own
// screens.
#pragma once

#include "platform/screen/screen.h"

#include <optional>

namespace tintorel {

// Whether the X server Qt runs on is XWayland (its XWAYLAND extension, or
// before that its outputs' names, say so): its root window shows only the
// windows of X programs, black or stale elsewhere. False off X11.
bool XServerIsXWayland();

// The real screen on an X server: the pointer and the root window's pixels
// read from the server in its own (device) pixels, whatever scale Qt draws
// the windows at. Elsewhere, through Qt: QScreen::grabWindow on each
// monitor that the area touches, at the monitor's device pixel ratio.
class QtScreenReader : public ScreenReader {
public:
    QSize Size() const override;
    bool PointerOnOwnWindow() const override;
    QPoint CursorPos() const override;
    ScreenGrab Grab(const QRect& area) override;

private:
    QPoint ReadPointer() const;

    // The pointer as PointerOnOwnWindow read it, for the CursorPos after it.
    mutable std::optional<QPoint> pointerRead_;
};

} // namespace tintorel
