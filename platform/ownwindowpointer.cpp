#include "platform/ownwindowpointer.h"

namespace tintorel {

void OwnWindowPointer::Saw(Clock::time_point now, std::optional<DesktopPoint> stream) {
    known_ = true;
    last_ = now;
    seen_ = stream;
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

bool OwnWindowPointer::Over(Clock::time_point now, std::optional<DesktopPoint> stream) const {
    if (!known_) {
        return false; // our windows never saw it
    }
    const bool recent = now - last_ <= kStreamLag;
    const bool unmoved = stream.has_value() && stream == seen_;
    if (inside_) {
        return recent || unmoved;
    }
    return now - last_ < kLeaving || (recent && unmoved);
}

} // namespace tintorel
