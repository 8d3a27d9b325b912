#include "platform/portalscreen.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

// PipeWire's and SPA's headers build their parameters with GNU C
// extensions (statement expressions, compound literals).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

namespace tintorel {

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenCast = QStringLiteral("org.freedesktop.portal.ScreenCast");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");

constexpr uint kSourceMonitor = 1;
constexpr uint kCursorMetadata = 4;
constexpr uint kPersistUntilRevoked = 2;
// A few frames a second are plenty for four samples a second.
constexpr int kFramesPerSecond = 5;
// The pointer's metadata with room for a square bitmap of `side` pixels.
constexpr int CursorMetaSize(int side) {
    return static_cast<int>(sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap)) + side * side * 4;
}

QString Token() {
    return QStringLiteral("tintorel%1").arg(QRandomGenerator::global()->generate());
}

// A value of a D-Bus dictionary that holds a structure or an array arrives
// as a QDBusArgument to be taken apart.
QDBusArgument Argument(const QVariant& value) {
    return value.value<QDBusArgument>();
}

bool Pair(const QVariant& value, int& first, int& second) {
    if (value.userType() != qMetaTypeId<QDBusArgument>()) {
        return false;
    }
    const QDBusArgument argument = Argument(value);
    argument.beginStructure();
    argument >> first >> second;
    argument.endStructure();
    return true;
}

FrameFormat FormatOf(spa_video_format format) {
    switch (format) {
    case SPA_VIDEO_FORMAT_RGBx:
    case SPA_VIDEO_FORMAT_RGBA:
        return FrameFormat::Rgbx;
    case SPA_VIDEO_FORMAT_xBGR:
    case SPA_VIDEO_FORMAT_ABGR:
        return FrameFormat::Xbgr;
    case SPA_VIDEO_FORMAT_xRGB:
    case SPA_VIDEO_FORMAT_ARGB:
        return FrameFormat::Xrgb;
    default:
        return FrameFormat::Bgrx;
    }
}

} // namespace

// The PipeWire side: one context on the portal's descriptor, one paused or
// running input stream per monitor, the newest frame of each kept.
class PipeWireStreams {
public:
    PipeWireStreams(int fd, const std::vector<std::pair<uint32_t, MonitorFrame>>& monitors,
                    std::function<void(const std::string&)> failed);
    ~PipeWireStreams();
    bool Connected() const { return core_ != nullptr; }
    void SetActive(bool active);
    DesktopFrames& Frames() { return frames_; }

private:
    struct Stream {
        PipeWireStreams* owner = nullptr;
        std::size_t index = 0;
        pw_stream* stream = nullptr;
        spa_hook listener{};
        spa_video_info_raw format{};
        bool streamed = false;
    };

    static void OnProcess(void* data);
    static void OnParamChanged(void* data, uint32_t id, const spa_pod* param);
    static void OnStateChanged(void* data, pw_stream_state old, pw_stream_state state,
                               const char* error);
    static void OnCoreError(void* data, uint32_t id, int seq, int res, const char* message);

    pw_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    spa_hook coreListener_{};
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::unique_ptr<Stream>> streams_;
    DesktopFrames frames_;
    std::function<void(const std::string&)> failed_;
    pw_stream_events streamEvents_{};
    pw_core_events coreEvents_{};
};

PipeWireStreams::PipeWireStreams(int fd,
                                 const std::vector<std::pair<uint32_t, MonitorFrame>>& monitors,
                                 std::function<void(const std::string&)> failed)
    : failed_(std::move(failed)) {
    pw_init(nullptr, nullptr);
    loop_ = pw_loop_new(nullptr);
    if (loop_ == nullptr) {
        close(fd);
        return;
    }
    pw_loop_enter(loop_);
    notifier_ = std::make_unique<QSocketNotifier>(pw_loop_get_fd(loop_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated,
                     [this] { pw_loop_iterate(loop_, 0); });
    context_ = pw_context_new(loop_, nullptr, 0);
    if (context_ == nullptr) {
        close(fd);
        return;
    }
    core_ = pw_context_connect_fd(context_, fd, nullptr, 0);
    if (core_ == nullptr) {
        return;
    }
    coreEvents_.version = PW_VERSION_CORE_EVENTS;
    coreEvents_.error = &PipeWireStreams::OnCoreError;
    pw_core_add_listener(core_, &coreListener_, &coreEvents_, this);

    streamEvents_.version = PW_VERSION_STREAM_EVENTS;
    streamEvents_.process = &PipeWireStreams::OnProcess;
    streamEvents_.param_changed = &PipeWireStreams::OnParamChanged;
    streamEvents_.state_changed = &PipeWireStreams::OnStateChanged;

    std::vector<MonitorFrame> placed;
    for (const auto& [node, monitor] : monitors) {
        placed.push_back(monitor);
    }
    frames_.SetMonitors(std::move(placed));
    for (std::size_t i = 0; i < monitors.size(); ++i) {
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
        pw_stream_add_listener(stream->stream, &stream->listener, &streamEvents_, stream.get());
        std::uint8_t buffer[1024];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
        spa_rectangle size{640, 480};
        spa_rectangle smallest{1, 1};
        spa_rectangle largest{16384, 16384};
        spa_fraction none{0, 1};
        spa_fraction rate{kFramesPerSecond, 1};
        spa_fraction slowest{0, 1};
        const spa_pod* params[1];
        params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
            SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
            SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
            SPA_POD_CHOICE_ENUM_Id(
                9, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA,
                SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA, SPA_VIDEO_FORMAT_xBGR,
                SPA_VIDEO_FORMAT_ABGR, SPA_VIDEO_FORMAT_xRGB, SPA_VIDEO_FORMAT_ARGB),
            SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &smallest, &largest),
            SPA_FORMAT_VIDEO_framerate, SPA_POD_Fraction(&none), SPA_FORMAT_VIDEO_maxFramerate,
            SPA_POD_CHOICE_RANGE_Fraction(&rate, &slowest, &rate)));
        // The node is given as the target id, not as a target.object
        // property: some session managers read a number there as a serial.
        pw_stream_connect(
            stream->stream, PW_DIRECTION_INPUT, monitors[i].first,
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
        spa_hook_remove(&coreListener_);
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

void PipeWireStreams::SetActive(bool active) {
    for (const auto& stream : streams_) {
        pw_stream_set_active(stream->stream, active);
    }
}

void PipeWireStreams::OnParamChanged(void* data, uint32_t id, const spa_pod* param) {
    auto* stream = static_cast<Stream*>(data);
    if (param == nullptr || id != SPA_PARAM_Format) {
        return;
    }
    uint32_t mediaType = 0;
    uint32_t mediaSubtype = 0;
    if (spa_format_parse(param, &mediaType, &mediaSubtype) < 0 ||
        mediaType != SPA_MEDIA_TYPE_video || mediaSubtype != SPA_MEDIA_SUBTYPE_raw ||
        spa_format_video_raw_parse(param, &stream->format) < 0) {
        return;
    }
    std::uint8_t buffer[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    const spa_pod* params[3];
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
        SPA_POD_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd))));
    params[1] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size,
        SPA_POD_Int(static_cast<int>(sizeof(spa_meta_header)))));
    params[2] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size,
        SPA_POD_CHOICE_RANGE_Int(CursorMetaSize(64), CursorMetaSize(1), CursorMetaSize(1024))));
    pw_stream_update_params(stream->stream, params, 3);
}

void PipeWireStreams::OnProcess(void* data) {
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
                            stride, FormatOf(stream->format.format),
                            static_cast<const std::uint8_t*>(plane.data) + offset, size);
        }
    }
    pw_stream_queue_buffer(stream->stream, newest);
}

void PipeWireStreams::OnStateChanged(void* data, pw_stream_state, pw_stream_state state,
                                     const char* error) {
    auto* stream = static_cast<Stream*>(data);
    if (state == PW_STREAM_STATE_STREAMING) {
        stream->streamed = true;
    } else if (state == PW_STREAM_STATE_ERROR ||
               (state == PW_STREAM_STATE_UNCONNECTED && stream->streamed)) {
        // The monitor went away, or the compositor ended the cast.
        stream->owner->failed_(std::string("screen stream ended: ") +
                               (error != nullptr ? error : "unconnected"));
    }
}

void PipeWireStreams::OnCoreError(void* data, uint32_t id, int, int res, const char* message) {
    auto* self = static_cast<PipeWireStreams*>(data);
    if (id == PW_ID_CORE && res == -EPIPE) {
        self->failed_(std::string("PipeWire went away: ") + (message != nullptr ? message : ""));
    }
}

#pragma GCC diagnostic pop

PortalScreenReader::PortalScreenReader(std::function<std::string()> loadToken,
                                       std::function<void(const std::string&)> storeToken)
    : loadToken_(std::move(loadToken)), storeToken_(std::move(storeToken)) {
    // Which portals the desktop has is asked once the event loop runs, so
    // that the start does not wait for the session bus.
    QMetaObject::invokeMethod(this, &PortalScreenReader::Probe, Qt::QueuedConnection);
    QGuiApplication::instance()->installEventFilter(this);
}

PortalScreenReader::~PortalScreenReader() {
    EndSession();
}

void PortalScreenReader::Probe() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kPortal, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kScreenCast << QStringLiteral("AvailableCursorModes");
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        if (!reply.isError()) {
            Decide(reply.value().variant().toUInt(), true, true);
            return;
        }
        // No screen casting: perhaps a screenshot portal that picks colours.
        QDBusMessage version = QDBusMessage::createMethodCall(
            kPortal, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        version << kScreenshot << QStringLiteral("version");
        auto* second =
            new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(version), this);
        connect(second, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher* v) {
                    v->deleteLater();
                    Decide(0, false, !v->isError());
                });
    });
}

void PortalScreenReader::Decide(uint cursorModes, bool screenCast, bool screenshot) {
    if (screenCast && (cursorModes & kCursorMetadata) != 0) {
        access_ = ScreenAccess::Live;
    } else if (screenCast || screenshot) {
        // The pointer is not reported (only hidden or drawn into the
        // frames): the desktop's own colour pick is the only way.
        access_ = ScreenAccess::PickOnce;
    } else {
        access_ = ScreenAccess::None;
        unavailable_ = "This desktop offers no way to read the screen "
                       "(no screen-casting or screenshot portal).";
    }
    AccessChanged();
    if (startWhenKnown_ && access_ == ScreenAccess::Live) {
        startWhenKnown_ = false;
        StartSession();
    }
}

void PortalScreenReader::SetActive(bool active) {
    active_ = active;
    if (!active) {
        startWhenKnown_ = false;
        if (streams_) {
            streams_->SetActive(false);
        }
        return;
    }
    if (access_ == ScreenAccess::Unknown) {
        startWhenKnown_ = true;
    } else if (access_ == ScreenAccess::Live) {
        if (streams_) {
            streams_->SetActive(true);
        } else if (step_ == Step::Idle) {
            StartSession();
        }
    }
}

void PortalScreenReader::Request(const QString& interface, const QString& method,
                                 QList<QVariant> arguments, QVariantMap options,
                                 std::function<void(const QVariantMap&)> next,
                                 std::function<void(const std::string&)> failed) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = Token();
    // The request's object path is known before the call: listening there
    // first means a quick answer cannot be missed.
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    if (!requestPath_.isEmpty()) {
        bus.disconnect(kPortal, requestPath_, QStringLiteral("org.freedesktop.portal.Request"),
                       QStringLiteral("Response"), this, SLOT(OnResponse(uint, QVariantMap)));
    }
    requestPath_ =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    bus.connect(kPortal, requestPath_, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"), this, SLOT(OnResponse(uint, QVariantMap)));
    next_ = std::move(next);
    failed_ = failed ? std::move(failed) : [this, method](const std::string& reason) {
        Fail("the portal's " + method.toStdString() + " failed: " + reason);
    };
    options.insert(QStringLiteral("handle_token"), token);
    QDBusMessage call = QDBusMessage::createMethodCall(kPortal, kPortalPath, interface, method);
    arguments.append(options);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (w->isError() && failed_) {
                    const auto failed = std::move(failed_);
                    next_ = nullptr;
                    failed_ = nullptr;
                    failed("the portal refused " + method.toStdString() + ": " +
                           w->error().message().toStdString());
                }
            });
}

void PortalScreenReader::OnResponse(uint response, const QVariantMap& results) {
    const auto next = std::move(next_);
    const auto failed = std::move(failed_);
    next_ = nullptr;
    failed_ = nullptr;
    if (!next) {
        return;
    }
    if (response != 0) {
        failed(response == 1 ? "the user cancelled" : "the desktop could not do it");
        return;
    }
    next(results);
}

void PortalScreenReader::StartSession() {
    step_ = Step::Creating;
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"), Token());
    Request(kScreenCast, QStringLiteral("CreateSession"), {}, options,
            [this](const QVariantMap& results) {
                session_ = results.value(QStringLiteral("session_handle")).toString();
                if (session_.isEmpty()) {
                    Fail("the portal gave no session");
                    return;
                }
                QDBusConnection::sessionBus().connect(
                    kPortal, session_, QStringLiteral("org.freedesktop.portal.Session"),
                    QStringLiteral("Closed"), this, SLOT(OnSessionClosed()));
                SelectSources();
            });
}

void PortalScreenReader::SelectSources() {
    step_ = Step::Selecting;
    QVariantMap options;
    options.insert(QStringLiteral("types"), kSourceMonitor);
    options.insert(QStringLiteral("multiple"), true);
    options.insert(QStringLiteral("cursor_mode"), kCursorMetadata);
    options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
    const std::string token = loadToken_();
    sentToken_ = !token.empty();
    if (sentToken_) {
        options.insert(QStringLiteral("restore_token"), QString::fromStdString(token));
    }
    Request(kScreenCast, QStringLiteral("SelectSources"),
            {QVariant::fromValue(QDBusObjectPath(session_))}, options,
            [this](const QVariantMap&) { StartCast(); });
}

void PortalScreenReader::StartCast() {
    step_ = Step::Starting;
    Request(
        kScreenCast, QStringLiteral("Start"),
        {QVariant::fromValue(QDBusObjectPath(session_)), QString()}, {},
        [this](const QVariantMap& results) { OpenRemote(results); },
        [this](const std::string& reason) {
            if (sentToken_) {
                // The stored permission no longer holds: the next start asks.
                storeToken_("");
            }
            Fail("the screen was not shared: " + reason);
        });
}

void PortalScreenReader::OpenRemote(const QVariantMap& started) {
    const QString token = started.value(QStringLiteral("restore_token")).toString();
    if (!token.isEmpty()) {
        storeToken_(token.toStdString());
    }
    // The monitors: a(ua{sv}), each a PipeWire node and its place.
    std::vector<std::pair<uint32_t, MonitorFrame>> monitors;
    const QVariant streams = started.value(QStringLiteral("streams"));
    if (streams.userType() == qMetaTypeId<QDBusArgument>()) {
        const QDBusArgument argument = Argument(streams);
        argument.beginArray();
        while (!argument.atEnd()) {
            uint node = 0;
            QVariantMap properties;
            argument.beginStructure();
            argument >> node >> properties;
            argument.endStructure();
            MonitorFrame monitor;
            Pair(properties.value(QStringLiteral("position")), monitor.x, monitor.y);
            Pair(properties.value(QStringLiteral("size")), monitor.width, monitor.height);
            monitors.emplace_back(node, monitor);
        }
        argument.endArray();
    }
    if (monitors.empty()) {
        Fail("the portal shared no monitor");
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kPortal, kPortalPath, kScreenCast,
                                                       QStringLiteral("OpenPipeWireRemote"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariantMap();
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, monitors](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                if (reply.isError() || !reply.value().isValid()) {
                    Fail("no PipeWire connection from the portal");
                    return;
                }
                // The reply's descriptor closes with it: PipeWire gets a copy.
                const int fd = fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 3);
                if (fd < 0) {
                    Fail("no PipeWire connection from the portal");
                    return;
                }
                streams_ = std::make_unique<PipeWireStreams>(
                    fd, monitors, [this](const std::string& reason) {
                        // Ended from within PipeWire's callbacks: tear down
                        // once they have returned.
                        QMetaObject::invokeMethod(
                            this, [this, reason] { Fail(reason); }, Qt::QueuedConnection);
                    });
                if (!streams_->Connected()) {
                    Fail("PipeWire refused the portal's connection");
                    return;
                }
                step_ = Step::Streaming;
                streams_->SetActive(active_);
            });
}

void PortalScreenReader::OnSessionClosed() {
    Fail("the desktop ended the screen sharing");
}

void PortalScreenReader::Fail(const std::string& reason) {
    const bool wasActive = active_ || step_ != Step::Idle;
    EndSession();
    if (wasActive) {
        Failed(reason);
    }
}

void PortalScreenReader::EndSession() {
    streams_.reset();
    next_ = nullptr;
    failed_ = nullptr;
    if (!session_.isEmpty()) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.disconnect(kPortal, session_, QStringLiteral("org.freedesktop.portal.Session"),
                       QStringLiteral("Closed"), this, SLOT(OnSessionClosed()));
        bus.asyncCall(QDBusMessage::createMethodCall(
            kPortal, session_, QStringLiteral("org.freedesktop.portal.Session"),
            QStringLiteral("Close")));
        session_.clear();
    }
    step_ = Step::Idle;
}

void PortalScreenReader::PickColor(std::function<void(std::optional<std::uint32_t>)> done) {
    auto finish =
        std::make_shared<std::function<void(std::optional<std::uint32_t>)>>(std::move(done));
    Request(
        kScreenshot, QStringLiteral("PickColor"), {QString()}, {},
        [finish](const QVariantMap& results) {
            const QVariant value = results.value(QStringLiteral("color"));
            if (value.userType() != qMetaTypeId<QDBusArgument>()) {
                (*finish)(std::nullopt);
                return;
            }
            double rgb[3] = {0, 0, 0};
            const QDBusArgument argument = Argument(value);
            argument.beginStructure();
            argument >> rgb[0] >> rgb[1] >> rgb[2];
            argument.endStructure();
            std::uint32_t packed = 0;
            for (int i = 0; i < 3; ++i) {
                const double v = std::isfinite(rgb[i]) ? std::clamp(rgb[i], 0.0, 1.0) : 0.0;
                packed |= static_cast<std::uint32_t>(v * 255.0 + 0.5) << (8 * i);
            }
            (*finish)(packed);
        },
        [finish](const std::string&) { (*finish)(std::nullopt); });
}

bool PortalScreenReader::PointerOnOwnWindow() const {
    return ownWindowsUnderPointer_ > 0;
}

bool PortalScreenReader::eventFilter(QObject* watched, QEvent* event) {
    // Where our windows are on a Wayland desktop is not known, but whether
    // the pointer is over one of them is: each tells when it enters.
    if (watched->isWindowType() && static_cast<QWindow*>(watched)->type() != Qt::ToolTip) {
        if (event->type() == QEvent::Enter) {
            ++ownWindowsUnderPointer_;
        } else if (event->type() == QEvent::Leave && ownWindowsUnderPointer_ > 0) {
            --ownWindowsUnderPointer_;
        }
    }
    return false;
}

QSize PortalScreenReader::Size() const {
    if (!streams_) {
        return {};
    }
    const DesktopPoint size = streams_->Frames().Size();
    return {size.x, size.y};
}

QPoint PortalScreenReader::CursorPos() const {
    if (streams_) {
        if (const std::optional<DesktopPoint> at = streams_->Frames().Pointer()) {
            lastPointer_ = QPoint(at->x, at->y);
        }
    }
    return lastPointer_;
}

bool PortalScreenReader::Open(const QRect&) {
    return streams_ && streams_->Frames().HasFrames();
}

std::uint32_t PortalScreenReader::Pixel(int x, int y) const {
    return streams_ ? streams_->Frames().Pixel(x, y) : 0;
}

void PortalScreenReader::StretchCopy(const QRect& source, QImage& target,
                                     const QRect& destination) const {
    if (!streams_ || source.isEmpty()) {
        return;
    }
    QImage area(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const std::uint32_t p = Pixel(source.left() + x, source.top() + y);
            area.setPixel(x, y, qRgb(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF));
        }
    }
    QPainter painter(&target);
    painter.drawImage(destination, area, area.rect());
}

bool WaylandSession() {
    const QByteArray type = qgetenv("XDG_SESSION_TYPE");
    return type == "wayland" || (type.isEmpty() && !qgetenv("WAYLAND_DISPLAY").isEmpty());
}

std::unique_ptr<ScreenReader> MakeScreenReader(std::function<std::string()> loadToken,
                                               std::function<void(const std::string&)> storeToken) {
    if (WaylandSession()) {
        return std::make_unique<PortalScreenReader>(std::move(loadToken), std::move(storeToken));
    }
    return std::make_unique<QtScreenReader>();
}

} // namespace tintorel
