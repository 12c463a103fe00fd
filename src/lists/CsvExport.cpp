#include "lists/CsvExport.h"

#include "lists/ResultsTable.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pellorin::lists {

namespace {

constexpr std::string_view kLineBreak = "\r\n";
// "--由KorrimPellorin生成，" in GBK.
constexpr std::string_view kFirstLine = "--\xD3\xC9"
                                        "KorrimPellorin\xC9\xFA\xB3\xC9\xA3\xAC";
// "序号,关键词,排名,URL" in GBK.
constexpr std::string_view kSingleSiteHeader = "\xD0\xF2\xBA\xC5,\xB9\xD8\xBC\xFC\xB4\xCA,\xC5\xC5\xC3\xFB,URL";
// "序号,关键词," in GBK.
constexpr std::string_view kMultiSiteHeader = "\xD0\xF2\xBA\xC5,\xB9\xD8\xBC\xFC\xB4\xCA,";

constexpr int kSingleSiteColumns = 4;

// Byte tests are safe on GBK: the second byte of a character is 0x40 or more, never one of these.
void AppendCell(std::string& out, std::string_view cell)
{
    if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (const char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string ErrorText(int error)
{
    return std::system_category().message(error);
}

// Creates a file of a new name "<path>.XXXXXX" for writing. Unlike mkstemp's 0600, open()'s
// mode gives the file the permissions a new file usually gets (umask, default ACLs).
int CreateTemporaryFile(const std::filesystem::path& path, std::string& name)
{
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path.native() + '.';
        for (int i = 0; i < 6; ++i)
            name += kLetters[pick(device)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Returns 0 or the errno of the failure.
int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// The rename is durable only once the folder's entry is on disk; a failure here loses nothing.
void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string ExportText(
    const ResultsTable& table, bool multiSite, const std::vector<Text>& siteList, std::string_view homePage)
{
    const int rows = table.RowCount();
    const int columns = multiSite ? table.ColumnCount() : kSingleSiteColumns;

    std::string out;
    out.reserve(64 + static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns) * 16);
    out += kFirstLine;
    out += homePage;
    out += kLineBreak;
    out += kLineBreak;

    if (!multiSite) {
        out += kSingleSiteHeader;
        for (int row = 0; row < rows; ++row) {
            out += kLineBreak;
            for (int column = 0; column < columns; ++column) {
                if (column > 0)
                    out += ',';
                AppendCell(out, table.Cell(row, column));
            }
        }
        return out;
    }

    out += kMultiSiteHeader;
    for (const Text& site : siteList) {
        AppendCell(out, site);
        out += ',';
    }
    out += kLineBreak;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            AppendCell(out, table.Cell(row, column));
            out += ',';
        }
        out += kLineBreak;
    }
    return out;
}

std::optional<std::string> WriteFileReplacing(const std::filesystem::path& path, std::string_view bytes)
{
    // Through a symbolic link, so that the link stays and its file gets the new content.
    std::filesystem::path target = path;
    std::error_code linkError;
    if (std::filesystem::is_symlink(path, linkError)) {
        target = std::filesystem::weakly_canonical(path, linkError);
        if (linkError)
            return linkError.message();
    }

    std::string temporary;
    const int fd = CreateTemporaryFile(target, temporary);
    if (fd < 0)
        return ErrorText(errno);

    int error = 0;
    struct stat existing { };
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        ::fchmod(fd, existing.st_mode & 07777) != 0)
        error = errno;
    if (error == 0)
        error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return ErrorText(error);
    }
    SyncFolder(target.parent_path());
    return std::nullopt;
}

} // namespace pellorin::lists
