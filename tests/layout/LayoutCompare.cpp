#include "tests/layout/LayoutCompare.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace qln::layout {

namespace {

std::string describe(const Box& b)
{
    return std::to_string(b.left) + "," + std::to_string(b.top) + " " + std::to_string(b.width) + "x" +
           std::to_string(b.height);
}

bool overlap(const Box& a, const Box& b)
{
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

// The labels with text, by rows: top to bottom, then left to right.
std::vector<const Control*> readingOrder(const Layout& layout)
{
    std::vector<const Control*> labels;
    for (const Control& c : layout.controls)
        if (c.label && !c.text.empty() && c.box.width > 0 && c.box.height > 0)
            labels.push_back(&c);
    std::stable_sort(labels.begin(), labels.end(), [](const Control* a, const Control* b) {
        return a->box.top != b->box.top ? a->box.top < b->box.top : a->box.left < b->box.left;
    });
    return labels;
}

void checkInside(const Layout& layout, const std::string& which, std::vector<std::string>& problems)
{
    const auto labels = readingOrder(layout);
    for (const Control* c : labels)
        if (c->box.left < 0 || c->box.top < 0 || c->box.right() > layout.window.width ||
            c->box.bottom() > layout.window.height)
            problems.push_back(which + ": " + c->name + " (" + describe(c->box) + ") leaves the window (" +
                               std::to_string(layout.window.width) + "x" + std::to_string(layout.window.height) + ")");
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = i + 1; j < labels.size(); ++j)
            if (overlap(labels[i]->box, labels[j]->box))
                problems.push_back(which + ": " + labels[i]->name + " (" + describe(labels[i]->box) + ") overlaps " +
                                   labels[j]->name + " (" + describe(labels[j]->box) + ")");
}

} // namespace

Layout parse(std::string_view text)
{
    Layout layout;
    std::istringstream in{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty())
            continue;
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        bool ok = true;
        if (kind == "screen") {
            ok = static_cast<bool>(words >> layout.screenWidth >> layout.screenHeight);
        } else if (kind == "window") {
            Box& w = layout.window;
            ok = static_cast<bool>(words >> w.left >> w.top >> w.width >> w.height);
        } else if (kind == "control") {
            Control c;
            std::string what;
            ok = static_cast<bool>(words >> c.name >> what >> c.box.left >> c.box.top >> c.box.width >> c.box.height);
            c.label = what == "label";
            // The rest of the line is the quoted text; only its presence matters here.
            std::string rest;
            std::getline(words, rest);
            const auto first = rest.find('"');
            const auto last = rest.rfind('"');
            if (first != std::string::npos && last > first)
                c.text = rest.substr(first + 1, last - first - 1);
            layout.controls.push_back(std::move(c));
        } else {
            ok = false;
        }
        if (!ok)
            throw std::invalid_argument("line " + std::to_string(number) + " is not a layout line: " + line);
    }
    if (layout.screenWidth <= 0 || layout.window.width <= 0)
        throw std::invalid_argument("no screen or window line");
    return layout;
}

std::vector<std::string> compare(const Layout& simulated, const Layout& real)
{
    std::vector<std::string> problems;
    const int simRight = simulated.screenWidth - simulated.window.right();
    const int simBottom = simulated.screenHeight - simulated.window.bottom();
    const int realRight = real.screenWidth - real.window.right();
    const int realBottom = real.screenHeight - real.window.bottom();
    if (simRight != realRight || simBottom != realBottom)
        problems.push_back("the window's distances to the screen's right and bottom edges differ: simulated " +
                           std::to_string(simRight) + " and " + std::to_string(simBottom) + ", real " +
                           std::to_string(realRight) + " and " + std::to_string(realBottom));
    auto names = [](const std::vector<const Control*>& labels) {
        std::string out;
        for (const Control* c : labels)
            out += (out.empty() ? "" : " ") + c->name;
        return out;
    };
    const std::string simOrder = names(readingOrder(simulated));
    const std::string realOrder = names(readingOrder(real));
    if (simOrder != realOrder)
        problems.push_back("the labels' rows differ: simulated " + simOrder + "; real " + realOrder);
    checkInside(simulated, "simulated", problems);
    checkInside(real, "real", problems);
    return problems;
}

} // namespace qln::layout
