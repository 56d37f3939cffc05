#pragma once
// The two folder lists of the Advanced tab on a bare form, over the simulated world: a running
// Outlook with its MAPI namespace, the settings as the page reads them, and a record of the
// messages shown and of each SetDirty.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "options/FolderLists.h"
#include "platform/forms/Form.h"
#include "platform/sim/SimWorld.h"
#include "shared/mdlRegistry.h"

namespace foldertest {

class AdvancedTab final : public forms::Form {
public:
    explicit AdvancedTab(forms::FormsHost& host)
        : Form(host, "frmAdvanced"), lstAddInbox(add<forms::ListBox>("lstAddInbox")),
          lstSpamFolders(add<forms::ListBox>("lstSpamFolders"))
    {
    }
    ~AdvancedTab() override { Unload(); }

    forms::ListBox& lstAddInbox;
    forms::ListBox& lstSpamFolders;
};

struct World {
    World()
    {
        sim.outlook.start();
        mapiNamespace = sim.outlook.createOutlookApplication()->GetNamespace("MAPI");
    }

    // A fresh page life: new lists, loaded from the store.
    qln::options::FolderLists& open()
    {
        form = std::make_unique<AdvancedTab>(host);
        messages.clear();
        dirtyCount = 0;
        lists = std::make_unique<qln::options::FolderLists>(
            form->lstAddInbox, form->lstSpamFolders, [this](const std::string& text) { messages.push_back(text); },
            [this] { ++dirtyCount; });
        lists->load(settings);
        return *lists;
    }

    void store(const qln::settings::StringValue& value, const std::string& text) const { settings.write(value, text); }
    std::string stored(const qln::settings::StringValue& value) const { return settings.read(value); }

    // The next picker answer is the folder at `path`, then the picker runs through the button.
    void browseAddInbox(const std::optional<std::string>& path)
    {
        sim.outlook.setPickFolderAnswer(path);
        lists->btnBrowseAddInbox_Click(mapiNamespace.get());
    }
    void browseIgnored(const std::optional<std::string>& path)
    {
        sim.outlook.setPickFolderAnswer(path);
        lists->btnAddSpamFolder_Click(mapiNamespace.get());
    }

    std::vector<std::string> rows(const forms::ListBox& list) const
    {
        std::vector<std::string> out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.List(i));
        return out;
    }
    std::vector<std::int32_t> slots(const forms::ListBox& list) const
    {
        std::vector<std::int32_t> out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.ItemData(i));
        return out;
    }

    platform::sim::SimWorld sim;
    forms::FormsHost host{sim.desktop, sim.loop};
    qln::mdlRegistry registry{sim.registry, sim.system, sim.files};
    qln::settings::Settings settings{registry, qln::settings::Reader::Page};
    std::shared_ptr<platform::outlook::NameSpace> mapiNamespace;

    std::unique_ptr<AdvancedTab> form;
    std::unique_ptr<qln::options::FolderLists> lists;
    std::vector<std::string> messages;
    int dirtyCount = 0;
};

} // namespace foldertest
