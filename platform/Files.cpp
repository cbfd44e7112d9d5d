#include "platform/Files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace korvane {
namespace {

std::string Reason()
{
    return std::strerror(errno);
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    // A pipe would wait for a writer and a device such as /dev/zero never ends: only files are read.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw FileError("Cannot open \"" + path.string() + "\": not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError("Cannot open \"" + path.string() + "\": " + Reason());
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    }
    if (in.bad())
        throw FileError("Cannot read \"" + path.string() + "\": " + Reason());
    return bytes;
}

std::filesystem::path UniqueSiblingName(const std::filesystem::path& path, std::string_view suffix)
{
    static std::atomic<unsigned> counter{0};
    for (;;) {
        std::filesystem::path candidate = path;
        candidate += "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + std::string(suffix);
        std::error_code ec;
        // A dangling link is a name taken too.
        if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, ec)))
            return candidate;
    }
}

std::FILE* CreateNewFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int reason = errno;
        ::close(fd);
        ::unlink(path.c_str());
        errno = reason;
    }
    return file;
}

std::FILE* OpenFileNoFollow(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        const int reason = errno;
        ::close(fd);
        errno = reason;
    }
    return file;
}

void RemoveAbandonedSiblings(const std::filesystem::path& path, std::string_view suffix)
{
    const std::string prefix = path.filename().string() + ".";
    std::filesystem::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        // What lies between is "<process id>-<counter>".
        const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        const std::size_t dash = middle.find('-');
        if (dash == 0 || dash == std::string::npos || dash > 9 || dash + 1 == middle.size() ||
            middle.find_first_not_of("0123456789") != dash ||
            middle.find_first_not_of("0123456789", dash + 1) != std::string::npos)
            continue;
        const auto process = static_cast<pid_t>(std::stol(middle.substr(0, dash)));
        if (process > 0 && ::kill(process, 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

void WriteFileAtomically(const std::filesystem::path& requested, std::string_view bytes)
{
    // Saving through a symbolic link updates the file it points to; renaming over the link would
    // replace the link itself and leave that file behind unchanged.
    std::filesystem::path path = requested;
    std::error_code linkError;
    if (std::filesystem::is_symlink(requested, linkError)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(requested, linkError);
        if (!linkError)
            path = resolved;
    }
    // A save killed mid-write left its temporary file; nothing else would ever remove it.
    RemoveAbandonedSiblings(path, ".part");
    const std::filesystem::path temp = UniqueSiblingName(path, ".part");
    {
        // A file that appeared under the temporary name since it was chosen is never overwritten.
        std::FILE* f = CreateNewFile(temp);
        if (f == nullptr)
            throw FileError("Cannot write \"" + requested.string() + "\": " + Reason());
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        const bool flushed = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
        const int savedErrno = errno;
        const bool closed = std::fclose(f) == 0;
        if (!written || !flushed || !closed) {
            errno = savedErrno;
            const std::string reason = Reason();
            std::remove(temp.c_str());
            throw FileError("Cannot write \"" + requested.string() + "\": " + reason);
        }
    }
    std::error_code ec;
    // The new file keeps the permissions the old one had.
    if (const auto old = std::filesystem::status(path, ec); !ec && std::filesystem::exists(old))
        std::filesystem::permissions(temp, old.permissions(), ec);
    ec.clear();
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        throw FileError("Cannot write \"" + requested.string() + "\": " + ec.message());
    }
}

void WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::filesystem::path DataHome(std::string_view xdgDataHome, std::string_view home)
{
    const std::filesystem::path given(xdgDataHome);
    if (given.is_absolute())
        return given;
    return std::filesystem::path(home) / ".local" / "share";
}

}  // namespace korvane
