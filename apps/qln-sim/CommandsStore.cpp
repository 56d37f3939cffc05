// The store and files: reg set / reg delete, file write / file delete, and their checks.

#include <optional>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"
#include "platform/Lang.h"
#include "shared/Settings.h"

namespace qln::runner {

namespace {

using platform::Hive;
using platform::sim::RegValue;

// The scenario's names for the settings schema's keys.
struct KeyName {
    std::string_view name;
    qln::settings::StoreKey key;
};
constexpr KeyName kKeyNames[] = {
    {"settings", qln::settings::StoreKey::Settings},
    {"options", qln::settings::StoreKey::Options},
    {"install", qln::settings::StoreKey::Install},
    {"outlook-prefs", qln::settings::StoreKey::OutlookPreferences},
    {"outlook-options", qln::settings::StoreKey::OutlookOptions},
};

// A key under HKEY_CURRENT_USER: one of the names above or a path (quoted, or holding a backslash).
std::string readKey(Args& args)
{
    const Token* token = args.peek();
    const std::string text = args.word("KEY");
    for (const KeyName& k : kKeyNames)
        if (!token->quoted && text == k.name)
            return std::string(qln::settings::keyPath(k.key));
    if (!token->quoted && text.find('\\') == std::string::npos)
        args.failAt(*token, args.commandPath() + ": unknown registry key '" + text +
                                "' (settings, options, install, outlook-prefs, outlook-options, or a path in quotes)");
    std::string_view path = text;
    for (std::string_view prefix : {"HKEY_CURRENT_USER\\", "HKCU\\"})
        if (path.size() >= prefix.size() && lang::equalsNoCase(path.substr(0, prefix.size()), prefix))
            path.remove_prefix(prefix.size());
    if (path.empty())
        args.failAt(*token, args.commandPath() + ": empty registry key path");
    return std::string(path);
}

Action parseRegSet(Args& args)
{
    const std::string key = readKey(args);
    const std::string name = args.word("NAME");
    // The language's own example leaves the type out for text (`reg set settings X "a|b|"`): only an
    // unquoted dword, sz or raw is a type; anything else is the text of an sz value.
    std::string type = "sz";
    for (std::string_view t : {"dword", "sz", "raw"})
        if (args.accept(t))
            type = t;
    if (type == "dword") {
        const auto value = static_cast<std::uint32_t>(args.number("N", INT32_MIN, UINT32_MAX));
        return [key, name, value](Runtime& rt) {
            rt.worldRegistry();
            rt.note("world", "reg set " + key + " " + quoteText(name) + " dword " + std::to_string(value));
            rt.worldRegistry().set(Hive::CurrentUser, key, name, RegValue::dword(value));
        };
    }
    if (type == "sz") {
        const Text text = args.text("TEXT");
        return [key, name, text](Runtime& rt) {
            const RegValue value = RegValue::sz(rt.resolve(text));
            rt.worldRegistry();
            rt.note("world", "reg set " + key + " " + quoteText(name) + " " + describeRegValue(value));
            rt.worldRegistry().set(Hive::CurrentUser, key, name, value);
        };
    }
    RegValue raw;
    raw.type = static_cast<std::uint32_t>(args.number("TYPE", 0, UINT32_MAX));
    const Token* token = args.peek();
    const std::string hex = args.word("HEXBYTES");
    auto bytes = parseHexBytes(hex);
    if (!bytes)
        args.failAt(*token, "reg set: bad HEXBYTES " + token->source + " (pairs of hexadecimal digits, like 01ff00)");
    raw.data = std::move(*bytes);
    return [key, name, raw](Runtime& rt) {
        rt.worldRegistry();
        rt.note("world", "reg set " + key + " " + quoteText(name) + " " + describeRegValue(raw));
        rt.worldRegistry().set(Hive::CurrentUser, key, name, raw);
    };
}

Action parseRegDelete(Args& args)
{
    const std::string key = readKey(args);
    if (args.atEnd())
        return [key](Runtime& rt) {
            rt.worldRegistry();
            rt.note("world", "reg delete " + key);
            rt.worldRegistry().deleteKey(Hive::CurrentUser, key);
        };
    const std::string name = args.word("NAME");
    return [key, name](Runtime& rt) {
        rt.worldRegistry();
        rt.note("world", "reg delete " + key + " " + quoteText(name));
        rt.worldRegistry().deleteValue(Hive::CurrentUser, key, name);
    };
}

const CommandTable& regTable()
{
    static const CommandTable table(
        "reg operation",
        {
            {.name = "set",
             .usage = "reg set KEY NAME dword N\nreg set KEY NAME [sz] TEXT\nreg set KEY NAME raw TYPE HEXBYTES",
             .summary = "a value under HKCU; KEY: settings, options, install,\n"
                        "outlook-prefs, outlook-options or \"PATH\"",
             .parse = &parseRegSet},
            {.name = "delete", .usage = "reg delete KEY\nreg delete KEY NAME",
             .summary = "a key with its subkeys, or one value", .parse = &parseRegDelete},
        });
    return table;
}

// A Windows path of the simulated file system; checked now when it holds no reference.
Text readPath(Args& args)
{
    const Token* token = args.peek();
    Text path = args.text("PATH");
    if (path.isPlain() && !platform::sim::SimFileSystem::canonical(path.plain()))
        args.failAt(*token, args.commandPath() + ": " + token->source + " is not an absolute Windows path (C:\\...)");
    return path;
}

Action parseFileWrite(Args& args)
{
    const Text path = readPath(args);
    const Text content = args.text("TEXT");
    return [path, content](Runtime& rt) {
        const std::string where = rt.resolve(path);
        const std::string text = rt.resolve(content);
        rt.worldFiles();
        rt.note("world", "file write " + where + " (" + std::to_string(text.size()) + " bytes)");
        rt.worldFiles().put(where, text);
    };
}

Action parseFileDelete(Args& args)
{
    const Text path = readPath(args);
    return [path](Runtime& rt) {
        const std::string where = rt.resolve(path);
        if (!rt.worldFiles().fileExists(where))
            throw std::invalid_argument("file delete: no file " + where);
        rt.worldFiles();
        rt.note("world", "file delete " + where);
        rt.worldFiles().remove(where);
    };
}

const CommandTable& fileTable()
{
    static const CommandTable table(
        "file operation",
        {
            {.name = "write", .usage = "file write PATH TEXT",
             .summary = "a file's whole content (missing folders are created)", .parse = &parseFileWrite},
            {.name = "delete", .usage = "file delete PATH", .summary = "a file goes away", .parse = &parseFileDelete},
        });
    return table;
}

Action parseExpectReg(Args& args)
{
    const std::string key = readKey(args);
    const std::string name = args.word("NAME");
    const std::string kind = args.choice("what", {"dword", "sz", "missing"});
    auto found = [key, name](Runtime& rt) { return rt.worldRegistry().get(Hive::CurrentUser, key, name); };
    auto describe = [](const std::optional<RegValue>& v) { return v ? describeRegValue(*v) : std::string("missing"); };
    if (kind == "missing")
        return [found, describe](Runtime& rt) {
            const auto value = found(rt);
            Runtime::expect(!value, "missing", describe(value));
        };
    if (kind == "dword") {
        const auto expected = static_cast<std::uint32_t>(args.number("N", INT32_MIN, UINT32_MAX));
        return [found, describe, expected](Runtime& rt) {
            const auto value = found(rt);
            Runtime::expect(value && value->asDword() == expected, describeRegValue(RegValue::dword(expected)),
                            describe(value));
        };
    }
    const Text text = args.text("TEXT");
    return [found, describe, text](Runtime& rt) {
        const std::string expected = rt.resolve(text);
        const auto value = found(rt);
        Runtime::expect(value && value->asText() == expected, "sz " + quoteText(expected), describe(value));
    };
}

Action parseExpectFile(Args& args)
{
    const Text path = readPath(args);
    if (args.accept("missing"))
        return [path](Runtime& rt) {
            const auto content = rt.worldFiles().content(rt.resolve(path));
            Runtime::expect(!content, "missing", content ? quoteText(*content) : "");
        };
    const Text text = args.text("TEXT");
    return [path, text](Runtime& rt) {
        const std::string expected = rt.resolve(text);
        const auto content = rt.worldFiles().content(rt.resolve(path));
        Runtime::expect(content == expected, quoteText(expected), content ? quoteText(*content) : "missing");
    };
}

} // namespace

std::vector<CommandSpec> storeCommands()
{
    return {
        {.name = "reg", .sub = &regTable()},
        {.name = "file", .sub = &fileTable()},
    };
}

std::vector<CommandSpec> storeChecks()
{
    return {
        {.name = "reg",
         .usage = "expect reg KEY NAME dword N\nexpect reg KEY NAME sz TEXT\nexpect reg KEY NAME missing",
         .summary = "a registry value", .parse = &parseExpectReg},
        {.name = "file", .usage = "expect file PATH TEXT\nexpect file PATH missing",
         .summary = "a file's whole content, or its absence", .parse = &parseExpectFile},
    };
}

} // namespace qln::runner
