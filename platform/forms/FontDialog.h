#pragma once
// The common font dialog (the CommonDialog control's ShowFont), a host service: the dialog itself
// is whatever the program's host supplies as a Chooser (the Windows font dialog, the scenario
// runner's prepared answer, a test's lambda). Without one every ShowFont is a cancel.
//
// The object keeps the font and colour between showings: ShowFont starts the dialog from them and
// stores the choice, or leaves them as they were on a cancel, which raises platform::Failure
// (32755, cdlCancel) when CancelError is on. As the control does, ShowFont refuses to open
// without one of the font-list flags (platform::Failure 24574, "No fonts exist"), and the colour
// is taken from the choice only with cdlCFEffects.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/draw/Colour.h"

namespace forms {

// What the dialog shows and returns.
struct FontChoice {
    std::string FontName = "MS Sans Serif";
    double FontSize = 8;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    draw::OleColour Color = 0;
    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

class FontDialog {
public:
    static constexpr std::int32_t cdlCancel = 32755;
    static constexpr std::int32_t cdlNoFonts = 24574;
    static constexpr std::int32_t cdlCFScreenFonts = 0x1;
    static constexpr std::int32_t cdlCFPrinterFonts = 0x2;
    static constexpr std::int32_t cdlCFBoth = 0x3;
    static constexpr std::int32_t cdlCFEffects = 0x100;

    // The dialog: given the flags and the font it opens with, the user's choice, or nullopt for
    // Cancel.
    using Chooser = std::function<std::optional<FontChoice>(std::int32_t flags, const FontChoice& current)>;

    FontDialog() = default;
    explicit FontDialog(Chooser chooser) : chooser_(std::move(chooser)) {}
    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    const FontChoice& font() const { return font_; }
    const std::string& FontName() const { return font_.FontName; }
    void setFontName(std::string face) { font_.FontName = std::move(face); }
    // Throws platform::Failure (380) for a size that is not above 0 and up to 2160 points.
    double FontSize() const { return font_.FontSize; }
    void setFontSize(double points);
    bool FontBold() const { return font_.FontBold; }
    void setFontBold(bool bold) { font_.FontBold = bold; }
    draw::OleColour Color() const { return font_.Color; }
    void setColor(draw::OleColour colour) { font_.Color = colour; }

    std::int32_t Flags() const { return flags_; }
    void setFlags(std::int32_t flags) { flags_ = flags; }
    bool CancelError() const { return cancelError_; }
    void setCancelError(bool cancelError) { cancelError_ = cancelError; }

    // Shows the dialog and waits for the user.
    void ShowFont();

private:
    Chooser chooser_;
    FontChoice font_;
    std::int32_t flags_ = 0;
    bool cancelError_ = false;
};

} // namespace forms
