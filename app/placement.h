// Where the main window opens: at its stored position when the window lies
// well inside one of the monitors there, otherwise centred on the primary
// monitor.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace tintorel {

// `stored`: the stored top-left corner, if one was stored; `outer`: the
// window's size with its frame; `screens`: the geometry of every monitor;
// `primary`: that of the primary one. A position is kept when the whole
// window lies on one monitor, its edges included: a window left at the
// screen's edge comes back there.
QPoint MainWindowPosition(std::optional<QPoint> stored, QSize outer, const QList<QRect>& screens,
                          const QRect& primary);

} // namespace tintorel
