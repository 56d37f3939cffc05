#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32Failure.h"

namespace platform::win32 {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The wide form of an absolute path; anything else is refused before Windows resolves it against
// a current folder the system never chose.
std::wstring absolutePath(const char* call, std::string_view path)
{
    const bool drive = path.size() >= 3 && path[1] == ':' && isSeparator(path[2]) &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    const bool unc = path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]) && !isSeparator(path[2]);
    if (!drive && !unc)
        throw win32Failure(call, ERROR_INVALID_NAME);
    return toWide(path);
}

class File {
public:
    explicit File(HANDLE handle) : handle_(handle) {}
    ~File()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

    // CloseHandle's own failure matters for a write: it may be the write that failed.
    void close(const char* call)
    {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!CloseHandle(handle))
            throw lastErrorFailure(call);
    }

private:
    HANDLE handle_;
};

} // namespace

std::string Win32FileSystem::readFirstLine(std::string_view path)
{
    File file(CreateFileW(absolutePath("CreateFileW", path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        throw lastErrorFailure("CreateFileW");
    std::string line;
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            throw lastErrorFailure("ReadFile");
        if (got == 0)
            return line;
        const std::string_view read(chunk, got);
        const auto end = read.find_first_of("\r\n");
        line.append(read.substr(0, end));
        if (end != std::string_view::npos)
            return line;
    }
}

void Win32FileSystem::writeFile(std::string_view path, std::string_view content)
{
    File file(CreateFileW(absolutePath("CreateFileW", path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        throw lastErrorFailure("CreateFileW");
    while (!content.empty()) {
        const DWORD part = content.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(content.size());
        DWORD written = 0;
        if (!WriteFile(file.get(), content.data(), part, &written, nullptr))
            throw lastErrorFailure("WriteFile");
        if (written == 0)
            throw win32Failure("WriteFile", ERROR_WRITE_FAULT);
        content.remove_prefix(written);
    }
    file.close("CloseHandle");
}

void Win32FileSystem::replaceFile(std::string_view from, std::string_view to)
{
    if (!MoveFileExW(absolutePath("MoveFileExW", from).c_str(), absolutePath("MoveFileExW", to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw lastErrorFailure("MoveFileExW");
}

void Win32FileSystem::deleteFile(std::string_view path)
{
    if (!DeleteFileW(absolutePath("DeleteFileW", path).c_str()))
        throw lastErrorFailure("DeleteFileW");
}

void Win32FileSystem::createFolder(std::string_view path)
{
    if (!CreateDirectoryW(absolutePath("CreateDirectoryW", path).c_str(), nullptr))
        throw lastErrorFailure("CreateDirectoryW");
}

} // namespace platform::win32
