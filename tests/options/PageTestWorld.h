#pragma once
// The options page on the simulated world: a running Outlook, the store and the list files, a
// site that counts the page's status changes, and helpers to plant and read stored values.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "options/QLNOptions.h"
#include "platform/sim/SimWorld.h"

namespace pagetest {

namespace S = qln::settings;
using Texts = std::vector<std::string>;

struct CountingSite final : platform::outlook::PropertyPageSite {
    int statusChanges = 0;
    void OnStatusChange() override { ++statusChanges; }
};

struct World {
    World() { sim.outlookStart(); }

    // A new life of the page: created and loaded, shown on `tab`, then the site attached.
    qln::QLNOptions& open(int tab = 0)
    {
        page.reset();
        page = std::make_unique<qln::QLNOptions>(host, services);
        page->Show();
        page->TabOne1.userClickTab(tab);
        page->UserControl_InitProperties(&site);
        return *page;
    }

    template <class Value, class Data>
    void store(const Value& value, const Data& data) const { services.settings.write(value, data); }

    // What the store holds under the value's name, or nullopt when nothing was written.
    std::optional<std::int32_t> stored(const S::DwordValue& value) const
    {
        const auto raw = sim.registry.get(platform::Hive::CurrentUser, S::keyPath(value.key), value.name);
        return raw && raw->asDword() ? std::optional<std::int32_t>(static_cast<std::int32_t>(*raw->asDword()))
                                     : std::nullopt;
    }
    std::optional<std::string> stored(const S::StringValue& value) const
    {
        const auto raw = sim.registry.get(platform::Hive::CurrentUser, S::keyPath(value.key), value.name);
        return raw ? raw->asText() : std::nullopt;
    }

    // The message boxes shown since the last call; each must carry the page's title and stop icon.
    Texts newMessages()
    {
        Texts out;
        const auto& boxes = sim.desktop.messageBoxes();
        for (; seenMessages_ < boxes.size(); ++seenMessages_) {
            const auto& box = boxes[seenMessages_];
            const bool styled = box.caption == "Quellin Options" &&
                                (box.type & platform::mb::IconMask) == platform::mb::IconStop;
            out.push_back(styled ? box.text : "(badly styled) " + box.text);
        }
        return out;
    }

    std::string listPath(const char* name) const { return services.lists.ListFolder() + "\\" + name; }
    std::optional<std::string> listFile(const char* name) const { return sim.files.content(listPath(name)); }

    static Texts rows(const forms::ListBox& list)
    {
        Texts out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.List(i));
        return out;
    }

    platform::sim::SimWorld sim;
    forms::FormsHost host{sim.desktop, sim.loop};
    qln::OptionsServices services{sim.registry, sim.files, sim.system, sim.desktop, sim.loop, sim.outlook};
    CountingSite site;
    std::unique_ptr<qln::QLNOptions> page;

private:
    std::size_t seenMessages_ = 0;
};

} // namespace pagetest
