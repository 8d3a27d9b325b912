#include "platform/screen/wlroots/ownwindows.h"

#include "util/utilnumber.h"

#include <QCoreApplication>
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
    return std::any_of(windows_.begin(), windows_.end(), [x, y](const LogicalRect& window) {
        return x >= window.x && y >= window.y && x < static_cast<double>(window.x) + window.width &&
               y < static_cast<double>(window.y) + window.height;
    });
}

} // namespace tintorel
