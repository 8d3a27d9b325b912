#include "platform/screen/wlroots/ownwindows.h"

#include "util/utilnumber.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>

namespace tintorel {

namespace {

// The IPC's frame: this magic, the payload's length and the message's type,
// both in the machine's own byte order.
constexpr char kMagic[] = "i3-ipc";
constexpr int kMagicLength = 6;
constexpr int kHeaderLength = kMagicLength + 8;
constexpr quint32 kGetTree = 4;
// A tree larger than this is no answer of a desktop's.
constexpr quint32 kLargestTree = 64u << 20;

int Coordinate(const QJsonValue& value) {
    return FloorToInt(value.toDouble());
}

// Qt's reader takes no tree nested deeper than a thousand levels: walking
// it is bounded too.
void Collect(const QJsonObject& node, qint64 pid, std::vector<LogicalRect>& found) {
    if (node.value(QStringLiteral("pid")).toInteger(-1) == pid &&
        node.value(QStringLiteral("visible")).toBool()) {
        const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
        const LogicalRect place{Coordinate(rect.value(QStringLiteral("x"))),
                                Coordinate(rect.value(QStringLiteral("y"))),
                                Coordinate(rect.value(QStringLiteral("width"))),
                                Coordinate(rect.value(QStringLiteral("height")))};
        if (place.width > 0 && place.height > 0) {
            found.push_back(place);
        }
    }
    for (const char* key : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(key)).toArray()) {
            Collect(child.toObject(), pid, found);
        }
    }
}

} // namespace

std::vector<LogicalRect> WindowsOfProcess(const QByteArray& tree, qint64 pid) {
    std::vector<LogicalRect> found;
    const QJsonDocument document = QJsonDocument::fromJson(tree);
    if (document.isObject()) {
        Collect(document.object(), pid, found);
    }
    return found;
}

std::vector<LogicalRect> HyprlandWindowsOfProcess(const QByteArray& clients,
                                                  const QByteArray& monitors, qint64 pid) {
    std::vector<LogicalRect> found;
    const QJsonDocument shown = QJsonDocument::fromJson(monitors);
    const QJsonDocument windows = QJsonDocument::fromJson(clients);
    if (!shown.isArray() || !windows.isArray()) {
        return found;
    }
    // The workspaces on screen: each monitor's, and its special one while
    // it is open over it.
    std::vector<qint64> workspaces;
    for (const QJsonValue monitor : shown.array()) {
        for (const char* key : {"activeWorkspace", "specialWorkspace"}) {
            const qint64 id = monitor.toObject()
                                  .value(QLatin1String(key))
                                  .toObject()
                                  .value(QStringLiteral("id"))
                                  .toInteger(0);
            if (id != 0) {
                workspaces.push_back(id);
            }
        }
    }
    for (const QJsonValue value : windows.array()) {
        const QJsonObject window = value.toObject();
        const qint64 workspace = window.value(QStringLiteral("workspace"))
                                     .toObject()
                                     .value(QStringLiteral("id"))
                                     .toInteger(0);
        const QJsonArray at = window.value(QStringLiteral("at")).toArray();
        const QJsonArray size = window.value(QStringLiteral("size")).toArray();
        if (window.value(QStringLiteral("pid")).toInteger(-1) != pid ||
            !window.value(QStringLiteral("mapped")).toBool() ||
            window.value(QStringLiteral("hidden")).toBool(true) || at.size() != 2 ||
            size.size() != 2 ||
            std::find(workspaces.begin(), workspaces.end(), workspace) == workspaces.end()) {
            continue;
        }
        const LogicalRect place{Coordinate(at[0]), Coordinate(at[1]), Coordinate(size[0]),
                                Coordinate(size[1])};
        if (place.width > 0 && place.height > 0) {
            found.push_back(place);
        }
    }
    return found;
}

bool AnyHolds(const std::vector<LogicalRect>& places, double x, double y) {
    return std::any_of(places.begin(), places.end(), [x, y](const LogicalRect& place) {
        return x >= place.x && y >= place.y && x < static_cast<double>(place.x) + place.width &&
               y < static_cast<double>(place.y) + place.height;
    });
}

std::unique_ptr<SwayOwnWindows> SwayOwnWindows::FromEnvironment() {
    const QString socket = qEnvironmentVariable("SWAYSOCK");
    if (socket.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<SwayOwnWindows>(socket);
}

SwayOwnWindows::SwayOwnWindows(const QString& socket) : path_(socket) {
    connect(&socket_, &QLocalSocket::connected, this, &SwayOwnWindows::Ask);
    connect(&socket_, &QLocalSocket::readyRead, this, &SwayOwnWindows::Read);
    // A socket that closed or failed is opened again at the next Refresh.
    const auto forget = [this] {
        asking_ = false;
        received_.clear();
    };
    connect(&socket_, &QLocalSocket::disconnected, this, forget);
    connect(&socket_, &QLocalSocket::errorOccurred, this, forget);
}

void SwayOwnWindows::Refresh() {
    if (asking_) {
        return; // the last answer is still to come
    }
    asking_ = true;
    if (socket_.state() == QLocalSocket::ConnectedState) {
        Ask();
    } else if (socket_.state() == QLocalSocket::UnconnectedState) {
        // Asked once connected; a compositor not there fails it, and the
        // next Refresh tries again.
        socket_.connectToServer(path_);
    }
}

void SwayOwnWindows::Ask() {
    QByteArray message(kMagic, kMagicLength);
    const quint32 header[2] = {0, kGetTree};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    if (socket_.write(message) != message.size()) {
        socket_.abort();
    }
}

void SwayOwnWindows::Read() {
    received_.append(socket_.readAll());
    while (received_.size() >= kHeaderLength) {
        quint32 length = 0;
        quint32 type = 0;
        std::memcpy(&length, received_.constData() + kMagicLength, sizeof length);
        std::memcpy(&type, received_.constData() + kMagicLength + 4, sizeof type);
        if (!received_.startsWith(QByteArray(kMagic, kMagicLength)) || length > kLargestTree) {
            // Not the IPC we know: forget it rather than misread it.
            socket_.abort();
            received_.clear();
            asking_ = false;
            return;
        }
        if (received_.size() - kHeaderLength < static_cast<qsizetype>(length)) {
            return;
        }
        if (type == kGetTree) {
            windows_ = WindowsOfProcess(received_.mid(kHeaderLength, length),
                                        QCoreApplication::applicationPid());
            asking_ = false;
        }
        received_.remove(0, kHeaderLength + length);
    }
}

bool SwayOwnWindows::Contains(double x, double y) const {
    return AnyHolds(windows_, x, y);
}

std::unique_ptr<HyprlandOwnWindows> HyprlandOwnWindows::FromEnvironment() {
    const QString signature = qEnvironmentVariable("HYPRLAND_INSTANCE_SIGNATURE");
    if (signature.isEmpty() || signature.contains(u'/')) {
        return nullptr;
    }
    // Where Hyprland keeps it since 0.40, and before.
    QStringList folders;
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        folders << runtime + QStringLiteral("/hypr/");
    }
    folders << QStringLiteral("/tmp/hypr/");
    for (const QString& folder : folders) {
        const QString socket = folder + signature + QStringLiteral("/.socket.sock");
        if (QFileInfo::exists(socket)) {
            return std::make_unique<HyprlandOwnWindows>(socket);
        }
    }
    return nullptr;
}

HyprlandOwnWindows::HyprlandOwnWindows(const QString& socket) : path_(socket) {
    connect(&socket_, &QLocalSocket::connected, this, [this] {
        // Hyprland serves its socket one request at a time and waits for
        // the connection to close: it is read to its end at once.
        if (socket_.write(request_) != request_.size()) {
            socket_.abort();
        }
    });
    connect(&socket_, &QLocalSocket::readyRead, this, [this] {
        received_.append(socket_.readAll());
        if (received_.size() > static_cast<qsizetype>(kLargestTree)) {
            socket_.abort(); // no answer of a desktop's
        }
    });
    connect(&socket_, &QLocalSocket::disconnected, this, &HyprlandOwnWindows::Answered);
    // Closing is how Hyprland ends its answer; any other failure is asked
    // again at the next Refresh.
    connect(&socket_, &QLocalSocket::errorOccurred, this,
            [this](QLocalSocket::LocalSocketError error) {
                if (error != QLocalSocket::PeerClosedError &&
                    socket_.state() == QLocalSocket::UnconnectedState) {
                    asking_ = false;
                }
            });
}

void HyprlandOwnWindows::Refresh() {
    if (asking_ || socket_.state() != QLocalSocket::UnconnectedState) {
        return; // the last answer is still to come
    }
    asking_ = true;
    monitors_.clear();
    Ask("j/monitors");
}

void HyprlandOwnWindows::Ask(const char* request) {
    request_ = request;
    received_.clear();
    socket_.connectToServer(path_);
}

void HyprlandOwnWindows::Answered() {
    received_.append(socket_.readAll());
    if (!asking_ || received_.size() > static_cast<qsizetype>(kLargestTree)) {
        asking_ = false;
        return;
    }
    if (monitors_.isEmpty()) {
        monitors_ = received_.isEmpty() ? QByteArray("[]") : received_;
        // Asked once this connection is quite closed.
        QMetaObject::invokeMethod(this, [this] { Ask("j/clients"); }, Qt::QueuedConnection);
        return;
    }
    windows_ = HyprlandWindowsOfProcess(received_, monitors_, QCoreApplication::applicationPid());
    asking_ = false;
}

} // namespace tintorel
