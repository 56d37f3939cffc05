#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/forms/Form.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoop.h"

namespace {

using Events = std::vector<std::string>;

class SampleForm final : public forms::Form {
public:
    explicit SampleForm(forms::FormsHost& host) : Form(host, "frmSample")
    {
        chkOption.Click = [this] { events.push_back("chkOption_Click"); };
        btnGo.Click = [this] { events.push_back("btnGo_Click"); };
        tmrTick.on_timer = [this] { events.push_back("tmrTick_Timer"); };
    }
    ~SampleForm() override { Unload(); }

    forms::Label& lblText = add<forms::Label>("lblText");
    forms::CheckBox& chkOption = add<forms::CheckBox>("chkOption");
    forms::CommandButton& btnGo = add<forms::CommandButton>("btnGo");
    platform::Timer& tmrTick = addTimer("tmrTick", 1000, true);
    platform::Timer& tmrIdle = addTimer("tmrIdle", 500, false);
    Events events;

protected:
    void Form_Load() override { events.push_back("Form_Load"); }
    void Form_Unload() override { events.push_back("Form_Unload"); }
};

struct FormsWorld {
    platform::sim::SimLoop loop;
    platform::sim::SimDesktop desktop{loop};
    forms::FormsHost host{desktop, loop};
};

TEST(FormsTest, LoadShowUnloadAndTheTimersThatRunOnlyWhileLoaded)
{
    FormsWorld w;
    {
        SampleForm form(w.host);
        EXPECT_EQ(w.host.find("frmSample"), &form);
        w.loop.advance(3000);  // not loaded: no tick
        form.Load();
        form.Load();
        const auto window = form.hWnd();
        EXPECT_TRUE(w.desktop.exists(window) && !w.desktop.visible(window) && !form.Visible());
        form.Show();
        EXPECT_TRUE(form.Visible() && w.desktop.visible(window));
        form.Hide();
        EXPECT_TRUE(form.Loaded() && !form.Visible() && !w.desktop.visible(window));
        w.loop.advance(2000);
        form.tmrIdle.setEnabled(true);
        form.Unload();
        form.Unload();
        EXPECT_FALSE(form.Loaded() || w.desktop.exists(window));
        EXPECT_FALSE(form.tmrTick.Enabled() || form.tmrIdle.Enabled());
        w.loop.advance(3000);
        EXPECT_EQ(form.events, (Events{"Form_Load", "tmrTick_Timer", "tmrTick_Timer", "Form_Unload"}));

        form.Show();  // loads again, with the timers as designed
        EXPECT_TRUE(form.Loaded() && form.Visible() && form.tmrTick.Enabled() && !form.tmrIdle.Enabled());
        w.loop.advance(1000);
        EXPECT_EQ(form.events.back(), "tmrTick_Timer");
    }
    EXPECT_EQ(w.host.find("frmSample"), nullptr);
    EXPECT_TRUE(w.desktop.zOrder().empty());
}

TEST(FormsTest, TheHostHearsEachUnloadOnceTheWindowIsGone)
{
    FormsWorld w;
    SampleForm form(w.host);
    std::vector<std::string> heard;
    w.host.on_unload = [&](forms::Form& unloaded) {
        heard.push_back(unloaded.Name() + (w.desktop.zOrder().empty() ? " gone" : " still there"));
    };
    form.Unload();  // never loaded: nothing to hear
    form.Show();
    form.Unload();
    form.Unload();
    EXPECT_EQ(heard, (Events{"frmSample gone"}));
    w.host.on_unload = nullptr;
}

TEST(FormsTest, CheckBoxClicksAndSettersThatChangeNothing)
{
    FormsWorld w;
    SampleForm form(w.host);
    form.Show();
    auto clicks = [&] { return std::count(form.events.begin(), form.events.end(), "chkOption_Click"); };
    struct Step {
        int codeValue;  // -1: the user clicks
        int value;
        long clicks;
    };
    for (const Step& s : {Step{-1, 1, 1}, Step{-1, 0, 2}, Step{2, 2, 3}, Step{-1, 0, 4}, Step{0, 0, 4}}) {
        s.codeValue < 0 ? form.chkOption.userClick() : form.chkOption.setValue(s.codeValue);
        EXPECT_EQ(form.chkOption.Value(), s.value);
        EXPECT_EQ(clicks(), s.clicks);
    }
    EXPECT_THROW(form.chkOption.setValue(3), platform::Failure);

    form.lblText.setCaption("Hello");
    form.btnGo.move(10, 20, 300, 200);
    const int repaints = form.repaintCount();
    form.chkOption.setValue(0);
    form.lblText.setCaption("Hello");
    form.btnGo.move(10, 20, 300, 200);
    form.btnGo.setLeft(10);
    form.btnGo.setVisible(true);
    form.btnGo.setEnabled(true);
    EXPECT_EQ(form.repaintCount(), repaints);
    form.lblText.setCaption("World");
    form.btnGo.setWidth(301);
    EXPECT_EQ(form.repaintCount(), repaints + 2);
}

TEST(FormsTest, OnlyAVisibleEnabledControlOnAShownEnabledFormTakesUserClicks)
{
    FormsWorld w;
    SampleForm form(w.host);
    auto clickCounts = [&] {
        form.events.clear();
        form.btnGo.userClick();
        return !form.events.empty() && form.events.back() == "btnGo_Click";
    };
    EXPECT_FALSE(clickCounts());  // not loaded
    form.Load();
    EXPECT_FALSE(clickCounts());  // hidden
    form.Show();
    EXPECT_TRUE(clickCounts());
    form.btnGo.setEnabled(false);
    EXPECT_FALSE(clickCounts());
    form.btnGo.setEnabled(true);
    form.btnGo.setVisible(false);
    EXPECT_FALSE(clickCounts());
    form.btnGo.setVisible(true);
    form.setEnabled(false);
    EXPECT_FALSE(clickCounts());
    form.chkOption.userClick();
    EXPECT_EQ(form.chkOption.Value(), forms::CheckBox::vbUnchecked);
}

} // namespace
