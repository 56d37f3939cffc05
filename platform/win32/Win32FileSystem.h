#pragma once
// The file system over kernel32, with the wide calls.
//
// Implements: FileSystem. Paths are UTF-8 at the seam and must be absolute: "C:\dir\file" (either
// slash) or a UNC path "\\server\share\file"; a relative or drive-relative path names nothing, as
// in the simulated world, rather than whatever the current folder would make of it. Contents are
// bytes, written and read unchanged. A file is replaced in one step with MoveFileExW
// (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
// Does not: create chains of folders, delete folders, or read past the first line.

#include "platform/FileSystem.h"

namespace platform::win32 {

class Win32FileSystem final : public FileSystem {
public:
    std::string readFirstLine(std::string_view path) override;
    void writeFile(std::string_view path, std::string_view content) override;
    void replaceFile(std::string_view from, std::string_view to) override;
    void deleteFile(std::string_view path) override;
    void createFolder(std::string_view path) override;
};

} // namespace platform::win32
