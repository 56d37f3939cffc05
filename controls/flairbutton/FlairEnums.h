#pragma once
// FlairButton's public enumerations, with the names and values hosts store and pass.

#include <cstdint>

namespace flair {

enum ButtonStyleEnum : std::int32_t {
    enmButtonStyleFlat = 0,
    enmButtonStyleXP = 1,
    enmButtonStyleSeperator = 2,
    enmButtonStyleHyperlink = 3,
};

enum ButtonStateEnum : std::int32_t {
    enmButtonStateNormal = 0,
    enmButtonStateOver = 1,
    enmButtonStateDown = 2,
    enmButtonStatePressed = 3,
    enmButtonStateUnPressed = 4,
    enmButtonStateDisabled = 5,
};

// The built-in pictures, by their index in the built-in image list (0 is no picture).
enum ButtonDefaultImageEnum : std::int16_t {
    enmButtonImageNone = 0,
    enmButtonImageBack,
    enmButtonImageBackOver,
    enmButtonImageForward,
    enmButtonImageForwardOver,
    enmButtonImageRefresh,
    enmButtonImageRefreshOver,
    enmButtonImageStop,
    enmButtonImageStopOver,
    enmButtonImageSearch,
    enmButtonImageSearchOver,
    enmButtonImageHome,
    enmButtonImageHomeOver,
    enmButtonImageFavourite,
    enmButtonImageFavouriteOver,
    enmButtonImageMedia,
    enmButtonImageMediaOver,
    enmButtonImageHistory,
    enmButtonImageHistoryOver,
    enmButtonImageEmail,
    enmButtonImageEmailOver,
    enmButtonImagePrint,
    enmButtonImagePrintOver,
    enmButtonImageCut,
    enmButtonImageCutDis,
    enmButtonImageCopy,
    enmButtonImageCopyDis,
    enmButtonImagePaste,
    enmButtonImagePasteDis,
    enmButtonImageClose,
    enmButtonImageCloseHighlight,
    enmButtonImageRed1,
    enmButtonImageRed2,
    enmButtonImageRed3,
    enmButtonImageRed4,
    enmButtonImageRed5,
    enmButtonImageRed6,
    enmButtonImageRed7,
    enmButtonImageRed8,
    enmButtonImageRed9,
    enmButtonImageRed0,
    enmButtonImageStart,
    enmButtonImagePrev,
    enmButtonImageNext,
    enmButtonImageEnd,
    enmButtonImageStartHighlight,
    enmButtonImagePrevHighlight,
    enmButtonImageNextHighlight,
    enmButtonImageEndHighlight,
};

inline constexpr int builtInImageCount = enmButtonImageEndHighlight;
static_assert(builtInImageCount == 48);

// The events' dispatch identifiers, as hosts that bind by number see them.
enum FlairEventId : std::int32_t {
    dispMouseEnter = 1,
    dispMouseExit = 2,
    dispMouseDown = 3,
    dispMouseUp = 4,
    dispMouseMove = 5,
    dispClick = 6,
    dispBeforeNavigate = 7,
    dispOnNavigate = 8,
    dispOnStateChange = 9,
};

} // namespace flair
