#include "platform/fonts/TextLayout.h"

#include <algorithm>
#include <utility>

#include "platform/Utf8.h"

namespace fonts {

namespace {

constexpr char kBlank = ' ';

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
        for (std::size_t end = start + 1; end < paragraph.size(); ++end) {
            if (paragraph[end] != kBlank || paragraph[end - 1] == kBlank)
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
