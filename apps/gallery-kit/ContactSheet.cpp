#include "apps/gallery-kit/ContactSheet.h"

#include <system_error>

#include "platform/Failure.h"
#include "platform/fonts/FixedFontEngine.h"
#ifdef _WIN32
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/Win32SystemInfo.h"
#else
#include "platform/sim/SimSystemInfo.h"
#endif
#ifdef QLN_HAVE_FREETYPE
#include "platform/fonts/FreeTypeFontEngine.h"
#endif

namespace gallerykit {

void makeOutputFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw platform::Failure("Cannot create " + folder.string() + ": " + error.message());
}

std::unique_ptr<platform::FontEngine> makeFontEngine()
{
#ifdef _WIN32
    return std::make_unique<platform::win32::GdiFontEngine>();
#endif
#ifdef QLN_HAVE_FREETYPE
    std::unique_ptr<platform::FontEngine> real;
    if (platform::ignoreFailure([&] { real = std::make_unique<fonts::FreeTypeFontEngine>(); }))
        return real;
#endif
    return std::make_unique<fonts::FixedFontEngine>();
}

std::unique_ptr<platform::SystemInfo> makeSystemInfo()
{
#ifdef _WIN32
    return std::make_unique<platform::win32::Win32SystemInfo>();
#else
    return std::make_unique<platform::sim::SimSystemInfo>();
#endif
}

ContactSheet::ContactSheet(platform::FontEngine& fonts, const std::vector<std::string>& rows,
                           const std::vector<std::string>& columns, int cellWidth, int cellHeight, int labelWidth)
    : fonts_(fonts), cellWidth_(cellWidth), cellHeight_(cellHeight), labelWidth_(labelWidth),
      sheet_(labelWidth + cellWidth * static_cast<int>(columns.size()),
             kLabelHeight + cellHeight * static_cast<int>(rows.size()), draw::white)
{
    for (std::size_t row = 0; row < rows.size(); ++row)
        label(6, kLabelHeight + cellHeight_ * static_cast<int>(row) + cellHeight_ / 2 - 7, rows[row]);
    for (std::size_t column = 0; column < columns.size(); ++column)
        label(labelWidth_ + cellWidth_ * static_cast<int>(column) + 4, 3, columns[column]);
}

void ContactSheet::put(int row, int column, const draw::Surface& sample)
{
    sheet_.drawPicture(sample, labelWidth_ + cellWidth_ * column, kLabelHeight + cellHeight_ * row);
}

draw::Rect ContactSheet::cellArea() const
{
    return draw::Rect{labelWidth_ - 1, kLabelHeight - 1, sheet_.width(), sheet_.height()};
}

void ContactSheet::label(int x, int y, const std::string& text)
{
    const platform::FontSpec font{"Tahoma", 8.0, true};
    sheet_.drawMask(fonts_.render(font, 96, text), x, y, draw::black);
}

} // namespace gallerykit
