#pragma once
// The simulated world of user controls: a pointer that is where the last mouse event put it (or
// where a test sets it), and pictures by path from a table, falling back, when allowed, to
// reading the path as a file of the machine we run on.

#include <map>
#include <optional>
#include <string>

#include "platform/forms/ControlEnvironment.h"

namespace forms {

class SimControlEnvironment final : public ControlEnvironment {
public:
    draw::Point cursorPos() override;  // throws until the pointer was placed
    void pointerAt(draw::Point screen) override { cursor_ = screen; }
    void setCursorPos(draw::Point screen) { cursor_ = screen; }

    // Paths compare without regard to case, as Windows paths and URLs' hosts do.
    PictureRef loadPicture(std::string_view path) override;
    void addPicture(std::string_view path, PictureRef picture);
    void removePicture(std::string_view path);
    // Whether a path missing from the table is read from the real file system (off by default:
    // tests should not depend on the machine's files).
    void setReadFiles(bool readFiles) { readFiles_ = readFiles; }
    // How many pictures were asked for, found or not.
    int loadCount() const { return loads_; }

private:
    std::optional<draw::Point> cursor_;
    std::map<std::string, PictureRef> pictures_;
    bool readFiles_ = false;
    int loads_ = 0;
};

} // namespace forms
