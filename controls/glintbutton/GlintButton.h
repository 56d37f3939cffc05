#pragma once
// GlintButton (btGlintButton.GlintButton): a push button drawn from five per-state skin pictures
// cut out by a mask colour, or by its own flat, 3D and XP-like painters, with a wrapped caption,
// hover tracking and a toggle style. The popup carries nine of them.
//
// Lifecycle: the constructor is the control's creation (RunMode True, caption laid out). The
// container then either runs InitProperties (a new instance, no saved state) or ReadProperties
// (saved state); WriteProperties saves. Until one of them ran, VisualState is StateDown.
//
// Properties keep their names. Assignments do what the control's contract says, no more: store,
// then repaint (Refresh), relayout (LayoutCaption, which repaints) and tell the site
// (ControlSite::propertyChanged), several of them only when the value differs. Enumerated
// properties outside their range throw platform::Failure 380 (invalid property value) and keep
// their value. Enabled, BackColor and ForeColor override the forms runtime's setters, so a form
// that sets them through a Control pointer reaches the button's own state.
//
// The code is split by concern: GlintButtonProperties.cpp (properties, skin switching, access
// key, asynchronous skins, persistence), GlintButtonPaint.cpp (Refresh and the painters),
// GlintButtonLayout.cpp (caption wrapping and drawing), GlintButtonInput.cpp (mouse, hover
// timer, keys, focus, events).

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Timer.h"
#include "platform/draw/Colour.h"
#include "platform/forms/PropertyBag.h"
#include "platform/forms/UserControl.h"

namespace glint {

enum AppearanceConstants : std::int32_t { btFlat = 0, btFlatWithBorder = 1, bt3D = 2, btXP = 3, btSkin = 4 };
enum StyleConstants : std::int32_t { Default = 0, Toggle = 1 };
enum BackStyleConstants : std::int32_t { btTransparent = 0, btOpaque = 1 };
enum ValueConstants : std::int32_t { Down = 0, Up = 1 };
enum EnumVertAlignConstants : std::int32_t { AlignTop = 0, AlignCenter = 1, AlignBottom = 2 };
enum EnumHorzAlignConstants : std::int32_t { AlignLeft = 0, AlignMiddle = 1, AlignRight = 2 };

// VisualState: the look a repaint shows.
enum VisualStates : std::int32_t { StateDown = 0, StateUp = 1, StateOver = 2, StateDisabled = 3 };

// The class's name, the caption of a new instance before the host names it.
inline constexpr const char* className = "GlintButton";

// One row of the wrapped caption.
struct CaptionLine {
    std::string text;
    int top = 0;   // Y, pixels
    int left = 0;  // X, pixels
    friend bool operator==(const CaptionLine&, const CaptionLine&) = default;
};

// The arguments an event is raised with; which of them an event uses is its own affair.
struct EventArguments {
    std::int16_t code = 0;   // Button, KeyCode or KeyAscii
    std::int16_t shift = 0;  // Shift
    float x = 0;             // twips
    float y = 0;             // twips
};

class GlintButton : public forms::UserControl {
public:
    GlintButton(forms::Form& form, std::string name);
    ~GlintButton() override;

    // The five skins, in the order of their properties.
    enum Skin { SkinDisabledIndex, SkinDownIndex, SkinFocusIndex, SkinOverIndex, SkinUpIndex, SkinCount };

    // ----- properties -----
    AppearanceConstants Appearance() const { return appearance_; }
    void setAppearance(std::int32_t appearance);
    bool AutoMask() const { return autoMask_; }
    void setAutoMask(bool autoMask);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    // BackColor() and ForeColor() are the surface's, which these keep equal to the stored values.
    void setBackColor(draw::OleColour colour) override;
    BackStyleConstants BackStyle() const { return backStyle_; }
    void setBackStyle(std::int32_t backStyle);
    draw::OleColour BorderColor() const { return borderColor_; }
    void setBorderColor(draw::OleColour colour);
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);
    EnumHorzAlignConstants CaptionAlignHorz() const { return alignHorz_; }
    void setCaptionAlignHorz(std::int32_t align);
    EnumVertAlignConstants CaptionAlignVert() const { return alignVert_; }
    void setCaptionAlignVert(std::int32_t align);
    std::int32_t CaptionOffsetX() const { return offsetX_; }
    void setCaptionOffsetX(std::int32_t pixels);
    std::int32_t CaptionOffsetY() const { return offsetY_; }
    void setCaptionOffsetY(std::int32_t pixels);
    void setEnabled(bool enabled) override;
    const forms::FontRef& Font() const { return font_; }
    void setFont(forms::FontRef font);
    bool FontBold() const { return font_->Bold; }
    void setFontBold(bool bold);
    bool FontItalic() const { return font_->Italic; }
    void setFontItalic(bool italic);
    bool FontStrikethru() const { return font_->Strikethrough; }
    void setFontStrikethru(bool strikethru);
    bool FontUnderline() const { return font_->Underline; }
    void setFontUnderline(bool underline);
    const std::string& FontName() const { return font_->Name; }
    void setFontName(std::string name);
    double FontSize() const { return font_->Size; }
    // Throws platform::Failure 380 for a size that is not a number above 0 and up to 2160 points.
    void setFontSize(double points);
    void setForeColor(draw::OleColour colour) override;
    draw::OleColour HighlightColor() const { return highlightColor_; }
    void setHighlightColor(draw::OleColour colour);
    platform::WindowHandle hWnd() const;
    draw::OleColour MaskColor() const { return maskColor_; }
    void setMaskColor(draw::OleColour colour);
    const forms::PictureRef& MouseIcon() const { return mouseIcon_; }
    void setMouseIcon(forms::PictureRef icon);
    std::int32_t MousePointer() const { return mousePointer_; }
    void setMousePointer(std::int32_t pointer);
    bool RightToLeft() const { return rightToLeft_; }
    void setRightToLeft(bool rightToLeft);
    bool ShowFocus() const { return showFocus_ != 0; }
    void setShowFocus(bool showFocus);
    const forms::PictureRef& SkinDisabled() const { return skins_[SkinDisabledIndex]; }
    const forms::PictureRef& SkinDown() const { return skins_[SkinDownIndex]; }
    const forms::PictureRef& SkinFocus() const { return skins_[SkinFocusIndex]; }
    const forms::PictureRef& SkinOver() const { return skins_[SkinOverIndex]; }
    const forms::PictureRef& SkinUp() const { return skins_[SkinUpIndex]; }
    void setSkinDisabled(forms::PictureRef picture) { setSkin(SkinDisabledIndex, std::move(picture)); }
    void setSkinDown(forms::PictureRef picture) { setSkin(SkinDownIndex, std::move(picture)); }
    void setSkinFocus(forms::PictureRef picture) { setSkin(SkinFocusIndex, std::move(picture)); }
    void setSkinOver(forms::PictureRef picture) { setSkin(SkinOverIndex, std::move(picture)); }
    void setSkinUp(forms::PictureRef picture) { setSkin(SkinUpIndex, std::move(picture)); }
    const forms::PictureRef& skin(Skin which) const { return skins_[which]; }
    void setSkin(Skin which, forms::PictureRef picture);
    const std::string& SkinDisabledPath() const { return skinPaths_[SkinDisabledIndex]; }
    const std::string& SkinDownPath() const { return skinPaths_[SkinDownIndex]; }
    const std::string& SkinFocusPath() const { return skinPaths_[SkinFocusIndex]; }
    const std::string& SkinOverPath() const { return skinPaths_[SkinOverIndex]; }
    const std::string& SkinUpPath() const { return skinPaths_[SkinUpIndex]; }
    void setSkinDisabledPath(std::string path) { setSkinPath(SkinDisabledIndex, std::move(path)); }
    void setSkinDownPath(std::string path) { setSkinPath(SkinDownIndex, std::move(path)); }
    void setSkinFocusPath(std::string path) { setSkinPath(SkinFocusIndex, std::move(path)); }
    void setSkinOverPath(std::string path) { setSkinPath(SkinOverIndex, std::move(path)); }
    void setSkinUpPath(std::string path) { setSkinPath(SkinUpIndex, std::move(path)); }
    const std::string& skinPath(Skin which) const { return skinPaths_[which]; }
    void setSkinPath(Skin which, std::string path);
    StyleConstants Style() const { return style_; }
    void setStyle(std::int32_t style);
    ValueConstants Value() const { return value_; }
    void setValue(std::int32_t value);
    std::int32_t WhatsThisHelpID() const { return whatsThisHelpID_; }
    void setWhatsThisHelpID(std::int32_t id);

    // ----- methods -----
    void Refresh();
    // First initialisation of a new instance, loading and saving of its properties.
    void InitProperties();
    void ReadProperties(const forms::PropertyBag& bag);
    void WriteProperties(forms::PropertyBag& bag) const;
    // A completed asynchronous read of a skin path.
    void AsyncReadComplete(const forms::AsyncReadResult& result);
    // Raises an event by name; MouseEnter and MouseExit only when the other one was raised last
    // (or neither). Unknown names raise nothing.
    void RaiseNamedEvent(std::string_view name, EventArguments arguments = {});

    // ----- events (Click is Control's) -----
    std::function<void(std::int16_t keyCode, std::int16_t shift)> KeyDown;
    std::function<void(std::int16_t keyAscii)> KeyPress;
    std::function<void(std::int16_t keyCode, std::int16_t shift)> KeyUp;
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> MouseDown;
    std::function<void()> MouseEnter;
    std::function<void()> MouseExit;
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> MouseMove;
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> MouseUp;
    std::function<void()> Resize;

    // ----- instance state, for the container and tests -----
    VisualStates VisualState() const { return visualState_; }
    bool HasFocus() const { return hasFocus_; }
    bool RunMode() const { return runMode_; }
    const std::string& LastHoverEvent() const { return lastHoverEvent_; }
    const std::vector<CaptionLine>& CaptionLines() const { return captionLines_; }
    draw::Rgb ShadeLight() const { return shadeLight_; }
    draw::Rgb ShadeDark() const { return shadeDark_; }
    draw::Rgb ShadeDarkest() const { return shadeDarkest_; }
    bool CaptionDirty() const { return captionDirty_; }
    const platform::Timer& tmrOverTimer() const { return tmrOverTimer_; }
    // Repaints started, for tests that count them.
    int refreshCount() const { return refreshes_; }

    // The property names of the skins and their paths, in Skin order.
    static constexpr std::array<const char*, SkinCount> skinNames{"SkinDisabled", "SkinDown", "SkinFocus",
                                                                  "SkinOver", "SkinUp"};
    static constexpr std::array<const char*, SkinCount> skinPathNames{
        "SkinDisabledPath", "SkinDownPath", "SkinFocusPath", "SkinOverPath", "SkinUpPath"};

protected:
    void onMouseDown(int button, int shift, int x, int y) override;
    void onMouseMove(int button, int shift, int x, int y) override;
    void onMouseUp(int button, int shift, int x, int y) override;
    void onKeyDown(int keyCode, int shift) override;
    void onKeyPress(int keyAscii) override;
    void onKeyUp(int keyCode, int shift) override;
    void onGotFocus() override;
    void onLostFocus() override;
    void onAccessKeyPress(std::string_view key) override;
    void onAmbientChanged(std::string_view name) override;
    void onResize() override;

private:
    // Painting (GlintButtonPaint.cpp).
    void repaint();
    void PaintSkin();
    void PaintClassic();
    void PaintXP();
    void DrawFocus();
    // The classic painters' and the skin's idea of focus.
    bool focused() const { return runMode_ && hasFocus_; }

    // Caption (GlintButtonLayout.cpp).
    void LayoutCaption();
    void DrawCaption();

    // Properties (GlintButtonProperties.cpp).
    void notify(std::string_view name);
    bool noSkinLoaded() const;
    void applyAccessKey();
    void fontChanged();
    void sizeToPicture(const forms::PictureRef& picture);
    void storeVisualState(VisualStates state) { visualState_ = state; }

    // Input (GlintButtonInput.cpp).
    void tmrOverTimer_Timer();
    bool overButton(int x, int y) const;
    EventArguments mouseArguments(int button, int shift, int x, int y) const;

    std::string lastHoverEvent_;
    VisualStates visualState_ = StateDown;
    bool hasFocus_ = false;
    std::vector<CaptionLine> captionLines_{CaptionLine{}};
    bool runMode_ = true;
    draw::Rgb shadeLight_{};
    draw::Rgb shadeDark_{};
    draw::Rgb shadeDarkest_{};
    bool captionDirty_ = false;

    AppearanceConstants appearance_ = bt3D;
    bool autoMask_ = true;
    bool autoSize_ = true;
    BackStyleConstants backStyle_ = btTransparent;
    draw::OleColour borderColor_ = 0;
    std::string caption_;
    EnumHorzAlignConstants alignHorz_ = AlignMiddle;
    EnumVertAlignConstants alignVert_ = AlignCenter;
    std::int32_t offsetX_ = 0;
    std::int32_t offsetY_ = 0;
    forms::FontRef font_;
    draw::OleColour highlightColor_ = draw::systemOleColour(draw::syscolour::ButtonText);
    draw::OleColour maskColor_ = 0;
    forms::PictureRef mouseIcon_;
    std::int32_t mousePointer_ = 0;
    bool rightToLeft_ = false;
    std::int32_t showFocus_ = 1;
    std::array<forms::PictureRef, SkinCount> skins_;
    std::array<std::string, SkinCount> skinPaths_;
    StyleConstants style_ = Default;
    ValueConstants value_ = Up;
    std::int32_t whatsThisHelpID_ = 0;

    platform::Timer tmrOverTimer_;
    int refreshes_ = 0;
};

} // namespace glint
