// The contract suites on the simulated world.

#include "platform/fonts/FixedFontEngine.h"
#ifdef QLN_HAVE_FREETYPE
#include "platform/fonts/FreeTypeFontEngine.h"
#endif
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimLoop.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSystemInfo.h"
#include "tests/contract/ContractWorlds.h"

namespace contract {
namespace {

class SimRegistryWorld final : public RegistryWorld {
public:
    platform::Registry& registry() override { return registry_; }
    std::string scratchKey() const override { return "Software\\Quellin Contract\\Test"; }
    void removeKey(const std::string& path) override { registry_.deleteKey(platform::Hive::CurrentUser, path); }

private:
    platform::sim::SimRegistry registry_;
};

class SimFileSystemWorld final : public FileSystemWorld {
public:
    SimFileSystemWorld() { fs_.makeFolders(scratchFolder()); }
    platform::FileSystem& fileSystem() override { return fs_; }
    std::string scratchFolder() const override { return "C:\\Temp\\Contract"; }

private:
    platform::sim::SimFileSystem fs_;
};

class SimSystemInfoWorld final : public SystemInfoWorld {
public:
    platform::SystemInfo& systemInfo() override { return info_; }

private:
    platform::sim::SimSystemInfo info_;
};

class SimLoopWorld final : public LoopWorld {
public:
    platform::MessageLoop& loop() override { return loop_; }
    platform::Clock& clock() override { return loop_; }
    void runFor(int ms) override { loop_.advance(ms); }

private:
    platform::sim::SimLoop loop_;
};

class SimDesktopWorld final : public DesktopWorld {
public:
    platform::Desktop& desktop() override { return desktop_; }
    platform::WindowHandle addOtherWindow(const OtherWindow& window) override
    {
        return desktop_.addWindow(platform::sim::WorldWindow{"", window.className, window.title, window.visible,
                                                             window.owner});
    }
    void press(std::uint32_t vk, std::uint32_t modifiers) override { desktop_.press(vk, modifiers); }
    std::optional<int> alpha(platform::WindowHandle window) override { return desktop_.alpha(window); }
    void runFor(int ms) override { loop_.advance(ms); }
    std::vector<std::string> answeredMessageBoxes() override
    {
        std::vector<std::string> captions;
        for (const auto& box : desktop_.messageBoxes())
            captions.push_back(box.caption);
        return captions;
    }
    std::string makeFile(const std::string& name) override
    {
        const std::string path = folderPath() + "\\" + name;
        files_.put(path, "<html></html>");
        return path;
    }
    std::string folderPath() override { return "C:\\Temp\\Contract"; }

    SimDesktopWorld()
    {
        desktop_.setFileProbe([this](const std::string& path) { return files_.fileExists(path); });
    }

private:
    platform::sim::SimLoop loop_;
    platform::sim::SimDesktop desktop_{loop_};
    platform::sim::SimFileSystem files_;
};

template <class World, class Sim>
std::unique_ptr<World> make()
{
    return std::make_unique<Sim>();
}

INSTANTIATE_TEST_SUITE_P(Sim, RegistryContract,
                         testing::Values(RegistryMaker{"Sim", make<RegistryWorld, SimRegistryWorld>}), MakerName());
INSTANTIATE_TEST_SUITE_P(Sim, FileSystemContract,
                         testing::Values(FileSystemMaker{"Sim", make<FileSystemWorld, SimFileSystemWorld>}),
                         MakerName());
INSTANTIATE_TEST_SUITE_P(Sim, SystemInfoContract,
                         testing::Values(SystemInfoMaker{"Sim", make<SystemInfoWorld, SimSystemInfoWorld>}),
                         MakerName());
INSTANTIATE_TEST_SUITE_P(Sim, DesktopContract,
                         testing::Values(DesktopMaker{"Sim", make<DesktopWorld, SimDesktopWorld>}), MakerName());
INSTANTIATE_TEST_SUITE_P(Fixed, FontContract,
                         testing::Values(FontMaker{"Fixed", make<platform::FontEngine, fonts::FixedFontEngine>}),
                         MakerName());
#ifdef QLN_HAVE_FREETYPE
INSTANTIATE_TEST_SUITE_P(FreeType, FontContract,
                         testing::Values(FontMaker{"FreeType", make<platform::FontEngine, fonts::FreeTypeFontEngine>}),
                         MakerName());
#endif
INSTANTIATE_TEST_SUITE_P(Sim, LoopContract, testing::Values(LoopMaker{"Sim", make<LoopWorld, SimLoopWorld>}),
                         MakerName());

} // namespace
} // namespace contract
