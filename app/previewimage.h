// The preview square: an image the main window paints into (the current
// colour, or the pipette's magnifier) and that shows what was painted. The
// image has one pixel for each pixel of the screen it is shown on, so the
// magnifier is as sharp on a high-density screen as on any other.
#pragma once

#include <QImage>
#include <QWidget>

namespace tintorel {

class PreviewImage : public QWidget {
    Q_OBJECT
public:
    // `side`: the square's side in the layout's (device independent) pixels.
    PreviewImage(QWidget* parent, int side);

    // The image in device pixels, made anew (black) first if the screen's
    // pixel density changed since it was last painted into.
    QImage& Canvas();
    const QImage& Canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage canvas_;
};

} // namespace tintorel
