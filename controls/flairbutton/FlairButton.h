#pragma once
// FlairButton (DorveltFlairButton.FlairButton): a composite button of the options page: a caption
// label `lbl`, a right-aligned detail label `lblRight` and a state image `img` on a surface that
// the button paints in one of four looks (flat, XP-like, separator, hyperlink), with optional
// latching ("checked"), per-state pictures from image lists, a 1 ms timer `tmr` that notices the
// pointer leaving, and a web link opened in the default browser.
//
// Lifecycle: the constructor is the control's creation (caption at 45 twips, every image list the
// built-in one, the hyperlink pointer loaded). The container then runs InitProperties (a new
// instance in a designer) or ReadProperties (saved state); WriteProperties saves.
//
// Properties keep their names and do on assignment what the control's contract says: store,
// then the side effects (labels, image, repaint), then tell the site (ControlSite::
// propertyChanged) where the contract says so. Style and State outside their range throw
// platform::Failure 380 and keep their value. BackColor and ForeColor override the forms
// runtime's setters, so a form that sets them through a Control pointer reaches the button.
//
// The button paints only its background and edges into its raster; the parts are drawn over it
// when the form paints the button (paint), and the parts' own positions are in twips relative to
// the button. Mouse input on the parts is the button's own: the container delivers it to the
// button in the button's pixels.
//
// The code is split by concern: FlairButtonProperties.cpp (creation, properties, persistence,
// ambient changes), FlairButtonPaint.cpp (the painters, the latched checkerboard, layout and the
// composite paint), FlairButtonInput.cpp (mouse, timer, states, state images, events and
// navigation). FlairHyperlink opens a link; FlairImages draws the built-in pictures.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "controls/flairbutton/FlairEnums.h"
#include "controls/flairbutton/FlairImage.h"
#include "controls/flairbutton/FlairLabel.h"
#include "platform/FileSystem.h"
#include "platform/SystemInfo.h"
#include "platform/Timer.h"
#include "platform/draw/Colour.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/PropertyBag.h"
#include "platform/forms/UserControl.h"

namespace flair {

// The control's class identifier, as hosts create it.
inline constexpr const char* classId = "DorveltFlairButton.FlairButton";

class FlairButton : public forms::UserControl {
public:
    FlairButton(forms::Form& form, std::string name);
    ~FlairButton() override;

    // ----- properties -----
    const std::string& Caption() const { return lbl_.Caption(); }
    void setCaption(std::string caption);
    const std::string& CaptionDetail() const { return lblRight_.Caption(); }
    void setCaptionDetail(std::string caption);
    ButtonStyleEnum Style() const { return style_; }
    void setStyle(std::int32_t style);
    ButtonStateEnum State() const { return state_; }
    void setState(std::int32_t state);
    std::int16_t Image() const { return image_; }
    void setImage(std::int16_t index);
    std::int16_t ImageOver() const { return imageOver_; }
    void setImageOver(std::int16_t index);
    std::int16_t ImageDisabled() const { return imageDisabled_; }
    void setImageDisabled(std::int16_t index);
    const forms::ImageListRef& ImageList() const { return imageList_; }
    void setImageList(forms::ImageListRef list);
    const forms::ImageListRef& ImageListOver() const { return imageListOver_; }
    void setImageListOver(forms::ImageListRef list) { imageListOver_ = std::move(list); }
    const forms::ImageListRef& ImageListDisabled() const { return imageListDisabled_; }
    void setImageListDisabled(forms::ImageListRef list) { imageListDisabled_ = std::move(list); }
    bool Checked() const { return checked_; }
    void setChecked(bool checked) { checked_ = checked; }
    bool Locked() const { return locked_; }
    void setLocked(bool locked) { locked_ = locked; }
    // BackColor() and ForeColor() are the stored properties.
    void setBackColor(draw::OleColour colour) override;
    void setForeColor(draw::OleColour colour) override;
    // The surface's font object, shared with whoever set it; the labels draw with copies of it.
    const forms::FontRef& Font() const { return surfaceFont(); }
    void setFont(forms::FontRef font);
    const std::string& Hyperlink() const { return hyperlink_; }
    void setHyperlink(std::string url);

    // ----- methods -----
    // Repaints in the current state's look.
    void Refresh();
    void InitProperties();
    void ReadProperties(const forms::PropertyBag& bag);
    void WriteProperties(forms::PropertyBag& bag) const;
    platform::WindowHandle hWnd() const;

    // Where the button finds the file system and the folder for the browser lookup's temporary
    // file. Without them (the default) a link cannot be opened; the desktop is the form's.
    void setHyperlinkServices(platform::FileSystem* files, platform::SystemInfo* system);

    // ----- events (Click is Control's) -----
    std::function<void()> MouseEnter;
    std::function<void()> MouseExit;
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> MouseDown;
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> MouseUp;
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> MouseMove;
    std::function<void(bool& cancel)> BeforeNavigate;
    std::function<void(const std::string& hyperlink)> OnNavigate;
    std::function<void(std::int32_t status)> OnStateChange;

    // ----- parts and instance state, for the container and tests -----
    const FlairLabel& lbl() const { return lbl_; }
    const FlairLabel& lblRight() const { return lblRight_; }
    const FlairImage& img() const { return img_; }
    const platform::Timer& tmr() const { return tmr_; }
    bool CaptionShifted() const { return captionShifted_; }
    // The colour the painters last cleared the surface to.
    draw::OleColour surfaceBackColor() const { return surfaceBack_; }
    // The surface with the parts drawn over it, as the screen shows the button.
    draw::Surface composed() const;

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    void onMouseDown(int button, int shift, int x, int y) override;
    void onMouseMove(int button, int shift, int x, int y) override;
    void onMouseUp(int button, int shift, int x, int y) override;
    void onAmbientChanged(std::string_view name) override;
    void onResize() override;

private:
    // Painting and layout (FlairButtonPaint.cpp).
    void repaint();
    void PaintNormal();
    void PaintOver();
    void PaintDown();
    void PaintPressed();
    void clearSurface();
    void drawSeparator();
    void drawEdges(bool sunken);
    void drawXPFrame();
    void DitherChecked();
    void setLabelColour(draw::OleColour colour);
    void keepDisabledLook();
    void Layout();
    void placeCaption();
    void placeDetail();
    void shiftParts(double by);
    int twipsWidth() const;
    int twipsHeight() const;

    // Properties (FlairButtonProperties.cpp).
    void notify(std::string_view name);
    void applyFont(const forms::StdFont& font);

    // Input, states and navigation (FlairButtonInput.cpp).
    void ShowStateImage();
    void tmr_Timer();
    void navigate();
    void raiseStateChange();
    bool isFlat() const { return style_ == enmButtonStyleFlat; }
    bool isXP() const { return style_ == enmButtonStyleXP; }
    bool isHyperlink() const { return style_ == enmButtonStyleHyperlink; }

    FlairLabel lbl_;
    FlairLabel lblRight_;
    FlairImage img_;
    platform::Timer tmr_;

    ButtonStyleEnum style_ = enmButtonStyleFlat;
    ButtonStateEnum state_ = enmButtonStateNormal;
    forms::ImageListRef imageList_;
    forms::ImageListRef imageListOver_;
    forms::ImageListRef imageListDisabled_;
    std::int16_t image_ = 0;
    std::int16_t imageOver_ = 0;
    std::int16_t imageDisabled_ = 0;
    bool checked_ = false;
    bool locked_ = false;
    std::string hyperlink_;
    bool captionShifted_ = false;
    draw::OleColour surfaceBack_ = draw::systemOleColour(draw::syscolour::ButtonFace);

    platform::FileSystem* files_ = nullptr;
    platform::SystemInfo* system_ = nullptr;
};

} // namespace flair
