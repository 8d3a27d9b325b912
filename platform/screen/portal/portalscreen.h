// The screen of a Wayland desktop, where no program may read another's
// windows: the desktop's screen-casting portal shares the monitors as
// PipeWire streams, with the pointer's place in each stream's metadata.
//
// Nothing is asked of the desktop until the pipette is first started (the
// desktop may show its screen-sharing dialog then, once; the restore token
// it gives spares later starts the dialog). Off means off: when the pipette
// stops, the session is closed and nothing flows or wakes; the next start
// opens it again from the token. On desktops whose screen casting does not
// report the pointer, each press asks the desktop's own colour picker.
#pragma once

#include "platform/desktop/ownwindowpointer.h"
#include "platform/screen/portal/colourpick.h"
#include "platform/screen/portal/portal.h"
#include "platform/screen/screen.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tintorel {

class PipeWireStreams;
class ScreenCastSession;
struct CastStream;

class PortalScreenReader : public QObject, public ScreenReader {
    Q_OBJECT

public:
    struct Limits {
        // For each answer of the portal: the user may be reading its dialog.
        std::chrono::milliseconds answer{std::chrono::minutes(3)};
        // From the start of the streams to their first picture.
        std::chrono::milliseconds firstPicture{std::chrono::seconds(5)};
        // A stream that stopped streaming while the pipette runs.
        std::chrono::milliseconds stalled{std::chrono::seconds(5)};
    };

    // `loadToken` and `storeToken` keep the portal's restore token.
    PortalScreenReader(QDBusConnection bus, std::function<std::string()> loadToken,
                       std::function<void(const std::string&)> storeToken, Limits limits);
    ~PortalScreenReader() override;

    ScreenAccess Access() const override { return access_; }
    std::string Unavailable() const override { return unavailable_; }
    void SetActive(bool active) override;
    void PickColor(PickDone done) override;
    bool PointerOnOwnWindow() const override;
    bool AwaitingDesktop() const override;

    QSize Size() const override;
    QPoint CursorPos() const override;
    // Only the streams of the monitors near the pointer stream: with two
    // or more streaming, a still screen kept the desktop repainting.
    void NextPicture() override;
    ScreenGrab Grab(const QRect& area) override;

    // Whether a screen-casting session is open (for tests and benchmarks:
    // none is while the pipette is off).
    bool SessionOpen() const { return !session_.isNull() || streams_ != nullptr; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Decide(PortalOffer offer);
    void OpenSession();
    void Stream(int descriptor, std::vector<CastStream> streams);
    void EndSession();
    void Fail(const std::string& reason);
    std::optional<DesktopPoint> StreamPointer() const;

    QDBusConnection bus_;
    std::function<std::string()> loadToken_;
    std::function<void(const std::string&)> storeToken_;
    Limits limits_;
    ScreenAccess access_ = ScreenAccess::Unknown;
    unsigned screenCastVersion_ = 0; // what the desktop offered
    std::string unavailable_;
    bool active_ = false;
    bool startWhenKnown_ = false;
    QPointer<ScreenCastSession> session_;
    std::unique_ptr<PipeWireStreams> streams_;
    TimeLimit firstPicture_;
    TimeLimit stalled_;
    // Asking it notes where the streams show the pointer meanwhile.
    mutable OwnWindowPointer ownWindows_;
    // When the pointer entered one of our windows, while it is over one.
    std::optional<OwnWindowPointer::Clock::time_point> enteredAt_;
    mutable QPoint lastPointer_; // where the streams last saw the pointer
};

} // namespace tintorel
