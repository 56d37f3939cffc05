#include "apps/qln-sim/CommandTable.h"

#include "apps/qln-sim/Values.h"

namespace qln::runner {

CommandTable::CommandTable(std::string_view what, std::vector<CommandSpec> specs, ParseFn fallback)
    : what_(what), specs_(std::move(specs)), fallback_(fallback)
{
}

const CommandSpec* CommandTable::find(std::string_view name) const
{
    for (const CommandSpec& spec : specs_)
        if (spec.name == name)
            return &spec;
    return nullptr;
}

Action CommandTable::parse(Args& args, const std::string& parent) const
{
    const Token* token = args.peek();
    if (!token) {
        std::string names;
        for (const CommandSpec& spec : specs_)
            if (!spec.name.empty())
                appendListItem(names, spec.name);
        args.fail(parent + ": missing " + std::string(what_) + " (one of " + names + ")");
    }
    const CommandSpec* spec = token->quoted || !token->text.isPlain() ? nullptr : find(token->text.plain());
    if (!spec) {
        if (fallback_)
            return fallback_(args);
        args.fail("unknown " + std::string(what_) + " '" + token->source + "'" +
                  (parent.empty() ? "" : " after '" + parent + "'") + " (see qln-sim --help)");
    }
    args.next(what_);
    const std::string path = parent.empty() ? std::string(spec->name) : parent + " " + std::string(spec->name);
    if (!spec->parse && !spec->sub)
        args.fail("'" + path + "' is not available yet: the part of the system it drives is not built");

    ParseState& state = args.state();
    if (spec->beforeStart && state.startLine)
        args.fail("'" + path + "' sets up the machine and must come before 'start' (line " +
                  std::to_string(*state.startLine) + ")");
    if (spec->outsideBatch && state.batchLine)
        args.fail("'" + path + "' cannot run inside the batch opened at line " + std::to_string(*state.batchLine));

    if (spec->sub)
        return spec->sub->parse(args, path);
    args.setCommand(spec, path);
    return spec->parse(args);
}

void CommandTable::collect(std::string& available, std::string& later) const
{
    for (const CommandSpec& spec : specs_) {
        if (spec.sub) {
            spec.sub->collect(available, later);
            continue;
        }
        std::string& out = spec.parse ? available : later;
        std::string_view usage = spec.usage;
        bool first = true;
        while (!usage.empty()) {
            const std::size_t nl = usage.find('\n');
            const std::string_view form = usage.substr(0, nl);
            out += "  " + std::string(form);
            if (first && !spec.summary.empty()) {
                out += form.size() < 44 ? std::string(46 - form.size(), ' ') : std::string("\n") + std::string(48, ' ');
                // A long summary continues under itself.
                for (char c : spec.summary)
                    out += c == '\n' ? "\n" + std::string(48, ' ') : std::string(1, c);
            }
            out += '\n';
            first = false;
            usage = nl == std::string_view::npos ? std::string_view() : usage.substr(nl + 1);
        }
    }
}

std::string CommandTable::help() const
{
    std::string available;
    std::string later;
    collect(available, later);
    std::string out = "Commands:\n" + available;
    if (!later.empty())
        out += "\nKnown to the language, not available yet (a scenario using them exits 2):\n" + later;
    return out;
}

} // namespace qln::runner
