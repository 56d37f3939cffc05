#include "apps/qln-sim/Args.h"

#include <cstdint>

#include "apps/qln-sim/CommandTable.h"
#include "apps/qln-sim/Values.h"

namespace qln::runner {

Args::Args(const std::vector<Token>& tokens, ParseState& state) : tokens_(tokens), state_(state) {}

void Args::setCommand(const CommandSpec* spec, std::string path)
{
    spec_ = spec;
    path_ = std::move(path);
}

std::string Args::usageHint() const
{
    if (!spec_ || spec_->usage.empty())
        return "";
    std::string usage(spec_->usage);
    for (std::size_t nl = usage.find('\n'); nl != std::string::npos; nl = usage.find('\n', nl))
        usage.replace(nl, 1, " | ");
    return " (usage: " + usage + ")";
}

// A name in a message can be as long as a line; the message stays readable.
constexpr std::size_t kMaxReason = 600;

void Args::fail(const std::string& reason) const { throw SyntaxError(clipped(reason, kMaxReason)); }

void Args::failAt(const Token& token, const std::string& reason) const
{
    throw SyntaxError(clipped(reason, kMaxReason) + " (column " + std::to_string(token.column) + ")");
}

const Token& Args::next(std::string_view what)
{
    if (atEnd())
        fail((path_.empty() ? "" : path_ + ": ") + "missing " + std::string(what) + usageHint());
    return tokens_[pos_++];
}

std::string Args::word(std::string_view what)
{
    const Token& token = next(what);
    if (!token.text.isPlain())
        failAt(token, path_ + ": " + std::string(what) + " cannot hold a reference: " + token.source);
    return token.text.plain();
}

std::string Args::choice(std::string_view what, std::initializer_list<std::string_view> choices)
{
    const Token& token = next(what);
    if (token.text.isPlain()) {
        const std::string value = token.text.plain();
        for (std::string_view c : choices)
            if (value == c)
                return value;
    }
    std::string list;
    for (std::string_view c : choices)
        appendListItem(list, c, "|");
    failAt(token, path_ + ": " + std::string(what) + " must be " + list + ", not " + token.source);
}

bool Args::accept(std::string_view keyword)
{
    const Token* token = peek();
    if (!token || token->quoted || !token->text.isPlain() || token->text.plain() != keyword)
        return false;
    ++pos_;
    return true;
}

std::int64_t Args::number(std::string_view what, std::int64_t min, std::int64_t max)
{
    const Token& token = next(what);
    const auto value = token.text.isPlain() ? parseNumber(token.text.plain()) : std::nullopt;
    if (!value)
        failAt(token, path_ + ": bad number " + token.source + " for " + std::string(what) +
                          " (decimal like -12 or hexadecimal like 0x80000012)");
    if (*value < min || *value > max)
        failAt(token, path_ + ": " + std::string(what) + " " + token.source + " is out of range (" +
                          std::to_string(min) + " to " + std::to_string(max) + ")");
    return *value;
}

std::int64_t Args::duration(std::string_view what)
{
    const Token& token = next(what);
    const auto value = token.text.isPlain() ? parseDuration(token.text.plain()) : std::nullopt;
    if (!value)
        failAt(token, path_ + ": bad duration " + token.source + " for " + std::string(what) +
                          " (like 250ms, 5s, 2m or 1h)");
    return *value;
}

platform::DateTime Args::dateTime(std::string_view what)
{
    const Token& token = next(what);
    const auto value = token.text.isPlain() ? parseDateTime(token.text.plain()) : std::nullopt;
    if (!value)
        failAt(token, path_ + ": bad date-time " + token.source + " for " + std::string(what) +
                          " (like \"2026-12-07 10:00:00\")");
    return *value;
}

void Args::checkItemReferences(const Text& text, const Token& token) const
{
    for (const TextPart& part : text.parts()) {
        if (part.kind == TextPart::Kind::Item && !state_.items.contains(part.text))
            failAt(token, path_ + ": no item named '" + part.text + "' (an item is named by an earlier 'mail " +
                              part.text + " in ...' line)");
    }
}

Text Args::text(std::string_view what)
{
    const Token& token = next(what);
    checkItemReferences(token.text, token);
    return token.text;
}

Text Args::value(std::string_view what, ValueKind kind)
{
    switch (kind) {
    case ValueKind::Number:
        return Text(std::to_string(number(what, INT32_MIN, INT32_MAX)));
    case ValueKind::Decimal: {
        const Token& token = next(what);
        const auto value = token.text.isPlain() ? parseDecimal(token.text.plain()) : std::nullopt;
        if (!value)
            failAt(token, path_ + ": bad number " + token.source + " for " + std::string(what) + " (like 15 or 8.25)");
        return Text(formatDecimal(*value));
    }
    case ValueKind::Colour:
        return Text(formatColour(static_cast<std::uint32_t>(number(what, 0, UINT32_MAX))));
    case ValueKind::Boolean:
        return Text(choice(what, {"true", "false"}));
    case ValueKind::Text:
        break;
    }
    return text(what);
}

std::string Args::itemRef(std::string_view what)
{
    const Token& token = next(what);
    std::string name;
    if (token.text.isItemReference())
        name = token.text.parts()[0].text;
    else if (token.text.isPlain() && Lexer::isName(token.text.plain()))
        name = token.text.plain();
    else
        failAt(token, path_ + ": " + std::string(what) + " must name an item (like a or @a), not " + token.source);
    if (!state_.items.contains(name))
        failAt(token, path_ + ": no item named '" + name + "' (an item is named by an earlier 'mail " + name +
                          " in ...' line)");
    return name;
}

std::string Args::windowRef(std::string_view what)
{
    const Token& token = next(what);
    if (token.text.isItemReference()) {
        const std::string& ref = token.text.parts()[0].text;
        checkItemReferences(token.text, token);
        return "@" + ref;
    }
    const std::string name = token.text.isPlain() ? token.text.plain() : token.source;
    if (name == "outlook" || name == "outlook-tray" || state_.windows.contains(name))
        return name;
    failAt(token, path_ + ": no window named '" + name +
                      "' is open (a window is named by an earlier 'window NAME class ...' line; Outlook's are "
                      "outlook and outlook-tray, an item's @REF)");
}

void Args::end()
{
    if (atEnd())
        return;
    const Token& token = tokens_[pos_];
    std::string reason = (path_.empty() ? "" : path_ + ": ") + "unexpected '" + token.source + "'";
    if (token.source.starts_with("#"))
        reason += "; a comment takes a whole line";
    failAt(token, reason + usageHint());
}

} // namespace qln::runner
