// The edit of a colour code. It says whether its text is a colour: a text
// that is not one stays as the user typed it, framed in an error colour
// that stands out on the style's light or dark field, and a screen reader
// is told what the field accepts.
#pragma once

#include <QLineEdit>

namespace tintorel {

class BCodeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit BCodeEdit(QWidget* parent = nullptr);

    // What the field accepts, read to screen readers while its text is not
    // a colour.
    void SetRejectedHint(const QString& hint);
    void SetAccepted(bool accepted);
    // What the field notes of the colour it took (empty for nothing): its
    // hint, read to screen readers, and shown at once while it has the
    // focus.
    void SetNote(const QString& note);
    const QString& Note() const { return note_; }
    bool Accepted() const { return accepted_; }

    // The error colour against this field's background.
    QColor ErrorColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Describe();

    QString hint_;
    QString note_;
    QString ownTip_;
    bool accepted_ = true;
};

} // namespace tintorel
