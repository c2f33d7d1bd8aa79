#pragma once
// The program's own Wayland connection, for layer-shell surfaces: Qt 6 has no way to give its
// windows that role, so the show talks to the compositor beside the toolkit, on Qt's event loop.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_subcompositor;
struct wp_viewporter;
struct zwlr_layer_shell_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace mv::qt {

// A monitor as the compositor describes it: its place in the layout (logical pixels) and its
// scale. Only outputs whose description is complete (`ready`) get a surface.
struct WaylandOutput {
    wl_output* output = nullptr;
    zxdg_output_v1* place = nullptr;  // the logical position, where the compositor tells it
    uint32_t name = 0;
    int x = 0, y = 0;
    int scale = 1;
    double refresh = 0;  // pictures a second, where the compositor says
    bool ready = false;
};

class WaylandDisplay {
public:
    // Connects to the compositor of WAYLAND_DISPLAY and learns its globals. Throws PlatformError
    // with the line for the user when there is no compositor or it offers no layer shell.
    static void connect();
    // The connection made by connect(); null before.
    static WaylandDisplay* instance();

    ~WaylandDisplay();

    // Once the toolkit's event loop exists: events are read when they come, and requests are
    // sent before the loop sleeps.
    void watch();
    void roundtrip();

    wl_display* display() const { return display_; }
    wl_compositor* compositor() const { return compositor_; }
    wl_shm* shm() const { return shm_; }
    zwlr_layer_shell_v1* layerShell() const { return layerShell_; }
    // Null where the compositor offers no cropping and scaling of surfaces, or no child surfaces.
    wp_viewporter* viewporter() const { return viewporter_; }
    wl_subcompositor* subcompositor() const { return subcompositor_; }
    // A new binding of the first seat (its caller's to destroy), so that its first events come
    // to the caller's listener; null when there is no seat.
    wl_seat* bindSeat();
    const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return outputs_; }

    // An output came, went or changed; the connection broke (the compositor ended).
    std::function<void()> outputsChanged;
    std::function<void()> lost;

    // Registry callbacks; not for other callers.
    void global(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    void globalRemove(uint32_t name);
    void outputDone(WaylandOutput& output);
    void locate(WaylandOutput& output);

private:
    WaylandDisplay() = default;
    void read();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    zxdg_output_manager_v1* places_ = nullptr;
    wp_viewporter* viewporter_ = nullptr;
    wl_subcompositor* subcompositor_ = nullptr;
    uint32_t seatName_ = 0, seatVersion_ = 0;
    std::vector<std::unique_ptr<WaylandOutput>> outputs_;
    bool lost_ = false;
};

}  // namespace mv::qt
