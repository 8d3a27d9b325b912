#include "controls/announcer.h"

#include <QAccessible>

#include <utility>

namespace tintorel {

BAnnouncer::BAnnouncer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("announcer"));
    // Nothing to see, nothing to reach by the keys or the mouse.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(0, 0);
    hide();
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        const QString text = std::exchange(pending_, QString());
        AnnounceNow(text);
    });
}

void BAnnouncer::Announce(const QString& text) {
    pending_ = text;
    settle_.start();
}

void BAnnouncer::AnnounceNow(const QString& text) {
    settle_.stop();
    pending_.clear();
    if (text.isEmpty()) {
        return;
    }
    setAccessibleName(text);
    // A notification that shows is spoken as it is, focus or not. (Qt
    // passes the event on only while a screen reader listens.)
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    emit Announced(text);
}

} // namespace tintorel
