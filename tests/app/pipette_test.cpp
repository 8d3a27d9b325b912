#include "apptest.h"
#include "tests/patience.h"

#include "colourlist/colorname.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QItemSelectionModel>
#include <QTest>
#include <QToolButton>

namespace tintorel {
namespace {

class PipetteTest : public AppTest {
protected:
    // A screen of known pixels: (x, y) has red x, green y, blue 7.
    void SetUp() override {
        AppTest::SetUp();
        for (int y = 0; y < screenImage_.height(); ++y) {
            for (int x = 0; x < screenImage_.width(); ++x) {
                screenImage_.setPixel(x, y, qRgb(x % 256, y % 256, 7));
            }
        }
    }
    QRgb CanvasPixel(int x, int y) const {
        return Child<PreviewImage>("pnlImage")->Canvas().pixel(x, y);
    }
};

TEST_F(PipetteTest, AveragesTheSquareOfItsSize) {
    const struct {
        int size;
        QPoint at;
        QRgb expected;
    } cases[] = {
        {1, {100, 50}, qRgb(100, 50, 7)},
        {0, {100, 50}, qRgb(100, 50, 7)},
        {3, {100, 50}, qRgb(100, 50, 7)}, // symmetric neighbours average out
        {7, {0, 0}, qRgb(2, 2, 7)},       // clamped to 4 × 4: mean of 0..3 is 1.5
    };
    for (const auto& c : cases) {
        WriteSize(c.size);
        TMainForm& form = Start();
        screen_->SetCursorPos(c.at);
        Press("btnCapture");
        EXPECT_TRUE(form.PipetteRunning());
        Tick();
        // The magnifier's centre shows the pixel under the pointer itself.
        EXPECT_EQ(CanvasPixel(34, 34), screenImage_.pixel(c.at)) << "size " << c.size;
        Press("btnCapture");
        EXPECT_FALSE(form.PipetteRunning());
        EXPECT_EQ(Preview(), c.expected) << "size " << c.size;
        // One picture of the screen served the square and the magnifier.
        EXPECT_EQ(screen_->Grabs(), 1) << "size " << c.size;
    }
}

// At the right edge the square is cut at the last column: nothing from
// beyond the screen (which reads as black) enters the average.
TEST_F(PipetteTest, SquareAtTheRightEdgeAveragesOnlyTheScreen) {
    WriteSize(3);
    Start();
    screen_->SetCursorPos({639, 50}); // columns 638 and 639: red 126 and 127
    Press("btnCapture");
    Tick();
    Press("btnCapture");
    EXPECT_GE(qRed(Preview()), 126);
    EXPECT_LE(qRed(Preview()), 127);
    EXPECT_EQ(qGreen(Preview()), 50);
}

// Between monitors of different sizes part of the square lies on no
// monitor: only the pixels that exist are averaged, and a square on none
// keeps the colour.
TEST_F(PipetteTest, OnlyPixelsThatExistAreAveraged) {
    WriteSize(3);
    Start();
    // Columns 99 and 101 are gaps: of the square around (100, 50) only
    // column 100 is left, three pixels of red 100.
    screen_->SetMissing(QRegion(99, 0, 1, 480) + QRegion(101, 0, 1, 480));
    screen_->SetCursorPos({100, 50});
    Press("btnCapture");
    Tick();
    EXPECT_EQ(Html(), "#643207");
    // The magnifier shows the gaps black, beside the pixel that exists.
    EXPECT_EQ(CanvasPixel(27, 34), qRgb(0, 0, 0));
    EXPECT_EQ(CanvasPixel(34, 34), qRgb(100, 50, 7));
    EXPECT_EQ(CanvasPixel(41, 34), qRgb(0, 0, 0));
    screen_->SetMissing(QRegion(90, 40, 20, 20));
    Tick();
    EXPECT_EQ(Html(), "#643207");
}

TEST_F(PipetteTest, MagnifierAtTheTopLeftCornerAndItsFrames) {
    WriteSize(7);
    Start();
    screen_->SetCursorPos({0, 0});
    Press("btnCapture");
    Tick();
    // The 5 × 5 pixels (0..4) fill a 38 × 38 block at the bottom right.
    EXPECT_EQ(CanvasPixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(CanvasPixel(30, 20), qRgb(0, 0, 0));
    EXPECT_EQ(CanvasPixel(66, 66), qRgb(4, 4, 7));
    EXPECT_EQ(CanvasPixel(33, 33), qRgb(0, 0, 7));
    // The frames stay centred: white (8, 8)-(61, 61), black one pixel out.
    EXPECT_EQ(CanvasPixel(8, 30), qRgb(255, 255, 255));
    EXPECT_EQ(CanvasPixel(60, 30), qRgb(255, 255, 255));
    EXPECT_EQ(CanvasPixel(7, 30), qRgb(0, 0, 0));
    EXPECT_EQ(CanvasPixel(61, 45), qRgb(0, 0, 0));
}

// On the way to its own button the pointer crosses the window: the colour
// sampled before stays, and so does the magnifier's picture; the button then
// stops the pipette with that colour. Escape stops it the same way.
TEST_F(PipetteTest, OurOwnWindowsAreNotSampled) {
    WriteSize(1);
    TMainForm& form = Start();
    form.move(300, 200);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
    QCursor::setPos(5, 5);
    if (QCursor::pos() != QPoint(5, 5)) {
        GTEST_SKIP() << "this platform cannot place the pointer";
    }
    auto* button = Child<QToolButton>("btnCapture");
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(form.PipetteRunning());
    screen_->SetCursorPos({100, 50});
    Tick();
    EXPECT_EQ(form.CurrentColor()->ToColor(), 0x073264u);
    const QImage magnified = Child<PreviewImage>("pnlImage")->Canvas();

    QCursor::setPos(form.mapToGlobal(button->geometry().center()));
    screen_->SetCursorPos({200, 150}); // what lies under the window now
    Tick();
    EXPECT_EQ(form.CurrentColor()->ToColor(), 0x073264u);
    EXPECT_EQ(Child<PreviewImage>("pnlImage")->Canvas(), magnified);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(form.PipetteRunning());
    EXPECT_EQ(Preview(), qRgb(100, 50, 7));
    EXPECT_EQ(Html(), "#643207");

    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(form.PipetteRunning());
    QTest::keyClick(Child<QLineEdit>("edtHtml"), Qt::Key_Escape);
    EXPECT_FALSE(form.PipetteRunning());
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(Html(), "#643207");
    // Without a running pipette, Escape does nothing at all.
    QTest::keyClick(Child<QLineEdit>("edtHtml"), Qt::Key_Escape);
    EXPECT_FALSE(form.PipetteRunning());
}

// Whatever the screen's scale, the preview holds one pixel per device
// pixel: each of the 9 × 9 magnified cells shows its own source pixel, and
// the white frame runs inside exactly the cells of the sampled square, with
// the black one just outside it. CTest runs this at scales 1, 1.5 and 2.
TEST_F(PipetteTest, MagnifierIsExactAtTheScreensScale) {
    for (const int size : {1, 3, 7}) {
        WriteSize(size);
        TMainForm& form = Start();
        form.show();
        QApplication::processEvents();
        const QPoint at(200, 100);
        screen_->SetCursorPos(at);
        Press("btnCapture");
        Tick();
        auto* preview = Child<PreviewImage>("pnlImage");
        const QImage canvas = preview->Canvas();
        const qreal ratio = preview->devicePixelRatioF();
        ASSERT_EQ(canvas.width(), qRound(preview->width() * ratio)) << ratio;
        const double cell = canvas.width() / 9.0;
        for (int row = 0; row < 9; ++row) {
            for (int column = 0; column < 9; ++column) {
                const int x = static_cast<int>((column + 0.5) * cell);
                const int y = static_cast<int>((row + 0.5) * cell);
                ASSERT_EQ(canvas.pixel(x, y), screenImage_.pixel(at + QPoint(column - 4, row - 4)))
                    << "cell " << column << "," << row << " at scale " << ratio;
            }
        }
        const int h = (size - 1) / 2;
        const int middle = static_cast<int>(4.5 * cell);
        int first = -1;
        int last = -1;
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixel(x, middle) == qRgb(255, 255, 255)) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        ASSERT_GE(first, 1) << "no frame at scale " << ratio;
        EXPECT_EQ(static_cast<int>(first / cell), 4 - h) << "size " << size << ", scale " << ratio;
        EXPECT_EQ(static_cast<int>(last / cell), 4 + h) << "size " << size << ", scale " << ratio;
        EXPECT_EQ(canvas.pixel(first - 1, middle), qRgb(0, 0, 0));
        EXPECT_EQ(canvas.pixel(last + 1, middle), qRgb(0, 0, 0));
        Press("btnCapture");
    }
}

TEST_F(PipetteTest, FramesForEachSize) {
    const struct {
        int size;
        int from;
        int to;
    } cases[] = {{1, 31, 38}, {3, 24, 46}, {7, 8, 61}};
    for (const auto& c : cases) {
        WriteSize(c.size);
        Start();
        screen_->SetCursorPos({200, 200});
        Press("btnCapture");
        Tick();
        EXPECT_EQ(CanvasPixel(c.from, c.from + 2), qRgb(255, 255, 255)) << c.size;
        EXPECT_EQ(CanvasPixel(c.to - 1, c.from + 2), qRgb(255, 255, 255)) << c.size;
        EXPECT_EQ(CanvasPixel(c.from - 1, c.from + 2), qRgb(0, 0, 0)) << c.size;
        EXPECT_EQ(CanvasPixel(c.to, c.from + 2), qRgb(0, 0, 0)) << c.size;
    }
}

TEST_F(PipetteTest, BottomRightCornerIsDrawnAtTheTopLeft) {
    Start();
    screen_->SetCursorPos({639, 479});
    Press("btnCapture");
    Tick();
    EXPECT_EQ(CanvasPixel(2, 2), qRgb(635 % 256, 475 % 256, 7));
    EXPECT_EQ(CanvasPixel(66, 66), qRgb(0, 0, 0));
    EXPECT_EQ(Html(), "#7fdf07");
}

TEST_F(PipetteTest, AStillPointerRewritesNothingAfterTheFirstTick) {
    TMainForm& form = Start();
    screen_->SetCursorPos({10, 20});
    Press("btnCapture");
    Tick();
    EXPECT_EQ(Html(), "#0a1407");
    const BColor* sampled = form.CurrentColor();
    Tick();
    EXPECT_EQ(form.CurrentColor(), sampled); // not made again from the same pixels
    EXPECT_EQ(screen_->Grabs(), 2);          // one picture a tick
}

// Counts the paintings of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// With the pointer still over a still screen the preview is not painted
// again (the desktop then has nothing to recompose); it is as soon as the
// pointer moves or the screen changes.
TEST_F(PipetteTest, AStillPictureIsNotPaintedAgain) {
    TMainForm& form = Start();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, kPatienceMs));
    auto* preview = Child<PreviewImage>("pnlImage");
    PaintCounter counter;
    preview->installEventFilter(&counter);
    screen_->SetCursorPos({10, 20});
    Press("btnCapture");
    Tick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }, kPatienceMs));
    QApplication::processEvents();
    const int painted = counter.paints;
    for (int tick = 0; tick < 3; ++tick) {
        Tick();
        QApplication::processEvents();
    }
    EXPECT_EQ(counter.paints, painted);
    // A pixel of the screen under the magnifier changes: painted again.
    screenImage_.setPixel(12, 20, qRgb(1, 2, 3));
    screen_->SetImage(screenImage_);
    Tick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > painted; }, kPatienceMs));
    const int changed = counter.paints;
    screen_->SetCursorPos({11, 20});
    Tick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > changed; }, kPatienceMs));
    EXPECT_EQ(CanvasPixel(34, 34) & 0xFFFFFFu, qRgb(11, 20, 7) & 0xFFFFFFu);
    preview->removeEventFilter(&counter);
}

TEST_F(PipetteTest, DeactivationStopsItAndKeepsTheLastColour) {
    TMainForm& form = Start();
    screen_->SetCursorPos({10, 20});
    Press("btnCapture");
    Tick();
    Deactivate();
    EXPECT_FALSE(form.PipetteRunning());
    EXPECT_FALSE(Child<QToolButton>("btnCapture")->isChecked());
    EXPECT_EQ(Preview(), qRgb(10, 20, 7));
    EXPECT_EQ(Html(), "#0a1407");
}

// A screen reader's action on the button (Toggle, as Orca's and the
// desktop's tools offer it) starts and stops the pipette as a click does.
TEST_F(PipetteTest, TheButtonsAccessibleActionStartsAndStopsIt) {
    InstallData();
    TMainForm& form = Start();
    screen_->SetCursorPos({10, 20});
    auto* button = Child<QToolButton>("btnCapture");
    QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(button);
    QAccessibleActionInterface* actions = heard->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    EXPECT_EQ(heard->role(), QAccessible::CheckBox); // as Qt tells of any checkable button
    EXPECT_FALSE(heard->state().checked);
    EXPECT_TRUE(heard->state().checkable);
    EXPECT_EQ(heard->text(QAccessible::Name), "Pipette");
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(form.PipetteRunning());
    EXPECT_TRUE(heard->state().checked);
    Tick();
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(form.PipetteRunning());
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(Html(), "#0a1407");
    // Disabled, it does nothing.
    button->setEnabled(false);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(form.PipetteRunning());
}

// The desktop's own dialog that asks for the screen takes the focus: the
// pipette keeps running through it.
TEST_F(PipetteTest, TheDesktopAskingForTheScreenDoesNotStopIt) {
    TMainForm& form = Start();
    Press("btnCapture");
    screen_->SetAwaitingDesktop(true);
    Deactivate();
    EXPECT_TRUE(form.PipetteRunning());
    screen_->SetAwaitingDesktop(false);
    Deactivate();
    EXPECT_FALSE(form.PipetteRunning());
}

TEST_F(PipetteTest, ClosingWhileItRunsStopsItFirst) {
    TMainForm& form = Start();
    screen_->SetCursorPos({10, 20});
    Press("btnCapture");
    Tick();
    Close();
    EXPECT_FALSE(form.PipetteRunning());
    EXPECT_FLOAT_EQ(ReadRed(), 10.0f / 255.0f);
}

// The screen source runs only while the pipette does, and a source lost
// while it runs stops it: the colour stays, the log says why, and the next
// press starts it again.
TEST_F(PipetteTest, TheSourceRunsOnlyWithThePipetteAndALossStopsIt) {
    TMainForm& form = Start();
    form.show();
    auto* button = Child<QToolButton>("btnCapture");
    screen_->SetCursorPos({10, 20});
    EXPECT_FALSE(screen_->Active());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(screen_->Active());
    Tick();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(screen_->Active());

    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(form.PipetteRunning());
    screen_->Lose("the desktop ended the screen sharing");
    EXPECT_FALSE(form.PipetteRunning());
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(screen_->Active());
    EXPECT_EQ(Html(), "#0a1407");
    EXPECT_NE(ReadLog().find("Pipette stopped: the desktop ended the screen sharing"),
              std::string::npos);
    EXPECT_TRUE(button->toolTip().endsWith("\nthe desktop ended the screen sharing"));
    const QString reason = button->toolTip();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(form.PipetteRunning());
    EXPECT_TRUE(screen_->Active());
    // The reason stands until the pipette reads the screen again: a tick
    // that reads nothing leaves it, one that reads takes it away.
    screen_->SetReadable(false);
    Tick();
    EXPECT_EQ(button->toolTip(), reason);
    screen_->SetReadable(true);
    Tick();
    EXPECT_EQ(button->toolTip(), reason.section(u'\n', 0, 0)); // the hint alone
}

// A desktop that only picks colours itself: a press asks it once, applies
// what it gives as a tick would, and releases the button; a cancelled pick
// changes nothing.
TEST_F(PipetteTest, ADesktopThatPicksOnceIsAskedOncePerPress) {
    TMainForm& form = Start();
    form.show();
    screen_->SetAccess(ScreenAccess::PickOnce);
    auto* button = Child<QToolButton>("btnCapture");
    const struct {
        std::optional<std::uint32_t> picked;
        const char* html;
    } cases[] = {{0x5A3D0Cu, "#0c3d5a"}, {std::nullopt, "#0c3d5a"}, {0x000080u, "#800000"}};
    const QString hint = button->toolTip();
    int picks = 0;
    for (const auto& c : cases) {
        screen_->SetPicked(c.picked);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(screen_->Picks(), ++picks);
        EXPECT_FALSE(form.PipetteRunning());
        EXPECT_FALSE(button->isChecked());
        EXPECT_FALSE(screen_->Active());
        EXPECT_EQ(Html(), c.html);
        // A failed pick says why in the button's hint until one works.
        EXPECT_EQ(button->toolTip(), c.picked ? hint : hint + "\nPickColor: the user cancelled");
    }
    EXPECT_NE(ReadLog().find("Pipette stopped: PickColor: the user cancelled"), std::string::npos);
}

// A desktop whose picker never answered: the next press asks again, and
// only the last pick's answer counts, whenever the other comes.
TEST_F(PipetteTest, APressWhileAPickIsPendingAsksAgain) {
    TMainForm& form = Start();
    form.show();
    screen_->SetAccess(ScreenAccess::PickOnce);
    screen_->DeferPicks();
    auto* button = Child<QToolButton>("btnCapture");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(screen_->Picks(), 2);
    EXPECT_TRUE(button->isChecked());
    screen_->AnswerPick(0, 0x0000FFu);
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(Html(), "#000000");
    screen_->AnswerPick(1, 0xFF0000u);
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(Html(), "#0000ff");
}

// Nothing can read this desktop's screen: the button is disabled and its
// tooltip says why; the answer may come after the window is shown.
TEST_F(PipetteTest, AnUnreadableDesktopDisablesTheButtonAndSaysWhy) {
    TMainForm& form = Start();
    form.show();
    auto* button = Child<QToolButton>("btnCapture");
    EXPECT_TRUE(button->isEnabled());
    screen_->SetAccess(ScreenAccess::None, "no portal");
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), "no portal");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(form.PipetteRunning());
    EXPECT_FALSE(screen_->Active());
}

// On the Name page the sampled colour itself is taken; the list shows the
// name nearest it.
TEST_F(PipetteTest, OnTheNamePageTheSampleIsTakenAndItsNearestNameShown) {
    InstallData();
    TMainForm& form = Start();
    ShowPage(TMainForm::PageName);
    screen_->SetCursorPos({250, 5});
    Press("btnCapture");
    Tick();
    const QRgb pixel = screenImage_.pixel(250, 5);
    EXPECT_EQ(Html(), QColor(pixel).name());
    EXPECT_EQ(form.CurrentColor()->ToColor(),
              static_cast<PackedColor>(qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16));
    const QModelIndexList rows = Child<QListView>("lstName")->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().data().toString(), "Overprint red");
}

TEST_F(PipetteTest, AnUnreadableScreenSamplesAndDrawsNothing) {
    TMainForm& form = Start();
    screen_->SetReadable(false);
    screen_->SetCursorPos({10, 20});
    Press("btnCapture");
    Tick();
    EXPECT_TRUE(form.PipetteRunning());
    EXPECT_EQ(Html(), "#000000");
}

// A desktop whose pictures come a while after they are asked for: a tick
// waits for nothing, and the colour follows once the picture has come.
TEST_F(PipetteTest, APictureThatComesLateIsReadWhenItComes) {
    TMainForm& form = Start();
    screen_->SetLate(true);
    screen_->SetCursorPos({10, 20});
    auto* button = Child<QToolButton>("btnCapture");
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(form.PipetteRunning());
    Tick();
    EXPECT_EQ(Html(), "#000000");
    EXPECT_EQ(screen_->Asks(), 1); // the square and the magnifier wait for one picture
    screen_->Deliver();
    EXPECT_EQ(Html(), "#0a1407");
    EXPECT_EQ(CanvasPixel(34, 34), screenImage_.pixel(10, 20));

    // The next tick's picture has not come when the button stops it.
    screen_->SetCursorPos({30, 40});
    Tick();
    EXPECT_EQ(screen_->Asks(), 2);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(form.PipetteRunning());
    screen_->Deliver();
    EXPECT_EQ(Html(), "#0a1407");
}

} // namespace
} // namespace tintorel
