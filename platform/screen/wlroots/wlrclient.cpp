#include "platform/screen/wlroots/wlrclient.h"

#include <wayland-client.h>

// The layer shell's C header names an argument "namespace".
#define namespace namespace_
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tintorel {

namespace {

// The crosshair: arms from kGap to kArm units from its centre, clear of
// the largest sampled square (7 × 7: 3 units each side).
constexpr int kArm = 12;
constexpr int kGap = 5;
constexpr int kCursorSide = 2 * kArm + 1;

const wl_registry_listener kRegistry = {
    .global = WlrClient::OnGlobal,
    .global_remove = WlrClient::OnGlobalRemoved,
};

constexpr char kConnectionClosed[] = "the compositor closed the connection";

} // namespace

// --- connecting ---------------------------------------------------------------

std::unique_ptr<WlrClient> WlrClient::Connect(std::string* missing) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        if (missing != nullptr) {
            *missing = "no Wayland display";
        }
        return nullptr;
    }
    std::unique_ptr<WlrClient> client(new WlrClient(display));
    // Once for the globals, once for what the outputs say of themselves.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
        if (missing != nullptr) {
            *missing = "the compositor did not answer";
        }
        return nullptr;
    }
    std::string lacking;
    const auto need = [&lacking](bool present, const char* name) {
        if (!present) {
            lacking += lacking.empty() ? name : std::string(", ") + name;
        }
    };
    need(client->globals_.compositor != nullptr, "wl_compositor");
    need(client->globals_.shm != nullptr, "wl_shm");
    need(client->seat_ != nullptr, "wl_seat");
    need(client->globals_.layerShell != nullptr, "zwlr_layer_shell_v1");
    need(client->screencopy_ != nullptr, "zwlr_screencopy_manager_v1");
    need(client->xdgOutputs_ != nullptr, "zxdg_output_manager_v1");
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

WlrClient::WlrClient(wl_display* display) : display_(display) {
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistry, this);
}

WlrClient::~WlrClient() {
    copies_.clear();
    outputs_.clear();
    cursorBuffer_.Release();
    if (cursor_ != nullptr) {
        wl_surface_destroy(cursor_);
    }
    seat_.reset();
    if (xdgOutputs_ != nullptr) {
        zxdg_output_manager_v1_destroy(xdgOutputs_);
    }
    if (screencopy_ != nullptr) {
        zwlr_screencopy_manager_v1_destroy(screencopy_);
    }
    if (globals_.layerShell != nullptr) {
        zwlr_layer_shell_v1_destroy(globals_.layerShell);
    }
    if (globals_.shm != nullptr) {
        wl_shm_destroy(globals_.shm);
    }
    if (globals_.compositor != nullptr) {
        wl_compositor_destroy(globals_.compositor);
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
    }
    wl_display_disconnect(display_);
}

// --- globals and outputs ------------------------------------------------------

void WlrClient::OnGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
                         std::uint32_t version) {
    static_cast<WlrClient*>(data)->Global(name, interface, version);
}

void WlrClient::OnGlobalRemoved(void* data, wl_registry*, std::uint32_t name) {
    static_cast<WlrClient*>(data)->RemoveOutput(name);
}

void WlrClient::Global(std::uint32_t name, const char* interface, std::uint32_t version) {
    const auto bind = [&](const wl_interface* which, std::uint32_t highest) {
        return wl_registry_bind(registry_, name, which, std::min(version, highest));
    };
    const auto is = [interface](const wl_interface& which) {
        return std::strcmp(interface, which.name) == 0;
    };
    if (is(wl_compositor_interface)) {
        globals_.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
    } else if (is(wl_shm_interface)) {
        globals_.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    } else if (is(wl_seat_interface) && seat_ == nullptr) {
        WlrSeat::Events events;
        events.entered = [this](wl_surface* surface, double x, double y) {
            PointerAt(surface, x, y);
            return OverlayOf(surface) != nullptr;
        };
        events.moved = [this](wl_surface* surface, double x, double y) {
            PointerAt(surface, x, y);
        };
        events.clicked = [this](wl_surface* surface) {
            if (OverlayOf(surface) != nullptr && events_.finished) {
                events_.finished();
            }
        };
        events.escape = [this] {
            const bool shown = std::any_of(outputs_.begin(), outputs_.end(),
                                           [](const auto& output) { return output->OverlayShown(); });
            if (shown && events_.finished) {
                events_.finished();
            }
        };
        seat_ = std::make_unique<WlrSeat>(static_cast<wl_seat*>(bind(&wl_seat_interface, 5)),
                                          std::move(events));
    } else if (is(zwlr_layer_shell_v1_interface)) {
        globals_.layerShell =
            static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 4));
    } else if (is(zwlr_screencopy_manager_v1_interface)) {
        screencopy_ = static_cast<zwlr_screencopy_manager_v1*>(
            bind(&zwlr_screencopy_manager_v1_interface, 3));
    } else if (is(zxdg_output_manager_v1_interface)) {
        xdgOutputs_ =
            static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 3));
        for (auto& output : outputs_) {
            output->Describe(xdgOutputs_);
        }
    } else if (is(wl_output_interface)) {
        AddOutput(name, version);
    }
}

void WlrClient::AddOutput(std::uint32_t name, std::uint32_t version) {
    auto output = std::make_unique<WlrOutput>(
        name, static_cast<wl_output*>(
                  wl_registry_bind(registry_, name, &wl_output_interface, std::min(version, 4U))));
    output->Describe(xdgOutputs_);
    if (overlaysShown_) {
        ShowOverlay(*output);
    }
    outputs_.push_back(std::move(output));
}

void WlrClient::RemoveOutput(std::uint32_t name) {
    // Its overlay goes with it; a copy of it on its way fails.
    outputs_.erase(std::remove_if(outputs_.begin(), outputs_.end(),
                                  [name](const auto& output) { return output->Name() == name; }),
                   outputs_.end());
}

std::vector<OutputPlace> WlrClient::Outputs() const {
    std::vector<OutputPlace> places;
    places.reserve(outputs_.size());
    for (const auto& output : outputs_) {
        places.push_back(PlaceOutput(output->Report()));
    }
    return places;
}

// --- overlays and the pointer ------------------------------------------------

void WlrClient::ShowOverlays(bool shown) {
    if (shown == overlaysShown_ || notifier_ == nullptr || !notifier_->isEnabled()) {
        return;
    }
    overlaysShown_ = shown;
    if (shown) {
        DrawCursor();
        pointerAt_.reset();
    }
    for (const auto& output : outputs_) {
        if (shown) {
            ShowOverlay(*output);
        } else {
            output->HideOverlay();
        }
    }
    Flush();
}

void WlrClient::ShowOverlay(WlrOutput& output) {
    output.ShowOverlay(globals_, [this] { OverlayClosed(); });
}

void WlrClient::OverlayClosed() {
    // With no overlay left, nothing says where the pointer is.
    const bool any = std::any_of(outputs_.begin(), outputs_.end(),
                                 [](const auto& output) { return output->OverlayShown(); });
    if (!any && events_.lost) {
        events_.lost("the compositor closed the pipette's overlay");
    }
}

WlrOutput* WlrClient::OverlayOf(const wl_surface* surface) const {
    for (const auto& output : outputs_) {
        if (output->IsOverlay(surface)) {
            return output.get();
        }
    }
    return nullptr;
}

void WlrClient::PointerAt(const wl_surface* surface, double x, double y) {
    if (const WlrOutput* output = OverlayOf(surface)) {
        pointerAt_ = output->OnDesktop(x, y);
    }
}

void WlrClient::DrawCursor() {
    if (cursor_ != nullptr || globals_.compositor == nullptr || globals_.shm == nullptr) {
        return;
    }
    constexpr int stride = kCursorSide * 4;
    if (!cursorBuffer_.Create(globals_.shm, kCursorSide, kCursorSide, stride,
                              WL_SHM_FORMAT_ARGB8888)) {
        return;
    }
    // A white line with a black edge on each arm: seen on any colour.
    auto* pixels = reinterpret_cast<std::uint32_t*>(cursorBuffer_.Data());
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
    cursor_ = wl_compositor_create_surface(globals_.compositor);
    wl_surface_attach(cursor_, cursorBuffer_.Buffer(), 0, 0);
    wl_surface_damage(cursor_, 0, 0, kCursorSide, kCursorSide);
    wl_surface_commit(cursor_);
    seat_->SetCursor(cursor_, kArm, kArm);
}

// --- the connection -------------------------------------------------------------

void WlrClient::Dispatch() {
    if (wl_display_prepare_read(display_) == 0) {
        if (wl_display_read_events(display_) < 0) {
            Lose(kConnectionClosed);
            return;
        }
    }
    if (wl_display_dispatch_pending(display_) < 0 ||
        (wl_display_flush(display_) < 0 && errno != EAGAIN)) {
        Lose(kConnectionClosed);
        return;
    }
    DeliverCopies();
}

void WlrClient::Flush() {
    if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
        Lose(kConnectionClosed);
    }
}

void WlrClient::Lose(const std::string& reason) {
    notifier_->setEnabled(false);
    overlaysShown_ = false;
    copies_.clear();
    if (events_.lost) {
        events_.lost(reason);
    }
}

// --- copies -----------------------------------------------------------------------

void WlrClient::AskCopies(const std::vector<RegionRequest>& regions) {
    copies_.clear();
    if (!notifier_->isEnabled()) {
        return;
    }
    // The outputs' order is the one Outputs() gave.
    for (const RegionRequest& request : regions) {
        if (request.output < outputs_.size()) {
            copies_.push_back(std::make_unique<WlrCopy>(
                screencopy_, outputs_[request.output]->Handle(), globals_.shm, request));
        }
    }
    Flush();
}

void WlrClient::DropCopies() {
    copies_.clear();
    if (notifier_->isEnabled()) {
        wl_display_flush(display_);
    }
}

void WlrClient::DeliverCopies() {
    if (copies_.empty()) {
        return;
    }
    const bool failed =
        std::any_of(copies_.begin(), copies_.end(), [](const auto& c) { return c->Failed(); });
    const bool pending =
        std::any_of(copies_.begin(), copies_.end(), [](const auto& c) { return !c->Done(); });
    if (!failed && pending) {
        return;
    }
    std::vector<CopiedRegion> copied;
    copied.reserve(copies_.size());
    for (auto& copy : copies_) {
        copied.push_back(copy->Take());
    }
    copies_.clear();
    wl_display_flush(display_);
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
