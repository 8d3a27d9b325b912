// Where our windows are, as Sway's and Hyprland's IPC tell: their answers
// read, and the conversations over their sockets against a compositor the
// test plays.
#include "platform/screen/wlroots/ownwindows.h"
#include "tests/patience.h"
#include "tests/testfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>

namespace tintorel {
namespace {

TEST(WindowsOfProcess, TakesTheVisibleWindowsOfThatProcessWhereverTheyHang) {
    // As Sway answers GET_TREE, cut to what matters: outputs, workspaces,
    // tiled and floating windows; one of ours on a workspace not shown.
    const QByteArray tree =
        R"({"type": "root", "rect": {"x": 0, "y": 0, "width": 1920, "height": 1200},
      "nodes": [
        {"type": "output", "name": "HEADLESS-1", "nodes": [
          {"type": "workspace", "name": "1", "nodes": [
            {"type": "con", "pid": 77, "visible": true,
             "rect": {"x": 0, "y": 0, "width": 320, "height": 480}},
            {"type": "con", "pid": 42, "visible": true,
             "rect": {"x": 320, "y": 0, "width": 320, "height": 480}}],
           "floating_nodes": [
            {"type": "floating_con", "pid": 42, "visible": true,
             "rect": {"x": 100, "y": 50, "width": 219, "height": 300}}]},
          {"type": "workspace", "name": "2", "nodes": [
            {"type": "con", "pid": 42, "visible": false,
             "rect": {"x": 0, "y": 0, "width": 640, "height": 480}}]}]},
        {"type": "output", "name": "HEADLESS-2", "nodes": [
          {"type": "workspace", "name": "3", "nodes": [
            {"type": "con", "pid": 42, "visible": true,
             "rect": {"x": -640, "y": 480, "width": 0, "height": 300}},
            {"type": "con", "pid": "42", "visible": true,
             "rect": {"x": 640, "y": 0, "width": 10, "height": 10}}]}]}]})";
    const std::vector<LogicalRect> expected = {{320, 0, 320, 480}, {100, 50, 219, 300}};
    EXPECT_EQ(WindowsOfProcess(tree, 42), expected);
    EXPECT_EQ(WindowsOfProcess(tree, 77), std::vector<LogicalRect>({{0, 0, 320, 480}}));
    EXPECT_TRUE(WindowsOfProcess(tree, 5).empty());

    // Answers that are no tree give nothing, and never a crash.
    for (const char* other : {"", "[]", "{", "null", R"({"nodes": 5})",
                              R"({"pid": 42, "visible": true, "rect": {"x": 1e300, "y": "a",
                                  "width": 1e300, "height": -1}})"}) {
        EXPECT_TRUE(WindowsOfProcess(other, 42).empty()) << other;
    }
    // However deep the tree, our windows are found; deeper than Qt reads,
    // nothing is.
    for (const int depth : {200, 5000}) {
        QByteArray deep;
        for (int i = 0; i < depth; ++i) {
            deep += R"({"nodes": [)";
        }
        deep +=
            R"({"pid": 42, "visible": true, "rect": {"x": 1, "y": 2, "width": 3, "height": 4}})";
        for (int i = 0; i < depth; ++i) {
            deep += "]}";
        }
        EXPECT_EQ(WindowsOfProcess(deep, 42).size(), depth < 1000 ? 1u : 0u) << depth;
    }
}

// The compositor's end of the socket: it answers each GET_TREE with the
// tree the test gives, framed as the IPC frames it.
class FakeSway {
public:
    explicit FakeSway(const std::string& path) {
        // (A socket's path has room for 107 bytes.)
        EXPECT_TRUE(server_.listen(QString::fromStdString(path))) << path;
        QObject::connect(&server_, &QLocalServer::newConnection, [this] {
            QLocalSocket* client = server_.nextPendingConnection();
            QObject::connect(client, &QLocalSocket::disconnected, [this] { ++closed; });
            QObject::connect(client, &QLocalSocket::readyRead, [this, client] {
                received_ += client->readAll();
                while (received_.size() >= 14) {
                    asked.push_back(received_.left(14));
                    received_.remove(0, 14);
                    // In two pieces, as a large answer may come.
                    client->write(reply.left(reply.size() / 2));
                    client->flush();
                    client->write(reply.mid(reply.size() / 2));
                }
            });
        });
    }
    static QByteArray Frame(const QByteArray& payload, quint32 type = 4) {
        const quint32 header[2] = {static_cast<quint32>(payload.size()), type};
        QByteArray frame("i3-ipc");
        frame.append(reinterpret_cast<const char*>(header), sizeof header);
        return frame + payload;
    }

    QByteArray reply;
    std::vector<QByteArray> asked;
    int closed = 0; // connections the program closed

private:
    QLocalServer server_;
    QByteArray received_;
};

QByteArray TreeWithOurWindowAt(int x, int y) {
    return QStringLiteral(R"({"nodes": [{"pid": %1, "visible": true,
                                "rect": {"x": %2, "y": %3, "width": 200, "height": 100}}]})")
        .arg(QCoreApplication::applicationPid())
        .arg(x)
        .arg(y)
        .toUtf8();
}

TEST(SwayOwnWindows, KnowsOurWindowsOnceTheTreeCame) {
    TestFolder folder;
    const std::string path = folder / "sway-ipc.sock";
    FakeSway sway(path);
    // The tree between answers of another type (events) that say nothing
    // of windows.
    sway.reply = FakeSway::Frame("{}", 0x80000000u) +
                 FakeSway::Frame(TreeWithOurWindowAt(300, 200)) +
                 FakeSway::Frame("{}", 0x80000000u);
    SwayOwnWindows windows(QString::fromStdString(path));
    EXPECT_FALSE(windows.Contains(350, 250));
    windows.Refresh();
    windows.Refresh(); // while the answer is on its way, not asked twice
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.Contains(350, 250); }, kPatienceMs));
    ASSERT_EQ(sway.asked.size(), 1u);
    const quint32 header[2] = {0, 4};
    EXPECT_EQ(sway.asked[0], QByteArray("i3-ipc") +
                                 QByteArray(reinterpret_cast<const char*>(header), sizeof header));
    const struct {
        double x, y;
        bool inside;
    } points[] = {{300, 200, true},  {499.9, 299.9, true}, {500, 250, false},
                  {350, 300, false}, {299.9, 250, false},  {350, 199.9, false}};
    for (const auto& p : points) {
        EXPECT_EQ(windows.Contains(p.x, p.y), p.inside) << p.x << ", " << p.y;
    }

    // The window moved: the next answer says so.
    sway.reply = FakeSway::Frame(TreeWithOurWindowAt(0, 0));
    windows.Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.Contains(10, 10); }, kPatienceMs));
    EXPECT_FALSE(windows.Contains(350, 250));
}

// An answer that is not the IPC's is dropped, and the next Refresh asks again.
TEST(SwayOwnWindows, GarbageIsDroppedAndAskedAgain) {
    TestFolder folder;
    const std::string path = folder / "sway-ipc.sock";
    FakeSway sway(path);
    // A frame that is not the IPC's, though what it carries reads as a tree.
    sway.reply = FakeSway::Frame(TreeWithOurWindowAt(300, 200));
    sway.reply.replace(0, 6, "i3-IPC");
    SwayOwnWindows windows(QString::fromStdString(path));
    windows.Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sway.closed == 1; }, kPatienceMs));
    EXPECT_EQ(sway.asked.size(), 1u);
    EXPECT_FALSE(windows.Contains(350, 250));
    sway.reply = FakeSway::Frame(TreeWithOurWindowAt(300, 200));
    // Asked again once the garbage closed the socket.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            windows.Refresh();
            return windows.Contains(350, 250);
        },
        kPatienceMs));
}

TEST(SwayOwnWindows, NoCompositorNoWindows) {
    TestFolder folder;
    SwayOwnWindows windows(QString::fromStdString(folder / "nobody.sock"));
    windows.Refresh();
    windows.Refresh();
    QCoreApplication::processEvents();
    EXPECT_FALSE(windows.Contains(0, 0));
}

TEST(HyprlandWindowsOfProcess, TakesOurMappedWindowsOnTheWorkspacesShown) {
    // As Hyprland answers j/monitors and j/clients, cut to what matters.
    const QByteArray monitors = R"([
        {"name": "DP-1", "activeWorkspace": {"id": 1}, "specialWorkspace": {"id": 0}},
        {"name": "DP-2", "activeWorkspace": {"id": 3}, "specialWorkspace": {"id": -98}}])";
    const QByteArray clients = R"([
        {"pid": 42, "mapped": true, "hidden": false, "at": [10, 20], "size": [300, 200],
         "workspace": {"id": 1}},
        {"pid": 42, "mapped": true, "hidden": false, "at": [1930.5, 40], "size": [100, 50],
         "workspace": {"id": 3}},
        {"pid": 42, "mapped": true, "hidden": false, "at": [2000, 500], "size": [80, 60],
         "workspace": {"id": -98}},
        {"pid": 42, "mapped": true, "hidden": false, "at": [5, 5], "size": [50, 50],
         "workspace": {"id": 2}},
        {"pid": 42, "mapped": true, "hidden": true, "at": [6, 6], "size": [50, 50],
         "workspace": {"id": 1}},
        {"pid": 42, "mapped": false, "hidden": false, "at": [7, 7], "size": [50, 50],
         "workspace": {"id": 1}},
        {"pid": 43, "mapped": true, "hidden": false, "at": [8, 8], "size": [50, 50],
         "workspace": {"id": 1}},
        {"pid": 42, "mapped": true, "hidden": false, "at": [9, 9], "size": [0, 50],
         "workspace": {"id": 1}},
        {"pid": 42, "mapped": true, "at": [11, 11], "size": [50, 50], "workspace": {"id": 1}},
        {"pid": 42, "mapped": true, "hidden": false, "at": [12], "size": [50, 50],
         "workspace": {"id": 1}}])";
    const std::vector<LogicalRect> ours = {
        {10, 20, 300, 200}, {1930, 40, 100, 50}, {2000, 500, 80, 60}};
    EXPECT_EQ(HyprlandWindowsOfProcess(clients, monitors, 42), ours);
    EXPECT_TRUE(HyprlandWindowsOfProcess(clients, monitors, 44).empty());
    EXPECT_TRUE(HyprlandWindowsOfProcess(clients, "ok", 42).empty());
    EXPECT_TRUE(HyprlandWindowsOfProcess("unknown request", monitors, 42).empty());
    EXPECT_TRUE(HyprlandWindowsOfProcess(clients, "[]", 42).empty()); // no monitor shows any
}

// Hyprland's end of its socket: each connection gets one answer, by the
// request it carries, and is closed.
class FakeHyprland {
public:
    explicit FakeHyprland(const std::string& path) {
        EXPECT_TRUE(server_.listen(QString::fromStdString(path))) << path;
        QObject::connect(&server_, &QLocalServer::newConnection, [this] {
            QLocalSocket* client = server_.nextPendingConnection();
            QObject::connect(client, &QLocalSocket::readyRead, [this, client] {
                const QByteArray request = client->readAll();
                asked.push_back(request);
                client->write(request == "j/monitors" ? monitors : clients);
                client->flush();
                client->disconnectFromServer();
            });
        });
    }

    QByteArray monitors;
    QByteArray clients;
    std::vector<QByteArray> asked;

private:
    QLocalServer server_;
};

QByteArray HyprlandClientsWithOurWindowAt(int x, int y) {
    return QStringLiteral(R"([{"pid": %1, "mapped": true, "hidden": false, "at": [%2, %3],
                               "size": [200, 100], "workspace": {"id": 1}}])")
        .arg(QCoreApplication::applicationPid())
        .arg(x)
        .arg(y)
        .toUtf8();
}

TEST(HyprlandOwnWindows, KnowsOurWindowsOnceBothAnswersCame) {
    TestFolder folder;
    const std::string path = folder / "hypr.sock";
    FakeHyprland hyprland(path);
    hyprland.monitors = R"([{"activeWorkspace": {"id": 1}}])";
    hyprland.clients = HyprlandClientsWithOurWindowAt(300, 200);
    HyprlandOwnWindows windows(QString::fromStdString(path));
    EXPECT_FALSE(windows.Contains(350, 250));
    windows.Refresh();
    windows.Refresh(); // while the answers are on their way, not asked twice
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.Contains(350, 250); }, kPatienceMs));
    EXPECT_EQ(hyprland.asked, (std::vector<QByteArray>{"j/monitors", "j/clients"}));
    EXPECT_FALSE(windows.Contains(500, 250));

    // The window moved to a workspace not shown: the next answers say so.
    hyprland.monitors = R"([{"activeWorkspace": {"id": 2}}])";
    windows.Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !windows.Contains(350, 250); }, kPatienceMs));
    EXPECT_EQ(hyprland.asked.size(), 4u);
}

TEST(HyprlandOwnWindows, GarbageKnowsNothingAndIsAskedAgain) {
    TestFolder folder;
    const std::string path = folder / "hypr.sock";
    FakeHyprland hyprland(path);
    hyprland.monitors = "unknown request";
    hyprland.clients = HyprlandClientsWithOurWindowAt(300, 200);
    HyprlandOwnWindows windows(QString::fromStdString(path));
    windows.Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return hyprland.asked.size() == 2; }, kPatienceMs));
    QCoreApplication::processEvents();
    EXPECT_FALSE(windows.Contains(350, 250));
    hyprland.monitors = R"([{"activeWorkspace": {"id": 1}}])";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            windows.Refresh();
            return windows.Contains(350, 250);
        },
        kPatienceMs));
}

TEST(HyprlandOwnWindows, NoCompositorNoWindows) {
    TestFolder folder;
    HyprlandOwnWindows windows(QString::fromStdString(folder / "nobody.sock"));
    windows.Refresh();
    QCoreApplication::processEvents();
    windows.Refresh();
    QCoreApplication::processEvents();
    EXPECT_FALSE(windows.Contains(0, 0));
    // A signature that names a folder elsewhere is none of Hyprland's.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder / "run"));
    for (const char* made : {"run/hypr/abc", "escape"}) {
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder / made)));
        QFile socket(QString::fromStdString(folder / made) + "/.socket.sock");
        ASSERT_TRUE(socket.open(QIODevice::WriteOnly));
    }
    qputenv("HYPRLAND_INSTANCE_SIGNATURE", "abc");
    EXPECT_NE(HyprlandOwnWindows::FromEnvironment(), nullptr);
    qputenv("HYPRLAND_INSTANCE_SIGNATURE", "../../escape");
    EXPECT_EQ(HyprlandOwnWindows::FromEnvironment(), nullptr);
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("HYPRLAND_INSTANCE_SIGNATURE", "no-such-instance");
    EXPECT_EQ(HyprlandOwnWindows::FromEnvironment(), nullptr);
    qunsetenv("HYPRLAND_INSTANCE_SIGNATURE");
    EXPECT_EQ(HyprlandOwnWindows::FromEnvironment(), nullptr);
}

} // namespace
} // namespace tintorel
