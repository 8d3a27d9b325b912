// What a screen reader says of a change that the focused control does not
// report itself: the colour a code, the colour field, a chosen name or the
// pipette led to, or the page that a shortcut showed. Screen readers speak
// a notification that appears, wherever the focus is; the announcer is one,
// never drawn, whose name is the text to say.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

namespace tintorel {

class BAnnouncer : public QWidget {
    Q_OBJECT
public:
    explicit BAnnouncer(QWidget* parent);

    // Says `text` once the changes that come in quick succession settle (a
    // held arrow key, a code typed a letter at a time): only the last
    // text of such a run is said.
    void Announce(const QString& text);
    // Says `text` now, and drops a text still waiting to be said.
    void AnnounceNow(const QString& text);
    // Whether a text waits to be said.
    bool Settling() const { return settle_.isActive(); }

    // How long a text waits for the next one.
    static constexpr int kSettleMs = 500;

signals:
    // A text was said (for the program's own tests and logs).
    void Announced(const QString& text);

private:
    QTimer settle_;
    QString pending_;
};

} // namespace tintorel
