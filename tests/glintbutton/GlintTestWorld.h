#pragma once
// A shown form on the simulated desktop with GlintButtons on it, a shared control environment
// (pointer and pictures by path), and helpers for pictures and event logs.

#include <memory>
#include <string>
#include <vector>

#include "controls/glintbutton/GlintButton.h"
#include "platform/forms/SimControlEnvironment.h"
#include "tests/forms/FormsTestWorld.h"

namespace glinttest {

inline constexpr draw::Rgb face{192, 192, 192};
inline constexpr draw::Rgb paper{255, 255, 225};  // the form behind the buttons
inline constexpr draw::OleColour paperOle = 0xE1FFFF;

struct World : formstest::World {
    formstest::Canvas form{host};
    std::shared_ptr<forms::SimControlEnvironment> environment = std::make_shared<forms::SimControlEnvironment>();

    World()
    {
        form.move(0, 0, 3000, 1500);  // 200 x 100 pixels
        form.setBackColor(paperOle);
        form.Show();
    }

    // A new, initialised button at (left, top) of width x height pixels.
    glint::GlintButton& button(int left, int top, int width, int height, const std::string& name = "btnTest")
    {
        auto& b = form.place<glint::GlintButton>(name);
        b.site().setEnvironment(environment);
        b.InitProperties();
        b.move(left * 15.0, top * 15.0, width * 15.0, height * 15.0);
        return b;
    }
};

// A picture of one colour with a border of another (the mask colour, say) one pixel wide.
inline forms::PictureRef framedPicture(int width, int height, draw::Rgb inside, draw::Rgb border)
{
    draw::Surface image(width, height, border);
    image.fillRect({1, 1, width - 1, height - 1}, inside);
    return forms::makePicture(std::move(image));
}

// Everything a button raises, in order, as "Name" or "Name(args)".
struct EventLog {
    std::vector<std::string> events;

    explicit EventLog(glint::GlintButton& b)
    {
        b.Click = [this] { events.push_back("Click"); };
        b.MouseEnter = [this] { events.push_back("MouseEnter"); };
        b.MouseExit = [this] { events.push_back("MouseExit"); };
        b.Resize = [this] { events.push_back("Resize"); };
        b.MouseDown = [this](std::int16_t button, std::int16_t, float x, float y) {
            events.push_back("MouseDown(" + std::to_string(button) + "," + std::to_string(int(x)) + "," +
                             std::to_string(int(y)) + ")");
        };
        b.MouseUp = [this](std::int16_t button, std::int16_t, float, float) {
            events.push_back("MouseUp(" + std::to_string(button) + ")");
        };
        b.MouseMove = [this](std::int16_t, std::int16_t, float, float) { events.push_back("MouseMove"); };
        b.KeyDown = [this](std::int16_t code, std::int16_t shift) {
            events.push_back("KeyDown(" + std::to_string(code) + "," + std::to_string(shift) + ")");
        };
        b.KeyUp = [this](std::int16_t code, std::int16_t) { events.push_back("KeyUp(" + std::to_string(code) + ")"); };
        b.KeyPress = [this](std::int16_t ascii) { events.push_back("KeyPress(" + std::to_string(ascii) + ")"); };
    }

    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }
};

} // namespace glinttest
