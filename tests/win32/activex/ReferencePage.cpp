#include "ReferencePage.h"

namespace activex_tests {

RECT boxOf(const forms::Control& control)
{
    draw::Point origin{0, 0};
    if (const forms::Control* container = control.Container()) {
        const RECT outer = boxOf(*container);
        origin = {outer.left, outer.top};
    }
    const draw::Rect r = control.pixelBounds(origin);
    return RECT{r.left, r.top, r.right, r.bottom};
}

} // namespace activex_tests
