#pragma once
// The seams' contract suites: each behaviour the system relies on is written once, as a
// parameterised test over a "world" that makes one implementation of the seam, and instantiated for
// the simulated world (every test run) and for the Windows one (the cross-build, under Wine).
// A world hands each test a place of its own (a registry key, a folder) and cleans it up.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/FontEngine.h"
#include "platform/MessageLoop.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"

namespace contract {

class RegistryWorld {
public:
    virtual ~RegistryWorld() = default;
    virtual platform::Registry& registry() = 0;
    // A key path under HKEY_CURRENT_USER for this test alone: missing at the start, gone at the end.
    virtual std::string scratchKey() const = 0;
    // Removes a key with everything below it, as another program would, not through the seam.
    virtual void removeKey(const std::string& path) = 0;
};

class FileSystemWorld {
public:
    virtual ~FileSystemWorld() = default;
    virtual platform::FileSystem& fileSystem() = 0;
    // An absolute path of an empty folder for this test alone, without a trailing backslash.
    virtual std::string scratchFolder() const = 0;
};

class SystemInfoWorld {
public:
    virtual ~SystemInfoWorld() = default;
    virtual platform::SystemInfo& systemInfo() = 0;
};

class LoopWorld {
public:
    virtual ~LoopWorld() = default;
    virtual platform::MessageLoop& loop() = 0;
    virtual platform::Clock& clock() = 0;
    // Lets `ms` milliseconds pass with the loop running: virtual time in the simulation, real time
    // with the messages pumped on Windows.
    virtual void runFor(int ms) = 0;
};

// Another program's top-level window, as a world makes it.
struct OtherWindow {
    std::string className;
    std::string title;
    bool visible = true;
    platform::WindowHandle owner = platform::NoWindow;
};

class DesktopWorld {
public:
    virtual ~DesktopWorld() = default;
    virtual platform::Desktop& desktop() = 0;
    // Another program's window appears at the top of the normal band, not activated.
    virtual platform::WindowHandle addOtherWindow(const OtherWindow& window) = 0;
    // The user presses a combination of keys anywhere.
    virtual void press(std::uint32_t vk, std::uint32_t modifiers) = 0;
    // The layered window's alpha, read back (GetLayeredWindowAttributes); nullopt when none is set.
    virtual std::optional<int> alpha(platform::WindowHandle window) = 0;
    // Lets time pass with the loop running, so posted messages arrive.
    virtual void runFor(int ms) = 0;
    // The captions of the message boxes the world has answered with OK, oldest first.
    virtual std::vector<std::string> answeredMessageBoxes() = 0;
    // A file with this name in a folder of the test's own; its absolute path. folderPath() is that
    // folder.
    virtual std::string makeFile(const std::string& name) = 0;
    virtual std::string folderPath() = 0;
};

// One implementation of a seam under test: its name in the test names, and how to make a world.
template <class World>
struct Maker {
    const char* name;
    std::unique_ptr<World> (*make)();
    friend std::ostream& operator<<(std::ostream& out, const Maker& maker) { return out << maker.name; }
};

struct MakerName {
    template <class Param>
    std::string operator()(const testing::TestParamInfo<Param>& info) const
    {
        return info.param.name;
    }
};

using RegistryMaker = Maker<RegistryWorld>;
using FileSystemMaker = Maker<FileSystemWorld>;
using SystemInfoMaker = Maker<SystemInfoWorld>;
using LoopMaker = Maker<LoopWorld>;
using DesktopMaker = Maker<DesktopWorld>;
using FontMaker = Maker<platform::FontEngine>;

class RegistryContract : public testing::TestWithParam<RegistryMaker> {
protected:
    void SetUp() override { world_ = GetParam().make(); }
    RegistryWorld& world() { return *world_; }
    platform::Registry& registry() { return world_->registry(); }
    std::string key() const { return world_->scratchKey(); }

private:
    std::unique_ptr<RegistryWorld> world_;
};

class FileSystemContract : public testing::TestWithParam<FileSystemMaker> {
protected:
    void SetUp() override { world_ = GetParam().make(); }
    platform::FileSystem& fs() { return world_->fileSystem(); }
    std::string path(const std::string& name) const { return world_->scratchFolder() + "\\" + name; }

private:
    std::unique_ptr<FileSystemWorld> world_;
};

class SystemInfoContract : public testing::TestWithParam<SystemInfoMaker> {
protected:
    void SetUp() override { world_ = GetParam().make(); }
    platform::SystemInfo& info() { return world_->systemInfo(); }

private:
    std::unique_ptr<SystemInfoWorld> world_;
};

class LoopContract : public testing::TestWithParam<LoopMaker> {
protected:
    void SetUp() override { world_ = GetParam().make(); }
    platform::MessageLoop& loop() { return world_->loop(); }
    platform::Clock& clock() { return world_->clock(); }
    void runFor(int ms) { world_->runFor(ms); }

private:
    std::unique_ptr<LoopWorld> world_;
};

class DesktopContract : public testing::TestWithParam<DesktopMaker> {
protected:
    void SetUp() override { world_ = GetParam().make(); }
    DesktopWorld& world() { return *world_; }
    platform::Desktop& desktop() { return world_->desktop(); }

private:
    std::unique_ptr<DesktopWorld> world_;
};

class FontContract : public testing::TestWithParam<FontMaker> {
protected:
    void SetUp() override { engine_ = GetParam().make(); }
    platform::FontEngine& engine() { return *engine_; }

private:
    std::unique_ptr<platform::FontEngine> engine_;
};

} // namespace contract
