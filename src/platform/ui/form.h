#pragma once
// A window class: owns its controls, carries its handlers, and is shown by a backend host.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/picture/bitmap.h"
#include "platform/picture/placement.h"
#include "platform/platform.h"
#include "platform/ui/controls/picturebox.h"
#include "platform/ui/form_input.h"

namespace mv {

class Platform;
struct Layout;  // a dialog's design table; saver windows have none

enum class ScaleMode { Twips, Pixels };
enum class WindowState { Normal, Minimized, Maximized };
enum class BorderStyle { None, FixedDialog };

class Form {
public:
    Form(Platform& platform, std::string caption);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Platform& platform() const { return platform_; }

    bool Loaded() const { return loaded_; }
    bool Visible() const { return visible_; }
    // Creates the native window hidden and runs Form_Load; does nothing when loaded.
    void Load();
    // Shows the form modelessly, loading it first when needed.
    void Show();
    // Runs Form_Unload and closes the window; does nothing when not loaded or already unloading.
    void Unload();

    const std::string& Caption() const { return caption_; }
    void setCaption(const std::string& c);

    WindowState windowState() const { return windowState_; }
    void setWindowState(WindowState s);

    // Persistent drawing: with it on, what is painted survives repaints.
    bool AutoRedraw = false;

    // Outer geometry in twips.
    long Left() const { return left_; }
    long Top() const { return top_; }
    long Width() const { return width_; }
    long Height() const { return height_; }
    void Move(long left, long top);
    void Move(long left, long top, long width, long height);

    BorderStyle borderStyle() const { return borderStyle_; }
    ScaleMode scaleMode() const { return scaleMode_; }
    // Inner drawing size in the form's scale unit.
    double ScaleWidth() const;
    double ScaleHeight() const;

    // Draws a picture box's image stretched into (x, y, w, h) of the client area (pixel scale).
    // On a window over several monitors each one shows the whole inner area at its own size.
    // The rectangle is the area the picture is placed in (see setPlacement).
    void PaintPicture(const PictureImage& image, double x, double y, double w, double h);
    // How later paints meet the shape of their area, the bars taking the image's backdrop or
    // else its background colour; and whether one paint spans all monitors, each showing its part.
    // Stretch on each monitor until set.
    void setPlacement(PicturePlacement placement, Monitors monitors);
    // A picture of its own for one surface (a monitor showing a different picture), placed on
    // that surface alone and painted there now and by every later paint, in place of what
    // PaintPicture paints; a null picture gives the surface back to PaintPicture.
    void setSurfaceImage(size_t surface, const PictureImage& image);
    // Drawn over each surface's picture at every paint, once it is placed (a caption, a clock):
    // given the surface's pixels and index, the area its picture was placed in and where it landed.
    using Overlay = std::function<void(Bitmap&, size_t, const PixelRect&, const PixelRect&)>;
    void setOverlay(Overlay overlay) { overlay_ = std::move(overlay); }
    // The last paint made again, for an overlay that changed; nothing before the first paint.
    void repaintOverlay();
    // The surfaces showing a moving picture painted at its framing of now: by the display where
    // the host can scale it and nothing is drawn over it, else drawn here and presented.
    void repaintMoving();
    // Whether a surface shows a moving picture.
    bool moving() const;
    // Moving pictures always drawn here, never scaled by the display (to compare the two).
    void setDrawMotion(bool itself) { drawMotion_ = itself; }
    // What a surface shows: its own picture, or the last paint's; no picture before the first.
    PictureImage surfaceImage(size_t surface) const;
    // Where a PaintPicture of (x, y, w, h) made now would place its picture on each surface, known
    // before the picture is decoded; no areas while the window is not loaded.
    ShownAreas shownAreas(double x, double y, double w, double h) const;
    // What a surface shows (the primary monitor's by default); empty before the first paint.
    const Bitmap& backing(size_t surface = 0) const;
    size_t surfaceCount() const { return backings_.size(); }
    // The host's surfaces changed (a monitor came or went, or changed size): the last paint is
    // made again on every surface.
    void surfacesChanged();
    int32_t BackColor() const { return backColor_; }
    void setBackColor(int32_t color);

    // The design table a dialog backend builds its controls from; null for a painted window.
    virtual const Layout* layout() const { return nullptr; }

    WindowHost* host() const { return host_.get(); }

    // Event handlers; backends call them, in the platform's order (MouseDown, MouseUp, Click).
    virtual void Form_Load() {}
    virtual void Form_Unload(int16_t& /*cancel*/) {}
    virtual void Form_Click() {}
    virtual void Form_DblClick() {}
    virtual void Form_KeyDown(int16_t /*keyCode*/, int16_t /*shift*/) {}
    virtual void Form_KeyPress(int16_t /*keyAscii*/) {}
    virtual void Form_MouseDown(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
    virtual void Form_MouseUp(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
    virtual void Form_MouseMove(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
    // The user asked to close the window (close box, window manager).
    void requestClose() { Unload(); }
    // What the input seen so far means for the next event (see form_input.h).
    InputState input;

protected:
    void setDesign(BorderStyle border, ScaleMode mode, int32_t backColor, long left, long top, long width, long height);

private:
    void syncHost() { if (host_) host_->sync(); }

    Platform& platform_;
    std::unique_ptr<WindowHost> host_;
    std::string caption_;
    WindowState windowState_ = WindowState::Normal;
    BorderStyle borderStyle_ = BorderStyle::FixedDialog;
    ScaleMode scaleMode_ = ScaleMode::Twips;
    int32_t backColor_ = 0;
    long left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool loaded_ = false;
    bool unloading_ = false;
    bool visible_ = false;
    std::vector<Bitmap> backings_;
    struct Paint {
        PictureImage image;
        double x = 0, y = 0, w = 0, h = 0;
        double baseW = 0, baseH = 0;  // the primary surface's size when it was painted
    };
    std::unique_ptr<Paint> lastPaint_;
    PicturePlacement placement_ = PicturePlacement::Stretch;
    Monitors monitors_ = Monitors::Each;
    std::vector<PictureImage> own_;  // by surface; a null picture: the surface shows the paint
    std::vector<bool> ownPainted_;   // the surface shows its own picture already, at its size
    Overlay overlay_;
    bool drawMotion_ = false;
    // Paints every surface (only the moving ones when `movingOnly`); whether any backing was
    // drawn, so that a frame the host showed itself is not presented over.
    bool paintSurfaces(const Paint& paint, bool movingOnly = false);
};

}  // namespace mv
