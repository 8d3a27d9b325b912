#include "platform/screen/portal/pipewirestreams.h"

#include "platform/screen/portal/streamformat.h"

#include <algorithm>
#include <unistd.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>

namespace tintorel {

namespace detail {

struct PipeWireStream {
    PipeWireStreams* owner = nullptr;
    std::size_t index = 0;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    spa_video_info_raw format{};
    bool streamed = false;
    bool streaming = false;
    bool active = true;
};

// PipeWire's callbacks, with the signatures it calls them with.
struct PipeWireCallbacks {
    static void OnProcess(void* data);
    static void OnParamChanged(void* data, std::uint32_t id, const spa_pod* param);
    static void OnStateChanged(void* data, pw_stream_state old, pw_stream_state state,
                               const char* error);
    static void OnCoreError(void* data, std::uint32_t id, int seq, int res, const char* message);
};

} // namespace detail

using detail::PipeWireCallbacks;
using Stream = detail::PipeWireStream;

PipeWireStreams::PipeWireStreams(int descriptor, const std::vector<CastStream>& streams,
                                 Events events)
    : coreListener_(std::make_unique<spa_hook>()), events_(std::move(events)),
      streamEvents_(std::make_unique<pw_stream_events>()),
      coreEvents_(std::make_unique<pw_core_events>()) {
    pw_init(nullptr, nullptr);
    loop_ = pw_loop_new(nullptr);
    if (loop_ == nullptr) {
        close(descriptor);
        return;
    }
    pw_loop_enter(loop_);
    notifier_ = std::make_unique<QSocketNotifier>(pw_loop_get_fd(loop_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated,
                     [this] { pw_loop_iterate(loop_, 0); });
    context_ = pw_context_new(loop_, nullptr, 0);
    if (context_ == nullptr) {
        close(descriptor);
        return;
    }
    core_ = pw_context_connect_fd(context_, descriptor, nullptr, 0);
    if (core_ == nullptr) {
        return;
    }
    *coreListener_ = {};
    coreEvents_->version = PW_VERSION_CORE_EVENTS;
    coreEvents_->error = &PipeWireCallbacks::OnCoreError;
    pw_core_add_listener(core_, coreListener_.get(), coreEvents_.get(), this);

    streamEvents_->version = PW_VERSION_STREAM_EVENTS;
    streamEvents_->process = &PipeWireCallbacks::OnProcess;
    streamEvents_->param_changed = &PipeWireCallbacks::OnParamChanged;
    streamEvents_->state_changed = &PipeWireCallbacks::OnStateChanged;

    std::vector<MonitorFrame> monitors;
    for (const CastStream& cast : streams) {
        monitors.push_back(cast.monitor);
    }
    frames_.SetMonitors(std::move(monitors));
    for (std::size_t i = 0; i < streams.size(); ++i) {
        auto stream = std::make_unique<Stream>();
        stream->owner = this;
        stream->index = i;
        stream->stream =
            pw_stream_new(core_, "Tintorel pipette",
                          pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                            "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
        if (stream->stream == nullptr) {
            continue;
        }
        pw_stream_add_listener(stream->stream, &stream->listener, streamEvents_.get(),
                               stream.get());
        std::uint8_t buffer[1024];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
        const spa_pod* params[1] = {BuildEnumFormat(builder)};
        // The node is given as the target id, not as a target.object
        // property: some session managers read a number there as a serial.
        pw_stream_connect(
            stream->stream, PW_DIRECTION_INPUT, streams[i].node,
            static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS),
            params, 1);
        streams_.push_back(std::move(stream));
    }
}

PipeWireStreams::~PipeWireStreams() {
    for (const auto& stream : streams_) {
        spa_hook_remove(&stream->listener);
        pw_stream_destroy(stream->stream);
    }
    if (core_ != nullptr) {
        spa_hook_remove(coreListener_.get());
        pw_core_disconnect(core_);
    }
    if (context_ != nullptr) {
        pw_context_destroy(context_);
    }
    notifier_.reset();
    if (loop_ != nullptr) {
        pw_loop_leave(loop_);
        pw_loop_destroy(loop_);
    }
}

void PipeWireCallbacks::OnParamChanged(void* data, std::uint32_t id, const spa_pod* param) {
    auto* stream = static_cast<Stream*>(data);
    if (param == nullptr || id != SPA_PARAM_Format) {
        return;
    }
    std::uint32_t mediaType = 0;
    std::uint32_t mediaSubtype = 0;
    if (spa_format_parse(param, &mediaType, &mediaSubtype) < 0 ||
        mediaType != SPA_MEDIA_TYPE_video || mediaSubtype != SPA_MEDIA_SUBTYPE_raw ||
        spa_format_video_raw_parse(param, &stream->format) < 0) {
        return;
    }
    std::uint8_t buffer[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    const spa_pod* params[3];
    BuildBufferParams(builder, params);
    pw_stream_update_params(stream->stream, params, 3);
}

void PipeWireCallbacks::OnProcess(void* data) {
    auto* stream = static_cast<Stream*>(data);
    // Only the newest buffer matters; older ones go straight back.
    pw_buffer* newest = nullptr;
    while (pw_buffer* next = pw_stream_dequeue_buffer(stream->stream)) {
        if (newest != nullptr) {
            pw_stream_queue_buffer(stream->stream, newest);
        }
        newest = next;
    }
    if (newest == nullptr) {
        return;
    }
    spa_buffer* buffer = newest->buffer;
    DesktopFrames& frames = stream->owner->frames_;
    const auto* header = static_cast<const spa_meta_header*>(
        spa_buffer_find_meta_data(buffer, SPA_META_Header, sizeof(spa_meta_header)));
    if (header == nullptr || (header->flags & SPA_META_HEADER_FLAG_CORRUPTED) == 0) {
        const auto* cursor = static_cast<const spa_meta_cursor*>(
            spa_buffer_find_meta_data(buffer, SPA_META_Cursor, sizeof(spa_meta_cursor)));
        if (cursor != nullptr) {
            frames.SetPointer(stream->index, spa_meta_cursor_is_valid(cursor), cursor->position.x,
                              cursor->position.y);
        }
        // A buffer whose chunk is empty carries only the pointer.
        if (buffer->n_datas > 0 && buffer->datas[0].data != nullptr &&
            buffer->datas[0].chunk->size > 0) {
            const spa_data& plane = buffer->datas[0];
            const int width = static_cast<int>(stream->format.size.width);
            const int stride = plane.chunk->stride > 0 ? plane.chunk->stride : width * 4;
            const std::size_t offset = std::min<std::size_t>(plane.chunk->offset, plane.maxsize);
            const std::size_t size =
                std::min<std::size_t>(plane.chunk->size, plane.maxsize - offset);
            frames.SetFrame(stream->index, width, static_cast<int>(stream->format.size.height),
                            stride, FrameFormatOf(stream->format.format),
                            static_cast<const std::uint8_t*>(plane.data) + offset, size);
        }
    }
    pw_stream_queue_buffer(stream->stream, newest);
}

void PipeWireCallbacks::OnStateChanged(void* data, pw_stream_state, pw_stream_state state,
                                       const char* error) {
    auto* stream = static_cast<Stream*>(data);
    stream->streaming = state == PW_STREAM_STATE_STREAMING;
    if (stream->streaming) {
        stream->streamed = true;
    } else if (state == PW_STREAM_STATE_ERROR ||
               (state == PW_STREAM_STATE_UNCONNECTED && stream->streamed)) {
        // The monitor went away, or the compositor ended the cast.
        stream->owner->events_.failed(std::string("the screen stream ended: ") +
                                      (error != nullptr ? error : "unconnected"));
        return;
    }
    stream->owner->ReportStreaming();
}

void PipeWireStreams::SetActive(std::size_t index, bool active) {
    const auto stream = std::find_if(streams_.begin(), streams_.end(),
                                     [index](const auto& s) { return s->index == index; });
    if (stream == streams_.end() || (*stream)->active == active) {
        return;
    }
    (*stream)->active = active;
    if (active) {
        frames_.Resume(index);
    } else {
        frames_.Pause(index);
    }
    pw_stream_set_active((*stream)->stream, active);
    ReportStreaming();
}

void PipeWireStreams::ReportStreaming() {
    if (events_.streaming) {
        events_.streaming(std::all_of(streams_.begin(), streams_.end(), [](const auto& stream) {
            return !stream->active || stream->streaming;
        }));
    }
}

void PipeWireCallbacks::OnCoreError(void* data, std::uint32_t id, int, int res,
                                    const char* message) {
    auto* self = static_cast<PipeWireStreams*>(data);
    if (id == PW_ID_CORE && res == -EPIPE) {
        self->events_.failed(std::string("PipeWire went away: ") +
                             (message != nullptr ? message : ""));
    }
}

} // namespace tintorel

#pragma GCC diagnostic pop
