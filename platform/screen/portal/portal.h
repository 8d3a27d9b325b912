// The generic side of talking to the desktop's portal (xdg-desktop-portal):
// its names, what it offers, and one request as an object of its own. A
// request listens for its Response on its own path before it calls, keeps
// its own continuations and its own time limit, and stops listening when it
// ends: two requests under way never share anything.
#pragma once

#include "platform/screen/timelimit.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <chrono>
#include <functional>
#include <string>

namespace tintorel {

extern const QString kPortalService; // "org.freedesktop.portal.Desktop"
extern const QString kPortalPath;    // "/org/freedesktop/portal/desktop"
extern const QString kScreenCast;    // "org.freedesktop.portal.ScreenCast"
extern const QString kScreenshot;    // "org.freedesktop.portal.Screenshot"
extern const QString kPortalSession; // "org.freedesktop.portal.Session"

// ScreenCast's values, as the portal numbers them: bits of a mask for the
// cursor modes and source types.
enum class CursorMode : unsigned { Hidden = 1, Embedded = 2, Metadata = 4 };
enum class SourceType : unsigned { Monitor = 1, Window = 2, Virtual = 4 };
enum class PersistMode : unsigned { None = 0, WhileRunning = 1, UntilRevoked = 2 };

// The ScreenCast versions that brought what the program uses.
constexpr unsigned kCursorModesSince = 2;   // cursor_mode, AvailableCursorModes
constexpr unsigned kRestoreTokensSince = 4; // persist_mode, restore_token

// What the desktop's portal offers for reading the screen.
struct PortalOffer {
    bool screenCast = false;
    unsigned screenCastVersion = 0;
    unsigned cursorModes = 0;       // ScreenCast's AvailableCursorModes
    unsigned screenshotVersion = 0; // 0: no Screenshot portal

    bool Offers(CursorMode mode) const {
        return screenCastVersion >= kCursorModesSince &&
               (cursorModes & static_cast<unsigned>(mode)) != 0;
    }
};

// Asks the portal what it offers, without waiting: `done` follows once the
// answers are in (an interface that does not answer counts as missing).
void ProbePortal(QDBusConnection bus, QObject* context, std::function<void(PortalOffer)> done);

// How a request ended without an answer.
enum class PortalFailure {
    Cancelled, // the user said no (the desktop's dialog was cancelled)
    Refused,   // the desktop could not or would not, or the call failed
    Silent,    // no answer within the time limit
};

// One call of a portal method that answers through a Request object.
class PortalRequest : public QObject {
    Q_OBJECT

public:
    using Answered = std::function<void(const QVariantMap& results)>;
    // `reason` names the method: "Start: the user cancelled".
    using Failed = std::function<void(PortalFailure failure, const std::string& reason)>;

    // Calls `method` of `interface` with `arguments` and `options` (a handle
    // token is added). Later, never from within this call, exactly one of
    // `answered` (the results of a success) and `failed` (why not: the user
    // cancelled, the desktop refused, the call failed, or no answer came
    // within `limit`) is called, and the request deletes itself.
    static PortalRequest* Send(QDBusConnection bus, const QString& interface, const QString& method,
                               QList<QVariant> arguments, QVariantMap options,
                               std::chrono::milliseconds limit, Answered answered, Failed failed,
                               QObject* parent);
    ~PortalRequest() override;

    // Ends the request without calling either continuation; it deletes
    // itself once control is back in the event loop.
    void Abandon();

private Q_SLOTS:
    void OnResponse(uint response, const QVariantMap& results);

private:
    PortalRequest(QDBusConnection bus, QString method, Answered answered, Failed failed,
                  QObject* parent);
    void Fail(PortalFailure failure, const std::string& reason);
    void StopListening();

    QDBusConnection bus_;
    QString method_;
    QString path_;
    TimeLimit limit_;
    Answered answered_;
    Failed failed_;
    bool listening_ = false;
    bool done_ = false;
};

// A handle token of our own, unique enough for one session of the program.
QString PortalToken();
// The path a request or session with `token` gets: the bus name of our
// connection with "." as "_", below the portal's `kind` ("request",
// "session").
QString PortalHandlePath(const QDBusConnection& bus, const QString& kind, const QString& token);

} // namespace tintorel
