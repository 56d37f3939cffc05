#include "platform/fonts/TextLayout.h"

#include <algorithm>
#include <utility>

#include "platform/UnicodeTables.h"
#include "platform/Utf8.h"

namespace fonts {

namespace {

constexpr char kBlank = ' ';

// Closing punctuation, small kana and the prolonged sound mark never start a line of East Asian
// text; opening brackets never end one (the common kinsoku rules).
constexpr std::u32string_view kNoBreakBefore =
    U"\u3001\u3002\uFF0C\uFF0E\u30FB\uFF1A\uFF1B\uFF1F\uFF01\u309B\u309C\u30FD\u30FE\u309D\u309E\u3005"
    U"\u30FC\uFF09\uFF3D\uFF5D\u300D\u300F\u3011\u3015\u3009\u300B\u3019\u3017\u301F\u2019\u201D"
    U"\u3041\u3043\u3045\u3047\u3049\u3063\u3083\u3085\u3087\u308E\u30A1\u30A3\u30A5\u30A7\u30A9"
    U"\u30C3\u30E3\u30E5\u30E7\u30EE\u30F5\u30F6)]}!?.,:;";
constexpr std::u32string_view kNoBreakAfter = U"\uFF08\uFF3B\uFF5B\u300C\u300E\u3010\u3014\u3008\u300A\u3018\u3016\u301D\u2018\u201C([{";

// The next character's start; ASCII without a call.
std::size_t nextChar(std::string_view text, std::size_t at)
{
    return static_cast<unsigned char>(text[at]) < 0x80 ? at + 1 : utf8::next(text, at);
}

// Whether a line may end at `at`, the character before it starting at `before`: at the end of a
// word before a blank, or between two characters of which one is East Asian wide (ideographs and
// kana break anywhere, bar the kinsoku rules).
bool canBreakAt(std::string_view paragraph, std::size_t before, std::size_t at)
{
    const bool blankBefore = paragraph[before] == kBlank;
    if (paragraph[at] == kBlank)
        return !blankBefore;
    if (blankBefore)
        return false;
    if (static_cast<unsigned char>(paragraph[before]) < 0x80 && static_cast<unsigned char>(paragraph[at]) < 0x80)
        return false;
    const char32_t first = utf8::decode(paragraph, before).codePoint;
    const char32_t second = utf8::decode(paragraph, at).codePoint;
    if (unicode::cells(first) < 2 && unicode::cells(second) < 2)
        return false;
    return kNoBreakBefore.find(second) == std::u32string_view::npos &&
           kNoBreakAfter.find(first) == std::u32string_view::npos;
}

// Appends the wrapped lines of one paragraph (no line breaks inside).
template <class Measure>
void wrapParagraph(std::string_view paragraph, int width, const Measure& measure, std::vector<std::string>& lines)
{
    std::size_t start = 0;
    for (bool firstLine = true;; firstLine = false) {
        if (!firstLine) {
            // The blanks at a break belong to neither line.
            while (start < paragraph.size() && paragraph[start] == kBlank)
                ++start;
            if (start == paragraph.size())
                return;
        }
        const std::string_view rest = paragraph.substr(start);
        if (measure(rest) <= width) {
            lines.emplace_back(rest);
            return;
        }
        // The longest run of whole words from `start` that fits; failing that, the first word alone.
        std::size_t fits = std::string_view::npos;
        std::size_t firstWordEnd = std::string_view::npos;
        for (std::size_t before = start, end = nextChar(paragraph, start); end < paragraph.size();
             before = end, end = nextChar(paragraph, end)) {
            if (!canBreakAt(paragraph, before, end))
                continue;
            if (firstWordEnd == std::string_view::npos)
                firstWordEnd = end;
            if (measure(paragraph.substr(start, end - start)) > width)
                break;
            fits = end;
        }
        std::size_t end = fits != std::string_view::npos ? fits : firstWordEnd;
        if (end == std::string_view::npos) {
            // One word and trailing blanks (or blanks alone): the word stays whole, the blanks go.
            end = paragraph.size();
            while (end > start && paragraph[end - 1] == kBlank)
                --end;
            lines.emplace_back(paragraph.substr(start, end - start));
            return;
        }
        lines.emplace_back(paragraph.substr(start, end - start));
        start = end;
    }
}

} // namespace

TextLayout::TextLayout(platform::FontEngine& engine, platform::FontSpec font, int dpi)
    : engine_(engine), font_(std::move(font)), dpi_(dpi)
{
}

int TextLayout::lineHeight() const { return engine_.metrics(font_, dpi_).height; }

int TextLayout::textWidth(std::string_view line) const { return engine_.textWidth(font_, dpi_, line); }

std::vector<std::string_view> TextLayout::splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> TextLayout::wrap(std::string_view text, int width) const
{
    std::vector<std::string> lines;
    const auto measure = [this](std::string_view line) { return textWidth(line); };
    for (std::string_view paragraph : splitLines(text))
        wrapParagraph(paragraph, width, measure, lines);
    return lines;
}

TextSize TextLayout::autoSize(std::string_view text) const
{
    const std::vector<std::string_view> lines = splitLines(text);
    TextSize size;
    for (std::string_view line : lines)
        size.width = std::max(size.width, textWidth(line));
    size.height = static_cast<int>(lines.size()) * lineHeight();
    return size;
}

TextSize TextLayout::wrappedSize(std::string_view text, int width) const
{
    const std::vector<std::string> lines = wrap(text, width);
    TextSize size{std::max(width, 0), static_cast<int>(lines.size()) * lineHeight()};
    for (const std::string& line : lines)
        size.width = std::max(size.width, textWidth(line));
    return size;
}

PrefixedText TextLayout::processPrefix(std::string_view caption)
{
    PrefixedText shown;
    shown.text.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            shown.text += caption[i];
            continue;
        }
        if (i + 1 == caption.size())
            break;
        ++i;
        if (caption[i] != '&')
            shown.underline = static_cast<int>(shown.text.size());
        // The marked character is copied whole, however many bytes it takes.
        const std::size_t end = utf8::next(caption, i);
        shown.text.append(caption.substr(i, end - i));
        i = end - 1;
    }
    return shown;
}

} // namespace fonts
