#pragma once
// A tab control (SizerOne's TabOne): a row of tabs over a raised body, the tabs' captions given as
// one Caption separated by vertical bars ("About|Actions|Display"; an empty caption is one empty
// tab). CurrentTab counts from 0.
//
// Each tab may have a pane: a control (a Panel, say) that holds the tab's own controls. The strip
// becomes the pane's container, sizes it to the body and shows it only while its tab is current,
// so the controls on the other tabs neither show nor take input; their own Visible stays as set.
// The strip owns the panes' Visible: code should not set it.
//
// A user's click on another tab first raises Switch with the current and the clicked tab; a
// handler that sets Cancel keeps the current tab. Otherwise the tab changes and Click is raised,
// as it is when code assigns CurrentTab (which cannot be cancelled). A click on the current tab
// raises nothing. CurrentTab outside the tabs is refused (platform::Failure 380); a caption with
// fewer tabs moves a CurrentTab beyond them to the last tab, without Click.
//
// Painted in the classic look on BackColor: tabs a line and six pixels high, each its caption
// plus six pixels either side wide, from two pixels right of the strip's left edge, with lit top
// and left edges and dark right edges; the current tab two pixels larger on every side and open
// towards the body, whose raised edge runs round the rest of the box. Captions in ForeColor,
// embossed grey when disabled; the current tab's in a dotted focus frame while the strip is its
// form's ActiveControl.

#include <functional>
#include <string>
#include <vector>

#include "platform/forms/CaptionedControl.h"

namespace forms {

class TabStrip : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    int Tabs() const { return static_cast<int>(splitCaption().size()); }
    // The caption of one tab; empty text for a tab that does not exist.
    std::string TabCaption(int index) const;
    int CurrentTab() const { return currentTab_; }
    void setCurrentTab(int index);

    // Makes `pane` the pane of tab `index` (any index from 0: a pane for a tab that the caption
    // does not have yet stays hidden). A pane given again moves to the new tab. Throws
    // platform::Failure (380) for a negative index, and as setContainer does.
    void setTabPane(int index, Control& pane);
    // The pane of a tab, or nullptr.
    Control* tabPane(int index) const;

    std::function<void(int OldTab, int NewTab, bool& Cancel)> Switch;

    // The user clicks tab `index`; ignored for a tab that does not exist.
    void userClickTab(int index);

    // The body's area for panes, in pixels of the strip's box (its top-left is (0, 0)).
    draw::Rect paneArea() const;
    // The tab's box in pixels of the strip's box; empty for a tab that does not exist.
    draw::Rect tabBounds(int index) const;

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    // Click belongs to tab changes: a click on the body raises nothing.
    void onUserClick() override {}
    void textChanged() override;
    void resized() override { placePanes(); }

private:
    std::vector<std::string> splitCaption() const;
    int rowHeight() const;
    // Sizes every pane to the body and shows the current tab's only.
    void placePanes();

    int currentTab_ = 0;
    std::vector<Control*> panes_;  // by tab; nullptr where a tab has none
};

} // namespace forms
