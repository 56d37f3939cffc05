#pragma once
// Sizing and placing the popup: after every composition (and for the settings preview) the rows
// that are switched on are stacked from the top, the window takes the width its texts need
// (within bounds) or the size the user set, and it goes into one corner of the primary screen.
//
// Units: the popup works in twips; settings and constants are screen pixels. The twips-per-pixel
// factors come from the screen's DPI at every layout. Rounded to whole twips (halves to even)
// they convert the fixed margins and the corner distances; unrounded they convert the minimum
// width and the user's fixed width and height, so a fixed size is exact at any DPI.
//
// The layout also applies the user's colours, fonts and translucency (PopupStyle), starts or
// stops the auto-dismiss countdown and arms the ignored-items sweep.

#include <cstdint>

#include "notifier/core/NotifierServices.h"
#include "notifier/window/PopupContent.h"
#include "notifier/window/PopupStyle.h"

namespace qln {

class frmNewMail;

class PopupLayout {
public:
    // Minimum widths, in pixels, with small and with large system fonts.
    static constexpr std::int32_t kMinWidthSmallFonts = 200;
    static constexpr std::int32_t kMinWidthLargeFonts = 265;

    PopupLayout(frmNewMail& popup, NotifierServices& services, PopupStyle& style, ContentComposer& composer,
                PopupContent& content)
        : popup_(popup), services_(services), style_(style), composer_(composer), content_(content)
    {
    }

    // Lays the popup out for the composed content; `preview` reads the preview twins of the
    // settings (the display settings included) and never counts down.
    void LayoutPopup(bool preview);

    // The popup without an item: the inbox summary alone, at the minimum or the fixed size. The
    // countdown follows Dismiss and DismissTime as the last LayoutPopup read them.
    void LayoutSummaryOnly();

    // The minimum width in pixels for the system font now in use.
    std::int32_t minimumWidth() const;

private:
    struct SizeSettings;
    struct Factors;

    SizeSettings readSizeSettings(bool preview) const;
    Factors factors() const;
    void applyLooks(bool preview, const SizeSettings& sizes);
    void startOrStopCountdown();
    void putTexts();
    double fitWidth(const SizeSettings& sizes, const Factors& f);
    double stackRows(const Factors& f);
    void placeBands(double width, double height, const Factors& f);
    void placeWindow(double width, double height, const SizeSettings& sizes, const Factors& f);

    frmNewMail& popup_;
    NotifierServices& services_;
    PopupStyle& style_;
    ContentComposer& composer_;
    PopupContent& content_;

    // Dismiss and DismissTime as the last LayoutPopup read them (off in a preview).
    bool dismiss_ = false;
    std::int32_t dismissTime_ = 0;
};

} // namespace qln
