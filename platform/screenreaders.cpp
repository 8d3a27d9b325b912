#include "platform/screenreaders.h"

#include "platform/portalscreen.h"
#include "platform/wlrscreen.h"

#include <QDBusConnection>

namespace tintorel {

bool WaylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qgetenv("XDG_SESSION_TYPE") != "x11";
}

std::unique_ptr<ScreenReader> MakeScreenReader(std::function<std::string()> loadToken,
                                               std::function<void(const std::string&)> storeToken,
                                               std::vector<std::string>& notes) {
    const QByteArray chosen = qgetenv("TINTOREL_SCREEN_READER");
    const bool wayland = chosen.isEmpty() ? WaylandSession() : chosen != "x11";
    if (!wayland) {
        return std::make_unique<QtScreenReader>();
    }
    if (chosen != "portal") {
        std::string missing;
        if (std::unique_ptr<WlrClient> client = WlrClient::Connect(&missing)) {
            notes.push_back("Pipette: reads the screen through the compositor's wlroots protocols");
            return std::make_unique<WlrScreenReader>(std::move(client));
        }
        notes.push_back("Pipette: no wlroots protocols (" + missing + ")");
    }
    notes.push_back("Pipette: reads the screen through the desktop's portal");
    return std::make_unique<PortalScreenReader>(QDBusConnection::sessionBus(), std::move(loadToken),
                                                std::move(storeToken),
                                                PortalScreenReader::Limits{});
}

} // namespace tintorel
