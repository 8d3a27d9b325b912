// The screen of a Wayland desktop, where no program may read another's
// windows: the desktop's screen-casting portal shares the monitors as
// PipeWire streams, with the pointer's place in each stream's metadata.
//
// Nothing is asked of the desktop until the pipette is first started (the
// desktop may show its screen-sharing dialog then, once; the restore token
// it gives spares the next runs the dialog). While the pipette is off the
// streams are paused. PipeWire's loop runs in Qt's, on the UI thread.
#pragma once

#include "platform/desktopframes.h"
#include "platform/screen.h"

#include <QObject>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <string>

namespace tintorel {

class PipeWireStreams;

class PortalScreenReader : public QObject, public ScreenReader {
    Q_OBJECT

public:
    // `loadToken` and `storeToken` keep the portal's restore token.
    PortalScreenReader(std::function<std::string()> loadToken,
                       std::function<void(const std::string&)> storeToken);
    ~PortalScreenReader() override;

    ScreenAccess Access() const override { return access_; }
    std::string Unavailable() const override { return unavailable_; }
    void SetActive(bool active) override;
    void PickColor(std::function<void(std::optional<std::uint32_t>)> done) override;
    bool PointerOnOwnWindow() const override;
    bool AwaitingDesktop() const override {
        return step_ != Step::Idle && step_ != Step::Streaming;
    }

    QSize Size() const override;
    QPoint CursorPos() const override;
    bool Open(const QRect& area) override;
    std::uint32_t Pixel(int x, int y) const override;
    void StretchCopy(const QRect& source, QImage& target, const QRect& destination) const override;
    void Close() override {}

    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void OnResponse(uint response, const QVariantMap& results);
    void OnSessionClosed();

private:
    enum class Step { Idle, Creating, Selecting, Starting, Streaming };

    void Probe();
    void Decide(uint cursorModes, bool screenCast, bool screenshot);
    void StartSession();
    // Calls `method` on the portal with a new request handle and waits for
    // its Response signal; `next` gets the results of a success, `failed`
    // the reason of a refusal (by default the session ends).
    void Request(const QString& interface, const QString& method, QList<QVariant> arguments,
                 QVariantMap options, std::function<void(const QVariantMap&)> next,
                 std::function<void(const std::string&)> failed = nullptr);
    void SelectSources();
    void StartCast();
    void OpenRemote(const QVariantMap& started);
    void Fail(const std::string& reason);
    void EndSession();

    std::function<std::string()> loadToken_;
    std::function<void(const std::string&)> storeToken_;
    ScreenAccess access_ = ScreenAccess::Unknown;
    std::string unavailable_;
    bool active_ = false;
    bool startWhenKnown_ = false;
    bool sentToken_ = false;
    Step step_ = Step::Idle;
    QString session_;
    QString requestPath_;
    std::function<void(const QVariantMap&)> next_;
    std::function<void(const std::string&)> failed_;
    int ownWindowsUnderPointer_ = 0;
    mutable QPoint lastPointer_; // where the streams last saw the pointer
    std::unique_ptr<PipeWireStreams> streams_;
};

// The reader for this session: on a Wayland desktop (XWayland's X server
// shows other programs' windows black) the portal's, else Qt's.
bool WaylandSession();
std::unique_ptr<ScreenReader> MakeScreenReader(std::function<std::string()> loadToken,
                                               std::function<void(const std::string&)> storeToken);

} // namespace tintorel
