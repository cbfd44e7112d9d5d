#include "editor/OutputNames.h"

#include <system_error>

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
    names.analyticalFile = folder / (title + ".anl");
    return names;
}

void CreateOutputFolder(const COutputNames& names)
{
    std::error_code ec;
    std::filesystem::create_directories(names.folder, ec);
}
