#pragma once
// A shown form on the simulated desktop with FlairButtons on it, a shared control environment
// (the pointer), an in-memory file system for the browser lookup, and an event log.

#include <memory>
#include <string>
#include <vector>

#include "controls/flairbutton/FlairButton.h"
#include "platform/forms/SimControlEnvironment.h"
#include "platform/sim/SimFileSystem.h"
#include "tests/forms/FormsTestWorld.h"

namespace flairtest {

inline constexpr draw::Rgb face{192, 192, 192};      // button face, the classic scheme
inline constexpr draw::Rgb shadow{128, 128, 128};    // button shadow
inline constexpr draw::Rgb highlight{255, 255, 255}; // 3D highlight
inline constexpr draw::Rgb paper{255, 255, 225};     // the form behind the buttons
inline constexpr draw::OleColour paperOle = 0xE1FFFF;

struct World : formstest::World {
    formstest::Canvas form{host};
    std::shared_ptr<forms::SimControlEnvironment> environment = std::make_shared<forms::SimControlEnvironment>();
    platform::sim::SimFileSystem files;

    World()
    {
        form.move(0, 0, 3000, 1500);  // 200 x 100 pixels, at the screen's top-left
        form.setBackColor(paperOle);
        form.Show();
        files.makeFolders("C:\\Temp");
    }

    // A new, initialised button at (left, top) of width x height pixels.
    flair::FlairButton& button(int left, int top, int width, int height, const std::string& name = "btnTest")
    {
        auto& b = form.place<flair::FlairButton>(name);
        b.site().setEnvironment(environment);
        b.setHyperlinkServices(&files, &system);
        b.InitProperties();
        b.move(left * 15.0, top * 15.0, width * 15.0, height * 15.0);
        return b;
    }
};

// Everything a button raises, in order, as "Name" or "Name(args)".
struct EventLog {
    std::vector<std::string> events;
    bool cancelNavigation = false;

    explicit EventLog(flair::FlairButton& b)
    {
        b.Click = [this] { events.push_back("Click"); };
        b.MouseEnter = [this] { events.push_back("MouseEnter"); };
        b.MouseExit = [this] { events.push_back("MouseExit"); };
        b.MouseDown = [this](std::int16_t button, std::int16_t, float x, float y) {
            events.push_back("MouseDown(" + std::to_string(button) + "," + std::to_string(int(x)) + "," +
                             std::to_string(int(y)) + ")");
        };
        b.MouseUp = [this](std::int16_t button, std::int16_t, float, float) {
            events.push_back("MouseUp(" + std::to_string(button) + ")");
        };
        b.MouseMove = [this](std::int16_t, std::int16_t, float, float) { events.push_back("MouseMove"); };
        b.BeforeNavigate = [this](bool& cancel) {
            events.push_back("BeforeNavigate");
            cancel = cancelNavigation;
        };
        b.OnNavigate = [this](const std::string& url) { events.push_back("OnNavigate(" + url + ")"); };
        b.OnStateChange = [this](std::int32_t status) { events.push_back("State" + std::to_string(status)); };
    }

    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }
};

} // namespace flairtest
