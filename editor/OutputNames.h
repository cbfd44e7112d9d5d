// Where a run writes: the output folder and the names of its files, taken from the document.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The title the application gives a network file: its name without the ".mc" extension (any
// case). The runs name their output files after it.
std::string NetworkTitle(const std::string& fileName);

struct COutputNames {
    std::filesystem::path folder;          // also where the parser makes its temporary NDL file
    std::filesystem::path textFile;        // <title>.txt, the trace
    std::filesystem::path htmlFile;        // <title>.htm, the report
};

// The files of a run named after `title`: beside `documentFile`, or under `userDataFolder` when
// the document has never been saved; with `createDirectory` in a sub-folder named after the
// title. The folder is absolute (a relative one is taken from the working folder). Nullopt when
// the title cannot name a file (empty, a path, "." or "..").
std::optional<COutputNames> MakeOutputNames(const std::string& title, const std::filesystem::path& documentFile,
                                            const std::filesystem::path& userDataFolder, bool createDirectory);

// Makes the folder when it is missing, once the files' names are known to fit in it. What keeps
// the run from writing there, as the user is told it (the system's reason included); empty when
// nothing does.
std::string CreateOutputFolder(const COutputNames& names);
