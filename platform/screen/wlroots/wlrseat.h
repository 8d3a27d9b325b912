// The seat of a Wayland connection: its pointer and keyboard, and the
// keyboard's layout as the compositor sends it, so that Escape is the key
// that types Escape wherever the layout puts it. It tells what happens
// over this connection's surfaces; which surfaces those are is its
// owner's business.
#pragma once

#include <cstdint>
#include <functional>

struct wl_array;
struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace tintorel {

class WlrSeat {
public:
    struct Events {
        // The pointer came onto `surface`, or moved over the surface it is
        // on, at (x, y) in the surface's logical coordinates. Entered
        // answers whether the surface is one that shows the crosshair.
        std::function<bool(wl_surface* surface, double x, double y)> entered;
        std::function<void(wl_surface* surface, double x, double y)> moved;
        std::function<void()> left;
        std::function<void(wl_surface* surface)> clicked; // a button pressed on it
        std::function<void()> escape;  // Escape pressed
    };

    // Takes `seat` (none in tests) and listens to it.
    WlrSeat(wl_seat* seat, Events events);
    ~WlrSeat();
    WlrSeat(const WlrSeat&) = delete;
    WlrSeat& operator=(const WlrSeat&) = delete;

    // The image shown over surfaces that show the crosshair, its hot spot
    // at (hotX, hotY); not owned.
    void SetCursor(wl_surface* cursor, int hotX, int hotY);

    // The layout the compositor sent, as a file of `size` bytes (closed
    // here); a layout that cannot be read leaves Escape in its usual
    // place.
    void Keymap(std::uint32_t format, int fd, std::uint32_t size);
    // Whether the kernel's key code `key` types Escape.
    bool IsEscape(std::uint32_t key) const;

    // The seat's listeners.
    static void OnCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
    static void OnName(void* data, wl_seat* seat, const char* name);
    static void OnEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                        std::int32_t x, std::int32_t y);
    static void OnLeave(void* data, wl_pointer* pointer, std::uint32_t serial,
                        wl_surface* surface);
    static void OnMotion(void* data, wl_pointer* pointer, std::uint32_t time, std::int32_t x,
                         std::int32_t y);
    static void OnButton(void* data, wl_pointer* pointer, std::uint32_t serial, std::uint32_t time,
                         std::uint32_t button, std::uint32_t state);
    static void OnKeymap(void* data, wl_keyboard* keyboard, std::uint32_t format, std::int32_t fd,
                         std::uint32_t size);
    static void OnKey(void* data, wl_keyboard* keyboard, std::uint32_t serial, std::uint32_t time,
                      std::uint32_t key, std::uint32_t state);
    static void OnModifiers(void* data, wl_keyboard* keyboard, std::uint32_t serial,
                            std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                            std::uint32_t group);

private:
    void Capabilities(std::uint32_t capabilities);
    void DropLayout();

    wl_seat* seat_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    wl_surface* over_ = nullptr; // the surface the pointer is on
    wl_surface* cursor_ = nullptr;
    int hotX_ = 0;
    int hotY_ = 0;
    xkb_context* xkb_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* keys_ = nullptr;
    Events events_;
};

} // namespace tintorel
