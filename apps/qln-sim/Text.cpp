#include "apps/qln-sim/Text.h"

namespace qln::runner {

Text::Text(std::string literal)
{
    if (!literal.empty())
        parts_.push_back({TextPart::Kind::Literal, std::move(literal)});
}

void Text::appendLiteral(std::string_view bytes)
{
    if (bytes.empty())
        return;
    if (parts_.empty() || parts_.back().kind != TextPart::Kind::Literal)
        parts_.push_back({TextPart::Kind::Literal, {}});
    parts_.back().text.append(bytes);
}

void Text::appendChar(char c) { appendLiteral(std::string_view(&c, 1)); }

void Text::appendReference(TextPart::Kind kind, std::string name) { parts_.push_back({kind, std::move(name)}); }

bool Text::isPlain() const
{
    for (const TextPart& part : parts_)
        if (part.kind != TextPart::Kind::Literal)
            return false;
    return true;
}

std::string Text::plain() const
{
    std::string out;
    for (const TextPart& part : parts_)
        if (part.kind == TextPart::Kind::Literal)
            out += part.text;
    return out;
}

bool Text::isItemReference() const { return parts_.size() == 1 && parts_[0].kind == TextPart::Kind::Item; }

std::string Text::display() const
{
    std::string out;
    for (const TextPart& part : parts_) {
        switch (part.kind) {
        case TextPart::Kind::Literal: out += part.text; break;
        case TextPart::Kind::Item: out += "${item:" + part.text + "}"; break;
        case TextPart::Kind::Folder: out += "${folder:" + part.text + "}"; break;
        case TextPart::Kind::Store: out += "${store:" + part.text + "}"; break;
        }
    }
    return out;
}

} // namespace qln::runner
