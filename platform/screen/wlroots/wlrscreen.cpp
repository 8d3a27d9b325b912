#include "platform/screen/wlroots/wlrscreen.h"

#include <QGuiApplication>
#include <QTimer>

#include <algorithm>

namespace tintorel {

namespace {

// How far around the pointer a copy reaches, in device pixels: beyond the
// magnifier's nine pixels and the largest square's seven, with room for
// the pointer to move while the copy is on its way.
constexpr int kReach = 8;

bool Contains(const LogicalRect& outer, const LogicalRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           static_cast<long long>(inner.x) + inner.width <=
               static_cast<long long>(outer.x) + outer.width &&
           static_cast<long long>(inner.y) + inner.height <=
               static_cast<long long>(outer.y) + outer.height;
}

} // namespace

WlrScreenReader::WlrScreenReader(std::unique_ptr<ScreenCopier> copier,
                                 std::unique_ptr<OwnWindows> ownWindows,
                                 std::chrono::milliseconds stall)
    : copier_(std::move(copier)), ownWindows_(std::move(ownWindows)),
      stall_("copy", [this] { Fail("the compositor sends no picture"); }), stallLimit_(stall) {
    ScreenCopier::Events events;
    // It comes from within the compositor's events: the pipette hears of
    // it once control is back in the event loop.
    events.finished = [this] {
        QTimer::singleShot(0, &context_, [this] {
            if (!active_ || finishing_) {
                return;
            }
            // One last picture where the pointer is, the pipette stopping
            // once it has read it; none over our own windows, whose
            // colours are not the user's pick.
            NextPicture();
            CursorPos();
            finishing_ = true;
            if (!PointerOnOwnWindow()) {
                Ask(QRect(lastPointer_, QSize(1, 1)));
            }
            if (!asked_) {
                finishing_ = false;
                Finished();
            }
        });
    };
    events.lost = [this](const std::string& reason) { Fail(reason); };
    events.copied = [this](std::optional<std::vector<CopiedRegion>> copied,
                           const std::string& reason) { Came(std::move(copied), reason); };
    copier_->SetEvents(std::move(events));
}

void WlrScreenReader::SetActive(bool active) {
    active_ = active;
    if (!active) {
        Forget();
    } else if (ownWindows_) {
        ownWindows_->Refresh();
    }
    copier_->ShowOverlays(active);
}

void WlrScreenReader::Forget() {
    copier_->DropCopies();
    stall_.Stop();
    asked_ = false;
    finishing_ = false;
    picture_.reset();
    layout_.ClearCopied();
}

void WlrScreenReader::Fail(const std::string& reason) {
    Forget();
    copier_->ShowOverlays(false);
    if (active_ && !failing_) {
        failing_ = true;
        QTimer::singleShot(0, &context_, [this, reason] {
            failing_ = false;
            if (active_) {
                Failed(reason);
            }
        });
    }
}

bool WlrScreenReader::PointerOnOwnWindow() const {
    // Through XWayland the program's windows have their places on the
    // compositor's layout; on Wayland itself no client knows where its
    // windows are unless the desktop tells (the overlay lies over them).
    const std::optional<std::pair<double, double>> at = copier_->Pointer();
    if (!at) {
        return false;
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        return QGuiApplication::topLevelAt(
                   QPoint(static_cast<int>(at->first), static_cast<int>(at->second))) != nullptr;
    }
    return ownWindows_ && ownWindows_->Contains(at->first, at->second);
}

QSize WlrScreenReader::Size() const {
    const DesktopPoint size = layout_.Size();
    return {size.x, size.y};
}

QPoint WlrScreenReader::CursorPos() const {
    // The outputs may have changed since the last tick (one plugged in,
    // another unplugged or scaled): the picture follows before the
    // pointer is placed on it, or a pointer on a new output would lie
    // beyond the picture and nothing there would ever be read.
    layout_.SetOutputs(copier_->Outputs());
    if (const std::optional<std::pair<double, double>> at = copier_->Pointer()) {
        layout_.FollowPointer(at->first, at->second);
        const DesktopPoint device = layout_.ToDevice(at->first, at->second);
        lastPointer_ = QPoint(device.x, device.y);
    }
    return lastPointer_;
}

void WlrScreenReader::NextPicture() {
    if (finishing_) {
        return; // the last picture is not dropped for a tick
    }
    // Our windows may have moved (a drag with the desktop's modifier).
    if (ownWindows_) {
        ownWindows_->Refresh();
    }
    // A copy asked for in the last tick and not come is dropped: its
    // pixels would be a tick old.
    copier_->DropCopies();
    asked_ = false;
    picture_.reset();
}

ScreenGrab WlrScreenReader::Grab(const QRect& area) {
    if (!copier_->Pointer()) {
        return {}; // until the overlays have the pointer, nothing says where it is
    }
    if (picture_ && layout_.Outputs() != askedOutputs_) {
        picture_.reset(); // the outputs changed under it: its regions name others
    }
    if (picture_ && Covers(area)) {
        layout_.SetCopied(*picture_);
        ScreenGrab grab = ScreenGrab::FromPixels(
            area, [this](int x, int y) { return layout_.PixelExists(x, y); },
            [this](int x, int y) { return layout_.Pixel(x, y); });
        layout_.ClearCopied();
        return grab;
    }
    if (!asked_) {
        Ask(area);
    }
    return asked_ ? ScreenGrab::Coming() : ScreenGrab();
}

void WlrScreenReader::Ask(const QRect& area) {
    const QRect around(lastPointer_ - QPoint(kReach, kReach),
                       QSize(2 * kReach + 1, 2 * kReach + 1));
    const QRect wanted = area.united(around).intersected(QRect(QPoint(0, 0), Size()));
    const std::vector<RegionRequest> regions =
        wanted.isEmpty()
            ? std::vector<RegionRequest>()
            : layout_.RegionsFor(wanted.x(), wanted.y(), wanted.width(), wanted.height());
    if (regions.empty()) {
        return;
    }
    asked_ = true;
    picture_.reset();
    askedOutputs_ = layout_.Outputs();
    copier_->AskCopies(regions);
    if (!stall_.Running()) {
        stall_.Start(stallLimit_);
    }
}

void WlrScreenReader::Came(std::optional<std::vector<CopiedRegion>> copied,
                           const std::string& reason) {
    if (!asked_) {
        return; // dropped, or the pipette stopped meanwhile
    }
    if (!copied) {
        Fail(reason);
        return;
    }
    stall_.Stop();
    picture_ = std::move(*copied);
    if (finishing_) {
        finishing_ = false;
        Finished();
    } else {
        PictureCame();
    }
}

bool WlrScreenReader::Covers(const QRect& area) const {
    const std::vector<RegionRequest> needed =
        layout_.RegionsFor(area.x(), area.y(), area.width(), area.height());
    return std::all_of(needed.begin(), needed.end(), [this](const RegionRequest& need) {
        return std::any_of(picture_->begin(), picture_->end(), [&need](const CopiedRegion& got) {
            return got.output == need.output && Contains(got.region, need.region);
        });
    });
}

} // namespace tintorel
