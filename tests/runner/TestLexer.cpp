#include <gtest/gtest.h>

#include "apps/qln-sim/Lexer.h"
#include "apps/qln-sim/Values.h"

namespace qln::runner {
namespace {

// Tokens as "text" with references shown as written, joined by '|'; quoted ones marked with '"'.
std::string lexed(std::string_view line)
{
    std::string out;
    for (const Token& t : Lexer::tokenize(line)) {
        if (!out.empty())
            out += '|';
        out += (t.quoted ? "\"" : "") + t.text.display();
    }
    return out;
}

std::string lexError(std::string_view line)
{
    try {
        Lexer::tokenize(line);
    } catch (const SyntaxError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(Lexer, SplitsQuotesAndEscapes)
{
    const struct {
        std::string_view line;
        std::string tokens;
    } cases[] = {
        {"", ""},
        {"   \t ", ""},
        {"# a comment \"unterminated", ""},
        {"   # indented comment", ""},
        {"advance 5s", "advance|5s"},
        {"  a\tb   c  ", "a|b|c"},
        {"x \"two words\"", "x|\"two words"},
        {"x \"\"", "x|\""},
        {R"(x "a\"b\\c")", "x|\"a\"b\\c"},
        {R"(x "C:\Program Files\Quellin")", "x|\"C:\\Program Files\\Quellin"},  // other backslashes stay
        {R"(x C:\dir\file)", "x|C:\\dir\\file"},                                  // bare: no escapes
        {R"(x "\x41\x7a")", "x|\"Az"},
        {R"(x "a\$b" a\$b)", "x|\"a$b|a$b"},
        {"x $5 a$b", "x|$5|a$b"},                                                // a lone $ is itself
        {"x a#b #c", "x|a#b|#c"},                                                // # only starts a comment line
        {"x @a", "x|${item:a}"},
        {"x \"@a\" @", "x|\"@a|@"},                                              // quoted: literal
        {"x \"J:${folder:Inbox/Junk}|\" ${store:Archive:Inbox}", "x|\"J:${folder:Inbox/Junk}||${store:Archive:Inbox}"},
        {"x pre${item:a.b-c_1}post", "x|pre${item:a.b-c_1}post"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lexed(c.line), c.tokens) << c.line;
}

TEST(Lexer, EscapesGiveExactBytes)
{
    const auto tokens = Lexer::tokenize(R"("\r\n\t\x00\xff\q")");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].text.plain(), std::string("\r\n\t\0\xff\\q", 7));
    // An escaped "${" is text, not a reference.
    EXPECT_TRUE(Lexer::tokenize(R"("\x24{item:a}")")[0].text.isPlain());
    EXPECT_EQ(Lexer::tokenize("a   \"b\"")[1].column, 5u);
}

TEST(Lexer, RefusesMalformedLines)
{
    const struct {
        std::string_view line;
        std::string error;
    } cases[] = {
        {"x \"open", "unterminated quote (column 3)"},
        {R"(x "C:\dir\")",
         "unterminated quote (column 3); a backslash before the closing quote escapes it (write \\\\ for a backslash)"},
        {"x \"a\"b", "text after the closing quote (column 6); separate tokens with a blank"},
        {"x ab\"c\"", "quote inside a word (column 5); quote the whole token"},
        {R"(x "\x4")", "\\x must be followed by two hexadecimal digits (column 4)"},
        {R"(x "\xg0")", "\\x must be followed by two hexadecimal digits (column 4)"},
        {"x ${item:a", "unterminated ${ (no closing brace) (column 3)"},
        {"x ${a}", "reference ${a} needs a kind: ${item:REF}, ${folder:PATH} or ${store:PATH} (column 3)"},
        {"x ${mail:a}", "unknown reference kind 'mail' (item, folder or store) (column 3)"},
        {"x ${item:}", "empty item name in a reference (column 3)"},
        {"x ${item:a b}", "item name 'a b' may hold only letters, digits, '_', '-' and '.' (column 3)"},
        {"x ${folder:}", "empty folder path in a reference (column 3)"},
        {"x @a/b", "item name 'a/b' may hold only letters, digits, '_', '-' and '.' (column 4)"},
        {std::string_view("x \0", 3),
         "control character byte 0x00 in the line (column 3); scenarios are text (write it as \\xHH inside quotes)"},
        {"x \x1b[31m", "control character byte 0x1B in the line (column 3); scenarios are text (write it as \\xHH "
                       "inside quotes)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lexError(c.line), c.error) << c.line;
}

TEST(Values, NumbersDurationsDateTimes)
{
    EXPECT_EQ(parseNumber("150"), 150);
    EXPECT_EQ(parseNumber("-12"), -12);
    EXPECT_EQ(parseNumber("0x80000012"), 0x80000012);
    EXPECT_EQ(parseNumber("0XfF"), 255);
    EXPECT_EQ(parseNumber("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(parseNumber("-9223372036854775808"), INT64_MIN);
    for (std::string_view bad : {"", "-", "+5", "1.5", "1e3", "0x", "0xg", "12a", " 1", "9223372036854775808",
                                 "0x8000000000000000", "-0x10", "--1"})
        EXPECT_FALSE(parseNumber(bad)) << bad;

    EXPECT_EQ(parseDuration("250ms"), 250);
    EXPECT_EQ(parseDuration("5s"), 5000);
    EXPECT_EQ(parseDuration("2m"), 120000);
    EXPECT_EQ(parseDuration("1h"), 3600000);
    EXPECT_EQ(parseDuration("0s"), 0);
    for (std::string_view bad : {"", "5", "ms", "-5s", "5 s", "1.5s", "5sec", "5S", "99999999999999999999ms",
                                 "9999999999999999h"})
        EXPECT_FALSE(parseDuration(bad)) << bad;

    // Property numbers: written and read back in one form, so a check compares texts.
    for (const auto& [text, shown] : {std::pair{"15", "15"}, {"8.25", "8.25"}, {"-0.5", "-0.5"}, {"007.10", "7.1"},
                                      {"0.00001", "0"}, {"-0", "0"}, {"123456789012345", "123456789012345"}}) {
        ASSERT_TRUE(parseDecimal(text)) << text;
        EXPECT_EQ(formatDecimal(*parseDecimal(text)), shown) << text;
    }
    for (std::string_view bad : {"", "-", ".5", "5.", "1e3", "0x10", "1.2.3", "+1", "1234567890123456"})
        EXPECT_FALSE(parseDecimal(bad)) << bad;
    EXPECT_EQ(formatColour(0x8000000F), "0x8000000F");
    EXPECT_EQ(formatColour(255), "0x000000FF");

    ASSERT_TRUE(parseDateTime("2026-12-07 10:00:00"));
    EXPECT_EQ(parseDateTime("2026-12-07 10:00:00")->toIsoString(), "2026-12-07 10:00:00");
    for (std::string_view bad : {"2026-12-07", "2026-02-30 10:00:00", "2026-12-07T10:00:00", "2026-12-07 24:00:00"})
        EXPECT_FALSE(parseDateTime(bad)) << bad;
}

TEST(Values, HexBytesTimesAndQuoting)
{
    using B = std::vector<std::byte>;
    EXPECT_EQ(parseHexBytes(""), B{});
    EXPECT_EQ(parseHexBytes("01fF"), (B{std::byte{1}, std::byte{0xff}}));
    EXPECT_EQ(parseHexBytes("01 02,03:04"), (B{std::byte{1}, std::byte{2}, std::byte{3}, std::byte{4}}));
    EXPECT_FALSE(parseHexBytes("0"));
    EXPECT_FALSE(parseHexBytes("0 1"));
    EXPECT_FALSE(parseHexBytes("zz"));

    EXPECT_EQ(formatVirtualTime(0), "00:00:00.000");
    EXPECT_EQ(formatVirtualTime(5250), "00:00:05.250");
    EXPECT_EQ(formatVirtualTime(3'723'004), "01:02:03.004");
    EXPECT_EQ(formatVirtualTime(360'000'000), "100:00:00.000");

    // What a failed check shows can be pasted back into a scenario.
    for (const std::string& text : {std::string("a\"b\\c\r\n\x01", 8), std::string("\u00e4\xFF\xC3\u65e5\xE6\x97")}) {
        const auto tokens = Lexer::tokenize(quoteText(text));
        ASSERT_EQ(tokens.size(), 1u);
        EXPECT_EQ(tokens[0].text.plain(), text);
    }
    // Messages are UTF-8: other bytes are escaped, and a clipped text is cut between characters.
    EXPECT_EQ(quoteText("\u00e4\xFF"), "\"\u00e4\\xFF\"");
    EXPECT_EQ(clipped("\u65e5\u672c\u8a9e", 2), "\u65e5\u672c...");
}

} // namespace
} // namespace qln::runner
