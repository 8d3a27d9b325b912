// Where the program's own windows are on a Wayland desktop, which tells no
// client where its windows are. Sway (and i3-compatible compositors) say so
// to anyone who asks over their IPC socket: each window with its process
// and its place in logical units.
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

} // namespace tintorel
