#include "controls/flairbutton/FlairHyperlink.h"

#include <array>

#include "platform/Failure.h"
#include "platform/Lang.h"

namespace flair {

namespace {

constexpr std::array<std::string_view, 5> kAllowedStarts{"http://", "https://", "ftp://", "mailto:", "www."};

std::string joinPath(std::string folder, std::string_view name)
{
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    folder += name;
    return folder;
}

} // namespace

std::optional<std::string> browserArgument(std::string_view url)
{
    const std::string trimmed = lang::trimBlanks(url);
    bool allowed = false;
    for (std::string_view start : kAllowedStarts)
        if (trimmed.size() > start.size() && lang::equalsNoCase(std::string_view(trimmed).substr(0, start.size()), start))
            allowed = true;
    if (!allowed)
        return std::nullopt;
    std::string argument;
    argument.reserve(trimmed.size());
    for (char c : trimmed) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || byte < 0x20 || byte == 0x7F)
            return std::nullopt;
        if (c == ' ')
            argument += "%20";
        else
            argument += c;
    }
    return argument;
}

bool OpenHyperlink(platform::Desktop& desktop, platform::FileSystem& files, platform::SystemInfo& system,
                   std::string_view url, platform::WindowHandle window)
{
    const std::optional<std::string> argument = browserArgument(url);
    if (!argument)
        return false;
    std::string path;
    const bool written = platform::ignoreFailure([&] {
        path = joinPath(system.tempFolder(), lookupFileName);
        files.writeFile(path, lookupFileContent);
    });
    if (!written)
        return false;
    const bool started = platform::ignoreFailure([&] {
        const std::string program = lang::trimBlanks(desktop.findExecutable(path, "", lookupBufferSize));
        desktop.shellExecute(window, "open", program, *argument, "", platform::sw::ShowNormal);
    });
    platform::ignoreFailure([&] { files.deleteFile(path); });
    return started;
}

} // namespace flair
