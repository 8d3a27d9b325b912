#include "platform/screen/portal/colourpick.h"

#include "platform/screen/portal/portal.h"

#include <QDBusArgument>

#include <algorithm>
#include <array>
#include <cmath>

namespace tintorel {

std::optional<std::uint32_t> PickedColour(const QVariantMap& results, std::string& reason) {
    const QVariant value = results.value(QStringLiteral("color"));
    if (value.userType() != qMetaTypeId<QDBusArgument>()) {
        reason = "PickColor: the desktop gave no colour";
        return std::nullopt;
    }
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentType() != QDBusArgument::StructureType) {
        reason = "PickColor: the desktop gave no colour";
        return std::nullopt;
    }
    std::array<double, 3> rgb{};
    argument.beginStructure();
    argument >> rgb[0] >> rgb[1] >> rgb[2];
    argument.endStructure();
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        if (!std::isfinite(rgb[i])) {
            reason = "PickColor: the desktop's colour is not a number";
            return std::nullopt;
        }
        const double v = std::clamp(rgb[i], 0.0, 1.0);
        packed |= static_cast<std::uint32_t>(v * 255.0 + 0.5) << (8 * i);
    }
    return packed;
}

void PickColourOnce(QDBusConnection bus, std::chrono::milliseconds limit, QObject* context,
                    PickDone done) {
    auto finish = std::make_shared<PickDone>(std::move(done));
    PortalRequest::Send(
        bus, kScreenshot, QStringLiteral("PickColor"), {QString()}, {}, limit,
        [finish](const QVariantMap& results) {
            std::string reason;
            const std::optional<std::uint32_t> colour = PickedColour(results, reason);
            (*finish)(colour, reason);
        },
        [finish](PortalFailure, const std::string& reason) { (*finish)(std::nullopt, reason); },
        context);
}

} // namespace tintorel
