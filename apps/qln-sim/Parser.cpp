#include "apps/qln-sim/Parser.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "apps/qln-sim/Args.h"
#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Lexer.h"

namespace qln::runner {

namespace {

std::string trimmed(std::string_view line)
{
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && (line[begin] == ' ' || line[begin] == '\t'))
        ++begin;
    while (end > begin && (line[end - 1] == ' ' || line[end - 1] == '\t'))
        --end;
    return std::string(line.substr(begin, end - begin));
}

[[noreturn]] void reject(const std::string& file, int line, const std::string& reason)
{
    throw ScenarioError(file + ":" + std::to_string(line) + ": " + reason, 2);
}

// "# world: NAME" (spaces around the words allowed): NAME, else nullopt.
std::optional<std::string> worldHeader(std::string_view line)
{
    std::string text = trimmed(line);
    if (!text.starts_with('#'))
        return std::nullopt;
    text = trimmed(std::string_view(text).substr(1));
    static constexpr std::string_view kKey = "world:";
    if (!text.starts_with(kKey))
        return std::nullopt;
    return trimmed(std::string_view(text).substr(kKey.size()));
}

constexpr std::string_view kWorlds[] = {"simulated", "windows", "outlook", "any"};

} // namespace

Scenario Parser::parse(std::string_view text, const std::string& fileName)
{
    Scenario scenario;
    scenario.file = fileName;
    if (text.size() > kMaxFileBytes)
        reject(fileName, 1, "file larger than " + std::to_string(kMaxFileBytes) + " bytes; not a scenario");
    // A UTF-8 byte-order mark is an editor's habit, not content.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);

    ParseState state;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        ++lineNumber;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() > kMaxLineBytes)
            reject(fileName, lineNumber,
                   "line longer than " + std::to_string(kMaxLineBytes) + " bytes; not a scenario line");
        if (line.ends_with('\r'))
            line.remove_suffix(1);

        state.line = lineNumber;
        if (const auto world = worldHeader(line)) {
            if (!scenario.steps.empty())
                reject(fileName, lineNumber, "world: the world line belongs in the header, before the first command");
            if (scenario.worldLine != 0)
                reject(fileName, lineNumber,
                       "world: the header names the world already (line " + std::to_string(scenario.worldLine) + ")");
            if (std::find(std::begin(kWorlds), std::end(kWorlds), *world) == std::end(kWorlds))
                reject(fileName, lineNumber, "world: unknown world '" + *world + "' (simulated, windows, outlook or any)");
            scenario.world = *world;
            scenario.worldLine = lineNumber;
            continue;
        }
        try {
            const std::vector<Token> tokens = Lexer::tokenize(line);
            if (tokens.empty())
                continue;
            Args args(tokens, state);
            Action action = commandTable().parse(args, "");
            args.end();
            scenario.steps.push_back({lineNumber, trimmed(line), std::move(action)});
        } catch (const SyntaxError& e) {
            reject(fileName, lineNumber, e.what());
        }
    }
    if (state.batchLine)
        reject(fileName, *state.batchLine, "batch without end (the file ends inside it)");
    return scenario;
}

} // namespace qln::runner
