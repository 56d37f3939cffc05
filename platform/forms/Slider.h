#pragma once
// A horizontal slider (MSComctlLib's Slider, the track bar): an integer Value between Min and Max.
//
// Value outside Min..Max is refused (platform::Failure 380, invalid property value), and so is a
// Min above Max or a Max below Min. A new bound that leaves Value outside brings Value to it, as
// the track bar keeps its position in range. Change is raised whenever Value changes, by code, by
// such a bound or by the user;
// Scroll only while the user moves the thumb, before that move's Change. By default Min 0, Max 10,
// Value 0, TickFrequency 1, SmallChange 1, LargeChange 5.
//
// The user drags the thumb to a position (userSlide: held to the range, as the thumb stops at the
// ends of its channel; with the mouse, the left button pressed on the slider puts the thumb under
// the pointer and it follows the pointer while the button is held: positionAt) or moves it with keys (userKey): Left and Up by SmallChange, Right and Down
// by SmallChange the other way, PageUp and PageDown by LargeChange, Home and End to the ends.
//
// Painted in the classic look on BackColor: a sunken channel four pixels high across the box, 12
// pixels in from either end, at a third of the box's height; a raised 11 x 21 thumb centred on the
// channel at Value's place (grey when disabled, without the face's highlight); below it a tick
// one pixel wide and four high at Min, at every TickFrequency step from Min and at Max, in the
// window text colour (grey when disabled); a dotted focus frame round the box while the slider is
// its form's ActiveControl.

#include <functional>

#include "platform/forms/Control.h"

namespace forms {

class Slider : public Control {
public:
    using Control::Control;

    int Min() const { return min_; }
    void setMin(int min);
    int Max() const { return max_; }
    void setMax(int max);
    int Value() const { return value_; }
    void setValue(int value);
    // Throws platform::Failure (380) below 0; 0 shows no ticks but the ends'.
    int TickFrequency() const { return tickFrequency_; }
    void setTickFrequency(int frequency);
    int SmallChange() const { return smallChange_; }
    void setSmallChange(int change);
    int LargeChange() const { return largeChange_; }
    void setLargeChange(int change);

    std::function<void()> Change;
    std::function<void()> Scroll;

    // The user drags the thumb to `position`.
    void userSlide(int position);
    // The user presses a key while the slider has the focus.
    void userKey(int keyCode, int shift);

    // The thumb's box in pixels for the control's box (for tests and the runner's pointer).
    draw::Rect thumbBounds(const draw::Rect& box) const;
    // Where the thumb's centre stands at `position` (held to the range), for the control's box.
    draw::Point pointOf(int position, const draw::Rect& box) const;
    // The position whose thumb centre is nearest the pixel column x, held to the range: where the
    // thumb goes while the left button holds it there.
    int positionAt(int x, const draw::Rect& box) const;

    void paint(draw::Surface& surface, draw::Point origin) const override;

private:
    // The channel's box in pixels for the control's box.
    static draw::Rect channelBounds(const draw::Rect& box);
    // The pixel column of a position on the channel.
    int columnOf(int position, const draw::Rect& channel) const;

    int min_ = 0;
    int max_ = 10;
    int value_ = 0;
    int tickFrequency_ = 1;
    int smallChange_ = 1;
    int largeChange_ = 5;
};

} // namespace forms
