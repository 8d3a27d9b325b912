#include "platform/screen/portal/caststream.h"

#include "util/utilnumber.h"

namespace tintorel {

void PlaceStreams(std::vector<CastStream>& streams, const std::vector<ScreenPlace>& screens) {
    std::vector<bool> taken(screens.size(), false);
    const auto same = [](const MonitorFrame& monitor, const ScreenPlace& screen) {
        const auto device = [&screen](int logical) {
            return TruncToInt(logical * screen.scale + 0.5);
        };
        return (monitor.width == screen.width && monitor.height == screen.height) ||
               (monitor.width == device(screen.width) && monitor.height == device(screen.height));
    };
    // Placed monitors keep the screens at their places for themselves.
    for (const CastStream& stream : streams) {
        if (stream.placed) {
            for (std::size_t s = 0; s < screens.size(); ++s) {
                if (!taken[s] && screens[s].x == stream.monitor.x &&
                    screens[s].y == stream.monitor.y) {
                    taken[s] = true;
                    break;
                }
            }
        }
    }
    const auto take = [&](MonitorFrame& monitor, std::size_t s) {
        taken[s] = true;
        monitor.x = screens[s].x;
        monitor.y = screens[s].y;
        monitor.width = screens[s].width;
        monitor.height = screens[s].height;
    };
    // How many of the screens left could be this monitor.
    const auto candidates = [&](const MonitorFrame& monitor) {
        std::size_t count = 0;
        for (std::size_t s = 0; s < screens.size(); ++s) {
            count += !taken[s] && same(monitor, screens[s]) ? 1 : 0;
        }
        return count;
    };
    std::vector<std::size_t> choices(streams.size(), 0);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        choices[i] = candidates(streams[i].monitor);
    }
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (streams[i].placed) {
            continue;
        }
        MonitorFrame& monitor = streams[i].monitor;
        monitor.sure = choices[i] == 1;
        bool found = false;
        for (std::size_t s = 0; s < screens.size() && !found; ++s) {
            if (!taken[s] && same(monitor, screens[s])) {
                take(monitor, s);
                found = true;
            }
        }
        for (std::size_t s = 0; s < screens.size() && !found; ++s) {
            const bool sizeKnown = monitor.width > 0 && monitor.height > 0;
            if (!taken[s] && !sizeKnown) {
                take(monitor, s);
                found = true;
            }
        }
    }
}

} // namespace tintorel
