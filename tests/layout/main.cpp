// layout-compare SIMULATED REAL: holds the real desktop's layout of a form against the simulator's
// (LayoutCompare.h). Exit status 0 when they agree, 1 when not (each problem on a line), 2 when a
// file cannot be read.

#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "tests/layout/LayoutCompare.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: layout-compare SIMULATED REAL\n";
        return 2;
    }
    qln::layout::Layout layouts[2];
    for (int i = 0; i < 2; ++i) {
        std::ifstream in(argv[i + 1], std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        try {
            if (!in)
                throw std::invalid_argument("cannot be read");
            layouts[i] = qln::layout::parse(text.str());
        } catch (const std::invalid_argument& error) {
            std::cerr << argv[i + 1] << ": " << error.what() << "\n";
            return 2;
        }
    }
    const auto problems = qln::layout::compare(layouts[0], layouts[1]);
    for (const std::string& problem : problems)
        std::cout << problem << "\n";
    if (problems.empty())
        std::cout << "the layouts agree: same corner distances, same rows in the same order, every label inside, none overlapping\n";
    return problems.empty() ? 0 : 1;
}
