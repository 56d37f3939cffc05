#include "platform/forms/Slider.h"

#include <algorithm>

#include "platform/Failure.h"
#include "platform/forms/InputControl.h"

namespace forms {

namespace {

constexpr int kChannelInset = 12;
constexpr int kChannelHeight = 4;
constexpr int kThumbWidth = 11;
constexpr int kThumbHeight = 21;
constexpr int kTickGap = 2;  // between the thumb's bottom and the ticks
constexpr int kTickHeight = 4;

[[noreturn]] void refuse() { throw platform::Failure("Invalid property value", 380); }

} // namespace

void Slider::setMin(int min)
{
    if (min > max_)
        refuse();
    if (min_ == min)
        return;
    min_ = min;
    invalidate();
    if (value_ < min_)
        setValue(min_);
}

void Slider::setMax(int max)
{
    if (max < min_)
        refuse();
    if (max_ == max)
        return;
    max_ = max;
    invalidate();
    if (value_ > max_)
        setValue(max_);
}

void Slider::setValue(int value)
{
    if (value < min_ || value > max_)
        refuse();
    if (value_ == value)
        return;
    value_ = value;
    invalidate();
    if (Change)
        Change();
}

void Slider::setTickFrequency(int frequency)
{
    if (frequency < 0)
        refuse();
    if (tickFrequency_ == frequency)
        return;
    tickFrequency_ = frequency;
    invalidate();
}

void Slider::setSmallChange(int change)
{
    if (change < 0)
        refuse();
    smallChange_ = change;
}

void Slider::setLargeChange(int change)
{
    if (change < 0)
        refuse();
    largeChange_ = change;
}

void Slider::userSlide(int position)
{
    if (!reactsToUser())
        return;
    const int target = std::clamp(position, min_, max_);
    if (target == value_)
        return;
    value_ = target;
    invalidate();
    if (Scroll)
        Scroll();
    // The Scroll handler may have set Value itself; Change reports the move either way.
    if (Change)
        Change();
}

void Slider::userKey(int keyCode, int)
{
    // Wide ranges: the sums are taken in 64 bits before they are held to the range.
    long long target = value_;
    switch (keyCode) {
    case InputControl::vbKeyLeft:
    case InputControl::vbKeyUp:
        target -= smallChange_;
        break;
    case InputControl::vbKeyRight:
    case InputControl::vbKeyDown:
        target += smallChange_;
        break;
    case InputControl::vbKeyPageUp:
        target -= largeChange_;
        break;
    case InputControl::vbKeyPageDown:
        target += largeChange_;
        break;
    case InputControl::vbKeyHome:
        target = min_;
        break;
    case InputControl::vbKeyEnd:
        target = max_;
        break;
    default:
        return;
    }
    userSlide(static_cast<int>(std::clamp<long long>(target, min_, max_)));
}

draw::Rect Slider::channelBounds(const draw::Rect& box)
{
    const int top = box.top + box.height() / 3 - kChannelHeight / 2;
    return {box.left + kChannelInset, top, box.right - kChannelInset, top + kChannelHeight};
}

int Slider::columnOf(int position, const draw::Rect& channel) const
{
    // The thumb's centre travels the channel less a pixel at either end.
    const long long span = static_cast<long long>(max_) - min_;
    const long long travel = std::max(channel.width() - 2, 0);
    const long long offset = span == 0 ? 0 : (static_cast<long long>(position) - min_) * travel / span;
    return channel.left + 1 + static_cast<int>(offset);
}

draw::Rect Slider::thumbBounds(const draw::Rect& box) const
{
    const draw::Rect channel = channelBounds(box);
    const int centreX = columnOf(value_, channel);
    const int centreY = channel.top + kChannelHeight / 2;
    return draw::Rect::ofSize(centreX - kThumbWidth / 2, centreY - kThumbHeight / 2, kThumbWidth, kThumbHeight);
}

draw::Point Slider::pointOf(int position, const draw::Rect& box) const
{
    const draw::Rect channel = channelBounds(box);
    return {columnOf(std::clamp(position, min_, max_), channel), channel.top + kChannelHeight / 2};
}

int Slider::positionAt(int x, const draw::Rect& box) const
{
    const draw::Rect channel = channelBounds(box);
    const long long span = static_cast<long long>(max_) - min_;
    const long long travel = std::max(channel.width() - 2, 0);
    if (span == 0 || travel == 0)
        return min_;
    const long long offset = std::clamp<long long>(x - (channel.left + 1), 0, travel);
    // The nearest position: half a step rounds up.
    const long long position = min_ + (offset * span * 2 + travel) / (travel * 2);
    return static_cast<int>(std::clamp<long long>(position, min_, max_));
}

void Slider::paint(draw::Surface& surface, draw::Point origin) const
{
    using namespace draw::syscolour;
    const draw::Rect box = pixelBounds(origin);
    const draw::Rgb back = draw::resolveColour(BackColor());
    surface.fillRect(box, back);

    const draw::Rect channel = channelBounds(box);
    surface.fillRect(channel, draw::systemColour(ButtonShadow));
    surface.fillRect({channel.left + 1, channel.top + 1, channel.right, channel.bottom},
                     draw::systemColour(ButtonHighlight));
    surface.fillRect({channel.left + 1, channel.top + 1, channel.right - 1, channel.bottom - 1},
                     draw::systemColour(DarkShadow3D));

    const draw::Rect thumb = thumbBounds(box);
    surface.fillRect(thumb, back);
    const draw::Rgb light = Enabled() ? draw::systemColour(ButtonHighlight) : back;
    // A raised edge as a push button has: lit top and left, dark bottom and right.
    surface.fillRect({thumb.left, thumb.bottom - 1, thumb.right, thumb.bottom}, draw::systemColour(DarkShadow3D));
    surface.fillRect({thumb.right - 1, thumb.top, thumb.right, thumb.bottom}, draw::systemColour(DarkShadow3D));
    surface.fillRect({thumb.left, thumb.top, thumb.right - 1, thumb.top + 1}, light);
    surface.fillRect({thumb.left, thumb.top, thumb.left + 1, thumb.bottom - 1}, light);
    surface.fillRect({thumb.left + 1, thumb.bottom - 2, thumb.right - 1, thumb.bottom - 1},
                     draw::systemColour(ButtonShadow));
    surface.fillRect({thumb.right - 2, thumb.top + 1, thumb.right - 1, thumb.bottom - 1},
                     draw::systemColour(ButtonShadow));

    const draw::Rgb tickColour = draw::systemColour(Enabled() ? WindowText : GrayText);
    const int tickTop = thumb.bottom + kTickGap;
    const auto tick = [&](int position) {
        surface.fillRect(draw::Rect::ofSize(columnOf(position, channel), tickTop, 1, kTickHeight), tickColour);
    };
    tick(min_);
    const long long span = static_cast<long long>(max_) - min_;
    if (tickFrequency_ > 0 && span / tickFrequency_ > channel.width()) {
        // More ticks than columns: they run together into one bar.
        surface.fillRect({columnOf(min_, channel), tickTop, columnOf(max_, channel), tickTop + kTickHeight}, tickColour);
    } else if (tickFrequency_ > 0) {
        for (long long position = static_cast<long long>(min_) + tickFrequency_; position < max_;
             position += tickFrequency_)
            tick(static_cast<int>(position));
    }
    tick(max_);
    if (isActiveControl())
        surface.drawFocusRect(box);
}

} // namespace forms
