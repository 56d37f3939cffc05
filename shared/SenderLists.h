#pragma once
// The two sender lists: where their files are, how they are read and written, and what an entry
// matches.
//
// File format: the first line holds the whole list, each entry followed by "|" (a, b, c is
// "a|b|c|"; an empty list is an empty line). Only the first line is read. Lists are written in
// UTF-8 without a byte-order mark, so a list of ASCII entries is the same bytes as ever; a file
// that is not valid UTF-8 is read as Windows-1252 (older files, ANSI editors), and a byte-order
// mark at its start is skipped.
//
// The list folder is resolved anew for every read and write: BWPath when set, else a base folder,
// a backslash and the Windows user name. The notifier's base is its program folder; the options
// page's is the installation's QLNPath (default "C:\").

#include <string>
#include <string_view>
#include <vector>

#include "platform/Lang.h"
#include "shared/Settings.h"

namespace qln {

enum class ListFolderBase {
    ProgramFolder,  // the notifier
    InstallPath,    // the options page
};

class SenderListFiles {
public:
    SenderListFiles(const settings::Settings& settings, ListFolderBase base) : settings_(settings), base_(base) {}

    std::string ListFolder() const;

    // Clear the list's change flag, then read the file's first line and return its entries; a
    // missing or unreadable file gives no entries.
    std::vector<std::string> LoadBList() const;
    std::vector<std::string> LoadWList() const;

    // Raise the list's change flag, then write the rows as the file's single line. The new
    // content is written beside the file and then takes its place in one step, so a reader never
    // meets a half-written list. Failures are silent: the old file stays and the flag stays raised.
    void SaveBList(const std::vector<std::string>& rows) const;
    void SaveWList(const std::vector<std::string>& rows) const;

private:
    std::vector<std::string> load(const settings::DwordValue& flag, std::string_view fileName) const;
    void save(const settings::DwordValue& flag, std::string_view fileName, const std::vector<std::string>& rows) const;

    const settings::Settings& settings_;
    ListFolderBase base_;
};

// Whether a list entry covers a sender: the entry occurs anywhere in the address, case ignored
// in every script (lang::containsNoCase). An empty entry covers nobody.
bool SenderMatches(std::string_view entry, std::string_view senderAddress);

// One sender's address held against many entries: the address is folded once.
class SenderAddress {
public:
    explicit SenderAddress(std::string_view address) : folded_(lang::foldCase(address)) {}
    bool matches(std::string_view entry) const;

private:
    std::string folded_;
};

} // namespace qln
