#include "platform/forms/FontDialog.h"

#include "platform/Failure.h"

namespace forms {

namespace {

constexpr double kMaxFontPoints = 2160.0;

bool usableSize(double points) { return points > 0 && points <= kMaxFontPoints; }

} // namespace

void FontDialog::setFontSize(double points)
{
    if (!usableSize(points))
        throw platform::Failure("Invalid property value", 380);
    font_.FontSize = points;
}

void FontDialog::ShowFont()
{
    if ((flags_ & cdlCFBoth) == 0)
        throw platform::Failure("No fonts exist", cdlNoFonts);
    std::optional<FontChoice> choice;
    if (chooser_)
        choice = chooser_(flags_, font_);
    // A chooser's answer the dialog could not have given (no face, a size it does not offer) is a
    // cancel rather than a font the controls would refuse later.
    if (!choice || choice->FontName.empty() || !usableSize(choice->FontSize)) {
        if (cancelError_)
            throw platform::Failure("Cancel was selected.", cdlCancel);
        return;
    }
    const draw::OleColour colour = font_.Color;
    font_ = std::move(*choice);
    if ((flags_ & cdlCFEffects) == 0)
        font_.Color = colour;
}

} // namespace forms
