// The wlroots pipette's reading against a compositor the test plays: copies
// come when the test hands them over, late, or never.
#include "platform/screen/timelimit.h"
#include "platform/screen/wlroots/wlrscreen.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace tintorel {
namespace {

class FakeCopier : public ScreenCopier {
public:
    void SetEvents(Events events) override { events_ = std::move(events); }
    std::vector<OutputPlace> Outputs() const override { return outputs; }
    void ShowOverlays(bool shown) override { overlays = shown; }
    bool OverlaysShown() const override { return overlays; }
    std::optional<std::pair<double, double>> Pointer() const override { return pointer; }
    void AskCopies(const std::vector<RegionRequest>& regions) override {
        asked.push_back(regions);
        waiting = true;
    }
    void DropCopies() override {
        dropped += waiting ? 1 : 0;
        waiting = false;
    }

    // The compositor's answer to the last ask: every region in one colour
    // (0x00RRGGBB), or a failure.
    void Copy(std::uint32_t rgb) {
        ASSERT_TRUE(waiting);
        waiting = false;
        std::vector<CopiedRegion> copies;
        for (const RegionRequest& request : asked.back()) {
            CopiedRegion copy;
            copy.output = request.output;
            copy.region = request.region;
            copy.width = request.region.width;
            copy.height = request.region.height;
            copy.stride = copy.width * 4;
            copy.format = FrameFormat::Bgrx;
            for (int i = 0; i < copy.width * copy.height; ++i) {
                copy.bytes.insert(copy.bytes.end(), {static_cast<std::uint8_t>(rgb),
                                                     static_cast<std::uint8_t>(rgb >> 8),
                                                     static_cast<std::uint8_t>(rgb >> 16), 0});
            }
            copies.push_back(std::move(copy));
        }
        events_.copied(std::move(copies), {});
    }
    void Fail() {
        waiting = false;
        events_.copied(std::nullopt, "the compositor could not copy the screen");
    }
    void Click() { events_.finished(); }

    std::vector<OutputPlace> outputs{{{0, 0, 100, 100}, 1.0, OutputTurn::Normal}};
    std::optional<std::pair<double, double>> pointer = std::make_pair(50.5, 50.5);
    bool overlays = false;
    bool waiting = false; // an ask not yet answered
    std::vector<std::vector<RegionRequest>> asked;
    int dropped = 0;
    Events events_;
};

// Our windows where the test puts them.
class FakeOwnWindows : public OwnWindows {
public:
    void Refresh() override { ++refreshes; }
    bool Contains(double x, double y) const override {
        return std::any_of(windows.begin(), windows.end(), [x, y](const LogicalRect& w) {
            return x >= w.x && y >= w.y && x < w.x + w.width && y < w.y + w.height;
        });
    }
    std::vector<LogicalRect> windows;
    int refreshes = 0;
};

class WlrScreenTest : public ::testing::Test {
protected:
    WlrScreenTest() {
        auto copier = std::make_unique<FakeCopier>();
        copier_ = copier.get();
        auto own = std::make_unique<FakeOwnWindows>();
        own_ = own.get();
        reader_ = std::make_unique<WlrScreenReader>(std::move(copier), std::move(own));
        reader_->OnPicture([this] { ++pictures_; });
        reader_->OnFailure([this](const std::string& reason) { failures_.push_back(reason); });
        reader_->OnFinish([this] {
            // As the pipette: nothing read over our own windows.
            ++finishes_;
            if (!reader_->PointerOnOwnWindow()) {
                finishedReadable_ = Sample();
            }
        });
        reader_->SetActive(true);
    }

    // One reading as the pipette makes it: the magnifier's 9 × 9 around
    // the pointer. The centre pixel, or nothing while the picture is still
    // to come.
    std::optional<std::uint32_t> Sample() {
        const QPoint at = reader_->CursorPos();
        const ScreenGrab grab = reader_->Grab(QRect(at - QPoint(4, 4), QSize(9, 9)));
        if (!grab.Taken()) {
            return std::nullopt;
        }
        return grab.Pixel(at.x(), at.y());
    }
    // A tick of the pipette's clock.
    std::optional<std::uint32_t> Tick() {
        reader_->NextPicture();
        return Sample();
    }
    static void Settle() { QCoreApplication::processEvents(); }

    HeldTimeLimits clock_;
    FakeCopier* copier_ = nullptr;
    FakeOwnWindows* own_ = nullptr;
    std::unique_ptr<WlrScreenReader> reader_;
    int pictures_ = 0;
    int finishes_ = 0;
    std::optional<std::uint32_t> finishedReadable_;
    std::vector<std::string> failures_;
};

TEST_F(WlrScreenTest, ATickAsksOnceAndReadsWhenTheCopyComes) {
    EXPECT_EQ(Tick(), std::nullopt);
    ASSERT_EQ(copier_->asked.size(), 1u); // the square and the magnifier from one copy
    ASSERT_EQ(copier_->asked[0].size(), 1u);
    const LogicalRect region = copier_->asked[0][0].region;
    // Around the pointer's pixel (50, 50), far enough for both.
    EXPECT_LE(region.x, 46);
    EXPECT_LE(region.y, 46);
    EXPECT_GE(region.x + region.width, 55);
    EXPECT_GE(region.y + region.height, 55);

    copier_->Copy(0x336699);
    EXPECT_EQ(pictures_, 1);
    EXPECT_EQ(Sample(), 0x996633u); // 0x00BBGGRR
    EXPECT_EQ(copier_->asked.size(), 1u);

    // The next tick wants a new picture: the last one is not read again.
    EXPECT_EQ(Tick(), std::nullopt);
    EXPECT_EQ(copier_->asked.size(), 2u);
    EXPECT_EQ(copier_->dropped, 0);
}

TEST_F(WlrScreenTest, NothingIsAskedUntilTheOverlaysHaveThePointer) {
    copier_->pointer.reset();
    EXPECT_EQ(Tick(), std::nullopt);
    EXPECT_TRUE(copier_->asked.empty());
    copier_->pointer = std::make_pair(10.5, 10.5);
    EXPECT_EQ(Tick(), std::nullopt);
    EXPECT_EQ(copier_->asked.size(), 1u);
}

TEST_F(WlrScreenTest, ACopyNotComeByTheNextTickIsDropped) {
    Tick();
    EXPECT_EQ(Tick(), std::nullopt);
    EXPECT_EQ(copier_->dropped, 1);
    EXPECT_EQ(copier_->asked.size(), 2u);
    copier_->Copy(0x102030);
    EXPECT_EQ(Sample(), 0x302010u);
    EXPECT_TRUE(failures_.empty());
}

TEST_F(WlrScreenTest, APointerMovedFarFromTheCopyIsNotReadFromIt) {
    // Asked for around (50, 50); each way far enough that the square leaves
    // the copy.
    const std::pair<double, double> moves[] = {
        {35.5, 50.5}, {65.5, 50.5}, {50.5, 35.5}, {50.5, 65.5}};
    for (const auto& to : moves) {
        SCOPED_TRACE(testing::Message() << to.first << ", " << to.second);
        copier_->pointer = std::make_pair(50.5, 50.5);
        const std::size_t asks = copier_->asked.size();
        Tick();
        copier_->pointer = to;
        copier_->Copy(0x112233);
        EXPECT_EQ(Sample(), std::nullopt); // and no second ask within the tick
        EXPECT_EQ(copier_->asked.size(), asks + 1);
    }
    EXPECT_EQ(Tick(), std::nullopt);
    copier_->Copy(0x445566);
    EXPECT_EQ(Sample(), 0x665544u);
}

TEST_F(WlrScreenTest, OutputsChangedUnderACopyLeaveItUnread) {
    Tick();
    copier_->outputs.push_back({{100, 0, 100, 100}, 2.0, OutputTurn::Normal});
    copier_->Copy(0x112233);
    EXPECT_EQ(Sample(), std::nullopt);
}

TEST_F(WlrScreenTest, ACompositorThatNeverCopiesStopsThePipetteAtTheStallLimit) {
    for (int tick = 0; tick < 8; ++tick) {
        EXPECT_EQ(Tick(), std::nullopt);
    }
    EXPECT_EQ(copier_->dropped, 7);
    Settle();
    EXPECT_TRUE(failures_.empty());
    EXPECT_EQ(clock_.Starts("copy"), 1); // counted from the first ask, not the last
    EXPECT_EQ(clock_.RunOut("copy"), 1);
    Settle();
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0], "the compositor sends no picture");
    EXPECT_FALSE(copier_->overlays);
    EXPECT_FALSE(copier_->waiting);
}

TEST_F(WlrScreenTest, ACopyThatComesStopsTheStallLimit) {
    Tick();
    copier_->Copy(0x000000);
    EXPECT_TRUE(clock_.Running().empty());
    Tick();
    EXPECT_EQ(clock_.Running(), std::vector<std::string>{"copy"});
    reader_->SetActive(false);
    EXPECT_TRUE(clock_.Running().empty());
    EXPECT_FALSE(copier_->waiting);
}

TEST_F(WlrScreenTest, AFailedCopyStopsThePipetteWithTheReason) {
    Tick();
    copier_->Fail();
    Settle();
    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0], "the compositor could not copy the screen");
    EXPECT_EQ(pictures_, 0);
}

TEST_F(WlrScreenTest, AClickEndsThePipetteOnceTheLastPictureHasCome) {
    Tick();
    copier_->Copy(0x010101);
    copier_->pointer = std::make_pair(20.5, 30.5);
    copier_->Click();
    Settle();
    copier_->Click(); // a second click while it comes asks nothing more
    Settle();
    EXPECT_EQ(finishes_, 0);
    ASSERT_EQ(copier_->asked.size(), 2u); // where the pointer is now
    const LogicalRect region = copier_->asked[1][0].region;
    EXPECT_LE(region.x, 17);
    EXPECT_GE(region.x + region.width, 24);
    // Ticks meanwhile do not drop it.
    Tick();
    EXPECT_EQ(copier_->dropped, 0);
    copier_->Copy(0xABCDEF);
    EXPECT_EQ(finishes_, 1);
    EXPECT_EQ(pictures_, 1);
    EXPECT_EQ(finishedReadable_, 0xEFCDABu);
}

TEST_F(WlrScreenTest, NothingComesOfAClickOrACopyOnceThePipetteIsOff) {
    Tick();
    copier_->Click();
    reader_->SetActive(false);
    Settle();
    EXPECT_EQ(finishes_, 0);
    EXPECT_EQ(copier_->asked.size(), 1u);
    copier_->events_.copied(std::vector<CopiedRegion>(), {});
    EXPECT_EQ(pictures_, 0);
}

TEST_F(WlrScreenTest, OurOwnWindowsAreKnownWhereTheDesktopSaysAndAskedAfreshEachTick) {
    EXPECT_EQ(own_->refreshes, 1); // as the pipette started
    own_->windows = {{40, 40, 30, 20}};
    const struct {
        double x, y;
        bool own;
    } points[] = {{50.5, 50.5, true}, {40, 40, true},    {69.9, 59.9, true},
                  {70, 50, false},    {39.9, 50, false}, {50, 60, false}};
    for (const auto& p : points) {
        copier_->pointer = std::make_pair(p.x, p.y);
        EXPECT_EQ(reader_->PointerOnOwnWindow(), p.own) << p.x << ", " << p.y;
    }
    Tick();
    Tick();
    EXPECT_EQ(own_->refreshes, 3);
    copier_->pointer.reset();
    EXPECT_FALSE(reader_->PointerOnOwnWindow());
}

// A click on our own window (its pipette button, say) ends the pipette
// without a picture of it: the colour picked before stays.
TEST_F(WlrScreenTest, AClickOnOurOwnWindowEndsThePipetteWithoutAPictureOfIt) {
    own_->windows = {{40, 40, 30, 20}};
    copier_->Click();
    Settle();
    EXPECT_EQ(finishes_, 1);
    EXPECT_TRUE(copier_->asked.empty());
    EXPECT_EQ(finishedReadable_, std::nullopt);
}

} // namespace
} // namespace tintorel
