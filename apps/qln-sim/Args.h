#pragma once
// The arguments of one command line, read left to right by the command's parser. Each reader
// checks what it reads and throws SyntaxError with a message that names the argument and shows
// the command's usage, so a command's parser is just the sequence of its arguments.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apps/qln-sim/Lexer.h"
#include "platform/DateTime.h"

namespace qln::runner {

struct CommandSpec;

// What a checked value is: a whole number, a number with a fraction (twips, points), an OLE colour
// (0 to 0xFFFFFFFF), true or false, or any text.
enum class ValueKind { Number, Decimal, Colour, Boolean, Text };

// What the parser knows across lines: names defined so far and the open batch.
struct ParseState {
    std::map<std::string, int, std::less<>> items;    // REF -> line of its `mail`
    std::map<std::string, int, std::less<>> windows;  // open window NAME -> line of its `window`
    std::optional<int> batchLine;                     // line of the open `batch`
    std::optional<int> startLine;                     // line of `start`
    std::optional<int> pageLine;                      // line of the `page open` of the open options page
    std::int64_t virtualMs = 0;                       // the sum of every `advance` so far
    int line = 0;                                     // the line being parsed
};

class Args {
public:
    Args(const std::vector<Token>& tokens, ParseState& state);

    ParseState& state() { return state_; }
    int line() const { return state_.line; }

    // The command (or subcommand) being read, for usage in messages.
    void setCommand(const CommandSpec* spec, std::string path);
    const std::string& commandPath() const { return path_; }

    bool atEnd() const { return pos_ >= tokens_.size(); }
    // The next token without consuming it; nullptr at the end.
    const Token* peek() const { return atEnd() ? nullptr : &tokens_[pos_]; }
    const Token& next(std::string_view what);

    // A word without references (quoted or not), e.g. a keyword or a name.
    std::string word(std::string_view what);
    // One of the given words; the message lists them.
    std::string choice(std::string_view what, std::initializer_list<std::string_view> choices);
    // Consumes the next token when it is exactly this unquoted word.
    bool accept(std::string_view keyword);

    std::int64_t number(std::string_view what, std::int64_t min, std::int64_t max);
    std::int64_t duration(std::string_view what);
    platform::DateTime dateTime(std::string_view what);
    // Any text; item references in it must name items of earlier `mail` lines.
    Text text(std::string_view what);
    // A value of the kind, as text in the form the checks compare: a number in decimal ("0x10" reads
    // "16"), a decimal as formatDecimal writes it, a colour as formatColour does, `true` or `false`,
    // or any text with references.
    Text value(std::string_view what, ValueKind kind);
    // An item named by an earlier `mail` line: `a` or `@a`.
    std::string itemRef(std::string_view what);
    // A window: one named by an earlier `window` line and not closed since, Outlook's "outlook" or
    // "outlook-tray", or "@REF" for the window of an item.
    std::string windowRef(std::string_view what);

    // No more arguments may follow.
    void end();

    [[noreturn]] void fail(const std::string& reason) const;
    [[noreturn]] void failAt(const Token& token, const std::string& reason) const;

private:
    std::string usageHint() const;
    void checkItemReferences(const Text& text, const Token& token) const;

    const std::vector<Token>& tokens_;
    ParseState& state_;
    std::size_t pos_ = 0;
    const CommandSpec* spec_ = nullptr;
    std::string path_;
};

} // namespace qln::runner
