#include "platform/desktop/ownwindowpointer.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

using namespace std::chrono_literals;
using Clock = OwnWindowPointer::Clock;

// Our windows' events and the streams' pointer, which lags behind them.
TEST(OwnWindowPointer, OurWindowsAndTheStreamsTogether) {
    const Clock::time_point t0{};
    const DesktopPoint there{10, 10};
    const DesktopPoint elsewhere{300, 40};
    const struct {
        const char* what;
        void (OwnWindowPointer::*event)(Clock::time_point, std::optional<DesktopPoint>);
        std::chrono::milliseconds later;
        std::optional<DesktopPoint> stream;
        bool over;
    } cases[] = {
        // Just entered: ours, whatever the lagging streams say.
        {"entered", &OwnWindowPointer::Entered, 200ms, elsewhere, true},
        // Long since entered, the streams seeing it where it was: still ours.
        {"resting inside", &OwnWindowPointer::Entered, 10s, there, true},
        // Long since entered, the streams seeing it elsewhere: the Leave was
        // missed (the pointer device went away), so sample again.
        {"missed leave", &OwnWindowPointer::Moved, 10s, elsewhere, false},
        {"missed leave, no stream pointer", &OwnWindowPointer::Moved, 10s, std::nullopt, false},
        // Just left: still ours whatever the streams say, so the pipette
        // does not sample its own button from a lagging stream.
        {"just left", &OwnWindowPointer::Left, 200ms, elsewhere, true},
        // Then ours while the streams do not see it move.
        {"left, the streams behind", &OwnWindowPointer::Left, 500ms, there, true},
        {"left and moved on", &OwnWindowPointer::Left, 500ms, elsewhere, false},
        // Left a while ago: the streams' word holds at most kStreamLag.
        {"left long ago", &OwnWindowPointer::Left, 2s, there, false},
    };
    for (const auto& c : cases) {
        OwnWindowPointer pointer;
        (pointer.*c.event)(t0, there);
        EXPECT_EQ(pointer.Over(t0 + c.later, c.stream), c.over) << c.what;
    }
    EXPECT_FALSE(OwnWindowPointer().Over(t0, there)) << "never entered";
}

// The pointer comes to rest on our window (its pipette button) while the
// streams still show it on its way there; they catch up a moment later.
// Within the window's reach of where they showed it at the last event,
// that is where it rests, however long; beyond it (the pointer left
// without a Leave, its device gone), it is sampled again.
TEST(OwnWindowPointer, ARestingPointerStaysOursOnceTheStreamsCaughtUp) {
    const Clock::time_point t0{};
    const DesktopPoint onTheWay{90, 30};
    const DesktopPoint button{120, 40};
    const DesktopPoint farAway{600, 300};
    const struct {
        const char* what;
        int reach;
        std::optional<DesktopPoint> caughtUp; // what the streams show after the last event
        bool overLater;                       // long after, the streams still showing it
    } cases[] = {
        {"caught up on the window", 200, button, true},
        {"no reach set", 0, button, false},
        {"gone beyond the window's reach", 200, farAway, false},
        {"gone beyond it downward", 200, DesktopPoint{100, 400}, false},
        {"just within reach", 30, button, true},
        {"just beyond reach", 29, button, false},
        {"no stream pointer", 200, std::nullopt, false},
    };
    for (const auto& c : cases) {
        OwnWindowPointer pointer;
        pointer.SetReach(c.reach);
        pointer.Entered(t0, onTheWay);
        pointer.Moved(t0 + 100ms, onTheWay); // the last event: the pointer rests
        EXPECT_TRUE(pointer.Over(t0 + 250ms, onTheWay)) << c.what;
        EXPECT_TRUE(pointer.Over(t0 + 500ms, c.caughtUp)) << c.what;
        EXPECT_TRUE(pointer.Over(t0 + 1s, c.caughtUp)) << c.what;
        EXPECT_EQ(pointer.Over(t0 + 60s, c.caughtUp), c.overLater) << c.what;
        // Where the streams showed it at the last event no longer counts
        // once they settled elsewhere.
        EXPECT_EQ(pointer.Over(t0 + 60s, onTheWay), !c.overLater || c.caughtUp == onTheWay)
            << c.what;
    }
    // Settled, it is still sampled once the streams see it move on.
    OwnWindowPointer pointer;
    pointer.SetReach(200);
    pointer.Moved(t0, onTheWay);
    pointer.Over(t0 + 500ms, button);
    EXPECT_FALSE(pointer.Over(t0 + 60s, farAway));
}

// A pointer that jumped onto our window far from where the streams showed
// it at the window's event, or while they showed none (its sprite
// changing as it entered): where they first show it meanwhile anchors it,
// and anywhere on our window's monitor is where it came to rest. Far off on
// another monitor (its device gone without a Leave) it is sampled again.
TEST(OwnWindowPointer, AJumpOntoOurWindowRestsWhereTheStreamsCatchUp) {
    const Clock::time_point t0{};
    const LogicalRect home{0, 0, 640, 480};
    const DesktopPoint before{600, 20};     // where it was before the jump
    const DesktopPoint onWindow{40, 262};   // where it came to rest
    const DesktopPoint elsewhere{900, 300}; // on another monitor
    const struct {
        const char* what;
        std::optional<DesktopPoint> atEvent;
        std::optional<LogicalRect> home;
        DesktopPoint caughtUp;
        bool overLater;
    } cases[] = {
        {"no pointer at the event", std::nullopt, std::nullopt, onWindow, true},
        {"far, on our monitor", before, home, onWindow, true},
        {"far, monitor not known", before, std::nullopt, onWindow, false},
        {"gone to another monitor", before, home, elsewhere, false},
        {"gone there before the streams showed it: cannot be told", std::nullopt, home, elsewhere,
         true},
    };
    for (const auto& c : cases) {
        OwnWindowPointer pointer;
        pointer.SetReach(100);
        pointer.SetHome(c.home);
        pointer.Entered(t0, c.atEvent);
        EXPECT_TRUE(pointer.Over(t0 + 200ms, std::nullopt)) << c.what;
        EXPECT_TRUE(pointer.Over(t0 + 500ms, c.caughtUp)) << c.what;
        EXPECT_EQ(pointer.Over(t0 + 60s, c.caughtUp), c.overLater) << c.what;
    }
}

// The first tick after the pointer left our window never samples, whatever
// the lagging streams say; nor later ones while the streams have not moved.
TEST(OwnWindowPointer, TheFirstTickAfterTheLeaveNeverSamples) {
    const Clock::time_point t0{};
    const DesktopPoint button{120, 40};
    const DesktopPoint elsewhere{600, 300};
    OwnWindowPointer left;
    left.Entered(t0, button);
    left.Left(t0 + 1s, button);
    EXPECT_TRUE(left.Over(t0 + 1s + OwnWindowPointer::kLeaving - 1ms, elsewhere));
    EXPECT_FALSE(left.Over(t0 + 1s + OwnWindowPointer::kLeaving, elsewhere));
    EXPECT_TRUE(left.Over(t0 + 1s + OwnWindowPointer::kLeaving, button));
    EXPECT_FALSE(left.Over(t0 + 1s + OwnWindowPointer::kStreamLag + 1ms, button));
}

} // namespace
} // namespace tintorel
