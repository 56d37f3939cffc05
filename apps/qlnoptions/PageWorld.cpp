#include "apps/qlnoptions/PageWorld.h"

#include "platform/win32/CommonDialogs.h"

namespace qln::options_dll {

PageWorld::PageWorld() = default;

std::shared_ptr<PageWorld> PageWorld::shared()
{
    // The pages live on their container's one user-interface thread.
    static std::weak_ptr<PageWorld> current;
    std::shared_ptr<PageWorld> world = current.lock();
    if (!world) {
        world = std::make_shared<PageWorld>();
        current = world;
    }
    return world;
}

std::unique_ptr<OptionsServices> PageWorld::optionsServices()
{
    auto services = std::make_unique<OptionsServices>(registry, files, system, desktop, loop, com);
    services->fontChooser = platform::win32::chooseFont;
    services->colourDialog = platform::win32::chooseColour;
    return services;
}

} // namespace qln::options_dll
