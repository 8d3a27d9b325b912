#include "app/placement.h"

namespace tintorel {

QPoint MainWindowPosition(std::optional<QPoint> stored, QSize outer, const QList<QRect>& screens,
                          const QRect& primary) {
    if (stored) {
        // 64-bit sums: a hand-edited position near the int range must not
        // overflow.
        const long long x = stored->x();
        const long long y = stored->y();
        const auto fits = [&](const QRect& g) {
            return x >= g.x() && x + outer.width() <= static_cast<long long>(g.x()) + g.width() &&
                   y >= g.y() && y + outer.height() <= static_cast<long long>(g.y()) + g.height();
        };
        for (const QRect& screen : screens) {
            if (fits(screen)) {
                return *stored;
            }
        }
    }
    return {primary.x() + (primary.width() - outer.width()) / 2,
            primary.y() + (primary.height() - outer.height()) / 2};
}

} // namespace tintorel
