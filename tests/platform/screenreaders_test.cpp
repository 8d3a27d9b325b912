// Which reader the pipette gets: every combination of the user's choice,
// the session and an X server that is XWayland.
#include "platform/screenreaders.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

TEST(ChooseReader, XWaylandIsNeverReadUnlessTheUserAsks) {
    const struct {
        const char* chosen;
        bool waylandSession;
        bool xwayland;
        ReaderKind kind;
        bool noted;
    } cases[] = {
        {"", false, false, ReaderKind::X11, false},
        {"", false, true, ReaderKind::Wayland, true}, // only DISPLAY reached the program
        {"", true, false, ReaderKind::Wayland, false},
        {"", true, true, ReaderKind::Wayland, false},
        {"x11", false, false, ReaderKind::X11, false},
        {"x11", true, false, ReaderKind::X11, false},
        {"x11", true, true, ReaderKind::X11, true}, // the user's choice, logged as such
        {"x11", false, true, ReaderKind::X11, true},
        {"wlroots", false, false, ReaderKind::Wayland, false},
        {"portal", false, true, ReaderKind::Wayland, false},
        {"portal", true, false, ReaderKind::Wayland, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.chosen << "\" wayland " << c.waylandSession
                                        << " xwayland " << c.xwayland);
        const ReaderChoice choice = ChooseReader(c.chosen, c.waylandSession, c.xwayland);
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(!choice.note.empty(), c.noted);
        if (c.noted) {
            EXPECT_NE(choice.note.find("XWayland"), std::string::npos) << choice.note;
        }
    }
}

} // namespace
} // namespace tintorel
