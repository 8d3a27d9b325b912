// Gives a headless wlroots compositor's seat a pointer, as plugging in a
// mouse would, for as long as it runs: clients then get pointer events,
// which the test sends with `swaymsg seat seat0 cursor ...`. Prints
// "ready" once the compositor has the device.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals->seat == nullptr) {
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void OnGlobalRemoved(void*, wl_registry*, std::uint32_t) {}

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "virtualpointer: no Wayland display\n");
        return 1;
    }
    Globals globals;
    static const wl_registry_listener listener = {OnGlobal, OnGlobalRemoved};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, &globals);
    wl_display_roundtrip(display);
    if (globals.pointers == nullptr) {
        std::fprintf(stderr, "virtualpointer: the compositor offers no virtual pointers\n");
        return 1;
    }
    zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.pointers, globals.seat);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
