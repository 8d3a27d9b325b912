#include "controls/codeedit.h"

#include <QPainter>
#include <QToolTip>

#include <limits>

namespace tintorel {

BCodeEdit::BCodeEdit(QWidget* parent) : QLineEdit(parent) {}

void BCodeEdit::SetRejectedHint(const QString& hint) {
    hint_ = hint;
    Describe();
}

void BCodeEdit::SetAccepted(bool accepted) {
    if (accepted == accepted_) {
        return;
    }
    accepted_ = accepted;
    Describe();
    update();
}

void BCodeEdit::SetNote(const QString& note) {
    if (note == note_) {
        return;
    }
    // The note stands in for the field's own hint while there is one.
    if (note_.isEmpty()) {
        ownTip_ = toolTip();
    }
    const QString shown = note_;
    note_ = note;
    setToolTip(note_.isEmpty() ? ownTip_ : note_);
    Describe();
    if (!note_.isEmpty() && hasFocus()) {
        // It stays while it holds, however long the user reads: the field
        // takes it down when it no longer does, and so does the focus
        // leaving or a click.
        QToolTip::showText(mapToGlobal(QPoint(0, height())), note_, this, QRect(),
                           std::numeric_limits<int>::max());
    } else if (QToolTip::isVisible() && QToolTip::text() == shown) {
        // The note no longer holds ("#4169" typed on to "#4169e1"): it goes.
        QToolTip::hideText();
    }
}

void BCodeEdit::Describe() {
    // Setting the description tells the accessibility bus of the change.
    setAccessibleDescription(accepted_ ? note_ : hint_);
}

QColor BCodeEdit::ErrorColour() const {
    // A red that reads at 4.5:1 or more against white and against the dark
    // greys dark styles give their fields.
    return palette().color(QPalette::Base).lightness() >= 128 ? QColor(0xb0, 0x1a, 0x24)
                                                              : QColor(0xff, 0x80, 0x70);
}

void BCodeEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (accepted_) {
        return;
    }
    QPainter painter(this);
    painter.setPen(QPen(ErrorColour(), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

} // namespace tintorel
