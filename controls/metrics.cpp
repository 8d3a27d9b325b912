#include "controls/metrics.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace tintorel {

int LineEditWidthFor(const QLineEdit* edit, const QString& text) {
    // What the style takes of a trial width for its frame and padding: the
    // edit paints its text inside SE_LineEditContents, less its text margins
    // and two pixels a side of its own.
    constexpr int kTrial = 400;
    constexpr int kOwnMargins = 2 * 2;
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.rect = QRect(0, 0, kTrial, edit->sizeHint().height());
    frame.lineWidth = edit->hasFrame()
                          ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit)
                          : 0;
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    if (edit->isReadOnly()) {
        frame.state |= QStyle::State_ReadOnly;
    }
    frame.features = QStyleOptionFrame::None;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit);
    const QMargins margins = edit->textMargins();
    const int chrome = kTrial - contents.width() + margins.left() + margins.right() + kOwnMargins;
    const int cursor = edit->style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, edit);
    return edit->fontMetrics().horizontalAdvance(text) + cursor + chrome;
}

} // namespace tintorel
