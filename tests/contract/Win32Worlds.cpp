// The contract suites on the real Windows seams (cross-built, run under Wine).
// Each test works under a key of HKEY_CURRENT_USER and a folder in the temporary folder of its own,
// both removed afterwards.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/MessageBoxAnswerer.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "tests/contract/ContractWorlds.h"

namespace contract {
namespace {

using platform::win32::toWide;

const std::string kRegistryRoot = "Software\\Quellin Contract Tests";

std::string uniqueName()
{
    static std::atomic<int> counter{0};
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

class Win32RegistryWorld final : public RegistryWorld {
public:
    Win32RegistryWorld() : key_(kRegistryRoot + "\\" + uniqueName()) { removeKey(key_); }
    ~Win32RegistryWorld() override
    {
        removeKey(key_);
        RegDeleteKeyW(HKEY_CURRENT_USER, toWide(kRegistryRoot).c_str());  // fails while others use it
    }
    platform::Registry& registry() override { return registry_; }
    std::string scratchKey() const override { return key_; }
    void removeKey(const std::string& path) override { RegDeleteTreeW(HKEY_CURRENT_USER, toWide(path).c_str()); }

private:
    std::string key_;
    platform::win32::Win32Registry registry_;
};

class Win32FileSystemWorld final : public FileSystemWorld {
public:
    Win32FileSystemWorld()
    {
        folder_ = info_.tempFolder() + "\\qln-contract-" + uniqueName();
        std::filesystem::remove_all(toWide(folder_));
        if (!CreateDirectoryW(toWide(folder_).c_str(), nullptr))
            throw std::runtime_error("cannot create the scratch folder " + folder_);
    }
    ~Win32FileSystemWorld() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(toWide(folder_), ignored);
    }
    platform::FileSystem& fileSystem() override { return fs_; }
    std::string scratchFolder() const override { return folder_; }

private:
    platform::win32::Win32SystemInfo info_;
    platform::win32::Win32FileSystem fs_;
    std::string folder_;
};

class Win32SystemInfoWorld final : public SystemInfoWorld {
public:
    platform::SystemInfo& systemInfo() override { return info_; }

private:
    platform::win32::Win32SystemInfo info_;
};

class Win32LoopWorld final : public LoopWorld {
public:
    platform::MessageLoop& loop() override { return loop_; }
    platform::Clock& clock() override { return loop_; }
    void runFor(int ms) override { loop_.runFor(ms); }

private:
    platform::win32::Win32Loop loop_;
};

class Win32DesktopWorld final : public DesktopWorld {
public:
    ~Win32DesktopWorld() override
    {
        if (!folder_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(toWide(folder_), ignored);
        }
        for (HWND window : others_)
            DestroyWindow(window);
        for (const auto& name : classes_)
            UnregisterClassW(name.c_str(), GetModuleHandleW(nullptr));
    }
    platform::Desktop& desktop() override { return desktop_; }

    platform::WindowHandle addOtherWindow(const OtherWindow& window) override
    {
        const std::wstring className = toWide(window.className);
        if (std::find(classes_.begin(), classes_.end(), className) == classes_.end()) {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = className.c_str();
            RegisterClassExW(&wc);
            classes_.push_back(className);
        }
        // An owned window is a popup with a caption, as an item window is: GetParent then names
        // its owner.
        const DWORD style = window.owner ? WS_POPUP | WS_CAPTION | WS_SYSMENU : WS_OVERLAPPEDWINDOW;
        const HWND made = CreateWindowExW(0, className.c_str(), toWide(window.title).c_str(), style, 60, 60, 400, 300,
                                          reinterpret_cast<HWND>(window.owner), nullptr, GetModuleHandleW(nullptr),
                                          nullptr);
        if (!made)
            throw std::runtime_error("cannot create another program's window");
        if (window.visible)
            ShowWindow(made, SW_SHOWNA);
        others_.push_back(made);
        return reinterpret_cast<platform::WindowHandle>(made);
    }

    void press(std::uint32_t vk, std::uint32_t modifiers) override
    {
        std::vector<INPUT> inputs;
        auto key = [&](WORD code, bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = code;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        const std::pair<std::uint32_t, WORD> modifierKeys[] = {
            {MOD_CONTROL, VK_CONTROL}, {MOD_SHIFT, VK_SHIFT}, {MOD_ALT, VK_MENU}, {MOD_WIN, VK_LWIN}};
        for (const auto& [bit, code] : modifierKeys)
            if (modifiers & bit)
                key(code, false);
        key(static_cast<WORD>(vk), false);
        key(static_cast<WORD>(vk), true);
        for (const auto& [bit, code] : modifierKeys)
            if (modifiers & bit)
                key(code, true);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }

    std::optional<int> alpha(platform::WindowHandle window) override
    {
        BYTE value = 0;
        DWORD flags = 0;
        if (!GetLayeredWindowAttributes(reinterpret_cast<HWND>(window), nullptr, &value, &flags) ||
            !(flags & LWA_ALPHA))
            return std::nullopt;
        return value;
    }

    void runFor(int ms) override { loop_.runFor(ms); }
    std::vector<std::string> answeredMessageBoxes() override { return captions_; }
    std::string makeFile(const std::string& name) override
    {
        const std::string path = folderPath() + "\\" + name;
        platform::win32::Win32FileSystem().writeFile(path, "<html></html>");
        return path;
    }
    std::string folderPath() override
    {
        if (folder_.empty()) {
            folder_ = platform::win32::Win32SystemInfo().tempFolder() + "\\qln-desktop-" + uniqueName();
            CreateDirectoryW(toWide(folder_).c_str(), nullptr);
        }
        return folder_;
    }

private:
    platform::win32::Win32Loop loop_;
    platform::win32::Win32Desktop desktop_;
    std::vector<std::string> captions_;
    platform::win32::MessageBoxAnswerer answerer_{
        [this](const std::string& caption, const std::string&) { captions_.push_back(caption); }};
    std::vector<HWND> others_;
    std::vector<std::wstring> classes_;
    std::string folder_;
};

template <class World, class Win32>
std::unique_ptr<World> make()
{
    return std::make_unique<Win32>();
}

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract,
                         testing::Values(RegistryMaker{"Win32", make<RegistryWorld, Win32RegistryWorld>}),
                         MakerName());
INSTANTIATE_TEST_SUITE_P(Win32, FileSystemContract,
                         testing::Values(FileSystemMaker{"Win32", make<FileSystemWorld, Win32FileSystemWorld>}),
                         MakerName());
INSTANTIATE_TEST_SUITE_P(Win32, SystemInfoContract,
                         testing::Values(SystemInfoMaker{"Win32", make<SystemInfoWorld, Win32SystemInfoWorld>}),
                         MakerName());
INSTANTIATE_TEST_SUITE_P(Win32, DesktopContract,
                         testing::Values(DesktopMaker{"Win32", make<DesktopWorld, Win32DesktopWorld>}),
                         MakerName());
INSTANTIATE_TEST_SUITE_P(Gdi, FontContract,
                         testing::Values(FontMaker{"Gdi", make<platform::FontEngine, platform::win32::GdiFontEngine>}),
                         MakerName());
INSTANTIATE_TEST_SUITE_P(Win32, LoopContract, testing::Values(LoopMaker{"Win32", make<LoopWorld, Win32LoopWorld>}),
                         MakerName());

} // namespace
} // namespace contract
