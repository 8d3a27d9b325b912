#include "platform/desktop/ownwindowpointer.h"

#include <cstdlib>

namespace tintorel {

void OwnWindowPointer::Saw(Clock::time_point now, std::optional<DesktopPoint> stream) {
    known_ = true;
    last_ = now;
    seen_ = stream;
    settled_ = stream;
}

void OwnWindowPointer::Entered(Clock::time_point now, std::optional<DesktopPoint> stream) {
    inside_ = true;
    Saw(now, stream);
}

void OwnWindowPointer::Moved(Clock::time_point now, std::optional<DesktopPoint> stream) {
    inside_ = true;
    Saw(now, stream);
}

void OwnWindowPointer::Left(Clock::time_point now, std::optional<DesktopPoint> stream) {
    inside_ = false;
    Saw(now, stream);
}

bool OwnWindowPointer::Over(Clock::time_point now, std::optional<DesktopPoint> stream) {
    if (!known_) {
        return false; // our windows never saw it
    }
    const bool recent = now - last_ <= kStreamLag;
    if (inside_) {
        if (recent && !seen_ && stream) {
            // The streams had no pointer at the last event (the sprite
            // changing as it entered): their first report anchors it.
            seen_ = stream;
        }
        const bool nearSeen = stream && seen_ && std::abs(stream->x - seen_->x) <= reach_ &&
                              std::abs(stream->y - seen_->y) <= reach_;
        const bool onHome = stream && home_ && stream->x >= home_->x && stream->y >= home_->y &&
                            stream->x - home_->x < home_->width &&
                            stream->y - home_->y < home_->height;
        if (recent && (nearSeen || onHome)) {
            settled_ = stream;
        }
        return recent || (stream.has_value() && stream == settled_);
    }
    return now - last_ < kLeaving || (recent && stream.has_value() && stream == seen_);
}

} // namespace tintorel
