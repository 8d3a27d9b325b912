// Where the main window opens: at its stored position when the window lies
// well inside one of the monitors there, otherwise centred on the primary
// monitor.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tintorel {

// `x`, `y`: the stored top-left corner (0 in either means nothing was
// stored); `outer`: the window's size with its frame; `screens`: the
// geometry of every monitor; `primary`: that of the primary one. A position
// is kept when, on some monitor, the window starts strictly right of and
// below its top-left corner and ends strictly left of and above its far
// edges.
QPoint MainWindowPosition(int x, int y, QSize outer, const QList<QRect>& screens,
                          const QRect& primary);

} // namespace tintorel
