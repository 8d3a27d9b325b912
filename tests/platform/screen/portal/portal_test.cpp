// The conversation with the desktop's portal against a fake portal on a bus
// of the test's own: every refusal, cancellation, silence and malformed
// answer once, in milliseconds. The real desktops are the end-to-end
// tests' business; these show that each unhappy ending ends in one place
// and says which step it was.
#include "platform/screen/portal/colourpick.h"
#include "platform/screen/portal/portalscreen.h"
#include "platform/screen/portal/screencast.h"
#include "platform/screen/portal/streamformat.h"
#include "platform/screen/timelimit.h"
#include "tests/patience.h"
#include "tests/platform/screen/portal/fakeportal.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <spa/param/format-utils.h>
#include <spa/param/video/format-utils.h>
#pragma GCC diagnostic pop

namespace tintorel {
namespace {

using namespace std::chrono_literals;

class PortalTest : public ::testing::Test {
protected:
    PortalTest()
        : client_(bus_.Connect(QStringLiteral("client-%1").arg(++count_))),
          portal_(bus_.Connect(QStringLiteral("portal-%1").arg(count_))) {}

    // A conversation as the pipette has one, its outcome kept.
    void Open(std::chrono::milliseconds limit = 3min) {
        portal_.WaitUntilServing();
        session_ = std::make_unique<ScreenCastSession>(
            client_, portal_.screenCastVersion, [this] { return token_; },
            [this](const std::string& t) { token_ = t; }, limit);
        session_->Open(
            [this](int descriptor, std::vector<CastStream> streams) {
                started_ = std::move(streams);
                close(descriptor);
            },
            [this](const std::string& reason) { failed_ = reason; });
    }
    // Waits until the limit called `name` is running: what it bounds has
    // begun.
    void WaitForLimit(const std::string& name) {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const std::vector<std::string> running = clock_.Running();
                return std::find(running.begin(), running.end(), name) != running.end();
            },
            kPatienceMs))
            << "waited for the limit " << name;
    }
    bool Ended() const { return started_.has_value() || failed_.has_value(); }
    // Waits until the portal has seen every call the program sent so far:
    // the bus delivers one connection's messages in order.
    void RoundTrip() {
        QDBusMessage get = QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop",
                                                          "/org/freedesktop/portal/desktop",
                                                          "org.freedesktop.DBus.Properties", "Get");
        get << QStringLiteral("org.freedesktop.portal.Screenshot") << QStringLiteral("version");
        QDBusPendingCallWatcher watcher(client_.asyncCall(get));
        ASSERT_TRUE(QTest::qWaitFor([&watcher] { return watcher.isFinished(); }, kPatienceMs));
    }
    void WaitEnded() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return Ended(); }, kPatienceMs));
    }

    // No limit runs out by itself: a slow machine is not a silent desktop.
    // The tests that want one to run out say which.
    HeldTimeLimits clock_;
    static inline int count_ = 0;
    PrivateBus bus_;
    QDBusConnection client_;
    FakePortal portal_;
    std::string token_;
    std::unique_ptr<ScreenCastSession> session_;
    std::optional<std::vector<CastStream>> started_;
    std::optional<std::string> failed_;
};

TEST_F(PortalTest, ASessionOpensWithTheStoredTokenAndKeepsTheNewOne) {
    token_ = "token-1";
    Open();
    WaitEnded();
    ASSERT_TRUE(started_.has_value()) << *failed_;
    ASSERT_EQ(started_->size(), 2u);
    EXPECT_EQ((*started_)[1].node, 41u);
    EXPECT_TRUE((*started_)[1].placed);
    EXPECT_EQ((*started_)[1].monitor.x, 640);
    EXPECT_EQ((*started_)[1].monitor.width, 320);
    EXPECT_EQ(portal_.Calls("SelectSources"), 1);
    const QVariantMap& select = portal_.Calls()[1].options;
    EXPECT_EQ(select.value("restore_token").toString(), "token-1");
    EXPECT_EQ(select.value("cursor_mode").toUInt(), 4u); // the pointer as metadata
    EXPECT_EQ(select.value("persist_mode").toUInt(), 2u);
    EXPECT_TRUE(select.value("multiple").toBool());
    EXPECT_EQ(token_, "token-2"); // the desktop's new token replaces the old
}

// A desktop older than restore tokens (ScreenCast before version 4) is not
// sent what it does not know: no persist mode, no token; the stored token
// stays for a desktop that knows it.
TEST_F(PortalTest, AnOlderDesktopIsAskedWithoutKeepingThePermission) {
    token_ = "token-1";
    portal_.screenCastVersion = 3;
    Open();
    WaitEnded();
    ASSERT_TRUE(started_.has_value()) << *failed_;
    const QVariantMap& select = portal_.Calls()[1].options;
    EXPECT_EQ(portal_.Calls()[1].method, "SelectSources");
    EXPECT_FALSE(select.contains("persist_mode"));
    EXPECT_FALSE(select.contains("restore_token"));
    EXPECT_EQ(select.value("cursor_mode").toUInt(), 4u);
    EXPECT_EQ(select.value("types").toUInt(), 1u); // monitors
}

// The user declines at the desktop's dialog: no second question, the stored
// token (which did not spare the dialog) is forgotten, and the reason names
// the step.
TEST_F(PortalTest, TheUserCancelling) {
    const struct {
        const char* step;
        const char* token;
    } cases[] = {{"Start", "token-1"}, {"Start", ""}, {"SelectSources", "token-1"}};
    for (const auto& c : cases) {
        portal_.cancelAt = c.step;
        token_ = c.token;
        started_.reset();
        failed_.reset();
        const int before = portal_.Calls("CreateSession");
        Open();
        WaitEnded();
        ASSERT_TRUE(failed_.has_value()) << c.step;
        EXPECT_EQ(*failed_, std::string(c.step) + ": the user cancelled");
        EXPECT_EQ(portal_.Calls("CreateSession") - before, 1) << c.step;
        EXPECT_EQ(token_, "") << c.step;
    }
}

// A token the desktop refuses, at any step, is dropped, and the session is
// asked for once more without it: the desktop then asks the user. A refusal
// without a token ends the conversation.
TEST_F(PortalTest, ARefusedTokenIsDroppedAndTheSessionAskedForAgain) {
    for (const char* step : {"SelectSources", "Start"}) {
        portal_.refuseTokenAt = step;
        token_ = "stale";
        started_.reset();
        failed_.reset();
        const std::size_t before = portal_.Calls().size();
        Open();
        WaitEnded();
        ASSERT_TRUE(started_.has_value()) << step << ": " << *failed_;
        std::vector<QVariantMap> selects;
        for (std::size_t i = before; i < portal_.Calls().size(); ++i) {
            if (portal_.Calls()[i].method == "SelectSources") {
                selects.push_back(portal_.Calls()[i].options);
            }
        }
        ASSERT_EQ(selects.size(), 2u) << step;
        EXPECT_EQ(selects[0].value("restore_token").toString(), "stale") << step;
        EXPECT_FALSE(selects[1].contains("restore_token")) << step;
        EXPECT_EQ(token_, "token-2") << step;
    }
}

// A step the desktop always refuses: the conversation ends there, after one
// more try without the token if one was sent, never a third.
TEST_F(PortalTest, ARefusalWithoutATokenEndsIt) {
    const struct {
        const char* step;
        const char* token;
        int asked;
        const char* kept;
    } cases[] = {
        {"CreateSession", "", 1, ""},
        {"CreateSession", "stale", 1, "stale"}, // refused before the token was sent
        {"SelectSources", "stale", 2, ""},
        {"Start", "", 1, ""},
    };
    for (const auto& c : cases) {
        portal_.refuseAt = c.step;
        token_ = c.token;
        failed_.reset();
        const int before = portal_.Calls("CreateSession");
        Open();
        WaitEnded();
        ASSERT_TRUE(failed_.has_value());
        EXPECT_EQ(*failed_, std::string(c.step) + ": the desktop could not do it");
        EXPECT_EQ(portal_.Calls("CreateSession") - before, c.asked) << c.step << c.token;
        EXPECT_EQ(token_, c.kept) << c.step << c.token;
    }
}

TEST_F(PortalTest, ADesktopThatNeverAnswersIsGivenUpOn) {
    portal_.silentAt = "Start";
    Open();
    // Every step before it was answered, however long that took; then the
    // wait for Start's answer runs out.
    WaitForLimit("Start");
    EXPECT_EQ(clock_.RunOut("Start"), 1);
    WaitEnded();
    ASSERT_TRUE(failed_.has_value());
    EXPECT_EQ(*failed_, "Start: no answer from the desktop");
}

TEST_F(PortalTest, TheDesktopEndingTheSessionEndsItOnce) {
    Open();
    WaitEnded();
    ASSERT_TRUE(started_.has_value());
    portal_.EndSession();
    ASSERT_TRUE(QTest::qWaitFor([this] { return failed_.has_value(); }, kPatienceMs));
    EXPECT_EQ(*failed_, "the desktop ended the screen sharing");
    // Closed by the desktop: not closed again by the program.
    session_.reset();
    RoundTrip();
    EXPECT_EQ(portal_.SessionsClosed(), 0);
}

TEST_F(PortalTest, ClosingTheSessionTellsTheDesktop) {
    Open();
    WaitEnded();
    session_.reset();
    EXPECT_TRUE(QTest::qWaitFor([this] { return portal_.SessionsClosed() == 1; }, kPatienceMs));
}

// Streams without a place (KDE's portal gives only sizes) are read as such.
TEST_F(PortalTest, StreamsWithoutAPlace) {
    portal_.positions = false;
    Open();
    WaitEnded();
    ASSERT_TRUE(started_.has_value());
    EXPECT_FALSE((*started_)[0].placed);
    EXPECT_EQ((*started_)[1].monitor.width, 320);
}

// The desktop's colour picker: a colour, a cancelled pick, a malformed
// colour, values out of range, and two picks at once, each with its own
// answer.
TEST_F(PortalTest, PickingOneColour) {
    const struct {
        std::optional<std::vector<double>> picked;
        QString cancel;
        std::optional<std::uint32_t> colour;
        const char* reason;
    } cases[] = {
        {std::vector<double>{1.0, 0.5, 0.0}, "", 0x0080FFu, ""},
        {std::vector<double>{1.5, -0.2, 0.2}, "", 0x3300FFu, ""},
        {std::vector<double>{std::nan(""), 0.5, 0.0}, "", std::nullopt,
         "PickColor: the desktop's colour is not a number"},
        {std::nullopt, "", std::nullopt, "PickColor: the desktop gave no colour"},
        {std::vector<double>{1.0, 0.5, 0.0}, "PickColor", std::nullopt,
         "PickColor: the user cancelled"},
    };
    QObject context;
    portal_.WaitUntilServing();
    for (const auto& c : cases) {
        portal_.picked = c.picked;
        portal_.cancelAt = c.cancel;
        std::optional<std::optional<std::uint32_t>> colour;
        std::string reason;
        PickColourOnce(client_, 10s, &context,
                       [&](std::optional<std::uint32_t> got, const std::string& why) {
                           colour = got;
                           reason = why;
                       });
        ASSERT_TRUE(QTest::qWaitFor([&] { return colour.has_value(); }, kPatienceMs));
        EXPECT_EQ(*colour, c.colour) << c.reason;
        EXPECT_EQ(reason, c.reason);
    }
    portal_.cancelAt = "";
    portal_.picked = std::vector<double>{0.0, 0.0, 1.0};
    int answers = 0;
    for (int i = 0; i < 2; ++i) {
        PickColourOnce(client_, 10s, &context,
                       [&](std::optional<std::uint32_t> got, const std::string&) {
                           answers += got == 0xFF0000u ? 1 : 100;
                       });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers >= 2; }, kPatienceMs));
    EXPECT_EQ(answers, 2);
}

class ReaderTest : public PortalTest {
protected:
    PortalScreenReader& Reader(PortalScreenReader::Limits limits = {}) {
        portal_.WaitUntilServing();
        reader_ = std::make_unique<PortalScreenReader>(
            client_, [this] { return token_; }, [this](const std::string& t) { token_ = t; },
            limits);
        reader_->OnFailure([this](const std::string& reason) { failure_ = reason; });
        EXPECT_TRUE(QTest::qWaitFor([this] { return reader_->Access() != ScreenAccess::Unknown; },
                                    kPatienceMs));
        return *reader_;
    }
    std::unique_ptr<PortalScreenReader> reader_;
    std::optional<std::string> failure_;
};

TEST_F(ReaderTest, WhatThePortalOffersDecidesTheAccess) {
    const struct {
        bool screenCast;
        uint cursorModes;
        uint screenshotVersion;
        ScreenAccess access;
        uint screenCastVersion = 4;
    } cases[] = {
        {true, 1 | 2 | 4, 2, ScreenAccess::Live},
        {true, 1 | 2, 2, ScreenAccess::PickOnce},
        {false, 0, 2, ScreenAccess::PickOnce},
        {true, 1 | 2, 1, ScreenAccess::None}, // no PickColor before version 2
        {false, 0, 0, ScreenAccess::None},
        // Cursor modes came with ScreenCast 2: an answer before that is noise.
        {true, 1 | 2 | 4, 0, ScreenAccess::None, 1},
        {true, 1 | 2 | 4, 0, ScreenAccess::Live, 2},
    };
    for (const auto& c : cases) {
        PrivateBus bus;
        QDBusConnection client = bus.Connect(QStringLiteral("probe-client-%1").arg(++count_));
        FakePortal portal(bus.Connect(QStringLiteral("probe-portal-%1").arg(count_)));
        portal.screenCast = c.screenCast;
        portal.cursorModes = c.cursorModes;
        portal.screenshotVersion = c.screenshotVersion;
        portal.screenCastVersion = c.screenCastVersion;
        portal.WaitUntilServing();
        PortalScreenReader reader(
            client, [] { return std::string(); }, [](const std::string&) {}, {});
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return reader.Access() != ScreenAccess::Unknown; }, kPatienceMs));
        EXPECT_EQ(reader.Access(), c.access) << c.cursorModes << " " << c.screenshotVersion;
        EXPECT_EQ(reader.Unavailable().empty(), c.access != ScreenAccess::None);
    }
}

// Streams that never send a picture stop the pipette with the reason, and
// the session is closed; the next start asks again.
TEST_F(ReaderTest, NoPictureStopsThePipette) {
    PortalScreenReader& reader = Reader();
    reader.SetActive(true);
    WaitForLimit("first picture");
    EXPECT_EQ(clock_.RunOut("first picture"), 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return failure_.has_value(); }, kPatienceMs));
    EXPECT_EQ(*failure_, "the desktop sends no picture");
    EXPECT_FALSE(reader.SessionOpen());
    EXPECT_TRUE(QTest::qWaitFor([this] { return portal_.SessionsClosed() == 1; }, kPatienceMs));
    failure_.reset();
    reader.SetActive(true);
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return portal_.Calls("CreateSession") == 2; }, kPatienceMs));
}

// Off means off: stopping the pipette closes the session; starting it again
// opens one from the stored token, without the desktop's dialog.
TEST_F(ReaderTest, OffClosesTheSessionAndOnOpensItFromTheToken) {
    PortalScreenReader& reader = Reader();
    reader.SetActive(true);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return portal_.Calls("OpenPipeWireRemote") == 1; }, kPatienceMs));
    EXPECT_TRUE(reader.SessionOpen());
    reader.SetActive(false);
    EXPECT_FALSE(reader.SessionOpen());
    ASSERT_TRUE(QTest::qWaitFor([this] { return portal_.SessionsClosed() == 1; }, kPatienceMs));
    EXPECT_EQ(token_, "token-2");
    reader.SetActive(true);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return portal_.Calls("OpenPipeWireRemote") == 2; }, kPatienceMs));
    EXPECT_EQ(portal_.Calls().back().method, "OpenPipeWireRemote");
    EXPECT_EQ(portal_.Calls()[portal_.Calls().size() - 3].options.value("restore_token"),
              "token-2");
    EXPECT_FALSE(failure_.has_value());
}

// A failure while the pipette is off is nobody's business.
TEST_F(ReaderTest, TheDesktopEndingAnOpenSessionStopsThePipette) {
    PortalScreenReader& reader = Reader();
    reader.SetActive(true);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return portal_.Calls("OpenPipeWireRemote") == 1; }, kPatienceMs));
    portal_.EndSession();
    ASSERT_TRUE(QTest::qWaitFor([this] { return failure_.has_value(); }, kPatienceMs));
    EXPECT_EQ(*failure_, "the desktop ended the screen sharing");
    EXPECT_FALSE(reader.SessionOpen());
}

// The format the streams ask for, read back as PipeWire reads it.
TEST(StreamFormat, OffersEveryByteOrderAtAFewFramesASecond) {
    std::uint8_t buffer[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    const spa_pod* format = BuildEnumFormat(builder);
    ASSERT_NE(format, nullptr);
    std::uint32_t mediaType = 0;
    std::uint32_t mediaSubtype = 0;
    ASSERT_GE(spa_format_parse(format, &mediaType, &mediaSubtype), 0);
    EXPECT_EQ(mediaType, SPA_MEDIA_TYPE_video);
    EXPECT_EQ(mediaSubtype, SPA_MEDIA_SUBTYPE_raw);
    const spa_pod_prop* choices = spa_pod_find_prop(format, nullptr, SPA_FORMAT_VIDEO_format);
    ASSERT_NE(choices, nullptr);
    std::uint32_t count = 0;
    std::uint32_t kind = 0;
    const spa_pod* values = spa_pod_get_values(&choices->value, &count, &kind);
    EXPECT_EQ(kind, SPA_CHOICE_Enum);
    EXPECT_EQ(count, 9u); // the default and the eight byte orders
    const auto* ids = static_cast<const std::uint32_t*>(SPA_POD_BODY_CONST(values));
    int orders = 0;
    for (std::uint32_t i = 1; i < count; ++i) {
        orders += FrameFormatOf(static_cast<spa_video_format>(ids[i])) == FrameFormat::Bgrx ? 0 : 1;
    }
    EXPECT_EQ(orders, 6); // all but BGRx and BGRA read another way round
    const spa_pod_prop* rate = spa_pod_find_prop(format, nullptr, SPA_FORMAT_VIDEO_maxFramerate);
    ASSERT_NE(rate, nullptr);
    const auto* fractions = static_cast<const spa_fraction*>(
        SPA_POD_BODY_CONST(spa_pod_get_values(&rate->value, &count, &kind)));
    EXPECT_EQ(fractions[0].num, static_cast<std::uint32_t>(kStreamFramesPerSecond));

    const spa_pod* params[3] = {};
    BuildBufferParams(builder, params);
    for (const spa_pod* param : params) {
        EXPECT_NE(param, nullptr);
    }
    EXPECT_GT(CursorMetaSize(kCursorBitmapSide), 4 * kCursorBitmapSide * kCursorBitmapSide);
}

TEST(StreamFormat, ByteOrders) {
    const std::pair<spa_video_format, FrameFormat> cases[] = {
        {SPA_VIDEO_FORMAT_BGRx, FrameFormat::Bgrx}, {SPA_VIDEO_FORMAT_BGRA, FrameFormat::Bgrx},
        {SPA_VIDEO_FORMAT_RGBx, FrameFormat::Rgbx}, {SPA_VIDEO_FORMAT_RGBA, FrameFormat::Rgbx},
        {SPA_VIDEO_FORMAT_xBGR, FrameFormat::Xbgr}, {SPA_VIDEO_FORMAT_ABGR, FrameFormat::Xbgr},
        {SPA_VIDEO_FORMAT_xRGB, FrameFormat::Xrgb}, {SPA_VIDEO_FORMAT_ARGB, FrameFormat::Xrgb},
    };
    for (const auto& [spa, ours] : cases) {
        EXPECT_EQ(FrameFormatOf(spa), ours) << spa;
    }
}

} // namespace
} // namespace tintorel
