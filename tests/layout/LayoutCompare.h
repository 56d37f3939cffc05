#pragma once
// Two layouts of the same form (the `layout` command's files), one from the simulator and one from
// the real desktop, held against each other: the window keeps its distances to the screen's right
// and bottom edges, the labels come in the same rows in the same order, and on each desktop every
// label lies inside the window and none overlaps another. Sizes may differ: the fonts' metrics do.

#include <string>
#include <string_view>
#include <vector>

namespace qln::layout {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

struct Control {
    std::string name;
    bool label = false;
    Box box;
    std::string text;
};

struct Layout {
    int screenWidth = 0, screenHeight = 0;
    Box window;
    std::vector<Control> controls;
};

// The file's text as a layout; throws std::invalid_argument naming the line that does not read.
Layout parse(std::string_view text);

// What does not hold, one sentence each; empty when the two agree.
std::vector<std::string> compare(const Layout& simulated, const Layout& real);

} // namespace qln::layout
