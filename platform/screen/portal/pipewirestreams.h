// The PipeWire side of the pipette on a Wayland desktop: one context on the
// descriptor the portal gave, one input stream per shared monitor, the
// newest frame and pointer of each kept in a DesktopFrames. PipeWire's loop
// runs in Qt's, on the UI thread.
#pragma once

#include "platform/desktop/desktopframes.h"
#include "platform/screen/portal/caststream.h"

#include <QSocketNotifier>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct pw_loop;
struct pw_context;
struct pw_core;
struct pw_core_events;
struct pw_stream_events;
struct spa_hook;

namespace tintorel {

namespace detail {
struct PipeWireStream;
struct PipeWireCallbacks;
} // namespace detail

class PipeWireStreams {
public:
    struct Events {
        // A stream or the connection ended for good (a monitor unplugged,
        // the compositor ended the cast, PipeWire went away). Called from
        // within PipeWire's callbacks: the owner must not destroy the
        // streams before they return.
        std::function<void(const std::string& reason)> failed;
        // Whether every stream not paused is streaming now.
        std::function<void(bool streaming)> streaming;
    };

    // Takes `descriptor` (closed with the streams); one PipeWire stream for
    // each of `streams`, its monitor where it was placed.
    PipeWireStreams(int descriptor, const std::vector<CastStream>& streams, Events events);
    ~PipeWireStreams();
    PipeWireStreams(const PipeWireStreams&) = delete;
    PipeWireStreams& operator=(const PipeWireStreams&) = delete;

    bool Connected() const { return core_ != nullptr; }
    // Pauses or resumes stream `index`: a paused stream costs the desktop
    // nothing, and its frame is not read until a new one comes.
    void SetActive(std::size_t index, bool active);
    DesktopFrames& Frames() { return frames_; }
    const DesktopFrames& Frames() const { return frames_; }

private:
    friend struct detail::PipeWireCallbacks;
    void ReportStreaming();

    pw_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    std::unique_ptr<::spa_hook> coreListener_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::unique_ptr<detail::PipeWireStream>> streams_;
    DesktopFrames frames_;
    Events events_;
    std::unique_ptr<::pw_stream_events> streamEvents_;
    std::unique_ptr<::pw_core_events> coreEvents_;
};

} // namespace tintorel
