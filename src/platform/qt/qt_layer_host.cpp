#include "platform/qt/qt_layer_host.h"

#include <QObject>
#include <QTimer>
#include <wayland-client.h>

#include <algorithm>
#include <set>
#include <vector>

#include "platform/error.h"
#include "platform/qt/qt_layer_surface.h"
#include "platform/qt/qt_wayland_display.h"
#include "platform/qt/qt_wayland_seat.h"
#include "platform/ui/form_input.h"

namespace mv::qt {

namespace {

// Evdev's mouse buttons.
constexpr uint32_t kButtonLeft = 0x110, kButtonRight = 0x111, kButtonMiddle = 0x112;

class LayerHost : public WindowHost {
public:
    LayerHost(Form& form, bool overlay) : form_(form), overlay_(overlay) {
        display_ = WaylandDisplay::instance();
        if (!display_) throw PlatformError(ErrFileAccess, "--layer needs a Wayland compositor");
        display_->outputsChanged = [this] { follow(); };
        display_->lost = [this] {
            Form* f = &form_;
            QTimer::singleShot(0, &context_, [f] { f->requestClose(); });
        };
        follow();
        // The first picture goes out at the compositor's sizes: they are asked for now.
        for (int i = 0; i < 3 && std::any_of(all_.begin(), all_.end(), [](const auto& s) { return !s->sized(); }); ++i)
            display_->roundtrip();
        if (overlay_) {
            if (wl_seat* seat = display_->bindSeat()) seat_ = std::make_unique<WaylandSeat>(seat, seatEvents());
        }
    }

    ~LayerHost() override {
        display_->outputsChanged = nullptr;
        display_->lost = nullptr;
        seat_.reset();
        all_.clear();
        // Gone from the screen at once, even if the process lingers.
        wl_display_flush(display_->display());
    }

    void show() override { present(); }
    void sync() override {}
    int clientWidthPx() const override { return surfaces().front().width; }
    int clientHeightPx() const override { return surfaces().front().height; }

    std::vector<Surface> surfaces() const override {
        std::vector<Surface> list;
        for (const LayerSurface* s : shown_) {
            const WaylandOutput& o = s->output();
            list.push_back({o.x * s->scale(), o.y * s->scale(), s->width(), s->height()});
        }
        // Before any output has a size, the form paints a point that every surface scales up.
        if (list.empty()) list.push_back({0, 0, 1, 1});
        return list;
    }

    void present() override {
        const uint32_t back = colorToPixel(form_.BackColor());
        for (size_t i = 0; i < shown_.size(); ++i) shown_[i]->show(form_.backing(i), back);
    }

    bool showMoving(size_t surface, const MovingScene& scene) override {
        return surface < shown_.size() && shown_[surface]->showMoving(scene);
    }

    // The fastest of the outputs: each surface is held to its own by the compositor's pace.
    double refreshRate() const override {
        double fastest = 0;
        for (const LayerSurface* s : shown_) fastest = std::max(fastest, s->output().refresh);
        return fastest > 0 ? fastest : 60.0;
    }

private:
    // Every ready output has a surface, and no surface outlives its output.
    void follow() {
        const auto& outputs = display_->outputs();
        std::erase_if(all_, [&](const std::unique_ptr<LayerSurface>& s) {
            return std::none_of(outputs.begin(), outputs.end(), [&](const auto& o) { return o.get() == &s->output() && o->ready; });
        });
        std::vector<std::unique_ptr<LayerSurface>> ordered;
        for (const auto& o : outputs) {
            if (!o->ready || closed_.count(o->name)) continue;
            auto it = std::find_if(all_.begin(), all_.end(), [&](const auto& s) { return s && &s->output() == o.get(); });
            if (it != all_.end()) {
                (*it)->rescale();
                ordered.push_back(std::move(*it));
            } else {
                ordered.push_back(std::make_unique<LayerSurface>(*display_, *o, overlay_, surfaceEvents(o->name)));
            }
        }
        all_ = std::move(ordered);
        changed();
    }

    LayerSurface::Events surfaceEvents(uint32_t output) {
        LayerSurface::Events e;
        e.sized = [this] { changed(); };
        e.closed = [this, output] {
            // The compositor took it away; the output keeps no surface of ours from now on.
            closed_.insert(output);
            QTimer::singleShot(0, &context_, [this] { follow(); });
        };
        e.released = [this] {
            if (presentPending_) return;
            presentPending_ = true;
            QTimer::singleShot(0, &context_, [this] {
                presentPending_ = false;
                present();
            });
        };
        return e;
    }

    // The sized surfaces are the form's; the form paints them anew on the event loop.
    void changed() {
        shown_.clear();
        for (const auto& s : all_)
            if (s->sized()) shown_.push_back(s.get());
        if (resizePending_) return;
        resizePending_ = true;
        QTimer::singleShot(0, &context_, [this] {
            resizePending_ = false;
            form_.surfacesChanged();
        });
    }

    WaylandSeat::Events seatEvents() {
        WaylandSeat::Events e;
        // The form hears of input on the event loop, never inside the compositor's callbacks:
        // its handlers may close this host.
        e.moved = [this](wl_surface* surface, double x, double y) {
            const auto it = std::find_if(shown_.begin(), shown_.end(), [&](const LayerSurface* s) { return s->surface() == surface; });
            if (it == shown_.end()) return;
            const int scale = (*it)->scale();
            const double dx = ((*it)->output().x + x) * scale, dy = ((*it)->output().y + y) * scale;
            QTimer::singleShot(0, &context_, [this, dx, dy] { input::move(form_, {}, {}, dx, dy); });
        };
        e.button = [this](uint32_t code, bool down) {
            const Buttons b{code == kButtonLeft, code == kButtonRight, code == kButtonMiddle};
            QTimer::singleShot(0, &context_, [this, b, down] {
                if (down)
                    input::buttonDown(form_, b, {}, 0, 0);
                else
                    input::buttonUp(form_, b, {}, 0, 0);
            });
        };
        e.key = [this](uint32_t key) {
            // X's key codes are evdev's plus 8; the form does not look at them anyway.
            const auto code = static_cast<int16_t>(key + 8);
            QTimer::singleShot(0, &context_, [this, code] { input::keyDown(form_, code, {}, 0); });
        };
        return e;
    }

    Form& form_;
    const bool overlay_;
    QObject context_;  // queued work dies with the host
    WaylandDisplay* display_ = nullptr;
    std::vector<std::unique_ptr<LayerSurface>> all_;  // in the compositor's order of outputs
    std::vector<LayerSurface*> shown_;                // those with a size: the form's surfaces
    std::set<uint32_t> closed_;
    std::unique_ptr<WaylandSeat> seat_;
    bool resizePending_ = false;
    bool presentPending_ = false;
};

}  // namespace

std::unique_ptr<WindowHost> makeLayerHost(Form& form, bool overlay) { return std::make_unique<LayerHost>(form, overlay); }

}  // namespace mv::qt
