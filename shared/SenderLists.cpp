#include "shared/SenderLists.h"

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/Utf8.h"

namespace qln {

namespace {

constexpr std::string_view kBlockedFile = "blist.qln";
constexpr std::string_view kAllowedFile = "wlist.qln";

// The new content is written under this suffix beside the list file and then takes its name.
constexpr std::string_view kPendingSuffix = ".new";

std::string filePath(const std::string& folder, std::string_view fileName)
{
    return folder + "\\" + std::string(fileName);
}

// A list entry as UTF-8: files are written in UTF-8, but older ones, or ones edited in an ANSI
// editor, hold Windows-1252, whose letters beyond ASCII are never valid UTF-8 (Ä is a lone C4).
// Each entry is judged alone, so one pasted in another encoding leaves its neighbours as written.
std::string entryText(std::string_view entry)
{
    if (utf8::isValid(entry))
        return std::string(entry);
    return utf8::fromWindows1252(entry);
}

} // namespace

std::string SenderListFiles::ListFolder() const
{
    std::string folder = settings_.read(settings::BWPath);
    if (!folder.empty())
        return folder;
    const mdlRegistry& registry = settings_.registry();
    const std::string base = base_ == ListFolderBase::ProgramFolder
                                 ? platform::valueOr(std::string(), [&] { return registry.system().programFolder(); })
                                 : settings_.read(settings::QLNPath);
    // Joined without looking at the base's own trailing backslash: "C:\" gives "C:\\alice", which
    // Windows takes as "C:\alice". The notifier and the page must arrive at the same folder.
    return base + "\\" + registry.GetWindowsUserName();
}

std::vector<std::string> SenderListFiles::LoadBList() const { return load(settings::ReReadBList, kBlockedFile); }
std::vector<std::string> SenderListFiles::LoadWList() const { return load(settings::ReReadWList, kAllowedFile); }

void SenderListFiles::SaveBList(const std::vector<std::string>& rows) const
{
    save(settings::ReReadBList, kBlockedFile, rows);
}

void SenderListFiles::SaveWList(const std::vector<std::string>& rows) const
{
    save(settings::ReReadWList, kAllowedFile, rows);
}

std::vector<std::string> SenderListFiles::load(const settings::DwordValue& flag, std::string_view fileName) const
{
    const std::string folder = ListFolder();
    // Cleared before the file is opened: a save that lands while we read raises it again.
    settings_.write(flag, 0);
    platform::FileSystem& files = settings_.registry().files();
    const std::string line =
        platform::valueOr(std::string(), [&] { return files.readFirstLine(filePath(folder, fileName)); });
    // A byte-order mark an editor put in front is not part of the first entry.
    const std::string_view text = utf8::withoutBom(line);
    // Every entry is followed by a bar, so the piece after the last bar is never an entry, even
    // when it is not empty (a line without a bar holds no entry at all).
    std::vector<std::string> entries = lang::split(text, '|');
    entries.pop_back();
    for (std::string& entry : entries)
        entry = entryText(entry);
    return entries;
}

void SenderListFiles::save(const settings::DwordValue& flag, std::string_view fileName,
                           const std::vector<std::string>& rows) const
{
    const std::string folder = ListFolder();
    settings_.write(flag, 1);

    std::size_t length = 0;
    for (const auto& row : rows)
        length += row.size() + 1;
    std::string text;
    text.reserve(length);
    for (const auto& row : rows) {
        // A row holding bytes that are not UTF-8 would turn its file into one read back as
        // Windows-1252; it is written with those bytes replaced instead.
        text += utf8::isValid(row) ? row : utf8::sanitize(row);
        text += '|';
    }

    const mdlRegistry& registry = settings_.registry();
    registry.MakeFolder(folder);

    // The flag is already up, so a notifier may read the list at any moment from here on: it must
    // find either the old list or the new one, never a truncated file. The new content goes to a
    // file beside the list and replaces it in one step; any failure leaves the old list in place
    // (and the flag raised, so the notifier simply reads the old list again).
    platform::FileSystem& files = registry.files();
    const std::string path = filePath(folder, fileName);
    const std::string pending = path + std::string(kPendingSuffix);
    const bool replaced = platform::ignoreFailure([&] {
        files.writeFile(pending, text);
        files.replaceFile(pending, path);
    });
    if (!replaced)
        platform::ignoreFailure([&] { files.deleteFile(pending); });
}

bool SenderMatches(std::string_view entry, std::string_view senderAddress)
{
    // An empty entry (two bars in a row, only from a hand-edited file) would be found in every
    // address and let a single stray bar block or admit everyone; it covers nobody instead.
    if (entry.empty())
        return false;
    return lang::containsNoCase(senderAddress, entry);
}

bool SenderAddress::matches(std::string_view entry) const
{
    if (entry.empty())
        return false;
    return lang::containsFolded(folded_, entry);
}

} // namespace qln
