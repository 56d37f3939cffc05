#pragma once
// The simulated file system: folders and files in memory, addressed by Windows paths.
//
// Paths: "C:\dir\file". Either slash separates; runs of separators count as one (Windows accepts
// "C:\\dir"), a trailing separator is dropped, and letters compare without regard to case. Every
// drive's root folder exists. A relative path names nothing.
//
// Fault operations (see Faults): "readFirstLine", "writeFile", "replaceFile", "deleteFile",
// "createFolder". An injected writeFile failure leaves the file created but empty, as a write that
// failed after the open would.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/sim/Faults.h"

namespace platform::sim {

class SimFileSystem final : public FileSystem {
public:
    // FileSystem
    std::string readFirstLine(std::string_view path) override;
    void writeFile(std::string_view path, std::string_view content) override;
    void replaceFile(std::string_view from, std::string_view to) override;
    void deleteFile(std::string_view path) override;
    void createFolder(std::string_view path) override;

    // The world's own access (no faults, no journal).
    void put(std::string_view path, std::string content);  // creates missing folders
    void makeFolders(std::string_view path);                // the whole chain
    std::optional<std::string> content(std::string_view path) const;
    bool fileExists(std::string_view path) const;
    bool folderExists(std::string_view path) const;
    void remove(std::string_view path);                     // a file, or a folder with all inside

    // Every change made through the seam, in order: "writeFile C:\x\blist.qln" and the like,
    // with the path as given. Tests read it to check how a file was replaced.
    const std::vector<std::string>& journal() const { return journal_; }

    Faults& faults() { return faults_; }

    // Called after every change made through the seam (operation, path as given).
    std::function<void(const std::string& operation, const std::string& path)> on_change;

    // The canonical form of a path, used as the map key; nullopt when it is not an absolute
    // Windows path.
    static std::optional<std::string> canonical(std::string_view path);

private:
    void record(const char* operation, std::string_view path);

    std::map<std::string, std::string> files_;  // by canonical path
    std::map<std::string, std::string> folders_;  // canonical path -> spelling; roots are implicit
    std::vector<std::string> journal_;
    Faults faults_;
};

} // namespace platform::sim
