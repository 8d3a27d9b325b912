#include "platform/screen/portal/screencast.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>

namespace tintorel {

namespace {

// A value of a D-Bus dictionary that holds a structure arrives as a
// QDBusArgument to be taken apart.
bool Pair(const QVariant& value, int& first, int& second) {
    if (value.userType() != qMetaTypeId<QDBusArgument>()) {
        return false;
    }
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::StructureType) {
        return false;
    }
    argument.beginStructure();
    argument >> first >> second;
    argument.endStructure();
    return true;
}

} // namespace

std::vector<CastStream> CastStreamsOf(const QVariantMap& started) {
    std::vector<CastStream> streams;
    const QVariant value = started.value(QStringLiteral("streams"));
    if (value.userType() != qMetaTypeId<QDBusArgument>()) {
        return streams;
    }
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::ArrayType) {
        return streams;
    }
    argument.beginArray();
    while (!argument.atEnd()) {
        CastStream stream;
        QVariantMap properties;
        argument.beginStructure();
        argument >> stream.node >> properties;
        argument.endStructure();
        stream.placed =
            Pair(properties.value(QStringLiteral("position")), stream.monitor.x, stream.monitor.y);
        Pair(properties.value(QStringLiteral("size")), stream.monitor.width, stream.monitor.height);
        streams.push_back(stream);
    }
    argument.endArray();
    return streams;
}

ScreenCastSession::ScreenCastSession(QDBusConnection bus, unsigned version,
                                     std::function<std::string()> loadToken,
                                     std::function<void(const std::string&)> storeToken,
                                     std::chrono::milliseconds limit, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), version_(version), loadToken_(std::move(loadToken)),
      storeToken_(std::move(storeToken)), limit_(limit) {}

ScreenCastSession::~ScreenCastSession() {
    Close();
}

void ScreenCastSession::Open(Started started, Failed failed) {
    started_ = std::move(started);
    failed_ = std::move(failed);
    CreateSession();
}

void ScreenCastSession::Send(const QString& method, QList<QVariant> arguments, QVariantMap options,
                             PortalRequest::Answered answered) {
    pending_ = PortalRequest::Send(
        bus_, kScreenCast, method, std::move(arguments), std::move(options), limit_,
        std::move(answered),
        [this](PortalFailure failure, const std::string& reason) { StepFailed(failure, reason); },
        this);
}

void ScreenCastSession::CreateSession() {
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"), PortalToken());
    Send(QStringLiteral("CreateSession"), {}, options, [this](const QVariantMap& results) {
        session_ = results.value(QStringLiteral("session_handle")).toString();
        if (session_.isEmpty()) {
            Fail("CreateSession: the portal gave no session");
            return;
        }
        bus_.connect(kPortalService, session_, kPortalSession, QStringLiteral("Closed"), this,
                     SLOT(OnClosed()));
        SelectSources();
    });
}

void ScreenCastSession::SelectSources() {
    QVariantMap options;
    options.insert(QStringLiteral("types"), static_cast<uint>(SourceType::Monitor));
    options.insert(QStringLiteral("multiple"), true);
    options.insert(QStringLiteral("cursor_mode"), static_cast<uint>(CursorMode::Metadata));
    // An older desktop knows nothing of keeping the permission: it is asked
    // each time, and no token is stored.
    const bool keeps = version_ >= kRestoreTokensSince;
    if (keeps) {
        options.insert(QStringLiteral("persist_mode"),
                       static_cast<uint>(PersistMode::UntilRevoked));
    }
    const std::string token = retried_ || !keeps ? std::string() : loadToken_();
    sentToken_ = !token.empty();
    if (sentToken_) {
        options.insert(QStringLiteral("restore_token"), QString::fromStdString(token));
    }
    Send(QStringLiteral("SelectSources"), {QVariant::fromValue(QDBusObjectPath(session_))}, options,
         [this](const QVariantMap&) { StartCast(); });
}

void ScreenCastSession::StartCast() {
    Send(QStringLiteral("Start"), {QVariant::fromValue(QDBusObjectPath(session_)), QString()}, {},
         [this](const QVariantMap& results) { OpenRemote(results); });
}

void ScreenCastSession::OpenRemote(const QVariantMap& started) {
    const QString token = started.value(QStringLiteral("restore_token")).toString();
    if (!token.isEmpty()) {
        storeToken_(token.toStdString());
    }
    std::vector<CastStream> streams = CastStreamsOf(started);
    if (streams.empty()) {
        Fail("Start: the portal shared no monitor");
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kScreenCast,
                                                       QStringLiteral("OpenPipeWireRemote"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariantMap();
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(call, static_cast<int>(limit_.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, streams = std::move(streams)](QDBusPendingCallWatcher* w) mutable {
                w->deleteLater();
                if (ended_) {
                    return;
                }
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                if (reply.isError() || !reply.value().isValid()) {
                    Fail("OpenPipeWireRemote: no PipeWire connection from the portal");
                    return;
                }
                // The reply's descriptor closes with it: the caller gets a copy.
                const int descriptor = fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 3);
                if (descriptor < 0) {
                    Fail("OpenPipeWireRemote: no PipeWire connection from the portal");
                    return;
                }
                if (started_) {
                    const Started started = std::move(started_);
                    started_ = nullptr;
                    started(descriptor, std::move(streams));
                }
            });
}

void ScreenCastSession::StepFailed(PortalFailure failure, const std::string& reason) {
    if (sentToken_) {
        // The stored permission did not hold: forget it. Unless the user
        // said no, ask once more without it, so the desktop asks the user.
        storeToken_("");
        if (failure != PortalFailure::Cancelled && !retried_) {
            retried_ = true;
            Close();
            ended_ = false;
            CreateSession();
            return;
        }
    }
    Fail(reason);
}

void ScreenCastSession::OnClosed() {
    // The desktop has closed it already: nothing left to close.
    bus_.disconnect(kPortalService, session_, kPortalSession, QStringLiteral("Closed"), this,
                    SLOT(OnClosed()));
    session_.clear();
    Fail("the desktop ended the screen sharing");
}

void ScreenCastSession::Fail(const std::string& reason) {
    if (ended_) {
        return;
    }
    Close();
    const Failed failed = std::move(failed_);
    failed_ = nullptr;
    started_ = nullptr;
    if (failed) {
        failed(reason);
    }
}

void ScreenCastSession::Abort() {
    started_ = nullptr;
    failed_ = nullptr;
    Close();
}

void ScreenCastSession::Close() {
    ended_ = true;
    if (pending_) {
        pending_->Abandon();
        pending_.clear();
    }
    if (!session_.isEmpty()) {
        bus_.disconnect(kPortalService, session_, kPortalSession, QStringLiteral("Closed"), this,
                        SLOT(OnClosed()));
        bus_.asyncCall(QDBusMessage::createMethodCall(kPortalService, session_, kPortalSession,
                                                      QStringLiteral("Close")));
        session_.clear();
    }
}

} // namespace tintorel
