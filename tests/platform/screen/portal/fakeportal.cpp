#include "tests/platform/screen/portal/fakeportal.h"
#include "tests/patience.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

struct FakeStream {
    uint node = 0;
    QVariantMap properties;
};
struct FakePair {
    int first = 0;
    int second = 0;
};
struct FakeRgb {
    double red = 0;
    double green = 0;
    double blue = 0;
};
Q_DECLARE_METATYPE(FakeStream)
Q_DECLARE_METATYPE(FakePair)
Q_DECLARE_METATYPE(FakeRgb)

QDBusArgument& operator<<(QDBusArgument& argument, const FakeStream& stream) {
    argument.beginStructure();
    argument << stream.node << stream.properties;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, FakeStream& stream) {
    argument.beginStructure();
    argument >> stream.node >> stream.properties;
    argument.endStructure();
    return argument;
}
QDBusArgument& operator<<(QDBusArgument& argument, const FakePair& pair) {
    argument.beginStructure();
    argument << pair.first << pair.second;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, FakePair& pair) {
    argument.beginStructure();
    argument >> pair.first >> pair.second;
    argument.endStructure();
    return argument;
}
QDBusArgument& operator<<(QDBusArgument& argument, const FakeRgb& rgb) {
    argument.beginStructure();
    argument << rgb.red << rgb.green << rgb.blue;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, FakeRgb& rgb) {
    argument.beginStructure();
    argument >> rgb.red >> rgb.green >> rgb.blue;
    argument.endStructure();
    return argument;
}

namespace tintorel {

PrivateBus::PrivateBus() {
    const QString config = folder_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("<busconfig>\n"
                              "  <type>session</type>\n"
                              "  <listen>unix:path=%1</listen>\n"
                              "  <policy context=\"default\">\n"
                              "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                              "    <allow eavesdrop=\"true\"/>\n"
                              "    <allow own=\"*\"/>\n"
                              "  </policy>\n"
                              "</busconfig>\n")
                   .arg(folder_.filePath(QStringLiteral("bus")))
                   .toUtf8());
    file.close();
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    daemon_.setArguments({QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                          QStringLiteral("--nosyslog"), QStringLiteral("--print-address=1")});
    daemon_.start();
    // The daemon says where it listens once it does: wait for that line.
    while (daemon_.waitForReadyRead(60'000)) {
        address_ += QString::fromUtf8(daemon_.readAll());
        if (address_.contains(u'\n')) {
            break;
        }
    }
    address_ = address_.trimmed();
}

PrivateBus::~PrivateBus() {
    for (const QString& name : connections_) {
        QDBusConnection::disconnectFromBus(name);
    }
    daemon_.kill();
    daemon_.waitForFinished();
}

QDBusConnection PrivateBus::Connect(const QString& name) const {
    connections_.append(name);
    return QDBusConnection::connectToBus(address_, name);
}

// The interfaces, each an adaptor of the portal object.
class FakeScreenCast : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.ScreenCast")
    Q_PROPERTY(uint AvailableCursorModes READ AvailableCursorModes)
    Q_PROPERTY(uint version READ version)

public:
    explicit FakeScreenCast(FakePortal* portal) : QDBusAbstractAdaptor(portal), portal_(portal) {}
    uint AvailableCursorModes() const { return portal_->cursorModes; }
    uint version() const { return portal_->screenCastVersion; }

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& message);
    QDBusObjectPath SelectSources(const QDBusObjectPath& /*session*/, const QVariantMap& options,
                                  const QDBusMessage& message) {
        return portal_->Answer(QStringLiteral("SelectSources"), options, message, {});
    }
    QDBusObjectPath Start(const QDBusObjectPath& /*session*/, const QString& /*parent*/,
                          const QVariantMap& options, const QDBusMessage& message) {
        return portal_->Answer(QStringLiteral("Start"), options, message, portal_->StartResults());
    }
    QDBusUnixFileDescriptor OpenPipeWireRemote(const QDBusObjectPath& /*session*/,
                                               const QVariantMap& options) {
        portal_->calls_.push_back({QStringLiteral("OpenPipeWireRemote"), options});
        return QDBusUnixFileDescriptor(portal_->remote_);
    }

private:
    FakePortal* portal_;
};

class FakeScreenshot : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
    Q_PROPERTY(uint version READ version)

public:
    explicit FakeScreenshot(FakePortal* portal) : QDBusAbstractAdaptor(portal), portal_(portal) {}
    uint version() const { return portal_->screenshotVersion; }

public Q_SLOTS:
    QDBusObjectPath PickColor(const QString& /*parent*/, const QVariantMap& options,
                              const QDBusMessage& message) {
        QVariantMap results;
        if (portal_->picked) {
            const std::vector<double>& rgb = *portal_->picked;
            results.insert(QStringLiteral("color"),
                           QVariant::fromValue(FakeRgb{rgb.at(0), rgb.at(1), rgb.at(2)}));
        }
        return portal_->Answer(QStringLiteral("PickColor"), options, message, results);
    }

private:
    FakePortal* portal_;
};

// A session object, which the program closes when it is done.
class FakeSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

public:
    FakeSession(FakePortal* portal) : QObject(portal), portal_(portal) {}

public Q_SLOTS:
    void Close() { ++portal_->closed_; }

private:
    FakePortal* portal_;
};

QDBusObjectPath FakeScreenCast::CreateSession(const QVariantMap& options,
                                              const QDBusMessage& message) {
    QString sender = message.service().mid(1);
    sender.replace(u'.', u'_');
    portal_->session_ =
        QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
            .arg(sender, options.value(QStringLiteral("session_handle_token")).toString());
    portal_->bus_.registerObject(portal_->session_, new FakeSession(portal_),
                                 QDBusConnection::ExportAllSlots);
    return portal_->Answer(QStringLiteral("CreateSession"), options, message,
                           {{QStringLiteral("session_handle"), portal_->session_}});
}

FakePortal::FakePortal(QDBusConnection bus) : bus_(std::move(bus)) {
    qDBusRegisterMetaType<FakeStream>();
    qDBusRegisterMetaType<QList<FakeStream>>();
    qDBusRegisterMetaType<FakePair>();
    qDBusRegisterMetaType<FakeRgb>();
    int pair[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0) {
        remote_ = pair[0];
        peer_ = pair[1];
    }
    // Set up once the test has turned its knobs: the interfaces offered
    // follow them.
    QTimer::singleShot(0, this, [this] {
        if (screenCast) {
            new FakeScreenCast(this);
        }
        if (screenshotVersion > 0) {
            new FakeScreenshot(this);
        }
        bus_.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                            QDBusConnection::ExportAdaptors);
        serving_ = bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
    });
}

void FakePortal::WaitUntilServing() const {
    ASSERT_TRUE(QTest::qWaitFor([this] { return serving_; }, kPatienceMs));
}

FakePortal::~FakePortal() {
    for (const int descriptor : {remote_, peer_}) {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
}

int FakePortal::Calls(const QString& method) const {
    return static_cast<int>(std::count_if(calls_.begin(), calls_.end(),
                                          [&method](const Call& c) { return c.method == method; }));
}

QVariantMap FakePortal::StartResults() const {
    QList<FakeStream> streams;
    const FakePair sizes[] = {{640, 480}, {320, 240}};
    const FakePair places[] = {{0, 0}, {640, 0}};
    for (int i = 0; i < 2; ++i) {
        FakeStream stream;
        stream.node = static_cast<uint>(40 + i);
        stream.properties.insert(QStringLiteral("size"), QVariant::fromValue(sizes[i]));
        if (positions) {
            stream.properties.insert(QStringLiteral("position"), QVariant::fromValue(places[i]));
        }
        streams.append(stream);
    }
    QVariantMap results;
    results.insert(QStringLiteral("streams"), QVariant::fromValue(streams));
    if (!restoreToken.isEmpty()) {
        results.insert(QStringLiteral("restore_token"), restoreToken);
    }
    return results;
}

QDBusObjectPath FakePortal::Answer(const QString& method, const QVariantMap& options,
                                   const QDBusMessage& message, QVariantMap results) {
    calls_.push_back({method, options});
    QString sender = message.service().mid(1);
    sender.replace(u'.', u'_');
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                             .arg(sender, options.value(QStringLiteral("handle_token")).toString());
    if (method == QStringLiteral("SelectSources")) {
        tokenSent_ = options.contains(QStringLiteral("restore_token"));
    }
    uint response = 0;
    if (method == cancelAt) {
        response = 1;
    } else if (method == refuseAt || (method == refuseTokenAt && tokenSent_)) {
        response = 2;
    }
    if (method != silentAt) {
        QTimer::singleShot(0, this, [this, path, response, results] {
            QDBusMessage signal = QDBusMessage::createSignal(
                path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            signal << response << (response == 0 ? results : QVariantMap());
            bus_.send(signal);
        });
    }
    return QDBusObjectPath(path);
}

void FakePortal::EndSession() {
    QDBusMessage signal = QDBusMessage::createSignal(
        session_, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"));
    signal << QVariantMap();
    bus_.send(signal);
}

} // namespace tintorel

#include "fakeportal.moc"
