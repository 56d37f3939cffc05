#pragma once
// A scenario's run: the simulated world, the transcript, the names the scenario gave to items, and
// the steps run one after the other. Commands' actions reach the world and the checks through it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "apps/qln-sim/Scenario.h"
#include "apps/qln-sim/Text.h"
#include "apps/qln-sim/Transcript.h"
#include "platform/Desktop.h"
#include "platform/sim/SimWorld.h"

namespace qln::runner {

// An expect that did not hold.
class CheckFailure : public std::runtime_error {
public:
    CheckFailure(std::string expected, std::string found)
        : std::runtime_error("expected " + expected + ", found " + found), expected_(std::move(expected)),
          found_(std::move(found))
    {
    }
    const std::string& expected() const { return expected_; }
    const std::string& found() const { return found_; }

private:
    std::string expected_;
    std::string found_;
};

struct RunOptions {
    std::ostream* transcript = nullptr;  // nullptr: no transcript
    std::string outDir = ".";            // where snapshots go
};

class Runtime {
public:
    explicit Runtime(RunOptions options = {});
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // Runs every step; returns the exit status (0 every step ran and every check held, 1 a check
    // failed or the world refused a step). The reason for a non-zero status goes to `errors` as
    // "FILE:LINE: ...".
    int run(const Scenario& scenario, std::ostream& errors);

    platform::sim::SimWorld& world() { return *world_; }
    const RunOptions& options() const { return options_; }

    // A transcript line at the current virtual time.
    void note(std::string_view source, std::string_view event);
    const Transcript& transcript() const { return transcript_; }

    // The text with its references replaced by the identifiers they name now.
    std::string resolve(const Text& text);

    // Items named by the scenario.
    void nameItem(const std::string& ref, const std::string& entryID);
    const std::string& itemID(const std::string& ref) const;
    // "a" for an item the scenario named, else its EntryID.
    std::string describeItem(const std::string& entryID) const;

    // A window by its scenario name: a `window` line's NAME, "outlook", "outlook-tray", or "@REF" for
    // an item's window. Throws std::invalid_argument when no such window is open.
    platform::WindowHandle window(const std::string& name) const;
    // The same, NoWindow when it is not open.
    platform::WindowHandle findWindow(const std::string& name) const;
    // How a window reads in a message: its name, "popup", or class and title.
    std::string describeWindow(platform::WindowHandle window) const;

    // The notifier's popup window; NoWindow until the notifier runs. The part that starts the
    // notifier sets the source.
    std::function<platform::WindowHandle()> popupWindowSource;
    platform::WindowHandle popupWindow() const;

    // Between `batch` and `end` commands only post their events; the loop runs at `end`.
    void beginBatch() { inBatch_ = true; }
    void endBatch();
    bool inBatch() const { return inBatch_; }

    // Throws CheckFailure unless the check held.
    static void expect(bool held, const std::string& expected, const std::string& found);

private:
    void hookTranscript();

    RunOptions options_;
    Transcript transcript_;
    std::unique_ptr<platform::sim::SimWorld> world_;
    std::map<std::string, std::string, std::less<>> items_;    // REF -> EntryID
    std::map<std::string, std::string, std::less<>> itemRefs_; // EntryID -> REF
    bool inBatch_ = false;
};

} // namespace qln::runner
