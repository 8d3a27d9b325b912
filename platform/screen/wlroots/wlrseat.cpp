#include "platform/screen/wlroots/wlrseat.h"

#include "platform/screen/wlroots/wlrlisteners.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace tintorel {

namespace {

constexpr std::uint32_t kPressed = 1;
// Keys arrive as the kernel's codes; XKB's are eight higher.
constexpr std::uint32_t kXkbOffset = 8;
// Without a layout, the key in Escape's usual place.
constexpr std::uint32_t kKernelEscape = 1;

const wl_seat_listener kSeat = {
    .capabilities = WlrSeat::OnCapabilities,
    .name = WlrSeat::OnName,
};

const wl_pointer_listener kPointer = {
    .enter = WlrSeat::OnEnter,
    .leave = WlrSeat::OnLeave,
    .motion = WlrSeat::OnMotion,
    .button = WlrSeat::OnButton,
    .axis = Ignore<wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t>,
    .frame = Ignore<wl_pointer*>,
    .axis_source = Ignore<wl_pointer*, std::uint32_t>,
    .axis_stop = Ignore<wl_pointer*, std::uint32_t, std::uint32_t>,
    .axis_discrete = Ignore<wl_pointer*, std::uint32_t, std::int32_t>,
    .axis_value120 = Ignore<wl_pointer*, std::uint32_t, std::int32_t>,
};

const wl_keyboard_listener kKeyboard = {
    .keymap = WlrSeat::OnKeymap,
    .enter = Ignore<wl_keyboard*, std::uint32_t, wl_surface*, wl_array*>,
    .leave = Ignore<wl_keyboard*, std::uint32_t, wl_surface*>,
    .key = WlrSeat::OnKey,
    .modifiers = WlrSeat::OnModifiers,
    .repeat_info = Ignore<wl_keyboard*, std::int32_t, std::int32_t>,
};

WlrSeat* Of(void* data) {
    return static_cast<WlrSeat*>(data);
}

} // namespace

WlrSeat::WlrSeat(wl_seat* seat, Events events) : seat_(seat), events_(std::move(events)) {
    if (seat_ != nullptr) {
        wl_seat_add_listener(seat_, &kSeat, this);
    }
}

WlrSeat::~WlrSeat() {
    DropLayout();
    xkb_context_unref(xkb_);
    if (pointer_ != nullptr) {
        wl_pointer_destroy(pointer_);
    }
    if (keyboard_ != nullptr) {
        wl_keyboard_destroy(keyboard_);
    }
    if (seat_ != nullptr) {
        wl_seat_destroy(seat_);
    }
}

void WlrSeat::SetCursor(wl_surface* cursor, int hotX, int hotY) {
    cursor_ = cursor;
    hotX_ = hotX;
    hotY_ = hotY;
}

void WlrSeat::Capabilities(std::uint32_t capabilities) {
    const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (hasPointer && pointer_ == nullptr) {
        pointer_ = wl_seat_get_pointer(seat_);
        wl_pointer_add_listener(pointer_, &kPointer, this);
    } else if (!hasPointer && pointer_ != nullptr) {
        wl_pointer_destroy(pointer_);
        pointer_ = nullptr;
        over_ = nullptr;
        if (events_.left) {
            events_.left();
        }
    }
    if (hasKeyboard && keyboard_ == nullptr) {
        keyboard_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard_, &kKeyboard, this);
    } else if (!hasKeyboard && keyboard_ != nullptr) {
        wl_keyboard_destroy(keyboard_);
        keyboard_ = nullptr;
    }
}

void WlrSeat::DropLayout() {
    xkb_state_unref(keys_);
    xkb_keymap_unref(keymap_);
    keys_ = nullptr;
    keymap_ = nullptr;
}

void WlrSeat::Keymap(std::uint32_t format, int fd, std::uint32_t size) {
    DropLayout();
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            if (xkb_ == nullptr) {
                xkb_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
            }
            // The text ends with a NUL within `size`.
            keymap_ = xkb_ == nullptr
                          ? nullptr
                          : xkb_keymap_new_from_buffer(
                                xkb_, static_cast<const char*>(text),
                                strnlen(static_cast<const char*>(text), size),
                                XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
            munmap(text, size);
            keys_ = keymap_ == nullptr ? nullptr : xkb_state_new(keymap_);
        }
    }
    close(fd);
}

bool WlrSeat::IsEscape(std::uint32_t key) const {
    return keys_ != nullptr ? xkb_state_key_get_one_sym(keys_, key + kXkbOffset) == XKB_KEY_Escape
                            : key == kKernelEscape;
}

void WlrSeat::OnCapabilities(void* data, wl_seat*, std::uint32_t capabilities) {
    Of(data)->Capabilities(capabilities);
}

void WlrSeat::OnName(void*, wl_seat*, const char*) {}

void WlrSeat::OnEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                      wl_fixed_t x, wl_fixed_t y) {
    WlrSeat& seat = *Of(data);
    seat.over_ = surface;
    const bool crosshair = seat.events_.entered &&
                           seat.events_.entered(surface, wl_fixed_to_double(x),
                                                wl_fixed_to_double(y));
    if (crosshair && seat.cursor_ != nullptr && pointer != nullptr) {
        wl_pointer_set_cursor(pointer, serial, seat.cursor_, seat.hotX_, seat.hotY_);
    }
}

void WlrSeat::OnLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
    WlrSeat& seat = *Of(data);
    seat.over_ = nullptr;
    if (seat.events_.left) {
        seat.events_.left();
    }
}

void WlrSeat::OnMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    WlrSeat& seat = *Of(data);
    if (seat.over_ != nullptr && seat.events_.moved) {
        seat.events_.moved(seat.over_, wl_fixed_to_double(x), wl_fixed_to_double(y));
    }
}

void WlrSeat::OnButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                       std::uint32_t state) {
    WlrSeat& seat = *Of(data);
    if (state == WL_POINTER_BUTTON_STATE_PRESSED && seat.over_ != nullptr && seat.events_.clicked) {
        seat.events_.clicked(seat.over_);
    }
}

void WlrSeat::OnKeymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd,
                       std::uint32_t size) {
    Of(data)->Keymap(format, fd, size);
}

void WlrSeat::OnKey(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
                    std::uint32_t state) {
    WlrSeat& seat = *Of(data);
    if (state == kPressed && seat.IsEscape(key) && seat.events_.escape) {
        seat.events_.escape();
    }
}

void WlrSeat::OnModifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                          std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
    WlrSeat& seat = *Of(data);
    if (seat.keys_ != nullptr) {
        xkb_state_update_mask(seat.keys_, depressed, latched, locked, 0, 0, group);
    }
}

} // namespace tintorel
