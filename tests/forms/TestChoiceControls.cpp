#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FormsTestWorld.h"
#include "platform/Failure.h"
#include "platform/forms/ColorPicker.h"
#include "platform/forms/FontDialog.h"
#include "platform/forms/InputControl.h"
#include "platform/forms/Frame.h"
#include "platform/forms/OptionButton.h"
#include "platform/forms/Slider.h"
#include "platform/forms/TabStrip.h"

namespace {

using formstest::Canvas;
using formstest::World;
using Events = std::vector<std::string>;

int errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const platform::Failure& failure) {
        return failure.number();
    }
    return 0;
}

TEST(OptionButton, OneSelectedPerContainerAndClickOnlyForTheOneSelected)
{
    World w;
    Canvas form(w.host);
    auto& fraAction = form.place<forms::Frame>("fraAction");
    auto& fraState = form.place<forms::Frame>("fraState");
    Events events;
    std::vector<forms::OptionButton*> all;
    const auto option = [&](const char* name, forms::Control* container) -> forms::OptionButton& {
        auto& button = form.place<forms::OptionButton>(name);
        button.setContainer(container);
        button.Click = [&events, name] { events.push_back(name); };
        all.push_back(&button);
        return button;
    };
    auto& optSwitch = option("optSwitch", &fraAction);
    auto& optOpen = option("optOpen", &fraAction);
    auto& optBoth = option("optBoth", &fraAction);
    auto& optMax = option("optMax", &fraState);
    auto& optNormal = option("optNormal", &fraState);
    auto& optNone = option("optNone", nullptr);
    auto& optFade = option("optFade", nullptr);
    form.Show();

    const auto selected = [&] {
        std::string names;
        for (const auto* button : all)
            if (button->Value())
                names += button->Name() + " ";
        return names;
    };
    const struct {
        std::function<void()> act;
        const char* selected;
        const char* click;  // nullptr: no Click
    } steps[] = {
        {[&] { optOpen.setValue(true); }, "optOpen ", "optOpen"},
        {[&] { optMax.setValue(true); }, "optOpen optMax ", "optMax"},
        {[&] { optNone.userClick(); }, "optOpen optMax optNone ", "optNone"},
        {[&] { optBoth.userClick(); }, "optBoth optMax optNone ", "optBoth"},
        {[&] { optBoth.userClick(); }, "optBoth optMax optNone ", nullptr},     // already selected
        {[&] { optNormal.setValue(true); }, "optBoth optNormal optNone ", "optNormal"},
        {[&] { optNormal.setValue(false); }, "optBoth optNone ", nullptr},       // clearing raises nothing
        {[&] { optFade.setValue(true); }, "optBoth optFade ", "optFade"},
        {[&] { optSwitch.setValue(true); }, "optSwitch optFade ", "optSwitch"},
    };
    for (const auto& s : steps) {
        events.clear();
        s.act();
        EXPECT_EQ(selected(), s.selected);
        EXPECT_EQ(events, s.click ? Events{s.click} : Events{}) << s.selected;
    }

    // A disabled frame keeps the user's clicks from its buttons; code still selects.
    fraAction.setEnabled(false);
    optOpen.userClick();
    EXPECT_EQ(selected(), "optSwitch optFade ");
    optOpen.setValue(true);
    EXPECT_EQ(selected(), "optOpen optFade ");

    // Moving a selected button into another container makes it a member of that group.
    optOpen.setContainer(&fraState);
    optMax.setValue(true);
    EXPECT_EQ(selected(), "optMax optFade ");
}

TEST(Slider, BoundsAreKeptAndTheUserRaisesScrollThenChange)
{
    World w;
    Canvas form(w.host);
    auto& sli = form.place<forms::Slider>("sliTransparencyLevel");
    Events events;
    sli.Change = [&] { events.push_back("Change " + std::to_string(sli.Value())); };
    sli.Scroll = [&] { events.push_back("Scroll " + std::to_string(sli.Value())); };
    form.Show();

    EXPECT_EQ(errorOf([&] { sli.setValue(38); }), 380);  // the default range is 0 to 10
    sli.setMax(50);
    sli.setValue(38);
    EXPECT_EQ(errorOf([&] { sli.setValue(51); }), 380);
    EXPECT_EQ(errorOf([&] { sli.setValue(-1); }), 380);
    EXPECT_EQ(errorOf([&] { sli.setMin(51); }), 380);
    EXPECT_EQ(errorOf([&] { sli.setTickFrequency(-1); }), 380);
    EXPECT_EQ(sli.Value(), 38);
    sli.setValue(38);
    EXPECT_EQ(events, (Events{"Change 38"}));

    events.clear();
    sli.userSlide(60);  // the thumb stops at the end
    sli.userSlide(50);
    sli.userKey(forms::InputControl::vbKeyPageUp, 0);
    sli.userKey(forms::InputControl::vbKeyRight, 0);
    sli.userKey(forms::InputControl::vbKeyHome, 0);
    sli.userKey(forms::InputControl::vbKeyLeft, 0);
    EXPECT_EQ(events, (Events{"Scroll 50", "Change 50", "Scroll 45", "Change 45", "Scroll 46", "Change 46",
                              "Scroll 0", "Change 0"}));

    // A narrower range brings the value inside it.
    sli.setValue(30);
    events.clear();
    sli.setMax(20);
    EXPECT_EQ(sli.Value(), 20);
    sli.setMin(25 - 5);
    EXPECT_EQ(events, (Events{"Change 20"}));

    sli.setEnabled(false);
    sli.userSlide(0);
    EXPECT_EQ(sli.Value(), 20);
}

// A tab strip with a pane per tab, each pane holding a check box.
struct Tabbed : World {
    Canvas form{host};
    forms::TabStrip& tabs = form.place<forms::TabStrip>("TabOne1");
    std::vector<forms::Panel*> panes;
    std::vector<forms::CheckBox*> boxes;
    Events events;

    Tabbed()
    {
        tabs.move(0, 0, 6000, 4500);  // 400 x 300 px
        tabs.setCaption("About|Actions|Display");
        for (int i = 0; i < 3; ++i) {
            auto& pane = form.place<forms::Panel>("pane" + std::to_string(i));
            auto& box = form.place<forms::CheckBox>("chk" + std::to_string(i));
            box.setContainer(&pane);
            tabs.setTabPane(i, pane);
            panes.push_back(&pane);
            boxes.push_back(&box);
        }
        tabs.Click = [this] { events.push_back("Click " + std::to_string(tabs.CurrentTab())); };
        form.Show();
    }

    std::string shownBoxes() const
    {
        std::string shown;
        for (const auto* box : boxes)
            shown += box->shown() ? "1" : "0";
        return shown;
    }
};

TEST(TabStrip, EachTabShowsItsOwnControlsAndASwitchCanBeRefused)
{
    Tabbed t;
    EXPECT_EQ(t.tabs.Tabs(), 3);
    EXPECT_EQ(t.tabs.TabCaption(1), "Actions");
    EXPECT_EQ(t.tabs.TabCaption(3), "");
    EXPECT_EQ(t.shownBoxes(), "100");

    bool refuse = false;
    t.tabs.Switch = [&](int oldTab, int newTab, bool& cancel) {
        t.events.push_back("Switch " + std::to_string(oldTab) + " " + std::to_string(newTab));
        cancel = refuse;
    };
    t.tabs.userClickTab(2);
    EXPECT_EQ(t.shownBoxes(), "001");
    t.tabs.userClickTab(2);  // the current tab: nothing
    t.tabs.userClickTab(7);  // no such tab
    refuse = true;
    t.tabs.userClickTab(0);
    EXPECT_EQ(t.tabs.CurrentTab(), 2);
    EXPECT_EQ(t.shownBoxes(), "001");
    t.tabs.setCurrentTab(1);  // code is not refused and raises no Switch
    EXPECT_EQ(t.shownBoxes(), "010");
    EXPECT_EQ(t.events, (Events{"Switch 0 2", "Click 2", "Switch 2 0", "Click 1"}));

    // Controls on a hidden tab take no clicks; their own Visible is untouched.
    t.boxes[0]->userClick();
    EXPECT_EQ(t.boxes[0]->Value(), forms::CheckBox::vbUnchecked);
    EXPECT_TRUE(t.boxes[0]->Visible());
    t.boxes[1]->userClick();
    EXPECT_EQ(t.boxes[1]->Value(), forms::CheckBox::vbChecked);

    EXPECT_EQ(errorOf([&] { t.tabs.setCurrentTab(3); }), 380);
    // Fewer tabs: the current one moves to the last, whose pane shows.
    t.tabs.setCurrentTab(2);
    t.tabs.setCaption("About|Actions");
    EXPECT_EQ(t.tabs.CurrentTab(), 1);
    EXPECT_EQ(t.shownBoxes(), "010");
}

TEST(TabStrip, PanesFillTheBodyBelowTheTabs)
{
    Tabbed t;
    // Tabs: 13 px caption line + 6, from 2 px down; panes 4 px inside the body.
    const draw::Rect area = t.tabs.paneArea();
    EXPECT_EQ(area, (draw::Rect{4, 2 + 19 + 4, 396, 296}));
    EXPECT_EQ(t.panes[1]->Left(), 4 * 15);
    EXPECT_EQ(t.panes[1]->Top(), 25 * 15);
    EXPECT_EQ(t.panes[1]->Width(), 392 * 15);
    t.tabs.setHeight(3000);  // 200 px: the panes follow
    EXPECT_EQ(t.panes[2]->Height(), (200 - 4 - 25) * 15);
    EXPECT_EQ(t.tabs.tabBounds(1), draw::Rect::ofSize(2 + 5 * 6 + 12, 2, 7 * 6 + 12, 19));

    // A pane given to another tab leaves its old one.
    t.tabs.setTabPane(2, *t.panes[0]);
    EXPECT_EQ(t.tabs.tabPane(0), nullptr);
    EXPECT_EQ(t.tabs.tabPane(2), t.panes[0]);
}

TEST(ColorPicker, ChangeOnANewColourFromCodeOrTheUser)
{
    World w;
    Canvas form(w.host);
    auto& cpk = form.place<forms::ColorPicker>("cpkBackColor");
    int changes = 0;
    cpk.Change = [&] { ++changes; };
    form.Show();
    cpk.setColor(14811135);
    cpk.setColor(14811135);
    cpk.userPickColour(0xFF);
    cpk.userPickColour(0xFF);
    EXPECT_EQ(cpk.Color(), 0xFFu);
    EXPECT_EQ(changes, 2);
    cpk.setEnabled(false);
    cpk.userPickColour(0);
    EXPECT_EQ(cpk.Color(), 0xFFu);
}

TEST(ColorPicker, AClickOpensTheHostsDialogWithTheTitleAndTakesTheColourChosenWithOk)
{
    World w;
    Canvas form(w.host);
    auto& cpk = form.place<forms::ColorPicker>("cpkBackColor");
    cpk.setDialogTitle("Select a Color");
    cpk.setColor(0x80000005);
    int changes = 0;
    cpk.Change = [&] { ++changes; };
    form.Show();
    cpk.userClick();  // no dialog: nothing opens, nothing changes
    EXPECT_EQ(changes, 0);

    std::vector<std::string> titles;
    std::vector<draw::OleColour> opened;
    std::optional<draw::OleColour> answer;
    cpk.setDialog([&](const std::string& title, draw::OleColour current) {
        titles.push_back(title);
        opened.push_back(current);
        return answer;
    });
    cpk.userClick();  // cancelled
    EXPECT_EQ(cpk.Color(), 0x80000005u);
    EXPECT_EQ(changes, 0);
    answer = 0x00336699;
    cpk.userClick();
    EXPECT_EQ(cpk.Color(), 0x00336699u);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(titles, (std::vector<std::string>{"Select a Color", "Select a Color"}));
    EXPECT_EQ(opened, (std::vector<draw::OleColour>{0x80000005, 0x80000005}));

    cpk.setEnabled(false);  // a disabled picker opens nothing
    cpk.userClick();
    EXPECT_EQ(titles.size(), 2u);
}

TEST(FontDialog, ChoiceCancelAndTheFlagsThatMatter)
{
    std::optional<forms::FontChoice> answer;
    std::int32_t seenFlags = 0;
    forms::FontChoice seenFont;
    forms::FontDialog dialog([&](std::int32_t flags, const forms::FontChoice& current) {
        seenFlags = flags;
        seenFont = current;
        return answer;
    });
    dialog.setFontName("Tahoma");
    dialog.setFontSize(10);
    dialog.setColor(0x80000012);
    EXPECT_EQ(errorOf([&] { dialog.ShowFont(); }), forms::FontDialog::cdlNoFonts);

    dialog.setFlags(forms::FontDialog::cdlCFBoth | forms::FontDialog::cdlCFEffects);
    dialog.setCancelError(true);
    EXPECT_EQ(errorOf([&] { dialog.ShowFont(); }), forms::FontDialog::cdlCancel);
    EXPECT_EQ(seenFont.FontName, "Tahoma");
    EXPECT_EQ(seenFlags, 0x103);
    EXPECT_EQ(dialog.FontSize(), 10);

    answer = forms::FontChoice{"Arial", 12, true, false, false, false, 0xFF};
    dialog.ShowFont();
    EXPECT_EQ(dialog.font(), *answer);

    // Without the effects the colour is not the dialog's to change; a size no dialog offers
    // counts as a cancel.
    dialog.setFlags(forms::FontDialog::cdlCFScreenFonts);
    answer = forms::FontChoice{"Verdana", 9, false, false, false, false, 0xFF00};
    dialog.ShowFont();
    EXPECT_EQ(dialog.FontName(), "Verdana");
    EXPECT_EQ(dialog.Color(), 0xFFu);
    answer->FontSize = 0;
    EXPECT_EQ(errorOf([&] { dialog.ShowFont(); }), forms::FontDialog::cdlCancel);
    EXPECT_EQ(dialog.FontSize(), 9);
    EXPECT_EQ(errorOf([&] { dialog.setFontSize(-1); }), 380);

    forms::FontDialog without;  // no host dialog: a cancel
    without.setFlags(forms::FontDialog::cdlCFBoth);
    without.ShowFont();
    EXPECT_EQ(without.FontName(), "MS Sans Serif");
}

} // namespace
