// The two-dimensional colour field: a plane of the HLS or RGB space, two
// components along the axes and the third held at ZValue. Clicking or
// dragging picks the colour under the pointer, marked by a small square;
// setting Color from outside moves the mark.
#pragma once

#include "colour/color.h"

#include <QImage>
#include <QWidget>

#include <optional>

class QPainter;

namespace tintorel {

enum BColorSpace { RGB = 0, HLS = 1 };
enum BColorComp { Component1 = 0, Component2 = 1, Component3 = 2 };

class BColorSelector : public QWidget {
    Q_OBJECT
public:
    explicit BColorSelector(QWidget* parent = nullptr);

    BColorSpace Space() const { return space_; }
    BColorComp XComponent() const { return xComponent_; }
    BColorComp YComponent() const { return yComponent_; }
    bool XOrientation() const { return xOrientation_; }
    bool YOrientation() const { return yOrientation_; }
    bool AutoUpdate() const { return autoUpdate_; }
    int NbDivX() const { return nbDivX_; }
    int NbDivY() const { return nbDivY_; }
    PackedColor Color() const { return color_; }
    float ZValue() const { return z_; }
    // The position of the colour in normalised component units.
    float XValue() const { return x_; }
    float YValue() const { return y_; }

    void SetSpace(BColorSpace value);
    void SetXComponent(BColorComp value);
    void SetYComponent(BColorComp value);
    void SetXOrientation(bool value);
    void SetYOrientation(bool value);
    void SetAutoUpdate(bool value);
    void SetNbDivX(int value);
    void SetNbDivY(int value);
    // Smooth: the plane is drawn one device pixel at a time, with no
    // visible cells at any scale; the divisions still set the keys' steps.
    void SetSmooth(bool value);
    bool Smooth() const { return smooth_; }
    void SetColor(PackedColor value);
    void SetZValue(float value);

    // Rebuilds the factors and the plane when `rebuild`, then repaints.
    void UpdateControl(bool rebuild);
    // UpdateControl, but only while AutoUpdate is on.
    void QueryUpdateControl(bool rebuild);
    void UpdateFactors();
    void UpdateBitmap();
    void UpdateColorFromXYZ();
    void UpdateXYZFromColor();

    // The design's 185 × 81 pixels; a layout may give it more.
    QSize sizeHint() const override { return {185, 81}; }
    QSize minimumSizeHint() const override { return {64, 32}; }

    // The plane in device pixels, brought up to date if a build was held
    // back while the field was hidden, and how often it was built.
    const QImage& Bitmap();
    int BitmapBuilds() const { return bitmapBuilds_; }

    // A pixel on an axis of `length` pixels as a normalised value, clamped
    // to 0..1, and back.
    static float PixelToValue(int pixel, int length, float offset, float sign);
    // The outer (black) frame of the mark for a colour at (cx, cy); the white
    // frame is this rectangle shrunk by one pixel on every side.
    static QRect MarkFrame(double cx, double cy);

signals:
    void OnChange(BColorSelector* sender);

protected:
    virtual void Change();
    void DrawColorPosition(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The keyboard moves the mark as the mouse does: the arrow keys by one
    // division of the plane, Page Up and Page Down by eight, Home and End to
    // the left and right ends (with Ctrl, the top and bottom).
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void UpdateFactorsHls();
    void UpdateFactorsRgb();
    BColorComp ThirdComponent() const;
    // The packed colour of the given component values along X, Y and Z.
    PackedColor ColorOf(float x, float y, float z) const;
    void PickAt(const QPoint& position);
    // Moves the mark to the normalised screen position (0..1 left to right,
    // top to bottom) along each axis given, then raises OnChange.
    void MoveMarkTo(std::optional<double> across, std::optional<double> down);
    QSize DeviceSize() const;

    BColorSpace space_ = HLS;
    BColorComp xComponent_ = Component1;
    BColorComp yComponent_ = Component2;
    bool autoUpdate_ = true;
    bool smooth_ = false;
    float x_ = 0.5f;
    float y_ = 0.5f;
    float z_ = 0.5f;
    PackedColor color_ = 0;
    float xOffset_ = 0, yOffset_ = 0, zOffset_ = 0;
    float xRange_ = 0, yRange_ = 0, zRange_ = 0;
    float xSign_ = 0, ySign_ = 0;
    bool xOrientation_ = true;
    bool yOrientation_ = true;
    bool dragging_ = false;
    int nbDivX_ = 0;
    int nbDivY_ = 0;
    void BuildBitmap();

    QImage bitmap_;
    // A build asked for while the field was hidden: done on the next paint.
    bool bitmapStale_ = false;
    int bitmapBuilds_ = 0;
};

} // namespace tintorel
