// The machine: screen, dpi, system font, operating system, user, program folder, fonts, locale.
// All of it is set up before `start`, as the notifier reads it once.

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"

namespace qln::runner {

namespace {

Action parseScreen(Args& args)
{
    const auto width = static_cast<int>(args.number("W", 1, 100'000));
    const auto height = static_cast<int>(args.number("H", 1, 100'000));
    return [width, height](Runtime& rt) {
        rt.simMachine();
        rt.note("world", "screen " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
        rt.simMachine().setScreenSize(width, height);
    };
}

Action parseDpi(Args& args)
{
    const auto dpi = static_cast<int>(args.number("N", 1, 10'000));
    return [dpi](Runtime& rt) {
        rt.simMachine();
        rt.note("world", std::to_string(dpi) + " dpi");
        rt.simMachine().setDpi(dpi);
    };
}

Action parseSystemFont(Args& args)
{
    const bool large = args.choice("size", {"small", "large"}) == "large";
    return [large](Runtime& rt) {
        rt.simMachine();
        rt.note("world", large ? "large system fonts" : "small system fonts");
        rt.simMachine().setLargeFonts(large);
    };
}

Action parseOs(Args& args)
{
    const bool nt = args.choice("platform", {"nt", "9x"}) == "nt";
    const auto major = static_cast<std::uint32_t>(args.number("MAJOR", 0, 255));
    return [nt, major](Runtime& rt) {
        rt.simMachine();
        rt.note("world", std::string(nt ? "Windows NT " : "Windows 9x ") + std::to_string(major));
        rt.simMachine().setOsVersion(nt ? platform::OsVersion::NT : platform::OsVersion::Win9x, major);
    };
}

Action parseUser(Args& args)
{
    if (args.accept("none"))
        return [](Runtime& rt) {
            rt.simMachine();
            rt.note("world", "the user name cannot be read");
            rt.simMachine().setUserName(std::nullopt);
        };
    const Text name = args.text("NAME");
    return [name](Runtime& rt) {
        const std::string user = rt.resolve(name);
        rt.simMachine();
        rt.note("world", "user " + quoteText(user));
        rt.simMachine().setUserName(user);
    };
}

Action parseProgramFolder(Args& args)
{
    const Text path = args.text("PATH");
    return [path](Runtime& rt) {
        const std::string folder = rt.resolve(path);
        rt.simMachine();
        rt.note("world", "the notifier's program folder is " + folder);
        rt.simMachine().setProgramFolder(folder);
    };
}

Action parseFonts(Args& args)
{
    const bool fixed = args.choice("metrics", {"fixed", "real"}) == "fixed";
    return [fixed](Runtime& rt) { rt.useFonts(fixed ? platform::sim::FontMode::Fixed : platform::sim::FontMode::Real); };
}

Action parseLocale(Args& args)
{
    // The only date and time format the system knows; another locale would silently show en-US.
    const std::string locale = args.choice("locale", {"en-US"});
    return [locale](Runtime& rt) {
        rt.simMachine();
        rt.note("world", "locale " + locale);
        rt.simMachine().setLocaleName(locale);
    };
}

} // namespace

std::vector<CommandSpec> machineCommands()
{
    return {
        {.name = "screen", .usage = "screen W H", .summary = "primary screen in pixels (default 1024 768)",
         .parse = &parseScreen, .beforeStart = true},
        {.name = "dpi", .usage = "dpi N", .summary = "LOGPIXELSX and LOGPIXELSY (default 96)", .parse = &parseDpi,
         .beforeStart = true},
        {.name = "system-font", .usage = "system-font small|large",
         .summary = "desktop text metric height 16 or 20 (default small)", .parse = &parseSystemFont,
         .beforeStart = true},
        {.name = "os", .usage = "os nt|9x MAJOR", .summary = "platform and major version (default nt 5)",
         .parse = &parseOs, .beforeStart = true},
        {.name = "user", .usage = "user NAME\nuser none",
         .summary = "Windows user name; none: the query fails (default alice)", .parse = &parseUser,
         .beforeStart = true},
        {.name = "program-folder", .usage = "program-folder PATH",
         .summary = "the notifier's folder (default \"C:\\Program Files\\Quellin\")", .parse = &parseProgramFolder,
         .beforeStart = true},
        {.name = "fonts", .usage = "fonts fixed|real", .summary = "text metrics: fixed (exact) or real (FreeType where built)",
         .parse = &parseFonts, .beforeStart = true},
        {.name = "locale", .usage = "locale en-US", .summary = "date and time format (default en-US)",
         .parse = &parseLocale, .beforeStart = true},
    };
}

} // namespace qln::runner
