#pragma once
// A simulated desktop, loop and screen for forms tests, and a form that takes any control.

#include <string>
#include <utility>

#include "platform/forms/Form.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoop.h"
#include "platform/sim/SimSystemInfo.h"

namespace formstest {

class Canvas final : public forms::Form {
public:
    explicit Canvas(forms::FormsHost& host, std::string name = "frmCanvas") : Form(host, std::move(name)) {}
    ~Canvas() override { Unload(); }

    template <class C>
    C& place(std::string name)
    {
        return add<C>(std::move(name));
    }
};

// The fixed font engine of the host's own, and the DPI of the simulated screen.
struct World {
    platform::sim::SimLoop loop;
    platform::sim::SimDesktop desktop{loop};
    platform::sim::SimSystemInfo system;
    forms::FormsHost host{desktop, loop};
    World() { host.setSystemInfo(system); }
};

} // namespace formstest
