#include "platform/screen/wlroots/wlrclient.h"

#include "util/utilnumber.h"

// The layer shell's C header names an argument "namespace".
#define namespace namespace_
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace tintorel {

namespace {

constexpr std::uint32_t kPressed = 1;
// Keys arrive as the kernel's codes; XKB's are eight higher.
constexpr std::uint32_t kXkbOffset = 8;
// The crosshair: arms from kGap to kArm units from its centre, clear of
// the largest sampled square (7 × 7: 3 units each side).
constexpr int kArm = 12;
constexpr int kGap = 5;
constexpr int kCursorSide = 2 * kArm + 1;

template <typename... Args> void Ignore(void*, Args...) {}

// Shared memory for one buffer, unmapped and closed with the object.
class ShmBuffer {
public:
    ShmBuffer() = default;
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;
    ~ShmBuffer() { Release(); }

    bool Create(wl_shm* shm, int width, int height, int stride, std::uint32_t format) {
        Release();
        if (width <= 0 || height <= 0 || stride < width * 4) {
            return false;
        }
        size_ = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
        fd_ = memfd_create("tintorel-pipette", MFD_CLOEXEC);
        if (fd_ < 0 || ftruncate(fd_, static_cast<off_t>(size_)) != 0) {
            Release();
            return false;
        }
        void* map = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
        if (map == MAP_FAILED) {
            Release();
            return false;
        }
        data_ = static_cast<std::uint8_t*>(map);
        wl_shm_pool* pool = wl_shm_create_pool(shm, fd_, static_cast<std::int32_t>(size_));
        buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
        wl_shm_pool_destroy(pool);
        return buffer_ != nullptr;
    }
    void Release() {
        if (buffer_ != nullptr) {
            wl_buffer_destroy(buffer_);
            buffer_ = nullptr;
        }
        if (data_ != nullptr) {
            munmap(data_, size_);
            data_ = nullptr;
        }
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
        size_ = 0;
    }
    wl_buffer* Buffer() const { return buffer_; }
    std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    int fd_ = -1;
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    wl_buffer* buffer_ = nullptr;
};

} // namespace

struct WlrClient::State {
    struct Output {
        std::uint32_t name = 0;
        wl_output* output = nullptr;
        zxdg_output_v1* xdg = nullptr;
        LogicalRect logical;
        bool logicalKnown = false;
        int x = 0; // from wl_output's geometry, without xdg-output
        int y = 0;
        int modeWidth = 0;
        int modeHeight = 0;
        std::int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
        std::int32_t scale = 1;
    };
    struct Overlay {
        Overlay() = default;
        Overlay(const Overlay&) = delete;
        Overlay& operator=(const Overlay&) = delete;
        ~Overlay() {
            if (layer != nullptr) {
                zwlr_layer_surface_v1_destroy(layer);
            }
            if (surface != nullptr) {
                wl_surface_destroy(surface);
            }
        }
        State* state = nullptr;
        std::uint32_t output = 0; // the output's global name
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        ShmBuffer buffer;
    };
    struct Frame {
        Frame() = default;
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;
        // The compositor forgets the copy before its buffer goes.
        ~Frame() {
            if (frame != nullptr) {
                zwlr_screencopy_frame_v1_destroy(frame);
            }
        }
        State* state = nullptr;
        zwlr_screencopy_frame_v1* frame = nullptr;
        CopiedRegion copied;
        std::optional<std::uint32_t> shmFormat;
        ShmBuffer buffer;
        bool done = false;
        bool failed = false;
    };

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    zwlr_screencopy_manager_v1* screencopy = nullptr;
    zxdg_output_manager_v1* xdgOutputs = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    std::vector<std::unique_ptr<Overlay>> overlays;
    // The copies asked for last, until they are handed on.
    std::vector<std::unique_ptr<Frame>> frames;
    // While the pipette runs, every output has an overlay, also one
    // plugged in meanwhile.
    bool overlaysShown = false;
    wl_surface* cursor = nullptr;
    ShmBuffer cursorBuffer;
    // The keyboard's layout as the compositor sends it, so that Escape is
    // the key that types Escape (a layout may put it elsewhere).
    xkb_context* xkb = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* keys = nullptr;
    std::optional<std::pair<double, double>> pointerAt;
    const Overlay* pointerOver = nullptr;
    std::function<void()> finished;
    std::function<void(const std::string&)> stopped;

    ~State();
    Output* OutputNamed(std::uint32_t name) {
        for (auto& output : outputs) {
            if (output->name == name) {
                return output.get();
            }
        }
        return nullptr;
    }
    void AddOutput(std::uint32_t name, std::uint32_t version);
    void WatchOutput(Output& output);
    void RemoveOutput(std::uint32_t name);
    void AddOverlay(const Output& output);
    void DropOverlays();
    void CloseOverlay(const void* overlay);
    void Seat(std::uint32_t capabilities);
    void PointerAt(wl_surface* surface, wl_fixed_t x, wl_fixed_t y);
    void DrawCursor();
    void Keymap(std::uint32_t format, int fd, std::uint32_t size);
    bool IsEscape(std::uint32_t key) const;
};

namespace {

// --- listeners -------------------------------------------------------------

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    auto* state = static_cast<WlrClient::State*>(data);
    const auto bind = [&](const wl_interface* which, std::uint32_t highest) {
        return wl_registry_bind(registry, name, which, std::min(version, highest));
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        state->compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        state->shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && state->seat == nullptr) {
        state->seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 5));
        static const wl_seat_listener listener = {
            .capabilities =
                [](void* d, wl_seat*, std::uint32_t caps) {
                    static_cast<WlrClient::State*>(d)->Seat(caps);
                },
            .name = Ignore<wl_seat*, const char*>,
        };
        wl_seat_add_listener(state->seat, &listener, state);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        state->layerShell =
            static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 4));
    } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
        state->screencopy = static_cast<zwlr_screencopy_manager_v1*>(
            bind(&zwlr_screencopy_manager_v1_interface, 3));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        state->xdgOutputs =
            static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 3));
        for (auto& output : state->outputs) {
            state->WatchOutput(*output);
        }
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        state->AddOutput(name, version);
    }
}

void OnGlobalRemoved(void* data, wl_registry*, std::uint32_t name) {
    static_cast<WlrClient::State*>(data)->RemoveOutput(name);
}

const wl_registry_listener kRegistry = {.global = OnGlobal, .global_remove = OnGlobalRemoved};

using Output = WlrClient::State::Output;

const wl_output_listener kOutput = {
    .geometry =
        [](void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
           std::int32_t, const char*, const char*, std::int32_t transform) {
            auto* output = static_cast<Output*>(data);
            output->x = x;
            output->y = y;
            output->transform = transform;
        },
    .mode =
        [](void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
           std::int32_t) {
            if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
                static_cast<Output*>(data)->modeWidth = width;
                static_cast<Output*>(data)->modeHeight = height;
            }
        },
    .done = Ignore<wl_output*>,
    .scale = [](void* data, wl_output*,
                std::int32_t scale) { static_cast<Output*>(data)->scale = std::max(scale, 1); },
    .name = Ignore<wl_output*, const char*>,
    .description = Ignore<wl_output*, const char*>,
};

const zxdg_output_v1_listener kXdgOutput = {
    .logical_position =
        [](void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
            auto* output = static_cast<Output*>(data);
            output->logical.x = x;
            output->logical.y = y;
        },
    .logical_size =
        [](void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
            auto* output = static_cast<Output*>(data);
            output->logical.width = width;
            output->logical.height = height;
            output->logicalKnown = true;
        },
    .done = Ignore<zxdg_output_v1*>,
    .name = Ignore<zxdg_output_v1*, const char*>,
    .description = Ignore<zxdg_output_v1*, const char*>,
};

const wl_pointer_listener kPointer = {
    .enter =
        [](void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
           wl_fixed_t y) {
            auto* state = static_cast<WlrClient::State*>(data);
            state->PointerAt(surface, x, y);
            if (state->pointerOver != nullptr && state->cursor != nullptr) {
                wl_pointer_set_cursor(pointer, serial, state->cursor, kArm, kArm);
            }
        },
    .leave = [](void* data, wl_pointer*, std::uint32_t,
                wl_surface*) { static_cast<WlrClient::State*>(data)->pointerOver = nullptr; },
    .motion =
        [](void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
            auto* state = static_cast<WlrClient::State*>(data);
            if (state->pointerOver != nullptr) {
                state->PointerAt(state->pointerOver->surface, x, y);
            }
        },
    .button =
        [](void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
           std::uint32_t pressed) {
            auto* state = static_cast<WlrClient::State*>(data);
            if (pressed == WL_POINTER_BUTTON_STATE_PRESSED && state->pointerOver != nullptr &&
                state->finished) {
                state->finished();
            }
        },
    .axis = Ignore<wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t>,
    .frame = Ignore<wl_pointer*>,
    .axis_source = Ignore<wl_pointer*, std::uint32_t>,
    .axis_stop = Ignore<wl_pointer*, std::uint32_t, std::uint32_t>,
    .axis_discrete = Ignore<wl_pointer*, std::uint32_t, std::int32_t>,
    .axis_value120 = Ignore<wl_pointer*, std::uint32_t, std::int32_t>,
};

const wl_keyboard_listener kKeyboard = {
    .keymap =
        [](void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
            static_cast<WlrClient::State*>(data)->Keymap(format, fd, size);
        },
    .enter = Ignore<wl_keyboard*, std::uint32_t, wl_surface*, wl_array*>,
    .leave = Ignore<wl_keyboard*, std::uint32_t, wl_surface*>,
    .key =
        [](void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
           std::uint32_t pressed) {
            auto* state = static_cast<WlrClient::State*>(data);
            if (pressed == kPressed && state->IsEscape(key) && !state->overlays.empty() &&
                state->finished) {
                state->finished();
            }
        },
    .modifiers =
        [](void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t latched,
           std::uint32_t locked, std::uint32_t group) {
            auto* state = static_cast<WlrClient::State*>(data);
            if (state->keys != nullptr) {
                xkb_state_update_mask(state->keys, depressed, latched, locked, 0, 0, group);
            }
        },
    .repeat_info = Ignore<wl_keyboard*, std::int32_t, std::int32_t>,
};

using Overlay = WlrClient::State::Overlay;

const zwlr_layer_surface_v1_listener kLayerSurface = {
    .configure =
        [](void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
           std::uint32_t height) {
            auto* overlay = static_cast<Overlay*>(data);
            zwlr_layer_surface_v1_ack_configure(layer, serial);
            // A transparent buffer as large as the output: it shows
            // nothing and takes the pointer everywhere.
            const int w = static_cast<int>(std::min<std::uint32_t>(width, 1U << 14));
            const int h = static_cast<int>(std::min<std::uint32_t>(height, 1U << 14));
            if (overlay->buffer.Create(overlay->state->shm, w, h, w * 4, WL_SHM_FORMAT_ARGB8888)) {
                wl_surface_attach(overlay->surface, overlay->buffer.Buffer(), 0, 0);
                wl_surface_damage(overlay->surface, 0, 0, w, h);
            }
            wl_surface_commit(overlay->surface);
        },
    // The output went away, or the compositor will not show the overlay.
    .closed =
        [](void* data, zwlr_layer_surface_v1*) {
            static_cast<Overlay*>(data)->state->CloseOverlay(data);
        },
};

using Frame = WlrClient::State::Frame;

void FrameBuffer(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width,
                 std::uint32_t height, std::uint32_t stride) {
    auto* frame = static_cast<Frame*>(data);
    const std::optional<FrameFormat> ours = FrameFormatOfShm(format);
    if (!ours || frame->shmFormat || width > (1U << 14) || height > (1U << 14) ||
        stride > (1U << 17)) {
        return;
    }
    frame->shmFormat = format;
    frame->copied.format = *ours;
    frame->copied.width = static_cast<int>(width);
    frame->copied.height = static_cast<int>(height);
    frame->copied.stride = static_cast<int>(stride);
}

// All buffer kinds offered: copy into shared memory of the kind chosen.
void FrameBuffersDone(void* data, zwlr_screencopy_frame_v1* handle) {
    auto* frame = static_cast<Frame*>(data);
    const CopiedRegion& c = frame->copied;
    if (!frame->shmFormat ||
        !frame->buffer.Create(frame->state->shm, c.width, c.height, c.stride, *frame->shmFormat)) {
        frame->failed = true;
        return;
    }
    zwlr_screencopy_frame_v1_copy(handle, frame->buffer.Buffer());
}

const zwlr_screencopy_frame_v1_listener kFrame = {
    .buffer =
        [](void* data, zwlr_screencopy_frame_v1* handle, std::uint32_t format, std::uint32_t width,
           std::uint32_t height, std::uint32_t stride) {
            FrameBuffer(data, handle, format, width, height, stride);
            // Before version 3 there is one buffer event and nothing after.
            if (zwlr_screencopy_frame_v1_get_version(handle) < 3) {
                FrameBuffersDone(data, handle);
            }
        },
    .flags =
        [](void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
            static_cast<Frame*>(data)->copied.yInverted =
                (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
        },
    .ready =
        [](void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {
            auto* frame = static_cast<Frame*>(data);
            const std::uint8_t* bytes = frame->buffer.Data();
            frame->copied.bytes.assign(bytes, bytes + frame->buffer.Size());
            frame->done = true;
        },
    .failed = [](void* data,
                 zwlr_screencopy_frame_v1*) { static_cast<Frame*>(data)->failed = true; },
    .damage = Ignore<zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t,
                     std::uint32_t>,
    .linux_dmabuf = Ignore<zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t>,
    .buffer_done = FrameBuffersDone,
};

} // namespace

// --- the state ---------------------------------------------------------------

WlrClient::State::~State() {
    frames.clear();
    DropOverlays();
    xkb_state_unref(keys);
    xkb_keymap_unref(keymap);
    xkb_context_unref(xkb);
    cursorBuffer.Release();
    if (cursor != nullptr) {
        wl_surface_destroy(cursor);
    }
    for (auto& output : outputs) {
        if (output->xdg != nullptr) {
            zxdg_output_v1_destroy(output->xdg);
        }
        wl_output_destroy(output->output);
    }
    if (pointer != nullptr) {
        wl_pointer_destroy(pointer);
    }
    if (keyboard != nullptr) {
        wl_keyboard_destroy(keyboard);
    }
    if (seat != nullptr) {
        wl_seat_destroy(seat);
    }
    if (xdgOutputs != nullptr) {
        zxdg_output_manager_v1_destroy(xdgOutputs);
    }
    if (screencopy != nullptr) {
        zwlr_screencopy_manager_v1_destroy(screencopy);
    }
    if (layerShell != nullptr) {
        zwlr_layer_shell_v1_destroy(layerShell);
    }
    if (shm != nullptr) {
        wl_shm_destroy(shm);
    }
    if (compositor != nullptr) {
        wl_compositor_destroy(compositor);
    }
    if (registry != nullptr) {
        wl_registry_destroy(registry);
    }
    if (display != nullptr) {
        wl_display_disconnect(display);
    }
}

void WlrClient::State::AddOutput(std::uint32_t name, std::uint32_t version) {
    auto output = std::make_unique<Output>();
    output->name = name;
    output->output = static_cast<wl_output*>(
        wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 4U)));
    wl_output_add_listener(output->output, &kOutput, output.get());
    WatchOutput(*output);
    if (overlaysShown) {
        AddOverlay(*output);
    }
    outputs.push_back(std::move(output));
}

void WlrClient::State::WatchOutput(Output& output) {
    if (xdgOutputs != nullptr && output.xdg == nullptr) {
        output.xdg = zxdg_output_manager_v1_get_xdg_output(xdgOutputs, output.output);
        zxdg_output_v1_add_listener(output.xdg, &kXdgOutput, &output);
    }
}

void WlrClient::State::RemoveOutput(std::uint32_t name) {
    const auto gone = std::find_if(outputs.begin(), outputs.end(),
                                   [name](const auto& output) { return output->name == name; });
    if (gone == outputs.end()) {
        return;
    }
    for (auto overlay = overlays.begin(); overlay != overlays.end();) {
        if ((*overlay)->output == name) {
            if (pointerOver == overlay->get()) {
                pointerOver = nullptr;
            }
            overlay = overlays.erase(overlay);
        } else {
            ++overlay;
        }
    }
    if ((*gone)->xdg != nullptr) {
        zxdg_output_v1_destroy((*gone)->xdg);
    }
    wl_output_destroy((*gone)->output);
    outputs.erase(gone);
}

void WlrClient::State::AddOverlay(const Output& output) {
    auto overlay = std::make_unique<Overlay>();
    overlay->state = this;
    overlay->output = output.name;
    overlay->surface = wl_compositor_create_surface(compositor);
    overlay->layer = zwlr_layer_shell_v1_get_layer_surface(
        layerShell, overlay->surface, output.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
        "tintorel-pipette");
    zwlr_layer_surface_v1_set_anchor(
        overlay->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                            ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(overlay->layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(overlay->layer, 1);
    zwlr_layer_surface_v1_add_listener(overlay->layer, &kLayerSurface, overlay.get());
    // The first commit, without a buffer, asks the compositor for a size.
    wl_surface_commit(overlay->surface);
    overlays.push_back(std::move(overlay));
}

void WlrClient::State::DropOverlays() {
    overlays.clear();
    pointerOver = nullptr;
}

void WlrClient::State::CloseOverlay(const void* closed) {
    const auto gone = std::find_if(overlays.begin(), overlays.end(), [closed](const auto& overlay) {
        return overlay.get() == closed;
    });
    if (gone == overlays.end()) {
        return;
    }
    if (pointerOver == gone->get()) {
        pointerOver = nullptr;
    }
    overlays.erase(gone);
    // With no overlay left, nothing says where the pointer is.
    if (overlays.empty() && stopped) {
        stopped("the compositor closed the pipette's overlay");
    }
}

void WlrClient::State::Seat(std::uint32_t capabilities) {
    const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (hasPointer && pointer == nullptr) {
        pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer, &kPointer, this);
    } else if (!hasPointer && pointer != nullptr) {
        wl_pointer_destroy(pointer);
        pointer = nullptr;
        pointerOver = nullptr;
    }
    if (hasKeyboard && keyboard == nullptr) {
        keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(keyboard, &kKeyboard, this);
    } else if (!hasKeyboard && keyboard != nullptr) {
        wl_keyboard_destroy(keyboard);
        keyboard = nullptr;
    }
}

void WlrClient::State::PointerAt(wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    pointerOver = nullptr;
    for (const auto& overlay : overlays) {
        if (overlay->surface == surface) {
            pointerOver = overlay.get();
        }
    }
    const Output* output = pointerOver != nullptr ? OutputNamed(pointerOver->output) : nullptr;
    if (output == nullptr) {
        pointerOver = nullptr;
        return;
    }
    const int left = output->logicalKnown ? output->logical.x : output->x;
    const int top = output->logicalKnown ? output->logical.y : output->y;
    pointerAt = std::make_pair(left + wl_fixed_to_double(x), top + wl_fixed_to_double(y));
}

void WlrClient::State::Keymap(std::uint32_t format, int fd, std::uint32_t size) {
    xkb_state_unref(keys);
    xkb_keymap_unref(keymap);
    keys = nullptr;
    keymap = nullptr;
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            if (xkb == nullptr) {
                xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
            }
            // The text ends with a NUL within `size`.
            keymap = xkb == nullptr
                         ? nullptr
                         : xkb_keymap_new_from_buffer(xkb, static_cast<const char*>(text),
                                                      strnlen(static_cast<const char*>(text), size),
                                                      XKB_KEYMAP_FORMAT_TEXT_V1,
                                                      XKB_KEYMAP_COMPILE_NO_FLAGS);
            munmap(text, size);
            keys = keymap == nullptr ? nullptr : xkb_state_new(keymap);
        }
    }
    close(fd);
}

bool WlrClient::State::IsEscape(std::uint32_t key) const {
    // Without a layout, the key in Escape's usual place.
    constexpr std::uint32_t kKernelEscape = 1;
    return keys != nullptr ? xkb_state_key_get_one_sym(keys, key + kXkbOffset) == XKB_KEY_Escape
                           : key == kKernelEscape;
}

void WlrClient::State::DrawCursor() {
    if (cursor != nullptr || compositor == nullptr || shm == nullptr) {
        return;
    }
    constexpr int stride = kCursorSide * 4;
    if (!cursorBuffer.Create(shm, kCursorSide, kCursorSide, stride, WL_SHM_FORMAT_ARGB8888)) {
        return;
    }
    // A white line with a black edge on each arm: seen on any colour.
    auto* pixels = reinterpret_cast<std::uint32_t*>(cursorBuffer.Data());
    std::fill(pixels, pixels + kCursorSide * kCursorSide, 0U);
    for (int d = kGap; d <= kArm; ++d) {
        for (const int along : {kArm - d, kArm + d}) {
            for (int across = kArm - 1; across <= kArm + 1; ++across) {
                const std::uint32_t colour = across == kArm ? 0xFFFFFFFFU : 0xFF000000U;
                pixels[across * kCursorSide + along] = colour; // horizontal arms
                pixels[along * kCursorSide + across] = colour; // vertical arms
            }
        }
    }
    cursor = wl_compositor_create_surface(compositor);
    wl_surface_attach(cursor, cursorBuffer.Buffer(), 0, 0);
    wl_surface_damage(cursor, 0, 0, kCursorSide, kCursorSide);
    wl_surface_commit(cursor);
}

// --- the client ----------------------------------------------------------------

std::unique_ptr<WlrClient> WlrClient::Connect(std::string* missing) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        if (missing != nullptr) {
            *missing = "no Wayland display";
        }
        return nullptr;
    }
    std::unique_ptr<WlrClient> client(new WlrClient(display));
    State& state = *client->state_;
    // Once for the globals, once for what the outputs say of themselves.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
        if (missing != nullptr) {
            *missing = "the compositor did not answer";
        }
        return nullptr;
    }
    std::string lacking;
    const auto need = [&lacking](const void* global, const char* name) {
        if (global == nullptr) {
            lacking += lacking.empty() ? name : std::string(", ") + name;
        }
    };
    need(state.compositor, "wl_compositor");
    need(state.shm, "wl_shm");
    need(state.seat, "wl_seat");
    need(state.layerShell, "zwlr_layer_shell_v1");
    need(state.screencopy, "zwlr_screencopy_manager_v1");
    need(state.xdgOutputs, "zxdg_output_manager_v1");
    if (!lacking.empty()) {
        if (missing != nullptr) {
            *missing = "the compositor offers no " + lacking;
        }
        return nullptr;
    }
    client->notifier_ =
        new QSocketNotifier(wl_display_get_fd(display), QSocketNotifier::Read, client.get());
    connect(client->notifier_, &QSocketNotifier::activated, client.get(), &WlrClient::Dispatch);
    return client;
}

WlrClient::WlrClient(wl_display* display) : state_(std::make_unique<State>()) {
    state_->display = display;
    state_->registry = wl_display_get_registry(display);
    wl_registry_add_listener(state_->registry, &kRegistry, state_.get());
    state_->finished = [this] {
        if (events_.finished) {
            events_.finished();
        }
    };
    state_->stopped = [this](const std::string& reason) {
        if (events_.lost) {
            events_.lost(reason);
        }
    };
}

WlrClient::~WlrClient() = default;

void WlrClient::Dispatch() {
    wl_display* display = state_->display;
    if (wl_display_prepare_read(display) == 0) {
        if (wl_display_read_events(display) < 0) {
            Lose("the compositor closed the connection");
            return;
        }
    }
    if (wl_display_dispatch_pending(display) < 0 ||
        (wl_display_flush(display) < 0 && errno != EAGAIN)) {
        Lose("the compositor closed the connection");
        return;
    }
    DeliverCopies();
}

void WlrClient::Lose(const std::string& reason) {
    notifier_->setEnabled(false);
    state_->overlaysShown = false;
    state_->frames.clear();
    if (events_.lost) {
        events_.lost(reason);
    }
}

std::vector<OutputPlace> WlrClient::Outputs() const {
    std::vector<OutputPlace> places;
    for (const auto& output : state_->outputs) {
        OutputReport report;
        if (output->logicalKnown) {
            report.logical = output->logical;
        }
        report.x = output->x;
        report.y = output->y;
        report.modeWidth = output->modeWidth;
        report.modeHeight = output->modeHeight;
        report.transform = output->transform;
        report.scale = output->scale;
        places.push_back(PlaceOutput(report));
    }
    return places;
}

void WlrClient::ShowOverlays(bool shown) {
    if (shown == state_->overlaysShown || !notifier_->isEnabled()) {
        return;
    }
    state_->overlaysShown = shown;
    if (shown) {
        state_->DrawCursor();
        state_->pointerAt.reset();
        for (const auto& output : state_->outputs) {
            state_->AddOverlay(*output);
        }
    } else {
        state_->DropOverlays();
    }
    if (wl_display_flush(state_->display) < 0 && errno != EAGAIN) {
        Lose("the compositor closed the connection");
    }
}

bool WlrClient::OverlaysShown() const {
    return state_->overlaysShown;
}

std::optional<std::pair<double, double>> WlrClient::Pointer() const {
    return state_->pointerAt;
}

void WlrClient::AskCopies(const std::vector<RegionRequest>& regions) {
    State& state = *state_;
    state.frames.clear();
    if (!notifier_->isEnabled()) {
        return;
    }
    // The outputs' order is the one Outputs() gave.
    for (const RegionRequest& request : regions) {
        if (request.output >= state.outputs.size()) {
            continue;
        }
        auto frame = std::make_unique<Frame>();
        frame->state = &state;
        frame->copied.output = request.output;
        frame->copied.region = request.region;
        frame->frame = zwlr_screencopy_manager_v1_capture_output_region(
            state.screencopy, 0, state.outputs[request.output]->output, request.asked.x,
            request.asked.y, request.asked.width, request.asked.height);
        zwlr_screencopy_frame_v1_add_listener(frame->frame, &kFrame, frame.get());
        state.frames.push_back(std::move(frame));
    }
    if (wl_display_flush(state.display) < 0 && errno != EAGAIN) {
        Lose("the compositor closed the connection");
    }
}

void WlrClient::DropCopies() {
    state_->frames.clear();
    if (notifier_->isEnabled()) {
        wl_display_flush(state_->display);
    }
}

void WlrClient::DeliverCopies() {
    std::vector<std::unique_ptr<Frame>>& frames = state_->frames;
    if (frames.empty()) {
        return;
    }
    const bool failed =
        std::any_of(frames.begin(), frames.end(), [](const auto& f) { return f->failed; });
    const bool pending =
        std::any_of(frames.begin(), frames.end(), [](const auto& f) { return !f->done; });
    if (!failed && pending) {
        return;
    }
    std::vector<CopiedRegion> copied;
    for (auto& frame : frames) {
        copied.push_back(std::move(frame->copied));
    }
    frames.clear();
    wl_display_flush(state_->display);
    if (!events_.copied) {
        return;
    }
    if (failed) {
        events_.copied(std::nullopt, "the compositor could not copy the screen");
    } else {
        events_.copied(std::move(copied), {});
    }
}

} // namespace tintorel
