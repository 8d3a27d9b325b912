// The screen-casting conversation with the desktop's portal, one pair of
// continuations per step: CreateSession; SelectSources (every monitor, the
// pointer as metadata, the permission kept with a restore token); Start,
// where the desktop may ask the user; OpenPipeWireRemote. It ends with a
// PipeWire descriptor and the monitors' streams, or with the reason it
// failed, naming the step. A stored restore token that the desktop refuses
// at any step is dropped and the session asked for once more without it, so
// that the desktop asks the user again.
#pragma once

#include "platform/screen/portal/caststream.h"
#include "platform/screen/portal/portal.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tintorel {

class ScreenCastSession : public QObject {
    Q_OBJECT

public:
    // `descriptor`: a PipeWire connection of the caller's own to close.
    using Started = std::function<void(int descriptor, std::vector<CastStream> streams)>;
    using Failed = std::function<void(const std::string& reason)>;

    // `limit` bounds the wait for each answer; the user may be reading the
    // desktop's dialog, so it is generous.
    // `version` is the desktop's ScreenCast version: the permission is
    // kept (a restore token asked for and sent) only from version 4.
    ScreenCastSession(QDBusConnection bus, unsigned version, std::function<std::string()> loadToken,
                      std::function<void(const std::string&)> storeToken,
                      std::chrono::milliseconds limit, QObject* parent = nullptr);
    // Closes the session, calling nothing.
    ~ScreenCastSession() override;

    // Later, never from within this call, `started` or `failed`; after
    // `started`, `failed` once more if the desktop ends the session.
    void Open(Started started, Failed failed);
    // Whether the desktop is being asked (its dialog may be up).
    bool Asking() const { return !pending_.isNull(); }
    // Ends the session now, calling nothing more.
    void Abort();

private Q_SLOTS:
    void OnClosed();

private:
    void CreateSession();
    void SelectSources();
    void StartCast();
    void OpenRemote(const QVariantMap& started);
    void Send(const QString& method, QList<QVariant> arguments, QVariantMap options,
              PortalRequest::Answered answered);
    void StepFailed(PortalFailure failure, const std::string& reason);
    void Fail(const std::string& reason);
    void Close();

    QDBusConnection bus_;
    unsigned version_;
    std::function<std::string()> loadToken_;
    std::function<void(const std::string&)> storeToken_;
    std::chrono::milliseconds limit_;
    Started started_;
    Failed failed_;
    QPointer<PortalRequest> pending_;
    QString session_;
    bool sentToken_ = false;
    bool retried_ = false;
    bool ended_ = false;
};

// Reads the streams of a Start answer: a(ua{sv}), each a PipeWire node and
// its monitor's "position" and "size".
std::vector<CastStream> CastStreamsOf(const QVariantMap& started);

} // namespace tintorel
