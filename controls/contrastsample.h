// A sample of text in one colour on another: "Aa" on a square of the
// background, framed, as a line of text would look. The contrast rows show
// the current colour on white, on black and on the kept colour with it. It
// takes the focus from the Tab key so that a screen reader's user reaches
// the row it stands for; its owner names it with what the row says.
#pragma once

#include <QColor>
#include <QWidget>

namespace tintorel {

class BContrastSample : public QWidget {
    Q_OBJECT
public:
    explicit BContrastSample(QWidget* parent = nullptr);

    void SetColours(const QColor& text, const QColor& background);
    QColor TextColour() const { return text_; }
    QColor Background() const { return background_; }

    // Two letters of the font, a little larger, with room around them.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont SampleFont() const;

    QColor text_ = Qt::black;
    QColor background_ = Qt::white;
};

} // namespace tintorel
