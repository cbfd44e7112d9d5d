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

std::size_t NameMax(const std::filesystem::path& folder)
{
    // A folder still to be made takes the limit of the one it will be made in.
    std::filesystem::path existing = folder.empty() ? std::filesystem::path(".") : folder;
    std::error_code ec;
    while (!std::filesystem::is_directory(existing, ec)) {
        const std::filesystem::path parent = existing.parent_path();
        if (parent.empty() || parent == existing)
            break;
        existing = parent;
    }
    const long limit = ::pathconf(existing.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

namespace {

// `fileName` + `tail`, the file name cut as far as the whole must to fit `nameMax` bytes, never
// inside a UTF-8 character; the tail keeps it unique.
std::string SiblingName(const std::string& fileName, const std::string& tail, std::size_t nameMax)
{
    std::size_t kept = fileName.size();
    if (kept + tail.size() > nameMax) {
        kept = nameMax > tail.size() ? nameMax - tail.size() : 0;
        while (kept > 0 && (static_cast<unsigned char>(fileName[kept]) & 0xC0) == 0x80)
            --kept;
    }
    return fileName.substr(0, kept) + tail;
}

// Removes the names that UniqueSiblingName gave in `folder` with `suffix` to processes that have
// ended: beside `fileName` alone when that is given.
void RemoveAbandoned(std::filesystem::path folder, std::string_view suffix, const std::string* fileName)
{
    if (folder.empty())
        folder = ".";
    const std::size_t nameMax = NameMax(folder);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        // The tail is ".<process id>-<counter>" + suffix.
        const std::size_t dot = name.rfind('.', name.size() - suffix.size() - 1);
        if (dot == 0 || dot == std::string::npos)
            continue;
        const std::string middle = name.substr(dot + 1, name.size() - suffix.size() - dot - 1);
        const std::size_t dash = middle.find('-');
        if (dash == 0 || dash == std::string::npos || dash > 9 || dash + 1 == middle.size() ||
            middle.find_first_not_of("0123456789") != dash ||
            middle.find_first_not_of("0123456789", dash + 1) != std::string::npos)
            continue;
        if (fileName != nullptr && name != SiblingName(*fileName, name.substr(dot), nameMax))
            continue;
        const auto process = static_cast<pid_t>(std::stol(middle.substr(0, dash)));
        if (process > 0 && ::kill(process, 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

}  // namespace

std::filesystem::path UniqueSiblingName(const std::filesystem::path& path, std::string_view suffix)
{
    static std::atomic<unsigned> counter{0};
    const std::string fileName = path.filename().string();
    const std::size_t nameMax = NameMax(path.parent_path());
    for (;;) {
        const std::string tail = "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + std::string(suffix);
        std::filesystem::path candidate = path.parent_path() / SiblingName(fileName, tail, nameMax);
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
    const std::string fileName = path.filename().string();
    RemoveAbandoned(path.parent_path(), suffix, &fileName);
}

void RemoveAbandonedTemporaries(const std::filesystem::path& folder, std::string_view suffix)
{
    RemoveAbandoned(folder, suffix, nullptr);
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
