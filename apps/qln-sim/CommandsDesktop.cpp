// The desktop: other programs' windows, the foreground, the screen saver, tray icons, hot keys
// held by other programs, key presses, and their checks.

#include <limits>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"

namespace qln::runner {

namespace {

// The dismiss hot key's identifier on the popup's window.
constexpr int kDismissHotKeyId = 70;

bool reservedWindowName(std::string_view name)
{
    return name == "outlook" || name == "outlook-tray" || name == "popup" || name == "none";
}

Action parseWindow(Args& args)
{
    const Token* token = args.peek();
    const std::string name = args.word("NAME");
    if (!Lexer::isName(name))
        args.failAt(*token, "window: NAME '" + name + "' may hold only letters, digits, '_', '-' and '.'");
    if (reservedWindowName(name))
        args.failAt(*token, "window: '" + name + "' is a name of its own (outlook, outlook-tray, popup, none)");
    ParseState& state = args.state();
    if (const auto it = state.windows.find(name); it != state.windows.end())
        args.failAt(*token, "window: '" + name + "' is already open (line " + std::to_string(it->second) + ")");
    args.choice("'class'", {"class"});
    const Text className = args.text("CLASS");
    std::optional<Text> title;
    bool hidden = false;
    while (!args.atEnd()) {
        if (args.accept("hidden")) {
            hidden = true;
            continue;
        }
        args.choice("option", {"title", "hidden"});
        if (title)
            args.fail("window: option 'title' given twice");
        title = args.text("TEXT");
    }
    state.windows.emplace(name, state.line);
    return [name, className, title, hidden](Runtime& rt) {
        const std::string cls = rt.resolve(className);
        const std::string text = title ? rt.resolve(*title) : "";
        rt.worldDesktop();
        rt.note("world", "window " + name + " (class " + quoteText(cls) + ", title " + quoteText(text) + ")" +
                             (hidden ? " appears hidden" : " appears"));
        rt.worldDesktop().addWindow(name, cls, text, hidden);
    };
}

Action parseWindowClose(Args& args)
{
    const std::string name = args.windowRef("NAME");
    args.state().windows.erase(name);
    return [name](Runtime& rt) {
        rt.worldDesktop();
        rt.note("world", "window " + name + " closes");
        rt.worldDesktop().closeWindow(rt.window(name));
    };
}

Action parseForeground(Args& args)
{
    const std::string name = args.windowRef("NAME");
    return [name](Runtime& rt) {
        rt.worldDesktop();
        rt.note("world", "the user activates window " + name);
        rt.worldDesktop().setForeground(rt.window(name));
    };
}

Action parseScreensaver(Args& args)
{
    const bool on = args.choice("state", {"on", "off"}) == "on";
    return [on](Runtime& rt) {
        rt.worldDesktop();
        rt.note("world", on ? "the screen saver starts" : "the screen saver stops");
        rt.worldDesktop().setScreenSaver(on);
    };
}

Action parseTrayIcon(Args& args)
{
    const std::string name = args.windowRef("WINDOW");
    const auto id = static_cast<std::uint32_t>(args.number("ID", 0, std::numeric_limits<std::uint32_t>::max()));
    return [name, id](Runtime& rt) {
        rt.worldDesktop();
        rt.note("world", "tray icon " + std::to_string(id) + " of window " + name + " appears");
        rt.worldDesktop().addTrayIcon(rt.window(name), id);
    };
}

struct Combo {
    std::uint32_t vk;
    std::uint32_t modifiers;
};

Combo readCombo(Args& args)
{
    const auto vk = static_cast<std::uint32_t>(args.number("VK", 1, 0xFE));
    const auto modifiers = static_cast<std::uint32_t>(args.number("MODS", 0, 15));
    return {vk, modifiers};
}

std::string describeCombo(std::uint32_t vk, std::uint32_t modifiers)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "VK 0x%02X MODS %u", vk, modifiers);
    return buffer;
}

Action parseHotkeyTaken(Args& args)
{
    const Combo combo = readCombo(args);
    return [combo](Runtime& rt) {
        rt.worldDesktop();
        rt.note("world", "another program holds " + describeCombo(combo.vk, combo.modifiers));
        rt.worldDesktop().setHotKeyTaken(combo.vk, combo.modifiers);
    };
}

Action parsePress(Args& args)
{
    const Combo combo = readCombo(args);
    return [combo](Runtime& rt) {
        rt.worldDesktop();
        rt.note("world", "the user presses " + describeCombo(combo.vk, combo.modifiers));
        if (!rt.worldDesktop().press(combo.vk, combo.modifiers))
            rt.note("desktop", "the press reaches none of the notifier's hot keys");
    };
}

// ---- checks ------------------------------------------------------------------------------------------

Action parseExpectForeground(Args& args)
{
    std::string name;
    if (args.accept("popup"))
        name = "popup";
    else if (args.accept("none"))
        name = "none";
    else
        name = args.windowRef("NAME");
    return [name](Runtime& rt) {
        const platform::WindowHandle foreground = rt.world().foreground();
        bool held = false;
        if (name == "none")
            held = foreground == platform::NoWindow;
        else if (name == "popup")
            held = foreground != platform::NoWindow && foreground == rt.popupWindow();
        else
            held = foreground != platform::NoWindow && foreground == rt.findWindow(name);
        Runtime::expect(held, name == "none" ? "no foreground window" : name + " in the foreground",
                        rt.describeWindow(foreground) + (foreground == platform::NoWindow ? "" : " in the foreground"));
    };
}

Action parseExpectHotkey(Args& args)
{
    std::optional<Combo> wanted;
    if (!args.accept("none"))
        wanted = readCombo(args);
    return [wanted](Runtime& rt) {
        rt.needNotifierInProcess("the hot key it registered; `press` it instead");
        const platform::WindowHandle popup = rt.popupWindow();
        const auto found =
            popup == platform::NoWindow ? std::nullopt : rt.worldDesktop().hotKey(popup, kDismissHotKeyId);
        const bool held = wanted ? found && found->vk == wanted->vk && found->modifiers == wanted->modifiers : !found;
        Runtime::expect(held, wanted ? describeCombo(wanted->vk, wanted->modifiers) : "no hot key",
                        found ? describeCombo(found->vk, found->modifiers)
                              : popup == platform::NoWindow ? "no popup window" : "no hot key");
    };
}

Action parseExpectWindow(Args& args)
{
    const std::string name = args.windowRef("NAME");
    args.choice("state", {"front"});
    return [name](Runtime& rt) {
        const platform::WindowHandle front = rt.world().front();
        const platform::WindowHandle handle = rt.findWindow(name);
        Runtime::expect(handle != platform::NoWindow && handle == front, name + " in front",
                        rt.describeWindow(front) + " in front");
    };
}

} // namespace

std::vector<CommandSpec> desktopCommands()
{
    return {
        {.name = "window", .usage = "window NAME class CLASS [title TEXT] [hidden]",
         .summary = "another program's window appears on top", .parse = &parseWindow},
        {.name = "window-close", .usage = "window-close NAME", .summary = "the window goes away",
         .parse = &parseWindowClose},
        {.name = "foreground", .usage = "foreground NAME", .summary = "the user activates the window",
         .parse = &parseForeground},
        {.name = "screensaver", .usage = "screensaver on|off", .summary = "the screen saver runs or stops",
         .parse = &parseScreensaver},
        {.name = "tray-icon", .usage = "tray-icon WINDOW ID", .summary = "a tray icon owned by a window",
         .parse = &parseTrayIcon},
        {.name = "hotkey-taken", .usage = "hotkey-taken VK MODS",
         .summary = "another program holds it (MODS: Alt 1, Ctrl 2, Shift 4)",
         .parse = &parseHotkeyTaken},
        {.name = "press", .usage = "press VK MODS", .summary = "the user presses a system-wide combination",
         .parse = &parsePress},
    };
}

std::vector<CommandSpec> desktopChecks()
{
    return {
        {.name = "foreground", .usage = "expect foreground NAME|popup|none", .summary = "the foreground window",
         .parse = &parseExpectForeground},
        {.name = "hotkey", .usage = "expect hotkey VK MODS\nexpect hotkey none",
         .summary = "the popup's hot key (identifier 70)", .parse = &parseExpectHotkey},
        {.name = "window", .usage = "expect window NAME front",
         .summary = "the window is in front of the other (not topmost) windows", .parse = &parseExpectWindow},
    };
}

} // namespace qln::runner
