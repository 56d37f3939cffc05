#pragma once
// Seam: the file system, as far as the system uses it. Paths are Windows paths ("C:\dir\file")
// in UTF-8 (the Windows implementation opens them with the wide calls); file content is bytes,
// which the caller decodes (the sender lists: UTF-8, or Windows-1252 for older files). Every call
// may throw platform::Failure.

#include <string>
#include <string_view>

namespace platform {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens the file, reads up to the first CR or LF (or the end of the file) and closes it.
    // Throws when the file is missing or cannot be read.
    virtual std::string readFirstLine(std::string_view path) = 0;

    // Creates or truncates the file and writes the content. Throws when the folder is missing or
    // the file cannot be opened or written; the file may then be left partly written.
    virtual void writeFile(std::string_view path, std::string_view content) = 0;

    // Replaces `to` by `from` in one step (the old `to`, if any, is gone and `from` takes its
    // name); a reader sees either the old file or the new one, never a mixture.
    virtual void replaceFile(std::string_view from, std::string_view to) = 0;

    // Deletes a file. Throws when it is missing or cannot be deleted.
    virtual void deleteFile(std::string_view path) = 0;

    // Creates one folder whose parent exists. Throws when the parent is missing, when the folder
    // (or a file of that name) exists already, or when creation is denied.
    virtual void createFolder(std::string_view path) = 0;
};

} // namespace platform
