// File helpers the core tests share: a file's bytes, and the comparison with a golden file.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testfiles {

// The file's bytes; empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Compares with tests/data/<name>; KORVANE_UPDATE_GOLDEN=1 rewrites the file instead, for when a
// change of the output is intended.
inline void ExpectGolden(const std::string& actual, const std::filesystem::path& name)
{
    const std::filesystem::path golden = std::filesystem::path(KORVANE_TEST_DATA) / name;
    const char* update = std::getenv("KORVANE_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(golden, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden << " is missing; run with KORVANE_UPDATE_GOLDEN=1";
    EXPECT_EQ(actual, ReadText(golden)) << "differs from " << golden;
}

}  // namespace testfiles
