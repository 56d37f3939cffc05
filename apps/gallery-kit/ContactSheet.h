#pragma once
// What the two button galleries share: the output folder, the font engine they draw with (on
// Windows the GDI's fonts, as the button controls draw there; elsewhere the platform's real fonts
// when FreeType is there, exact fixed metrics otherwise), the machine facts (Windows' own there,
// the simulated screen elsewhere), and the contact sheet that lays every sample out in a grid
// under its column's state and beside its row's name.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/FontEngine.h"
#include "platform/SystemInfo.h"
#include "platform/draw/Surface.h"

namespace gallerykit {

// Creates the folder (and its parents); throws platform::Failure when that is impossible.
void makeOutputFolder(const std::filesystem::path& folder);

std::unique_ptr<platform::FontEngine> makeFontEngine();
std::unique_ptr<platform::SystemInfo> makeSystemInfo();

class ContactSheet {
public:
    // A grid of rows.size() x columns.size() cells of cellWidth x cellHeight pixels, with the
    // row names in a margin of labelWidth pixels and the column names above.
    ContactSheet(platform::FontEngine& fonts, const std::vector<std::string>& rows,
                 const std::vector<std::string>& columns, int cellWidth, int cellHeight, int labelWidth);

    // Puts a sample into its cell, from the cell's top-left corner.
    void put(int row, int column, const draw::Surface& sample);
    draw::Surface& surface() { return sheet_; }
    // The rectangle the cells take, for a frame around them.
    draw::Rect cellArea() const;

private:
    static constexpr int kLabelHeight = 20;
    void label(int x, int y, const std::string& text);

    platform::FontEngine& fonts_;
    int cellWidth_;
    int cellHeight_;
    int labelWidth_;
    draw::Surface sheet_;
};

} // namespace gallerykit
