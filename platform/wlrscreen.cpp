#include "platform/wlrscreen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

namespace tintorel {

WlrScreenReader::WlrScreenReader(std::unique_ptr<WlrClient> client, std::chrono::milliseconds limit)
    : client_(std::move(client)), limit_(limit) {
    layout_.SetOutputs(client_->Outputs());
    // Both may come while a copy is awaited, within a pipette tick: they
    // reach the pipette once control is back in the event loop.
    WlrClient::Events events;
    events.finished = [this] {
        QTimer::singleShot(0, client_.get(), [this] {
            if (active_) {
                Finished();
            }
        });
    };
    events.lost = [this](const std::string& reason) { Fail(reason); };
    client_->SetEvents(std::move(events));
}

void WlrScreenReader::SetActive(bool active) {
    active_ = active;
    client_->ShowOverlays(active);
}

void WlrScreenReader::Fail(const std::string& reason) {
    client_->ShowOverlays(false);
    layout_.ClearCopied();
    if (active_ && !failing_) {
        failing_ = true;
        QTimer::singleShot(0, client_.get(), [this, reason] {
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
    // windows are, and the overlay lies over them anyway.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return false;
    }
    const std::optional<std::pair<double, double>> at = client_->Pointer();
    return at && QGuiApplication::topLevelAt(
                     QPoint(static_cast<int>(at->first), static_cast<int>(at->second))) != nullptr;
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
    layout_.SetOutputs(client_->Outputs());
    if (const std::optional<std::pair<double, double>> at = client_->Pointer()) {
        layout_.FollowPointer(at->first, at->second);
        const DesktopPoint device = layout_.ToDevice(at->first, at->second);
        lastPointer_ = QPoint(device.x, device.y);
    }
    return lastPointer_;
}

bool WlrScreenReader::Open(const QRect& area) {
    layout_.ClearCopied();
    const std::vector<RegionRequest> regions =
        layout_.RegionsFor(area.x(), area.y(), area.width(), area.height());
    if (regions.empty()) {
        return false;
    }
    std::string reason;
    std::optional<std::vector<CopiedRegion>> copied = client_->Copy(regions, limit_, reason);
    if (!copied) {
        Fail(reason);
        return false;
    }
    layout_.SetCopied(std::move(*copied));
    return true;
}

std::uint32_t WlrScreenReader::Pixel(int x, int y) const {
    return layout_.Pixel(x, y);
}

bool WlrScreenReader::PixelExists(int x, int y) const {
    return layout_.PixelExists(x, y);
}

void WlrScreenReader::StretchCopy(const QRect& source, QImage& target,
                                  const QRect& destination) const {
    StretchPixels(source, target, destination);
}

} // namespace tintorel
