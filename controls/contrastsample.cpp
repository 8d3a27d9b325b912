#include "controls/contrastsample.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace tintorel {

namespace {

const QString kSample = QStringLiteral("Aa");

} // namespace

BContrastSample::BContrastSample(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void BContrastSample::SetColours(const QColor& text, const QColor& background) {
    if (text == text_ && background == background_) {
        return;
    }
    text_ = text;
    background_ = background;
    update();
}

QFont BContrastSample::SampleFont() const {
    QFont sample = font();
    sample.setBold(true);
    return sample;
}

QSize BContrastSample::sizeHint() const {
    const QFontMetrics metrics(SampleFont());
    const int side = metrics.height() + 4;
    return {std::max(side, metrics.horizontalAdvance(kSample) + metrics.height() / 2 + 4), side};
}

void BContrastSample::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), background_);
    painter.setFont(SampleFont());
    painter.setPen(text_);
    painter.drawText(rect(), Qt::AlignCenter, kSample);
    // The frame in the window's text colour sets the sample off from the
    // page whatever the two colours are; the focus shows as the highlight.
    painter.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 2)
                              : QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(hasFocus() ? rect().adjusted(1, 1, -1, -1) : box);
}

} // namespace tintorel
