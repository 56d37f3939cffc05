#pragma once
// A font object of the kind ActiveX hosts hand to controls (OLE's StdFont): a face, a size in
// points and four attributes. Controls keep it by shared reference, so a change made through one
// holder is seen by every other holder of the same object.

#include <memory>
#include <string>

#include "platform/FontEngine.h"

namespace forms {

struct StdFont {
    std::string Name = "MS Sans Serif";
    double Size = 8.0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;

    // What the font engines draw (they know no strikethrough; painters add it themselves).
    platform::FontSpec fontSpec() const { return {Name, Size, Bold, Italic, Underline}; }

    friend bool operator==(const StdFont&, const StdFont&) = default;
};

using FontRef = std::shared_ptr<StdFont>;

// A new font object with the same attributes.
inline FontRef cloneFont(const StdFont& font) { return std::make_shared<StdFont>(font); }

} // namespace forms
