#include "platform/screen/portal/portalscreen.h"

#include "platform/screen/portal/pipewirestreams.h"
#include "platform/screen/portal/screencast.h"
#include "util/utilnumber.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace tintorel {

namespace {

// How near the pointer, in logical units, a monitor's stream keeps
// streaming: beyond the magnifier's reach, with room for the pointer to
// move between two ticks.
constexpr int kStreamReach = 32;

} // namespace

PortalScreenReader::PortalScreenReader(QDBusConnection bus, std::function<std::string()> loadToken,
                                       std::function<void(const std::string&)> storeToken,
                                       Limits limits)
    : bus_(std::move(bus)), loadToken_(std::move(loadToken)), storeToken_(std::move(storeToken)),
      limits_(limits), firstPicture_("first picture",
                                     [this] {
                                         if (streams_ && !streams_->Frames().HasFrames()) {
                                             Fail("the desktop sends no picture");
                                         }
                                     }),
      stalled_("stalled", [this] { Fail("the desktop stopped sending pictures"); }) {
    // What the portal offers is asked once the event loop runs, so that the
    // start does not wait for the session bus.
    QMetaObject::invokeMethod(
        this, [this] { ProbePortal(bus_, this, [this](PortalOffer offer) { Decide(offer); }); },
        Qt::QueuedConnection);
    QGuiApplication::instance()->installEventFilter(this);
}

PortalScreenReader::~PortalScreenReader() {
    EndSession();
}

void PortalScreenReader::Decide(PortalOffer offer) {
    screenCastVersion_ = offer.screenCastVersion;
    if (offer.screenCast && offer.Offers(CursorMode::Metadata)) {
        access_ = ScreenAccess::Live;
    } else if (offer.screenshotVersion >= 2) {
        // The pointer is not reported (only hidden or drawn into the
        // frames): the desktop's own colour pick is the way.
        access_ = ScreenAccess::PickOnce;
    } else {
        access_ = ScreenAccess::None;
        unavailable_ = "This desktop offers no way to read the screen: its portal reports "
                       "no pointer when it shares the screen, and picks no colours.";
    }
    AccessChanged();
    if (startWhenKnown_ && access_ == ScreenAccess::Live) {
        startWhenKnown_ = false;
        OpenSession();
    }
}

void PortalScreenReader::SetActive(bool active) {
    active_ = active;
    if (!active) {
        // Off means off: nothing flows, nothing wakes; the next start
        // opens the session again from the restore token.
        startWhenKnown_ = false;
        EndSession();
        return;
    }
    if (access_ == ScreenAccess::Unknown) {
        startWhenKnown_ = true;
    } else if (access_ == ScreenAccess::Live && !SessionOpen()) {
        OpenSession();
    }
}

void PortalScreenReader::OpenSession() {
    auto* session = new ScreenCastSession(bus_, screenCastVersion_, loadToken_, storeToken_,
                                          limits_.answer, this);
    session_ = session;
    session->Open(
        [this](int descriptor, std::vector<CastStream> streams) {
            Stream(descriptor, std::move(streams));
        },
        [this](const std::string& reason) { Fail(reason); });
}

void PortalScreenReader::Stream(int descriptor, std::vector<CastStream> streams) {
    // Monitors the portal did not place (KDE's says only their sizes) take
    // the places of the desktop's screens as the toolkit knows them.
    std::vector<ScreenPlace> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect geometry = screen->geometry();
        screens.push_back({geometry.x(), geometry.y(), geometry.width(), geometry.height(),
                           screen->devicePixelRatio()});
    }
    PlaceStreams(streams, screens);
    PipeWireStreams::Events events;
    // Both come from within PipeWire's callbacks: act once they returned.
    events.failed = [this](const std::string& reason) {
        QMetaObject::invokeMethod(
            this, [this, reason] { Fail(reason); }, Qt::QueuedConnection);
    };
    events.streaming = [this](bool streaming) {
        QMetaObject::invokeMethod(
            this,
            [this, streaming] {
                if (streaming) {
                    stalled_.Stop();
                } else if (streams_ && !stalled_.Running()) {
                    stalled_.Start(limits_.stalled);
                }
            },
            Qt::QueuedConnection);
    };
    streams_ = std::make_unique<PipeWireStreams>(descriptor, streams, std::move(events));
    if (!streams_->Connected()) {
        Fail("PipeWire refused the portal's connection");
        return;
    }
    firstPicture_.Start(limits_.firstPicture);
}

void PortalScreenReader::EndSession() {
    firstPicture_.Stop();
    stalled_.Stop();
    streams_.reset();
    if (session_) {
        // Closed now; deleted once control is back in the event loop, as
        // this may run within one of its own continuations.
        session_->Abort();
        session_->deleteLater();
        session_.clear();
    }
}

void PortalScreenReader::Fail(const std::string& reason) {
    EndSession();
    if (active_) {
        Failed(reason);
    }
}

bool PortalScreenReader::AwaitingDesktop() const {
    return session_ && session_->Asking();
}

void PortalScreenReader::PickColor(PickDone done) {
    PickColourOnce(bus_, limits_.answer, this, std::move(done));
}

std::optional<DesktopPoint> PortalScreenReader::StreamPointer() const {
    return streams_ ? streams_->Frames().Pointer() : std::nullopt;
}

bool PortalScreenReader::PointerOnOwnWindow() const {
    return ownWindows_.Over(OwnWindowPointer::Clock::now(), StreamPointer());
}

bool PortalScreenReader::eventFilter(QObject* watched, QEvent* event) {
    // Where our windows are on a Wayland desktop is not known; each of them
    // tells when the pointer enters, moves over it and leaves.
    if (watched->isWindowType() && static_cast<QWindow*>(watched)->type() != Qt::ToolTip) {
        const auto now = OwnWindowPointer::Clock::now();
        const QWindow* window = static_cast<QWindow*>(watched);
        const double scale = streams_ ? streams_->Frames().Scale() : 1.0;
        ownWindows_.SetReach(TruncToInt(std::max(window->width(), window->height()) * scale));
        std::optional<LogicalRect> home;
        if (const QScreen* screen = window->screen(); screen != nullptr && streams_) {
            const QRect place = screen->geometry();
            home = streams_->Frames().MonitorArea(
                {place.x(), place.y(), place.width(), place.height()});
        }
        ownWindows_.SetHome(home);
        switch (event->type()) {
        case QEvent::Enter:
            ownWindows_.Entered(now, StreamPointer());
            enteredAt_ = now;
            break;
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress: // the press that starts the pipette, say
        case QEvent::MouseButtonRelease:
            ownWindows_.Moved(now, StreamPointer());
            // Over our window for longer than the streams lag, the stream
            // that reports the pointer is the stream of our window's
            // screen: evidence for monitors the portal did not place.
            if (streams_ && enteredAt_ && now - *enteredAt_ > OwnWindowPointer::kStreamLag) {
                if (const QScreen* screen = window->screen()) {
                    const QRect place = screen->geometry();
                    streams_->Frames().PointerOnScreen(
                        {place.x(), place.y(), place.width(), place.height()});
                }
            }
            break;
        case QEvent::Leave:
            ownWindows_.Left(now, StreamPointer());
            enteredAt_.reset();
            break;
        default:
            break;
        }
    }
    return false;
}

QSize PortalScreenReader::Size() const {
    if (!streams_) {
        return {};
    }
    const DesktopPoint size = streams_->Frames().Size();
    return {size.x, size.y};
}

QPoint PortalScreenReader::CursorPos() const {
    if (const std::optional<DesktopPoint> at = StreamPointer()) {
        lastPointer_ = QPoint(at->x, at->y);
    }
    return lastPointer_;
}

void PortalScreenReader::NextPicture() {
    if (!streams_) {
        return;
    }
    const std::vector<bool> needed = streams_->Frames().Needed(kStreamReach);
    for (std::size_t i = 0; i < needed.size(); ++i) {
        streams_->SetActive(i, needed[i]);
    }
}

ScreenGrab PortalScreenReader::Grab(const QRect& area) {
    if (!streams_ || !streams_->Frames().HasFrames()) {
        return {};
    }
    const DesktopFrames& frames = streams_->Frames();
    // Part of the area on a monitor whose stream just went on again: its
    // new frame is read once it has come, not its old one, nor the rest
    // alone as if the square ended there.
    if (frames.Awaits(area.x(), area.y(), area.width(), area.height())) {
        return {};
    }
    return ScreenGrab::FromPixels(
        area, [&frames](int x, int y) { return frames.PixelExists(x, y); },
        [&frames](int x, int y) { return frames.Pixel(x, y); });
}

} // namespace tintorel
