#include "platform/screen/portal/portal.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRandomGenerator>

#include <memory>

namespace tintorel {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenCast = QStringLiteral("org.freedesktop.portal.ScreenCast");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kPortalSession = QStringLiteral("org.freedesktop.portal.Session");

namespace {

const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

// Reads one property of the portal; `done` gets it, or nothing.
void ReadProperty(QDBusConnection bus, QObject* context, const QString& interface,
                  const QString& name, std::function<void(std::optional<QVariant>)> done) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << interface << name;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [done = std::move(done)](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         const QDBusPendingReply<QDBusVariant> reply = *w;
                         done(reply.isError() ? std::nullopt
                                              : std::optional(reply.value().variant()));
                     });
}

} // namespace

QString PortalToken() {
    return QStringLiteral("tintorel%1").arg(QRandomGenerator::global()->generate());
}

QString PortalHandlePath(const QDBusConnection& bus, const QString& kind, const QString& token) {
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/%1/%2/%3").arg(kind, sender, token);
}

void ProbePortal(QDBusConnection bus, QObject* context, std::function<void(PortalOffer)> done) {
    auto offer = std::make_shared<PortalOffer>();
    // One question after the other, each answer kept in the offer.
    const auto screenshot = [bus, context, offer, done = std::move(done)] {
        ReadProperty(bus, context, kScreenshot, QStringLiteral("version"),
                     [offer, done](std::optional<QVariant> version) {
                         offer->screenshotVersion = version ? version->toUInt() : 0;
                         done(*offer);
                     });
    };
    const auto modes = [bus, context, offer, screenshot] {
        ReadProperty(bus, context, kScreenCast, QStringLiteral("AvailableCursorModes"),
                     [offer, screenshot](std::optional<QVariant> modes) {
                         offer->cursorModes = modes ? modes->toUInt() : 0;
                         screenshot();
                     });
    };
    ReadProperty(bus, context, kScreenCast, QStringLiteral("version"),
                 [offer, modes](std::optional<QVariant> version) {
                     offer->screenCast = version.has_value();
                     offer->screenCastVersion = version ? version->toUInt() : 0;
                     modes();
                 });
}

PortalRequest::PortalRequest(QDBusConnection bus, QString method, Answered answered, Failed failed,
                             QObject* parent)
    : QObject(parent), bus_(std::move(bus)), method_(std::move(method)),
      limit_(method_.toStdString(),
             [this] { Fail(PortalFailure::Silent, "no answer from the desktop"); }),
      answered_(std::move(answered)), failed_(std::move(failed)) {}

PortalRequest* PortalRequest::Send(QDBusConnection bus, const QString& interface,
                                   const QString& method, QList<QVariant> arguments,
                                   QVariantMap options, std::chrono::milliseconds limit,
                                   Answered answered, Failed failed, QObject* parent) {
    auto* request = new PortalRequest(bus, method, std::move(answered), std::move(failed), parent);
    const QString token = PortalToken();
    // The request's object path is known before the call: listening there
    // first means a quick answer cannot be missed.
    request->path_ = PortalHandlePath(bus, QStringLiteral("request"), token);
    request->listening_ =
        bus.connect(kPortalService, request->path_, kRequest, QStringLiteral("Response"), request,
                    SLOT(OnResponse(uint, QVariantMap)));
    request->limit_.Start(limit);
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, interface, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), request);
    connect(watcher, &QDBusPendingCallWatcher::finished, request,
            [request](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                if (w->isError()) {
                    request->Fail(PortalFailure::Refused,
                                  "the portal refused it: " + w->error().message().toStdString());
                }
            });
    return request;
}

PortalRequest::~PortalRequest() {
    StopListening();
}

void PortalRequest::StopListening() {
    if (listening_) {
        bus_.disconnect(kPortalService, path_, kRequest, QStringLiteral("Response"), this,
                        SLOT(OnResponse(uint, QVariantMap)));
        listening_ = false;
    }
    limit_.Stop();
}

void PortalRequest::Abandon() {
    if (!done_) {
        done_ = true;
        StopListening();
        deleteLater();
    }
}

void PortalRequest::OnResponse(uint response, const QVariantMap& results) {
    if (done_) {
        return;
    }
    if (response == 0) {
        done_ = true;
        StopListening();
        const Answered answered = std::move(answered_);
        deleteLater();
        answered(results);
        return;
    }
    if (response == 1) {
        Fail(PortalFailure::Cancelled, "the user cancelled");
    } else {
        Fail(PortalFailure::Refused, "the desktop could not do it");
    }
}

void PortalRequest::Fail(PortalFailure failure, const std::string& reason) {
    if (done_) {
        return;
    }
    done_ = true;
    StopListening();
    const Failed failed = std::move(failed_);
    deleteLater();
    failed(failure, method_.toStdString() + ": " + reason);
}

} // namespace tintorel
