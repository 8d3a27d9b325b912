// The preview square: an image the main window paints into (the current
// colour, or the pipette's magnifier) and that shows what was painted.
#pragma once

#include <QImage>
#include <QWidget>

namespace tintorel {

class PreviewImage : public QWidget {
    Q_OBJECT
public:
    PreviewImage(QWidget* parent, const QRect& geometry);

    QImage& Canvas() { return canvas_; }
    const QImage& Canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage canvas_;
};

} // namespace tintorel
