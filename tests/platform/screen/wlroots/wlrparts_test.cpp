// The parts of the wlroots client that need no compositor: shared-memory
// sizes and files, what an output's events make of it, what a copy makes
// of the buffers offered, and the seat's keys and buttons, driven through
// the listener functions the compositor's events reach.
#include "platform/screen/wlroots/wlrcopy.h"
#include "platform/screen/wlroots/wlroutput.h"
#include "platform/screen/wlroots/wlrseat.h"
#include "platform/screen/wlroots/wlrshm.h"

#include <gtest/gtest.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdlib>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace tintorel {
namespace {

constexpr std::optional<std::size_t> kNone = std::nullopt;

TEST(ShmBufferBytes, TakesOnlySizesOfABuffer) {
    const struct {
        int width, height, stride;
        std::optional<std::size_t> bytes;
    } cases[] = {
        {1, 1, 4, 4},
        {2, 3, 8, 24},
        {2, 3, 12, 36},   // rows padded
        {2, 1, 7, kNone}, // rows shorter than their pixels
        {0, 1, 4, kNone},
        {1, 0, 4, kNone},
        {-1, 1, 4, kNone},
        {1, -1, 4, kNone},
        {1, 1, -4, kNone},
        {1 << 14, 1 << 14, 1 << 16, std::size_t{1} << 30},
        {1 << 14, 1 << 15, 1 << 16, kNone}, // 2 GiB: beyond a pool's size
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShmBufferBytes(c.width, c.height, c.stride), c.bytes)
            << c.width << " x " << c.height << ", stride " << c.stride;
    }
}

TEST(ShmFile, MapsZerosThatCanBeWrittenAndLetsThemGo) {
    ShmFile file;
    ASSERT_TRUE(file.Create(4096));
    EXPECT_EQ(file.Size(), 4096u);
    ASSERT_NE(file.Data(), nullptr);
    EXPECT_TRUE(
        std::all_of(file.Data(), file.Data() + 4096, [](std::uint8_t b) { return b == 0; }));
    file.Data()[4095] = 0xAB;
    // The file is what the compositor maps: it holds what was written.
    std::uint8_t last = 0;
    ASSERT_EQ(pread(file.Fd(), &last, 1, 4095), 1);
    EXPECT_EQ(last, 0xAB);
    ASSERT_TRUE(file.Create(16)); // a new one in place of the old
    EXPECT_EQ(file.Size(), 16u);
    EXPECT_EQ(file.Data()[0], 0);
    const int fd = file.Fd();
    file.Release();
    EXPECT_TRUE(fcntl(fd, F_GETFD) == -1 && errno == EBADF);
    EXPECT_EQ(file.Fd(), -1);
    EXPECT_EQ(file.Data(), nullptr);
    EXPECT_EQ(file.Size(), 0u);
    file.Release();
    EXPECT_FALSE(file.Create(0));
    EXPECT_EQ(file.Fd(), -1);
}

// An output's events as the compositor sends them; no output object.
TEST(WlrOutput, KeepsWhatItsEventsSay) {
    WlrOutput output(7, nullptr);
    EXPECT_EQ(output.Name(), 7u);
    WlrOutput::OnGeometry(&output, nullptr, 1920, 40, 300, 200, 0, "make", "model",
                          WL_OUTPUT_TRANSFORM_90);
    WlrOutput::OnMode(&output, nullptr, 0, 640, 480, 60000); // a mode not in use
    WlrOutput::OnMode(&output, nullptr, WL_OUTPUT_MODE_CURRENT, 2560, 1440, 60000);
    WlrOutput::OnMode(&output, nullptr, WL_OUTPUT_MODE_PREFERRED, 800, 600, 60000);
    WlrOutput::OnScale(&output, nullptr, 0); // nonsense: taken as 1
    OutputReport report = output.Report();
    EXPECT_EQ(report.x, 1920);
    EXPECT_EQ(report.y, 40);
    EXPECT_EQ(report.transform, WL_OUTPUT_TRANSFORM_90);
    EXPECT_EQ(report.modeWidth, 2560);
    EXPECT_EQ(report.modeHeight, 1440);
    EXPECT_EQ(report.scale, 1);
    EXPECT_FALSE(report.logical);
    // Without xdg-output's place, the output's own.
    EXPECT_EQ(output.OnDesktop(10.5, 2), std::make_pair(1930.5, 42.0));

    WlrOutput::OnScale(&output, nullptr, 2);
    WlrOutput::OnLogicalPosition(&output, nullptr, 1000, 0);
    EXPECT_FALSE(output.Report().logical) << "a place without a size places nothing";
    WlrOutput::OnLogicalSize(&output, nullptr, 720, 1280);
    report = output.Report();
    EXPECT_EQ(report.scale, 2);
    ASSERT_TRUE(report.logical);
    EXPECT_EQ(*report.logical, (LogicalRect{1000, 0, 720, 1280}));
    EXPECT_EQ(output.OnDesktop(10.5, 2), std::make_pair(1010.5, 2.0));
    // The output moved.
    WlrOutput::OnLogicalPosition(&output, nullptr, -720, 100);
    EXPECT_EQ(*output.Report().logical, (LogicalRect{-720, 100, 720, 1280}));

    // No overlay without an output to put it on.
    output.ShowOverlay({}, [] {});
    EXPECT_FALSE(output.OverlayShown());
    EXPECT_FALSE(output.IsOverlay(nullptr));
    WlrOutput::OnOverlayClosed(&output, nullptr); // a late close: nothing to do
}

TEST(WlrCopy, TakesTheFirstBufferItCanReadWithinReason) {
    const RegionRequest request{2, {10, 20, 9, 9}, {10, 20, 9, 9}};
    WlrCopy copy(nullptr, nullptr, nullptr, request);
    WlrCopy::OnBuffer(&copy, nullptr, 0x3231564E, 9, 9, 36);                    // NV12: not read
    WlrCopy::OnBuffer(&copy, nullptr, WL_SHM_FORMAT_XRGB8888, 1U << 15, 9, 36); // too wide
    WlrCopy::OnBuffer(&copy, nullptr, WL_SHM_FORMAT_XRGB8888, 9, 9, 1U << 18);  // too long rows
    WlrCopy::OnBuffer(&copy, nullptr, WL_SHM_FORMAT_XBGR8888, 9, 9, 40);
    WlrCopy::OnBuffer(&copy, nullptr, WL_SHM_FORMAT_XRGB8888, 18, 18, 72); // the first stays
    WlrCopy::OnFlags(&copy, nullptr, 1 /* y_invert */);
    EXPECT_FALSE(copy.Done());
    EXPECT_FALSE(copy.Failed());
    // No shared memory to copy into: the copy fails rather than wait.
    WlrCopy::OnBuffersDone(&copy, nullptr);
    EXPECT_TRUE(copy.Failed());
    WlrCopy::OnReady(&copy, nullptr, 0, 0, 0);
    EXPECT_TRUE(copy.Done());
    const CopiedRegion copied = copy.Take();
    EXPECT_EQ(copied.output, 2u);
    EXPECT_EQ(copied.region, (LogicalRect{10, 20, 9, 9}));
    EXPECT_EQ(copied.format, *FrameFormatOfShm(WL_SHM_FORMAT_XBGR8888));
    EXPECT_EQ(copied.width, 9);
    EXPECT_EQ(copied.height, 9);
    EXPECT_EQ(copied.stride, 40);
    EXPECT_TRUE(copied.yInverted);
}

TEST(WlrCopy, FailsWithoutAnyBufferItCanRead) {
    WlrCopy offered(nullptr, nullptr, nullptr, {});
    WlrCopy::OnBuffer(&offered, nullptr, 0x3231564E, 9, 9, 36);
    WlrCopy::OnBuffersDone(&offered, nullptr);
    EXPECT_TRUE(offered.Failed());
    WlrCopy failed(nullptr, nullptr, nullptr, {});
    WlrCopy::OnFailed(&failed, nullptr);
    EXPECT_TRUE(failed.Failed());
    EXPECT_FALSE(failed.Done());
}

// A layout as a compositor sends it: text in a file, closed by the seat.
int KeymapFile(const char* options, std::uint32_t& size) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{"evdev", "pc105", "us", "", options};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text =
        keymap != nullptr ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    size = text != nullptr ? static_cast<std::uint32_t>(std::strlen(text) + 1) : 0;
    if (text != nullptr && write(fd, text, size) != static_cast<ssize_t>(size)) {
        size = 0;
    }
    std::free(text);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return fd;
}

bool Closed(int fd) {
    return fcntl(fd, F_GETFD) == -1 && errno == EBADF;
}

constexpr std::uint32_t kEscapeKey = 1; // the kernel's codes
constexpr std::uint32_t kCapsLockKey = 58;

TEST(WlrSeat, EscapeIsTheKeyTheLayoutMakesEscape) {
    WlrSeat seat(nullptr, {});
    EXPECT_TRUE(seat.IsEscape(kEscapeKey)); // no layout yet: the usual place
    EXPECT_FALSE(seat.IsEscape(kCapsLockKey));

    std::uint32_t size = 0;
    int fd = KeymapFile("caps:escape", size);
    ASSERT_GT(size, 0u) << "no keyboard layouts (xkb-data) on this machine";
    WlrSeat::OnKeymap(&seat, nullptr, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
    EXPECT_TRUE(Closed(fd));
    EXPECT_TRUE(seat.IsEscape(kCapsLockKey));
    EXPECT_FALSE(seat.IsEscape(30)); // A

    // A layout it cannot read, or of no known kind: Escape's usual place.
    const struct {
        std::uint32_t format;
        std::string text;
    } unreadable[] = {
        {WL_KEYBOARD_KEYMAP_FORMAT_NO_KEYMAP, "xkb_keymap {};"},
        {WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, "not a keymap at all"},
        {WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, ""},
    };
    for (const auto& u : unreadable) {
        fd = memfd_create("keymap", MFD_CLOEXEC);
        ASSERT_EQ(write(fd, u.text.c_str(), u.text.size() + 1),
                  static_cast<ssize_t>(u.text.size() + 1));
        WlrSeat::OnKeymap(&seat, nullptr, u.format, fd,
                          u.text.empty() ? 0 : static_cast<std::uint32_t>(u.text.size() + 1));
        EXPECT_TRUE(Closed(fd)) << u.text;
        EXPECT_TRUE(seat.IsEscape(kEscapeKey)) << u.text;
        EXPECT_FALSE(seat.IsEscape(kCapsLockKey)) << u.text;
    }
}

TEST(WlrSeat, TellsOfThePointerAndOfEscapeOnlyWhenPressed) {
    std::vector<std::string> heard;
    WlrSeat::Events events;
    wl_surface* const overlay = reinterpret_cast<wl_surface*>(&heard);
    events.entered = [&](wl_surface* surface, double x, double y) {
        heard.push_back("enter " + std::to_string(surface == overlay) + " " +
                        std::to_string(static_cast<int>(x)) + "," +
                        std::to_string(static_cast<int>(y)));
        return true;
    };
    events.moved = [&](wl_surface* surface, double x, double y) {
        heard.push_back("move " + std::to_string(surface == overlay) + " " +
                        std::to_string(x).substr(0, 4) + "," + std::to_string(static_cast<int>(y)));
    };
    events.left = [&] { heard.push_back("leave"); };
    events.clicked = [&](wl_surface* surface) {
        heard.push_back("click " + std::to_string(surface == overlay));
    };
    events.escape = [&] { heard.push_back("escape"); };
    WlrSeat seat(nullptr, events);

    WlrSeat::OnMotion(&seat, nullptr, 0, wl_fixed_from_int(5), wl_fixed_from_int(5)); // on nothing
    WlrSeat::OnButton(&seat, nullptr, 0, 0, 0x110, WL_POINTER_BUTTON_STATE_PRESSED);
    WlrSeat::OnEnter(&seat, nullptr, 1, overlay, wl_fixed_from_int(3), wl_fixed_from_int(4));
    WlrSeat::OnMotion(&seat, nullptr, 0, wl_fixed_from_double(2.5), wl_fixed_from_int(9));
    WlrSeat::OnButton(&seat, nullptr, 0, 0, 0x110, WL_POINTER_BUTTON_STATE_RELEASED);
    WlrSeat::OnButton(&seat, nullptr, 0, 0, 0x110, WL_POINTER_BUTTON_STATE_PRESSED);
    WlrSeat::OnKey(&seat, nullptr, 0, 0, kEscapeKey, 0); // released
    WlrSeat::OnKey(&seat, nullptr, 0, 0, 30, 1);         // A pressed
    WlrSeat::OnKey(&seat, nullptr, 0, 0, kEscapeKey, 1);
    WlrSeat::OnLeave(&seat, nullptr, 0, overlay);
    WlrSeat::OnMotion(&seat, nullptr, 0, wl_fixed_from_int(1), wl_fixed_from_int(1));
    WlrSeat::OnButton(&seat, nullptr, 0, 0, 0x110, WL_POINTER_BUTTON_STATE_PRESSED);
    const std::vector<std::string> expected = {"enter 1 3,4", "move 1 2.50,9", "click 1", "escape",
                                               "leave"};
    EXPECT_EQ(heard, expected);
}

} // namespace
} // namespace tintorel
