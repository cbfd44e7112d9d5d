// A saved network's runs without the application, for the headless tools: the file opened as the
// application opens it, checked as the engine's run checks it and its run prepared as the Build
// commands prepare it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/EngineKind.h"
#include "editor/RunController.h"

struct CSavedNetworkRun {
    std::unique_ptr<CRunJob> job;  // null when the network was refused
    // For the user, in order: what the file's load repaired or doubted; on a refusal "Debug
    // network"'s result with the errors bar's lines, or the Build command's message.
    std::vector<std::string> messages;
};

// Whether the file is a saved network (a ".mc" file) rather than engine text.
bool IsNetworkFile(const std::filesystem::path& file);

// Opens `file` (a file that cannot be read throws korvane::FileError naming it) and prepares its
// run with the network's own settings. The Monte Carlo reports go where the application would put
// them for a network saved in `outputFolder`, which is made when missing.
CSavedNetworkRun PrepareSavedNetworkRun(const std::filesystem::path& file, EngineKind engine,
                                        const std::filesystem::path& outputFolder);
