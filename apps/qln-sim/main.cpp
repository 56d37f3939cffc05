// qln-sim: runs a scenario on the simulated world. Everything lives in the qln_runner library.

#include <iostream>
#include <string>
#include <vector>

#include "apps/qln-sim/Cli.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    return qln::runner::Cli::main(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
