#include "platform/forms/TabStrip.h"

#include <algorithm>

#include "platform/Failure.h"

namespace forms {

namespace {

constexpr int kTabPadding = 6;   // caption to tab edge, either side
constexpr int kTabExtra = 6;     // tab height beyond the caption's line
constexpr int kRowInset = 2;     // room for the current tab to grow
constexpr int kCurrentGrowth = 2;
constexpr int kBodyEdge = 2;
constexpr int kPaneInset = 4;    // pane to body edge

} // namespace

std::vector<std::string> TabStrip::splitCaption() const
{
    std::vector<std::string> tabs;
    const std::string& caption = Caption();
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = caption.find('|', start);
        tabs.push_back(caption.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return tabs;
        start = bar + 1;
    }
}

std::string TabStrip::TabCaption(int index) const
{
    const std::vector<std::string> tabs = splitCaption();
    return index >= 0 && index < static_cast<int>(tabs.size()) ? tabs[static_cast<std::size_t>(index)] : std::string();
}

void TabStrip::setCurrentTab(int index)
{
    if (index < 0 || index >= Tabs())
        throw platform::Failure("Invalid property value", 380);
    if (currentTab_ == index)
        return;
    currentTab_ = index;
    placePanes();
    invalidate();
    raiseClick();
}

void TabStrip::setTabPane(int index, Control& pane)
{
    if (index < 0)
        throw platform::Failure("Invalid property value", 380);
    pane.setContainer(this);
    std::replace(panes_.begin(), panes_.end(), &pane, static_cast<Control*>(nullptr));
    if (static_cast<std::size_t>(index) >= panes_.size())
        panes_.resize(static_cast<std::size_t>(index) + 1, nullptr);
    panes_[static_cast<std::size_t>(index)] = &pane;
    placePanes();
}

Control* TabStrip::tabPane(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < panes_.size() ? panes_[static_cast<std::size_t>(index)]
                                                                          : nullptr;
}

void TabStrip::userClickTab(int index)
{
    if (index < 0 || index >= Tabs() || index == currentTab_ || !reactsToUser())
        return;
    bool cancel = false;
    if (Switch)
        Switch(currentTab_, index, cancel);
    if (cancel || index >= Tabs())
        return;
    setCurrentTab(index);
}

void TabStrip::textChanged()
{
    currentTab_ = std::min(currentTab_, Tabs() - 1);
    placePanes();
}

int TabStrip::rowHeight() const
{
    return platform::valueOr(0, [&] { return layout().lineHeight(); }) + kTabExtra;
}

draw::Rect TabStrip::paneArea() const
{
    const int width = pixelsX(Width());
    const int height = pixelsY(Height());
    const int bodyTop = kRowInset + rowHeight();
    return {kPaneInset, bodyTop + kPaneInset, std::max(width - kPaneInset, kPaneInset),
            std::max(height - kPaneInset, bodyTop + kPaneInset)};
}

draw::Rect TabStrip::tabBounds(int index) const
{
    const std::vector<std::string> tabs = splitCaption();
    if (index < 0 || index >= static_cast<int>(tabs.size()))
        return {};
    const fonts::TextLayout measure = layout();
    int left = kRowInset;
    for (int i = 0; i < index; ++i)
        left += measure.textWidth(tabs[static_cast<std::size_t>(i)]) + 2 * kTabPadding;
    const int width = measure.textWidth(tabs[static_cast<std::size_t>(index)]) + 2 * kTabPadding;
    return draw::Rect::ofSize(left, kRowInset, width, rowHeight());
}

void TabStrip::placePanes()
{
    const draw::Rect area = paneArea();
    for (std::size_t tab = 0; tab < panes_.size(); ++tab) {
        Control* pane = panes_[tab];
        if (!pane)
            continue;
        pane->move(twipsX(area.left), twipsY(area.top), twipsX(area.width()), twipsY(area.height()));
        pane->setVisible(static_cast<int>(tab) == currentTab_);
    }
}

void TabStrip::paint(draw::Surface& surface, draw::Point origin) const
{
    using namespace draw::syscolour;
    const draw::Rect box = pixelBounds(origin);
    const draw::Rgb back = draw::resolveColour(BackColor());
    const draw::Rgb lit = draw::systemColour(ButtonHighlight);
    const draw::Rgb dark = draw::systemColour(DarkShadow3D);
    const draw::Rgb shadow = draw::systemColour(ButtonShadow);
    surface.fillRect(box, back);

    const int bodyTop = box.top + kRowInset + rowHeight();
    const draw::Rect body{box.left, bodyTop, box.right, box.bottom};
    surface.fillRect({body.left, body.top, body.right - 1, body.top + 1}, lit);
    surface.fillRect({body.left, body.top, body.left + 1, body.bottom - 1}, lit);
    surface.fillRect({body.left, body.bottom - 1, body.right, body.bottom}, dark);
    surface.fillRect({body.right - 1, body.top, body.right, body.bottom}, dark);
    surface.fillRect({body.left + 1, body.bottom - 2, body.right - 1, body.bottom - 1}, shadow);
    surface.fillRect({body.right - 2, body.top + 1, body.right - 1, body.bottom - 1}, shadow);

    const std::vector<std::string> tabs = splitCaption();
    const draw::Rgb ink = draw::resolveColour(ForeColor());
    const auto drawTab = [&](int index) {
        const bool current = index == currentTab_;
        draw::Rect tab = tabBounds(index);
        tab = draw::Rect::ofSize(box.left + tab.left, box.top + tab.top, tab.width(), tab.height());
        if (current)
            tab = {tab.left - kCurrentGrowth, tab.top - kCurrentGrowth, tab.right + kCurrentGrowth, tab.bottom + 1};
        surface.fillRect(tab, back);
        surface.fillRect({tab.left, tab.top + 2, tab.left + 1, tab.bottom}, lit);
        surface.fillRect({tab.left + 2, tab.top, tab.right - 2, tab.top + 1}, lit);
        surface.setPixel(tab.left + 1, tab.top + 1, lit);
        surface.fillRect({tab.right - 1, tab.top + 2, tab.right, tab.bottom}, dark);
        surface.fillRect({tab.right - 2, tab.top + 1, tab.right - 1, tab.bottom}, shadow);
        const int textTop = tab.top + (current ? kCurrentGrowth : 0) + kTabExtra / 2;
        const int textLeft = tab.left + (current ? kCurrentGrowth : 0) + kTabPadding;
        drawLine(surface, textLeft, textTop, {tabs[static_cast<std::size_t>(index)], -1}, ink, !Enabled());
        if (current && isActiveControl())
            surface.drawFocusRect({textLeft - 2, textTop - 1,
                                   textLeft + layout().textWidth(tabs[static_cast<std::size_t>(index)]) + 2,
                                   textTop + layout().lineHeight() + 1});
    };
    for (int index = 0; index < static_cast<int>(tabs.size()); ++index)
        if (index != currentTab_)
            drawTab(index);
    // The current tab last, over its neighbours and the body's top line.
    drawTab(currentTab_);
}

} // namespace forms
