#include "platform/screen/portal/caststream.h"
#include "tests/platform/desktop/monitor.h"

#include <gtest/gtest.h>

namespace tintorel {
namespace {

// Monitors the portal did not place take the place of the toolkit's screen
// of their size, whether the portal gave the size in logical units or in
// device pixels; each screen once, in order.
TEST(PlaceStreams, UnplacedMonitorsTakeTheScreensOfTheirSize) {
    const std::vector<ScreenPlace> screens = {
        {0, 0, 1920, 1080, 1.0}, {1920, 0, 1280, 720, 2.0}, {3200, 0, 1920, 1080, 1.0}};
    const struct {
        const char* what;
        std::vector<MonitorFrame> monitors;
        std::vector<bool> placed;
        std::vector<MonitorFrame> expected;
        std::vector<bool> sure; // one screen alone could be the monitor's
    } cases[] = {
        {"device pixels, out of order",
         {Monitor(0, 0, 2560, 1440), Monitor(0, 0, 1920, 1080), Monitor(0, 0, 1920, 1080)},
         {false, false, false},
         {Monitor(1920, 0, 1280, 720), Monitor(0, 0, 1920, 1080), Monitor(3200, 0, 1920, 1080)},
         {true, false, false}},
        {"a placed monitor keeps its screen",
         {Monitor(0, 0, 1920, 1080), Monitor(0, 0, 1920, 1080)},
         {true, false},
         {Monitor(0, 0, 1920, 1080), Monitor(3200, 0, 1920, 1080)},
         {true, true}},
        {"no size: the next screen left",
         {Monitor(0, 0, 1280, 720), Monitor(0, 0, 0, 0)},
         {false, false},
         {Monitor(1920, 0, 1280, 720), Monitor(0, 0, 1920, 1080)},
         {true, false}},
        {"more monitors than screens",
         {Monitor(0, 0, 800, 600)},
         {false},
         {Monitor(0, 0, 800, 600)},
         {false}},
    };
    for (const auto& c : cases) {
        std::vector<CastStream> streams;
        for (std::size_t i = 0; i < c.monitors.size(); ++i) {
            streams.push_back({static_cast<std::uint32_t>(40 + i), c.monitors[i], c.placed[i]});
        }
        PlaceStreams(streams, screens);
        ASSERT_EQ(streams.size(), c.expected.size()) << c.what;
        for (std::size_t i = 0; i < streams.size(); ++i) {
            const MonitorFrame& monitor = streams[i].monitor;
            EXPECT_EQ(streams[i].node, 40 + i) << c.what << " #" << i;
            EXPECT_EQ(monitor.x, c.expected[i].x) << c.what << " #" << i;
            EXPECT_EQ(monitor.y, c.expected[i].y) << c.what << " #" << i;
            EXPECT_EQ(monitor.width, c.expected[i].width) << c.what << " #" << i;
            EXPECT_EQ(monitor.height, c.expected[i].height) << c.what << " #" << i;
            EXPECT_EQ(monitor.sure, c.sure[i]) << c.what << " #" << i;
        }
    }
}

} // namespace
} // namespace tintorel
