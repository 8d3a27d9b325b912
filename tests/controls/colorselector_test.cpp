#include "controls/colorselector.h"

#include <QTest>
#include <gtest/gtest.h>

namespace tintorel {
namespace {

struct Counter {
    explicit Counter(BColorSelector& field) {
        QObject::connect(&field, &BColorSelector::OnChange, [this](BColorSelector*) { ++count; });
    }
    int count = 0;
};

QRgb Pixel(PackedColor packed) {
    return qRgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

// The field of the main window: 185 × 81, 64 × 64 cells, hue across and
// lightness down.
class MainField : public ::testing::Test {
protected:
    void SetUp() override {
        field.resize(185, 81);
        field.SetNbDivX(64);
        field.SetNbDivY(64);
        field.UpdateControl(true);
    }
    BColorSelector field;
};

// The colour a new field holds is the one under its centred mark, so that
// setting black from outside moves the mark and the plane to black.
TEST(BColorSelector, ConstructionHoldsTheCentreColourAndBlackMovesTheMark) {
    BColorSelector field;
    Counter changes(field);
    EXPECT_EQ(field.Color(), BColorHls(180, 0.5f, 0.5f).ToColor());
    EXPECT_EQ(field.XValue(), 0.5f);
    EXPECT_EQ(field.Space(), HLS);
    EXPECT_EQ(field.NbDivX(), 64);
    EXPECT_EQ(field.size(), QSize(64, 64));
    field.SetColor(field.Color()); // the stored value: nothing happens
    EXPECT_EQ(changes.count, 0);
    field.SetColor(0);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(field.XValue(), 0.0f);
    EXPECT_EQ(field.YValue(), 0.0f);
    EXPECT_EQ(field.ZValue(), 0.0f);
    // The plane is the grey one of saturation 0.
    EXPECT_EQ(field.Bitmap().pixel(32, 32), field.Bitmap().pixel(0, 32));
}

TEST(BColorSelector, FourByTwoPlanePixelByPixel) {
    BColorSelector field;
    field.resize(4, 2);
    field.SetNbDivX(2);
    field.SetNbDivY(2);
    field.SetZValue(1.0f); // saturation
    field.UpdateControl(true);
    const QImage& plane = field.Bitmap();
    ASSERT_EQ(plane.size(), QSize(4, 2));
    const QRgb black = qRgb(0, 0, 0);
    const QRgb expected[2][4] = {
        {black, black, black, black},
        {qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 255), qRgb(0, 255, 255)},
    };
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(plane.pixel(x, y), expected[y][x]) << x << "," << y;
        }
    }
}

TEST_F(MainField, ClicksMapPixelsToHueAndClampOutside) {
    Counter changes(field);
    QTest::mousePress(&field, Qt::LeftButton, {}, QPoint(0, 40));
    EXPECT_EQ(field.XValue(), 0.0f);
    QMouseEvent move(QEvent::MouseMove, QPointF(-20, 40), QPointF(-20, 40), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &move);
    EXPECT_EQ(field.XValue(), 0.0f);
    QTest::mouseRelease(&field, Qt::LeftButton, {}, QPoint(185, 40));
    EXPECT_EQ(field.XValue(), 1.0f); // hue 360
    EXPECT_EQ(changes.count, 3);     // press, move, release
    BColorHls hls(0, 0, 0);
    hls.FromColor(field.Color());
    EXPECT_NEAR(hls.Lightness(), 40.0f / 81.0f, 0.01f);
}

TEST_F(MainField, MovesWithoutAPressPickNothing) {
    Counter changes(field);
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 40), QPointF(50, 40), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &move);
    EXPECT_EQ(changes.count, 0);
}

TEST_F(MainField, DraggingRepaintsFromTheCachedPlane) {
    field.show();
    QApplication::processEvents();
    const int builds = field.BitmapBuilds();
    QTest::mousePress(&field, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(90, 50), QPointF(90, 50), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&field, &move);
    QTest::mouseRelease(&field, Qt::LeftButton, {}, QPoint(100, 60));
    QApplication::processEvents();
    EXPECT_EQ(field.BitmapBuilds(), builds);
}

// A click maps through the field's width across and its height down, and
// the mark is drawn around it: a white frame of 8 × 8 and a black one
// outside it, read back from the painted field.
TEST_F(MainField, ClickPicksByWidthAndHeightAndTheMarkFramesIt) {
    QTest::mouseClick(&field, Qt::LeftButton, {}, QPoint(92, 40));
    EXPECT_FLOAT_EQ(field.XValue(), 92.0f / 185.0f);
    EXPECT_FLOAT_EQ(field.YValue(), 40.0f / 81.0f);
    const QImage shown = field.grab().toImage();
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    // The white frame spans trunc(c - 4) to trunc(c + 4) - 1 on each axis.
    const int left = static_cast<int>(185.0 * field.XValue() - 4);
    const int right = static_cast<int>(185.0 * field.XValue() + 4) - 1;
    const int top = static_cast<int>(81.0 * field.YValue() - 4);
    const int bottom = static_cast<int>(81.0 * field.YValue() + 4) - 1;
    const int midX = (left + right) / 2;
    const int midY = (top + bottom) / 2;
    for (const QPoint p :
         {QPoint(left, midY), QPoint(right, midY), QPoint(midX, top), QPoint(midX, bottom)}) {
        EXPECT_EQ(shown.pixel(p), white) << p.x() << "," << p.y();
    }
    for (const QPoint p : {QPoint(left - 1, midY), QPoint(right + 1, midY), QPoint(midX, top - 1),
                           QPoint(midX, bottom + 1)}) {
        EXPECT_EQ(shown.pixel(p), black) << p.x() << "," << p.y();
    }
    // Inside and outside the frames, the plane.
    EXPECT_EQ(shown.pixel(midX, midY), field.Bitmap().pixel(midX, midY));
    EXPECT_EQ(shown.pixel(left - 6, midY), field.Bitmap().pixel(left - 6, midY));
}

TEST_F(MainField, ReversedOrientationStartsTheAxisAtItsEnd) {
    field.SetXOrientation(false);
    QTest::mouseClick(&field, Qt::LeftButton, {}, QPoint(0, 40));
    EXPECT_EQ(field.XValue(), 1.0f); // hue 360 at the left edge
    // The first column is drawn with hue 360, the same colour as hue 0.
    const float lightness = 0.5f;
    const PackedColor first = BColorHls(360, lightness, field.ZValue()).ToColor();
    EXPECT_EQ(field.Bitmap().pixel(0, 81 * 32 / 64), Pixel(first));
}

TEST_F(MainField, ChangingTheAxesKeepsTheColour) {
    const PackedColor colour = BColorHls(200, 0.3f, 0.7f).ToColor();
    field.SetColor(colour);
    field.SetXComponent(Component2); // Lightness / Hue: X and Y exchanged
    EXPECT_EQ(field.YComponent(), Component1);
    field.SetYComponent(Component3); // Lightness / Saturation
    EXPECT_EQ(field.Color(), colour);
    field.UpdateColorFromXYZ();
    EXPECT_EQ(field.Color(), colour);
    BColorHls hls(0, 0, 0);
    hls.FromColor(colour);
    EXPECT_FLOAT_EQ(field.XValue(), hls.Lightness());
    EXPECT_FLOAT_EQ(field.YValue(), hls.Saturation());
    EXPECT_NEAR(field.ZValue(), hls.Hue() / 360.0f, 1e-6);
}

TEST_F(MainField, SetColorAndSetZValueRaiseOnChangeOnlyForNewValues) {
    Counter changes(field);
    field.SetColor(0x336699);
    field.SetColor(0x336699);
    EXPECT_EQ(changes.count, 1);
    const float z = field.ZValue();
    field.SetZValue(z);
    EXPECT_EQ(changes.count, 1);
    field.SetZValue(0.25f);
    EXPECT_EQ(changes.count, 2);
}

TEST_F(MainField, WithoutAutoUpdateOnlyNbDivXRedraws) {
    field.show();
    field.SetAutoUpdate(false);
    const int builds = field.BitmapBuilds();
    field.SetSpace(RGB);
    field.SetNbDivY(32);
    EXPECT_EQ(field.BitmapBuilds(), builds);
    field.SetNbDivX(32);
    EXPECT_EQ(field.BitmapBuilds(), builds + 1);
    field.SetAutoUpdate(true);
    EXPECT_EQ(field.BitmapBuilds(), builds + 2);
}

TEST_F(MainField, OneColumnFillsTheWholeWidth) {
    field.SetNbDivX(1);
    const QImage& plane = field.Bitmap();
    for (int y = 0; y < plane.height(); y += 10) {
        EXPECT_EQ(plane.pixel(0, y), plane.pixel(184, y)) << y;
    }
}

TEST(BColorSelectorMapping, PixelsToValues) {
    const struct {
        int pixel;
        int length;
        float offset;
        float sign;
        float value;
    } cases[] = {
        {0, 185, 0, 1, 0},  {185, 185, 0, 1, 1},  {-20, 185, 0, 1, 0},  {400, 185, 0, 1, 1},
        {0, 185, 1, -1, 1}, {185, 185, 1, -1, 0}, {37, 74, 0, 1, 0.5f}, {5, 0, 0, 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(BColorSelector::PixelToValue(c.pixel, c.length, c.offset, c.sign), c.value)
            << c.pixel << " of " << c.length;
    }
    // The mark at the left edge reaches 5 pixels outside the field.
    EXPECT_EQ(BColorSelector::MarkFrame(0, 40), QRect(QPoint(-5, 35), QPoint(4, 44)));
    EXPECT_EQ(BColorSelector::MarkFrame(100.5, 40.5), QRect(QPoint(95, 35), QPoint(104, 44)));
}

// Smooth, the plane has no cells: each device pixel across a row has a hue
// of its own, and the colour at a pixel's left edge is the plane's colour
// there, as with one division a pixel.
TEST_F(MainField, SmoothPlanesHaveAColourEveryDevicePixel) {
    field.resize(256, 81);
    field.SetSmooth(true);
    field.SetZValue(1.0f);
    field.UpdateControl(true);
    const QImage& plane = field.Bitmap();
    const int row = plane.height() / 2;
    int changes = 0;
    for (int x = 1; x < plane.width(); ++x) {
        changes += plane.pixel(x, row) != plane.pixel(x - 1, row) ? 1 : 0;
    }
    EXPECT_GT(changes, plane.width() * 3 / 4);
    // The same pixels as cells of one device pixel each.
    BColorSelector cells;
    cells.resize(256, 81);
    cells.SetNbDivX(256);
    cells.SetNbDivY(81);
    cells.SetZValue(1.0f);
    cells.UpdateControl(true);
    EXPECT_EQ(plane, cells.Bitmap());
}

} // namespace
} // namespace tintorel
