#include "app/placement.h"

namespace tintorel {

QPoint MainWindowPosition(int x, int y, QSize outer, const QList<QRect>& screens,
                          const QRect& primary) {
    if (x != 0 && y != 0) {
        // 64-bit sums: a hand-edited position near the int range must not
        // overflow.
        const auto fits = [&](const QRect& g) {
            return x > g.x() && static_cast<long long>(x) + outer.width() < g.x() + g.width() &&
                   y > g.y() && static_cast<long long>(y) + outer.height() < g.y() + g.height();
        };
        for (const QRect& screen : screens) {
            if (fits(screen)) {
                return {x, y};
            }
        }
    }
    return {primary.x() + (primary.width() - outer.width()) / 2,
            primary.y() + (primary.height() - outer.height()) / 2};
}

} // namespace tintorel
