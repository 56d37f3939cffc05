#pragma once
// The lexical rules of a scenario line: blank-separated tokens, double-quoted tokens with the
// escapes \" \\ \r \n \t \xHH (any other backslash stands for itself, so Windows paths need no
// doubling), ${item:REF} / ${folder:PATH} / ${store:PATH} references, \$ for a literal dollar, and a
// bare @REF token for ${item:REF}.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "apps/qln-sim/Text.h"

namespace qln::runner {

// A scenario that cannot run as written: the parser adds the file and line.
class SyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Token {
    Text text;
    bool quoted = false;
    std::size_t column = 1;  // 1-based, of the token's first byte
    // The token as written, for messages (clipped when long).
    std::string source;
};

class Lexer {
public:
    // The tokens of one line (without its line break). An empty result: a blank or comment line.
    // Throws SyntaxError for an unterminated quote, a bad escape or reference, or a control byte.
    static std::vector<Token> tokenize(std::string_view line);

    // Whether the text can name an item or a window: letters, digits, '_', '-' and '.'.
    static bool isName(std::string_view name);
};

} // namespace qln::runner
