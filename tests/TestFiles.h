// File helpers the core tests share: a scratch folder, a file's bytes, the comparison with a
// golden file, and the tables kept under tests/data/.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace testfiles {

// A fresh folder of its own under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("korvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return m_path / name; }
    // Whether a temporary file (".tmp") is still there.
    bool HasTempFiles() const
    {
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            if (entry.path().extension() == ".tmp")
                return true;
        return false;
    }

private:
    std::filesystem::path m_path;
};

// The names of what a folder holds.
inline std::set<std::string> FileNames(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

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

// One line of a table file that holds " => ": its fields, split there, with the escapes \n \r \t
// \0 \\ \" and \xHH read. Other lines describe the cases.
struct TableCase {
    int line = 0;
    std::vector<std::string> fields;
};

inline std::string Unescape(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x') {
            result += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            result += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == '0' ? '\0' : c;
        }
    }
    return result;
}

// The cases of tests/data/<name>.
inline std::vector<TableCase> ReadTable(const std::filesystem::path& name)
{
    std::ifstream in(std::filesystem::path(KORVANE_TEST_DATA) / name, std::ios::binary);
    EXPECT_TRUE(in) << name << " is missing";
    std::vector<TableCase> cases;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.find(" => ") == std::string::npos)
            continue;
        TableCase c{number, {}};
        std::size_t start = 0;
        for (std::size_t at; (at = line.find(" => ", start)) != std::string::npos; start = at + 4)
            c.fields.push_back(Unescape(line.substr(start, at - start)));
        c.fields.push_back(Unescape(line.substr(start)));
        cases.push_back(std::move(c));
    }
    return cases;
}

}  // namespace testfiles
