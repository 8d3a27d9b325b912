// Where the program's own windows are on a Wayland desktop, which tells no
// client where its windows are. Sway (and i3-compatible compositors) and
// Hyprland say so to anyone who asks over their IPC sockets: each window
// with its process and its place in logical units.
#pragma once

#include "platform/desktop/logicaldesktop.h"

#include <QByteArray>
#include <QLocalSocket>
#include <QObject>

#include <memory>
#include <string_view>
#include <vector>

namespace tintorel {

// The places of the windows of process `pid` in a tree as Sway's GET_TREE
// answers it: each visible window's whole rectangle, its borders and
// title bar included. Nothing from an answer that is no such tree.
std::vector<LogicalRect> WindowsOfProcess(const QByteArray& tree, qint64 pid);

// The places of the windows of process `pid` among Hyprland's `clients`
// (its j/clients answer) on the workspaces its `monitors` (j/monitors)
// show: mapped, not hidden. Nothing from answers that are no such lists.
std::vector<LogicalRect> HyprlandWindowsOfProcess(const QByteArray& clients,
                                                  const QByteArray& monitors, qint64 pid);

// Whether any of the places holds the point.
bool AnyHolds(const std::vector<LogicalRect>& places, double x, double y);

// The places of the program's windows, asked for anew on each Refresh and
// known once the answer came; nothing while none has.
class OwnWindows {
public:
    virtual ~OwnWindows() = default;
    virtual void Refresh() = 0;
    virtual bool Contains(double x, double y) const = 0;
};

// Sway's IPC: asked over the socket SWAYSOCK names, without waiting for the
// answer.
class SwayOwnWindows : public QObject, public OwnWindows {
public:
    // Nothing without a Sway IPC socket in the environment.
    static std::unique_ptr<SwayOwnWindows> FromEnvironment();
    explicit SwayOwnWindows(const QString& socket);
    SwayOwnWindows(const SwayOwnWindows&) = delete;
    SwayOwnWindows& operator=(const SwayOwnWindows&) = delete;

    void Refresh() override;
    bool Contains(double x, double y) const override;

private:
    void Ask();
    void Read();

    QString path_;
    QByteArray received_;
    bool asking_ = false; // an answer is on its way
    std::vector<LogicalRect> windows_;
    // Last: it closes first as the object goes, while what its signals
    // touch is still there.
    QLocalSocket socket_;
};

// Hyprland's IPC: one request per connection on the socket of the instance
// HYPRLAND_INSTANCE_SIGNATURE names, answered and closed by Hyprland; the
// monitors first (which workspaces they show), then the windows.
class HyprlandOwnWindows : public QObject, public OwnWindows {
public:
    // Nothing outside a Hyprland session.
    static std::unique_ptr<HyprlandOwnWindows> FromEnvironment();
    explicit HyprlandOwnWindows(const QString& socket);
    HyprlandOwnWindows(const HyprlandOwnWindows&) = delete;
    HyprlandOwnWindows& operator=(const HyprlandOwnWindows&) = delete;

    void Refresh() override;
    bool Contains(double x, double y) const override { return AnyHolds(windows_, x, y); }

private:
    void Ask(const char* request);
    void Answered();

    QString path_;
    QByteArray request_;
    QByteArray received_;
    QByteArray monitors_; // the first answer, until the second comes
    bool asking_ = false;
    std::vector<LogicalRect> windows_;
    QLocalSocket socket_;
};

} // namespace tintorel
