#include "platform/forms/SimControlEnvironment.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/Failure.h"
#include "platform/Lang.h"

namespace forms {

draw::Point SimControlEnvironment::cursorPos()
{
    if (!cursor_)
        throw platform::Failure("The pointer has not been placed");
    return *cursor_;
}

PictureRef SimControlEnvironment::loadPicture(std::string_view path)
{
    ++loads_;
    auto it = pictures_.find(lang::lowerAscii(path));
    if (it != pictures_.end())
        return it->second;
    if (!readFiles_ || path.empty())
        throw platform::Failure("File not found", 53);
    std::ifstream in{std::string(path), std::ios::binary};
    if (!in)
        throw platform::Failure("File not found", 53);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return readPictureBytes(bytes);
}

void SimControlEnvironment::addPicture(std::string_view path, PictureRef picture)
{
    pictures_[lang::lowerAscii(path)] = std::move(picture);
}

void SimControlEnvironment::removePicture(std::string_view path) { pictures_.erase(lang::lowerAscii(path)); }

} // namespace forms
