#include "platform/screenreaders.h"

#include "platform/screen/portal/portalscreen.h"
#include "platform/screen/wlroots/wlrclient.h"
#include "platform/screen/wlroots/wlrscreen.h"
#include "platform/screen/x11/x11screen.h"

#include <QDBusConnection>
#include <QGuiApplication>

namespace tintorel {

bool WaylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qgetenv("XDG_SESSION_TYPE") != "x11";
}

ReaderChoice ChooseReader(const std::string& chosen, bool waylandSession, bool xwayland) {
    if (chosen == "x11") {
        return {ReaderKind::X11, xwayland ? "Pipette: TINTOREL_SCREEN_READER=x11 on XWayland, "
                                            "which shows only the windows of X programs"
                                          : ""};
    }
    if (!chosen.empty() || waylandSession) {
        return {ReaderKind::Wayland, {}};
    }
    if (xwayland) {
        return {ReaderKind::Wayland, "Pipette: the X server is XWayland, which shows only the "
                                     "windows of X programs; the desktop's screen is read instead"};
    }
    return {ReaderKind::X11, {}};
}

std::unique_ptr<ScreenReader> MakeScreenReader(std::function<std::string()> loadToken,
                                               std::function<void(const std::string&)> storeToken,
                                               std::vector<std::string>& notes) {
    const QByteArray chosen = qgetenv("TINTOREL_SCREEN_READER");
    const ReaderChoice choice =
        ChooseReader(chosen.toStdString(), WaylandSession(), XServerIsXWayland());
    if (!choice.note.empty()) {
        notes.push_back(choice.note);
    }
    if (choice.kind == ReaderKind::X11) {
        return std::make_unique<QtScreenReader>();
    }
    if (chosen != "portal") {
        std::string missing;
        if (std::unique_ptr<WlrClient> client = WlrClient::Connect(&missing)) {
            notes.push_back("Pipette: reads the screen through the compositor's wlroots protocols");
            std::unique_ptr<OwnWindows> ownWindows = SwayOwnWindows::FromEnvironment();
            if (!ownWindows) {
                ownWindows = HyprlandOwnWindows::FromEnvironment();
            }
            if (!ownWindows && QGuiApplication::platformName() != QLatin1String("xcb")) {
                notes.push_back("Pipette: the compositor does not say where Tintorel's windows "
                                "are; the pipette samples them like any other window");
            }
            return std::make_unique<WlrScreenReader>(std::move(client), std::move(ownWindows));
        }
        notes.push_back("Pipette: no wlroots protocols (" + missing + ")");
    }
    notes.push_back("Pipette: reads the screen through the desktop's portal");
    return std::make_unique<PortalScreenReader>(QDBusConnection::sessionBus(), std::move(loadToken),
                                                std::move(storeToken),
                                                PortalScreenReader::Limits{});
}

} // namespace tintorel
