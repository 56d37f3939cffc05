#pragma once
// A user control: a control that draws itself and takes input of its own (VB's UserControl, the
// body of an ActiveX control), the base of the two custom button controls.
//
// It owns the drawing surface the control paints on: a raster of the control's pixel size with a
// background and a foreground colour (Control's BackColor and ForeColor), a font, a background
// picture, a mask picture with a mask colour and a back style, a mouse pointer and icon, a
// right-to-left flag and access keys. Setting the surface picture clears the raster to the
// background colour and shows the picture unscaled at the top-left, as a repainted background
// would.
//
// On the form the raster shows whole, except with back style transparent and a mask picture:
// then only the pixels where the mask picture has a pixel of another colour than the mask colour
// belong to the control (its window region); the container shows through the rest. The same
// shape tells where a click of the user lands (inShape).
//
// Input arrives through the public entry points, called by the container (the scenario runner,
// a test, a platform's window procedure), in pixels of the control. Each moves the simulated
// pointer there (ControlSite::pointerAt) and runs the matching handler, unless the control does
// not react to the user (Control::reactsToUser: it is disabled or hidden, or its form is not
// shown), as a disabled window gets no input. Ambient changes always arrive.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/draw/Surface.h"
#include "platform/forms/ControlSite.h"
#include "platform/forms/Control.h"
#include "platform/forms/Picture.h"
#include "platform/forms/StdFont.h"

namespace forms {

class UserControl : public Control {
public:
    static constexpr int surfaceTransparent = 0;
    static constexpr int surfaceOpaque = 1;

    UserControl(Form& form, std::string name);
    ~UserControl() override;

    ControlSite& site() const { return *site_; }
    // Replaces the default site with one made for this control (a platform's, a test's).
    void setSite(std::unique_ptr<ControlSite> site);

    // Input from the container. Buttons: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt.
    void mouseDown(int button, int shift, int x, int y);
    void mouseMove(int button, int shift, int x, int y);
    void mouseUp(int button, int shift, int x, int y);
    void keyDown(int keyCode, int shift);
    void keyPress(int keyAscii);
    void keyUp(int keyCode, int shift);
    void gotFocus();
    void lostFocus();
    // One of the control's access keys, or Enter / Esc where the container treats the control as
    // its default or cancel button.
    void accessKeyPress(std::string_view key);
    // An ambient property of the container changed (its name, as "DisplayAsDefault").
    void ambientChanged(std::string_view name);

    // The surface, as the control and the container see it.
    int scaleWidth() const;   // pixels
    int scaleHeight() const;  // pixels
    const draw::Surface& image() const { return raster_; }
    // GetPixel on the surface: nullopt outside it (CLR_INVALID).
    std::optional<draw::Rgb> point(int x, int y) const;
    bool inShape(int x, int y) const;
    int surfaceBackStyle() const { return backStyle_; }
    const PictureRef& surfacePicture() const { return picture_; }
    const PictureRef& surfaceMaskPicture() const { return maskPicture_; }
    draw::OleColour surfaceMaskColor() const { return maskColour_; }
    const FontRef& surfaceFont() const { return font_; }
    const std::string& AccessKeys() const { return accessKeys_; }
    int surfaceMousePointer() const { return mousePointer_; }
    const PictureRef& surfaceMouseIcon() const { return mouseIcon_; }
    bool surfaceRightToLeft() const { return rightToLeft_; }

    // The control's top-left corner on the screen, in pixels.
    draw::Point screenOrigin() const;
    // The screen's twips per pixel (15 at 96 dpi).
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    void setSurfaceBackStyle(int backStyle) { backStyle_ = backStyle; }
    void setSurfacePicture(PictureRef picture);
    void setSurfaceMaskPicture(PictureRef picture) { maskPicture_ = std::move(picture); }
    void setSurfaceMaskColor(draw::OleColour colour) { maskColour_ = colour; }
    void setSurfaceFont(FontRef font) { font_ = std::move(font); }
    void setAccessKeys(std::string keys) { accessKeys_ = std::move(keys); }
    void setSurfaceMousePointer(int pointer) { mousePointer_ = pointer; }
    void setSurfaceMouseIcon(PictureRef icon) { mouseIcon_ = std::move(icon); }
    void setSurfaceRightToLeft(bool rightToLeft) { rightToLeft_ = rightToLeft; }

    // The raster at the control's current pixel size (a size change keeps the pixels that still
    // fit and fills the new ones with the background colour).
    draw::Surface& canvas();

    // Text in the surface font, measured as it stands (an "&" is a character like any other).
    int textWidth(std::string_view text) const;
    int textHeight() const;
    struct TextStyle {
        bool prefix = false;        // "&x" underlines x, "&&" shows one "&"
        bool disabled = false;      // DrawState's embossed look
        bool rightAligned = false;  // DSS_RIGHT: right-aligned in a box as wide as the text
    };
    // One line with its top-left at (x, y), optionally cut to `clip`.
    void drawText(int x, int y, std::string_view text, draw::Rgb colour, TextStyle style,
                  std::optional<draw::Rect> clip = std::nullopt);

    // Handlers of the input entry points; by default nothing.
    virtual void onMouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void onMouseMove(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void onMouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {}
    virtual void onKeyDown(int /*keyCode*/, int /*shift*/) {}
    virtual void onKeyPress(int /*keyAscii*/) {}
    virtual void onKeyUp(int /*keyCode*/, int /*shift*/) {}
    virtual void onGotFocus() {}
    virtual void onLostFocus() {}
    virtual void onAccessKeyPress(std::string_view /*key*/) {}
    virtual void onAmbientChanged(std::string_view /*name*/) {}
    // The control's size changed (the raster already has the new size).
    virtual void onResize() {}

    // A user's click (the runner's "click"): the left button pressed and released at the centre.
    void onUserClick() override;
    void resized() final;

private:
    std::unique_ptr<ControlSite> site_;
    draw::Surface raster_;
    int backStyle_ = surfaceOpaque;
    PictureRef picture_;
    PictureRef maskPicture_;
    draw::OleColour maskColour_ = 0;
    FontRef font_ = std::make_shared<StdFont>();
    std::string accessKeys_;
    int mousePointer_ = 0;
    PictureRef mouseIcon_;
    bool rightToLeft_ = false;
};

} // namespace forms
