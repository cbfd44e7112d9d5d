#include "editor/OutputNames.h"

#include <cctype>
#include <system_error>

std::string NetworkTitle(const std::string& fileName)
{
    const std::size_t n = fileName.size();
    const auto lower = [&fileName](std::size_t i) { return std::tolower(static_cast<unsigned char>(fileName[i])); };
    if (n >= 3 && fileName[n - 3] == '.' && lower(n - 2) == 'm' && lower(n - 1) == 'c')
        return fileName.substr(0, n - 3);
    return fileName;
}

std::optional<COutputNames> MakeOutputNames(const std::string& title, const std::filesystem::path& documentFile,
                                            const std::filesystem::path& userDataFolder, bool createDirectory)
{
    if (title.empty() || title == "." || title == ".." || title.find('/') != std::string::npos ||
        title.find('\0') != std::string::npos)
        return std::nullopt;
    std::filesystem::path folder = documentFile.empty() ? userDataFolder : documentFile.parent_path();
    if (createDirectory)
        folder /= title;
    COutputNames names;
    names.folder = folder;
    names.textFile = folder / (title + ".txt");
    names.htmlFile = folder / (title + ".htm");
    return names;
}

void CreateOutputFolder(const COutputNames& names)
{
    std::error_code ec;
    std::filesystem::create_directories(names.folder, ec);
}
