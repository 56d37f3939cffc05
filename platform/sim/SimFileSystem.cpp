#include "platform/sim/SimFileSystem.h"

#include <stdexcept>

#include "platform/Failure.h"

namespace platform::sim {

namespace {

std::string parentOf(const std::string& canonicalPath)
{
    const auto cut = canonicalPath.rfind('\\');
    return cut == std::string::npos ? canonicalPath : canonicalPath.substr(0, cut);
}

bool isRoot(const std::string& canonicalPath) { return canonicalPath.find('\\') == std::string::npos; }

std::string quoted(std::string_view path) { return "\"" + std::string(path) + "\""; }

} // namespace

std::optional<std::string> SimFileSystem::canonical(std::string_view path)
{
    // A drive letter and a colon, then nothing or a separator; "C:dir" (relative to the drive's
    // current folder) and every other relative form name nothing here.
    if (path.size() < 2 || path[1] != ':')
        return std::nullopt;
    const char drive = path[0];
    if (!((drive >= 'a' && drive <= 'z') || (drive >= 'A' && drive <= 'Z')))
        return std::nullopt;
    if (path.size() > 2 && path[2] != '\\' && path[2] != '/')
        return std::nullopt;

    std::vector<std::string> parts;
    std::size_t at = 2;
    while (at < path.size()) {
        std::size_t end = path.find_first_of("\\/", at);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        at = end + 1;
    }

    std::string out(1, drive);
    out += ':';
    for (const auto& part : parts) {
        out += '\\';
        out += part;
    }
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void SimFileSystem::record(const char* operation, std::string_view path)
{
    journal_.push_back(std::string(operation) + " " + std::string(path));
    if (on_change)
        on_change(operation, std::string(path));
}

std::string SimFileSystem::readFirstLine(std::string_view path)
{
    faults_.check("readFirstLine");
    const auto c = canonical(path);
    const auto it = c ? files_.find(*c) : files_.end();
    if (it == files_.end())
        throw Failure("readFirstLine: no such file " + quoted(path));
    const std::string& text = it->second;
    return text.substr(0, text.find_first_of("\r\n"));
}

void SimFileSystem::writeFile(std::string_view path, std::string_view content)
{
    // An armed fault is used up by this call whatever else goes wrong, like every other operation's.
    std::optional<Failure> injected;
    try {
        faults_.check("writeFile");
    } catch (const Failure& failure) {
        injected = failure;
    }
    const auto c = canonical(path);
    if (!c || isRoot(*c))
        throw Failure("writeFile: not a file path " + quoted(path));
    if (!folderExists(parentOf(*c)))
        throw Failure("writeFile: folder missing for " + quoted(path));
    if (folders_.count(*c))
        throw Failure("writeFile: a folder has that name " + quoted(path));
    // The open has succeeded: the file exists, empty, before any byte is written; an injected
    // failure strikes now and leaves it so.
    files_[*c].clear();
    record("writeFile", path);
    if (injected)
        throw *injected;
    files_[*c] = std::string(content);
}

void SimFileSystem::replaceFile(std::string_view from, std::string_view to)
{
    faults_.check("replaceFile");
    const auto source = canonical(from);
    const auto target = canonical(to);
    if (!source || !files_.count(*source))
        throw Failure("replaceFile: no such file " + quoted(from));
    if (!target || isRoot(*target) || !folderExists(parentOf(*target)) || folders_.count(*target))
        throw Failure("replaceFile: cannot take the name " + quoted(to));
    if (*source != *target) {
        files_[*target] = std::move(files_[*source]);
        files_.erase(*source);
    }
    journal_.push_back("replaceFile " + std::string(from) + " -> " + std::string(to));
    if (on_change)
        on_change("replaceFile", std::string(to));
}

void SimFileSystem::deleteFile(std::string_view path)
{
    faults_.check("deleteFile");
    const auto c = canonical(path);
    if (!c || files_.erase(*c) == 0)
        throw Failure("deleteFile: no such file " + quoted(path));
    record("deleteFile", path);
}

void SimFileSystem::createFolder(std::string_view path)
{
    faults_.check("createFolder");
    const auto c = canonical(path);
    if (!c)
        throw Failure("createFolder: not an absolute path " + quoted(path));
    if (folderExists(*c) || files_.count(*c))
        throw Failure("createFolder: already exists " + quoted(path));
    if (!folderExists(parentOf(*c)))
        throw Failure("createFolder: parent missing for " + quoted(path));
    folders_[*c] = std::string(path);
    record("createFolder", path);
}

void SimFileSystem::put(std::string_view path, std::string content)
{
    const auto c = canonical(path);
    if (!c || isRoot(*c))
        throw std::invalid_argument("SimFileSystem::put: not a file path: " + std::string(path));
    if (folders_.count(*c))
        throw std::invalid_argument("SimFileSystem::put: a folder has that name: " + std::string(path));
    makeFolders(parentOf(*c));
    files_[*c] = std::move(content);
}

void SimFileSystem::makeFolders(std::string_view path)
{
    const auto c = canonical(path);
    if (!c)
        throw std::invalid_argument("SimFileSystem::makeFolders: not an absolute path: " + std::string(path));
    std::size_t at = c->find('\\');
    while (at != std::string::npos) {
        std::size_t end = c->find('\\', at + 1);
        const std::string prefix = c->substr(0, end);
        if (files_.count(prefix))
            throw std::invalid_argument("SimFileSystem::makeFolders: a file is in the way: " + prefix);
        folders_.try_emplace(prefix, prefix);
        at = end;
    }
}

std::optional<std::string> SimFileSystem::content(std::string_view path) const
{
    const auto c = canonical(path);
    const auto it = c ? files_.find(*c) : files_.end();
    if (it == files_.end())
        return std::nullopt;
    return it->second;
}

bool SimFileSystem::fileExists(std::string_view path) const
{
    const auto c = canonical(path);
    return c && files_.count(*c) != 0;
}

bool SimFileSystem::folderExists(std::string_view path) const
{
    const auto c = canonical(path);
    return c && (isRoot(*c) || folders_.count(*c) != 0);
}

void SimFileSystem::remove(std::string_view path)
{
    const auto c = canonical(path);
    if (!c)
        return;
    const std::string below = *c + '\\';
    files_.erase(*c);
    std::erase_if(files_, [&](const auto& entry) { return entry.first.starts_with(below); });
    std::erase_if(folders_, [&](const auto& entry) { return entry.first == *c || entry.first.starts_with(below); });
}

} // namespace platform::sim
