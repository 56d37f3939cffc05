#include "apps/qln-sim/Lexer.h"

#include <optional>

#include "apps/qln-sim/Values.h"

namespace qln::runner {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}

std::string at(std::size_t index) { return " (column " + std::to_string(index + 1) + ")"; }

// Shows a byte in a message without letting it garble the terminal.
std::string printable(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F)
        return std::string("'") + c + "'";
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("byte 0x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

class LineScanner {
public:
    explicit LineScanner(std::string_view line) : line_(line) {}

    std::vector<Token> run()
    {
        checkBytes();
        std::vector<Token> tokens;
        for (;;) {
            while (pos_ < line_.size() && isBlank(line_[pos_]))
                ++pos_;
            if (pos_ >= line_.size())
                break;
            if (tokens.empty() && line_[pos_] == '#')
                break;
            tokens.push_back(line_[pos_] == '"' ? quoted() : bare());
        }
        return tokens;
    }

private:
    // Text files only: a control byte is a binary file or a mangled line, never meant.
    void checkBytes() const
    {
        for (std::size_t i = 0; i < line_.size(); ++i) {
            const auto byte = static_cast<unsigned char>(line_[i]);
            if ((byte < 0x20 && line_[i] != '\t') || byte == 0x7F)
                throw SyntaxError("control character " + printable(line_[i]) + " in the line" + at(i) +
                                  "; scenarios are text (write it as \\xHH inside quotes)");
        }
    }

    Token bare()
    {
        Token token;
        token.column = pos_ + 1;
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !isBlank(line_[pos_])) {
            const char c = line_[pos_];
            if (c == '"')
                throw SyntaxError("quote inside a word" + at(pos_) + "; quote the whole token");
            if (c == '\\' && pos_ + 1 < line_.size() && line_[pos_ + 1] == '$') {
                token.text.appendChar('$');
                pos_ += 2;
            } else if (c == '$' && pos_ + 1 < line_.size() && line_[pos_ + 1] == '{') {
                reference(token.text);
            } else {
                token.text.appendChar(c);
                ++pos_;
            }
        }
        token.source = clipped(line_.substr(start, pos_ - start));
        // "@a" alone is short for "${item:a}".
        if (token.text.isPlain()) {
            const std::string word = token.text.plain();
            if (word.size() > 1 && word[0] == '@' && token.source[0] == '@') {
                Text ref;
                ref.appendReference(TextPart::Kind::Item, checkedName(word.substr(1), start + 1));
                token.text = std::move(ref);
            }
        }
        return token;
    }

    Token quoted()
    {
        Token token;
        token.quoted = true;
        token.column = pos_ + 1;
        const std::size_t start = pos_++;
        for (;;) {
            if (pos_ >= line_.size()) {
                std::string reason = "unterminated quote" + at(start);
                if (pos_ >= 2 && line_[pos_ - 1] == '"' && line_[pos_ - 2] == '\\')
                    reason += "; a backslash before the closing quote escapes it (write \\\\ for a backslash)";
                throw SyntaxError(reason);
            }
            const char c = line_[pos_];
            if (c == '"') {
                ++pos_;
                break;
            }
            if (c == '\\' && pos_ + 1 < line_.size()) {
                escape(token.text);
            } else if (c == '$' && pos_ + 1 < line_.size() && line_[pos_ + 1] == '{') {
                reference(token.text);
            } else {
                token.text.appendChar(c);
                ++pos_;
            }
        }
        if (pos_ < line_.size() && !isBlank(line_[pos_]))
            throw SyntaxError("text after the closing quote" + at(pos_) + "; separate tokens with a blank");
        token.source = clipped(line_.substr(start, pos_ - start));
        return token;
    }

    // At a backslash inside quotes, with at least one byte after it.
    void escape(Text& text)
    {
        const char next = line_[pos_ + 1];
        switch (next) {
        case '"': text.appendChar('"'); pos_ += 2; return;
        case '\\': text.appendChar('\\'); pos_ += 2; return;
        case 'r': text.appendChar('\r'); pos_ += 2; return;
        case 'n': text.appendChar('\n'); pos_ += 2; return;
        case 't': text.appendChar('\t'); pos_ += 2; return;
        case '$': text.appendChar('$'); pos_ += 2; return;
        case 'x': {
            const auto high = pos_ + 2 < line_.size() ? hexDigit(line_[pos_ + 2]) : std::nullopt;
            const auto low = pos_ + 3 < line_.size() ? hexDigit(line_[pos_ + 3]) : std::nullopt;
            if (!high || !low)
                throw SyntaxError("\\x must be followed by two hexadecimal digits" + at(pos_));
            text.appendChar(static_cast<char>(*high * 16 + *low));
            pos_ += 4;
            return;
        }
        default:
            // Any other backslash stands for itself: "C:\Program Files".
            text.appendChar('\\');
            ++pos_;
            return;
        }
    }

    // At "${": reads "${kind:name}".
    void reference(Text& text)
    {
        const std::size_t start = pos_;
        const std::size_t close = line_.find('}', pos_);
        if (close == std::string_view::npos)
            throw SyntaxError("unterminated ${ (no closing brace)" + at(start));
        const std::string_view inner = line_.substr(pos_ + 2, close - pos_ - 2);
        const std::size_t colon = inner.find(':');
        if (colon == std::string_view::npos)
            throw SyntaxError("reference ${" + clipped(inner) + "} needs a kind: ${item:REF}, ${folder:PATH} or "
                              "${store:PATH}" + at(start));
        const std::string_view kind = inner.substr(0, colon);
        const std::string name(inner.substr(colon + 1));
        if (kind == "item")
            text.appendReference(TextPart::Kind::Item, checkedName(name, start));
        else if (kind == "folder" || kind == "store")
            text.appendReference(kind == "folder" ? TextPart::Kind::Folder : TextPart::Kind::Store,
                                 checkedPath(name, start));
        else
            throw SyntaxError("unknown reference kind '" + clipped(kind) +
                              "' (item, folder or store)" + at(start));
        pos_ = close + 1;
    }

    static std::string checkedName(const std::string& name, std::size_t column)
    {
        if (name.empty())
            throw SyntaxError("empty item name in a reference" + at(column));
        for (char c : name)
            if (!isNameChar(c))
                throw SyntaxError("item name '" + clipped(name) + "' may hold only letters, digits, '_', '-' and '.'" +
                                  at(column));
        return name;
    }

    static std::string checkedPath(const std::string& path, std::size_t column)
    {
        if (path.empty())
            throw SyntaxError("empty folder path in a reference" + at(column));
        return path;
    }

    std::string_view line_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<Token> Lexer::tokenize(std::string_view line) { return LineScanner(line).run(); }

bool Lexer::isName(std::string_view name)
{
    if (name.empty())
        return false;
    for (char c : name)
        if (!isNameChar(c))
            return false;
    return true;
}

} // namespace qln::runner
