#pragma once
// A scenario's text value before the run: literal bytes and references that only the run can
// resolve (${item:REF}, ${folder:PATH}, ${store:PATH}, @REF), kept apart so that the parser can
// check names and the runner can substitute identifiers that exist only once the world runs.

#include <string>
#include <string_view>
#include <vector>

namespace qln::runner {

struct TextPart {
    enum class Kind { Literal, Item, Folder, Store };
    Kind kind = Kind::Literal;
    std::string text;  // the bytes, or the REF / PATH named
    friend bool operator==(const TextPart&, const TextPart&) = default;
};

class Text {
public:
    Text() = default;
    explicit Text(std::string literal);

    void appendLiteral(std::string_view bytes);
    void appendChar(char c);
    void appendReference(TextPart::Kind kind, std::string name);

    const std::vector<TextPart>& parts() const { return parts_; }
    // No reference inside: the text is known before the run.
    bool isPlain() const;
    // The literal bytes; only meaningful when isPlain().
    std::string plain() const;
    // Exactly one item reference and nothing else (`@a`, `${item:a}`).
    bool isItemReference() const;
    // How the text reads in a message: references shown as written.
    std::string display() const;

    friend bool operator==(const Text&, const Text&) = default;

private:
    std::vector<TextPart> parts_;
};

} // namespace qln::runner
