// Whole-file reads and writes that never leave a half-written file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A file that could not be read or written; the message names the file and the reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Writes to a unique temporary name beside the target, then renames it over the target, so a
// failed write leaves the old file as it was.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);
void WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The longest file name `folder` takes, in bytes (that of the folder it will be made in when it
// does not exist yet); 255 when the system does not say.
std::size_t NameMax(const std::filesystem::path& folder);

// A name beside `path` that nothing has yet, a link included: path + "." + the process id + "-" +
// a counter + suffix, the file name of `path` shortened when the whole would not fit the folder.
std::filesystem::path UniqueSiblingName(const std::filesystem::path& path, std::string_view suffix);

// Creates the file for writing, only when nothing has its name: never over another file and never
// through a symbolic link planted under the name (in a shared folder it could point anywhere).
// Null, with errno set, when it cannot.
std::FILE* CreateNewFile(const std::filesystem::path& path);
// Opens the file for reading, refusing a symbolic link; null, with errno set, when it cannot.
std::FILE* OpenFileNoFollow(const std::filesystem::path& path);

// Removes the names that UniqueSiblingName gave beside `path` with `suffix` to processes that
// have ended (a killed run's temporary files); those of running processes stay.
void RemoveAbandonedSiblings(const std::filesystem::path& path, std::string_view suffix);
// As RemoveAbandonedSiblings, beside every file of `folder`.
void RemoveAbandonedTemporaries(const std::filesystem::path& folder, std::string_view suffix);

// The user's data folder as the freedesktop rules have it: $XDG_DATA_HOME when it is an absolute
// path, else $HOME/.local/share. The caller passes the two variables ("" when unset).
std::filesystem::path DataHome(std::string_view xdgDataHome, std::string_view home);

}  // namespace korvane
