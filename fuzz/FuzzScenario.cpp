// libFuzzer harness: any bytes as a scenario file. Parsing must end in a scenario or a
// ScenarioError (exit status 2), never a crash, a hang or another exception; a scenario that
// parses is run on a fresh world, which must end in a status of 0 or 1 the same way.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "apps/qln-sim/Parser.h"
#include "apps/qln-sim/Runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    qln::runner::Scenario scenario;
    try {
        scenario = qln::runner::Parser::parse(text, "fuzz.qls");
    } catch (const qln::runner::ScenarioError& error) {
        if (error.status() != 2 || std::string_view(error.what()).substr(0, 9) != "fuzz.qls:")
            std::abort();
        return 0;
    }
    std::ostringstream transcript;
    std::ostringstream errors;
    qln::runner::Runtime runtime(qln::runner::RunOptions{&transcript});
    const int status = runtime.run(scenario, errors);
    if (status != 0 && status != 1)
        std::abort();
    if (status == 1 && errors.str().substr(0, 9) != "fuzz.qls:")
        std::abort();
    return 0;
}
