#include "platform/qt/qt_wayland_display.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <wayland-client.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace mv::qt {

namespace {

std::unique_ptr<WaylandDisplay> connection;
bool connecting = false;

// The library's own complaints: none while connecting (the failure gets its one line), and
// named as this program's afterwards.
void onLibraryMessage(const char* format, va_list args) {
    if (connecting) return;
    std::fputs("marvoscope: Wayland: ", stderr);
    std::vfprintf(stderr, format, args);
}

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    static_cast<WaylandDisplay*>(data)->global(registry, name, interface, version);
}
void onGlobalRemove(void* data, wl_registry*, uint32_t name) { static_cast<WaylandDisplay*>(data)->globalRemove(name); }
const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

struct OutputData {
    WaylandDisplay* display;
    WaylandOutput* output;
};

void onGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*, int32_t) {
    auto* d = static_cast<OutputData*>(data);
    if (d->output->place) return;  // the logical position is the better one
    d->output->x = x;
    d->output->y = y;
}
void onMode(void* data, wl_output*, uint32_t flags, int32_t, int32_t, int32_t refresh) {
    // Millihertz; 0 where the output has no fixed rate.
    if ((flags & WL_OUTPUT_MODE_CURRENT) && refresh > 0) static_cast<OutputData*>(data)->output->refresh = refresh / 1000.0;
}
void onDone(void* data, wl_output*) {
    auto* d = static_cast<OutputData*>(data);
    d->display->outputDone(*d->output);
}
void onScale(void* data, wl_output*, int32_t factor) { static_cast<OutputData*>(data)->output->scale = std::max(1, factor); }
const wl_output_listener outputListener = {onGeometry, onMode, onDone, onScale, nullptr, nullptr};

void onLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    auto* d = static_cast<OutputData*>(data);
    d->output->x = x;
    d->output->y = y;
}
void onLogicalSize(void*, zxdg_output_v1*, int32_t, int32_t) {}
void onPlaceDone(void* data, zxdg_output_v1* place) {
    // From version 3 on, wl_output's done covers these events too.
    if (zxdg_output_v1_get_version(place) < 3) onDone(data, nullptr);
}
void onPlaceName(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener placeListener = {onLogicalPosition, onLogicalSize, onPlaceDone, onPlaceName, onPlaceName};

void destroyOutput(WaylandOutput& o) {
    if (o.place) zxdg_output_v1_destroy(o.place);
    delete static_cast<OutputData*>(wl_output_get_user_data(o.output));
    if (wl_output_get_version(o.output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(o.output);
    else
        wl_output_destroy(o.output);
}

}  // namespace

void WaylandDisplay::connect() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const char* socket = std::getenv("WAYLAND_SOCKET");
    if ((!name || !*name) && (!socket || !*socket))
        throw PlatformError(ErrFileAccess, "--layer needs a Wayland compositor, and WAYLAND_DISPLAY is not set");
    std::unique_ptr<WaylandDisplay> d(new WaylandDisplay);
    wl_log_set_handler_client(onLibraryMessage);
    connecting = true;
    d->display_ = wl_display_connect(nullptr);
    connecting = false;
    if (!d->display_)
        throw PlatformError(ErrFileAccess, std::string("cannot connect to the Wayland compositor '") + (name ? name : "") + "'");
    d->registry_ = wl_display_get_registry(d->display_);
    wl_registry_add_listener(d->registry_, &registryListener, d.get());
    // The globals, then the outputs' descriptions they lead to.
    d->roundtrip();
    d->roundtrip();
    if (d->lost_) throw PlatformError(ErrFileAccess, "the Wayland compositor closed the connection");
    if (!d->layerShell_)
        throw PlatformError(ErrFileAccess,
                            "--layer needs a compositor with the wlr-layer-shell protocol (sway, Hyprland, KDE Plasma, "
                            "river, Wayfire), and this one has none");
    if (!d->compositor_ || !d->shm_) throw PlatformError(ErrFileAccess, "the Wayland compositor offers no shared-memory surfaces");
    connection = std::move(d);
}

WaylandDisplay* WaylandDisplay::instance() { return connection.get(); }

WaylandDisplay::~WaylandDisplay() {
    for (auto& o : outputs_) destroyOutput(*o);
    if (places_) zxdg_output_manager_v1_destroy(places_);
    if (viewporter_) wp_viewporter_destroy(viewporter_);
    if (subcompositor_) wl_subcompositor_destroy(subcompositor_);
    if (layerShell_) zwlr_layer_shell_v1_destroy(layerShell_);
    if (shm_) wl_shm_destroy(shm_);
    if (compositor_) wl_compositor_destroy(compositor_);
    if (registry_) wl_registry_destroy(registry_);
    if (display_) wl_display_disconnect(display_);
}

void WaylandDisplay::global(wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    auto bind = [&](const wl_interface* type, uint32_t most) {
        return wl_registry_bind(registry, name, type, std::min(version, most));
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !compositor_) {
        compositor_ = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0 && !shm_) {
        shm_ = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && !layerShell_) {
        layerShell_ = static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 4));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 && !places_) {
        places_ = static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 3));
        for (auto& o : outputs_) locate(*o);
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0 && !viewporter_) {
        viewporter_ = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
    } else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0 && !subcompositor_) {
        subcompositor_ = static_cast<wl_subcompositor*>(bind(&wl_subcompositor_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seatName_) {
        seatName_ = name;
        seatVersion_ = std::min(version, 5u);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto output = std::make_unique<WaylandOutput>();
        output->name = name;
        // Version 3 at most: names and descriptions are not needed.
        output->output = static_cast<wl_output*>(bind(&wl_output_interface, 3));
        wl_output_add_listener(output->output, &outputListener, new OutputData{this, output.get()});
        locate(*output);
        outputs_.push_back(std::move(output));
    }
}

void WaylandDisplay::globalRemove(uint32_t name) {
    if (name == seatName_) seatName_ = 0;
    const auto it = std::find_if(outputs_.begin(), outputs_.end(), [&](const auto& o) { return o->name == name; });
    if (it == outputs_.end()) return;
    const bool wasReady = (*it)->ready;
    // Surfaces on it go first; the output object after them.
    (*it)->ready = false;
    if (wasReady && outputsChanged) outputsChanged();
    destroyOutput(**it);
    outputs_.erase(it);
}

void WaylandDisplay::outputDone(WaylandOutput& output) {
    output.ready = true;
    if (outputsChanged) outputsChanged();
}

void WaylandDisplay::locate(WaylandOutput& output) {
    if (!places_ || output.place) return;
    output.place = zxdg_output_manager_v1_get_xdg_output(places_, output.output);
    zxdg_output_v1_add_listener(output.place, &placeListener, wl_output_get_user_data(output.output));
}

wl_seat* WaylandDisplay::bindSeat() {
    if (!seatName_) return nullptr;
    return static_cast<wl_seat*>(wl_registry_bind(registry_, seatName_, &wl_seat_interface, seatVersion_));
}

void WaylandDisplay::roundtrip() {
    if (!lost_ && wl_display_roundtrip(display_) < 0) lost_ = true;
}

void WaylandDisplay::watch() {
    auto* notifier = new QSocketNotifier(wl_display_get_fd(display_), QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this, notifier] {
        read();
        if (lost_) notifier->setEnabled(false);
    });
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, notifier, [this] {
        if (!lost_) wl_display_flush(display_);
    });
}

void WaylandDisplay::read() {
    if (lost_) return;
    if (wl_display_dispatch(display_) >= 0) return;
    lost_ = true;
    if (lost) lost();
}

}  // namespace mv::qt
