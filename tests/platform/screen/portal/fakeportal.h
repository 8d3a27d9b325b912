// A fake of the desktop's portal on a private bus of the test's own: the
// ScreenCast and Screenshot interfaces as xdg-desktop-portal offers them,
// answering through Request objects, with knobs for every way a desktop
// says no, says nothing, or ends a session.
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <optional>
#include <string>
#include <vector>

namespace tintorel {

// A dbus-daemon of its own, ended with the object. It starts no service
// itself: a portal back end installed on the machine, activated behind the
// test's back, would answer in the fake's place and outlive the test.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    const QString& Address() const { return address_; }
    // A new connection to it, under a name of the caller's.
    QDBusConnection Connect(const QString& name) const;

private:
    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
    mutable QStringList connections_;
};

class FakePortal : public QObject {
    Q_OBJECT

public:
    struct Call {
        QString method;
        QVariantMap options;
    };

    explicit FakePortal(QDBusConnection bus);
    ~FakePortal() override;

    // What the portal offers.
    uint cursorModes = 1 | 2 | 4;
    uint screenCastVersion = 4;
    uint screenshotVersion = 2;
    bool screenCast = true;
    // The step ("CreateSession", "SelectSources", "Start", "PickColor") the
    // user cancels, that gives no answer at all, or that refuses a restore
    // token (the response code 2, as KDE's portal answers one it cannot
    // read); empty for none.
    QString cancelAt;
    QString silentAt;
    QString refuseTokenAt;
    // The step always answered with the response code 2, token or not.
    QString refuseAt;
    // Streams: with a "position" each, or (as KDE's portal) without.
    bool positions = true;
    // PickColor's answer: three doubles, or nothing.
    std::optional<std::vector<double>> picked = std::vector<double>{1.0, 0.5, 0.0};
    // The restore token Start gives.
    QString restoreToken = QStringLiteral("token-2");

    // Waits until the fake answers under the portal's name: it takes the
    // name once the event loop turns, after the test has set its knobs. A
    // call sent before would find no one there.
    void WaitUntilServing() const;

    const std::vector<Call>& Calls() const { return calls_; }
    int Calls(const QString& method) const;
    // Sessions closed by the program.
    int SessionsClosed() const { return closed_; }
    // Ends the session as the desktop does (its Closed signal).
    void EndSession();
    // The other end of the PipeWire descriptor the portal handed out: it
    // stays silent, as a compositor that sends no picture.
    int PeerOfRemote() const { return peer_; }

private:
    friend class FakeScreenCast;
    friend class FakeScreenshot;
    friend class FakeSession;
    QDBusObjectPath Answer(const QString& method, const QVariantMap& options,
                           const QDBusMessage& message, QVariantMap results);
    QVariantMap StartResults() const;

    QDBusConnection bus_;
    std::vector<Call> calls_;
    QString session_;
    int closed_ = 0;
    int peer_ = -1;
    int remote_ = -1;
    bool tokenSent_ = false;
    bool serving_ = false;
};

} // namespace tintorel
