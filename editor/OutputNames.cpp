#include "editor/OutputNames.h"

#include <cctype>
#include <cerrno>
#include <system_error>

#include "editor/RunMessages.h"
#include "montecarlo/Simulator.h"
#include "platform/Files.h"

namespace {

// The working folder joined with a relative folder; "." steps are dropped, ".." ones kept, as
// only the file system knows where they lead past a link.
std::filesystem::path Absolute(const std::filesystem::path& folder)
{
    std::error_code ec;
    const std::filesystem::path base = folder.is_absolute() ? std::filesystem::path() : std::filesystem::current_path(ec);
    if (ec)
        return folder;
    std::filesystem::path result = base.empty() ? folder.root_path() : base;
    for (const std::filesystem::path& step : folder.relative_path())
        if (step != "." && !step.empty())
            result /= step;
    return result;
}

}  // namespace

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
    // The report links into itself and the document stores its path: both must lead to it from
    // wherever they are read, not only from the working folder of this run.
    folder = Absolute(folder);
    if (createDirectory)
        folder /= title;
    COutputNames names;
    names.folder = folder;
    names.textFile = folder / (title + ".txt");
    names.htmlFile = folder / (title + ".htm");
    return names;
}

std::string CreateOutputFolder(const COutputNames& names)
{
    // A title that fits a folder's name may still be too long for the files named after it.
    for (const std::filesystem::path* file : {&names.htmlFile, &names.textFile})
        if (file->filename().native().size() > korvane::NameMax(names.folder))
            return std::string(run_text::kOutputNameTooLong) + "\nCannot create \"" + file->string() +
                   "\": " + std::generic_category().message(ENAMETOOLONG);
    std::error_code ec;
    std::filesystem::create_directories(names.folder, ec);
    if (ec)
        return std::string(kHtmlOutputFailed) + "\nCannot create the folder \"" + names.folder.string() +
               "\": " + ec.message();
    return {};
}
