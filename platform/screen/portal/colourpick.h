// One colour from the desktop's own picker: the Screenshot portal's
// PickColor (version 2 and later), for desktops whose screen casting does
// not tell where the pointer is.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tintorel {

// `colour` is 0x00BBGGRR; without one, `reason` says why (the user
// cancelled, the desktop failed, no answer within `limit`).
using PickDone =
    std::function<void(std::optional<std::uint32_t> colour, const std::string& reason)>;

// Asks the desktop for one colour; `done` follows later, never from within
// this call.
void PickColourOnce(QDBusConnection bus, std::chrono::milliseconds limit, QObject* context,
                    PickDone done);

// The colour of a PickColor answer: "color", three doubles of 0..1 (values
// beyond are taken as the nearest end). Nothing, with the reason, when the
// answer holds no colour or one that is not a number.
std::optional<std::uint32_t> PickedColour(const QVariantMap& results, std::string& reason);

} // namespace tintorel
