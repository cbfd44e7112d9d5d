// Shared by the Monte Carlo tests: a scratch folder per test, a run output whose trace is read back,
// reports masked for their golden files, and the tables kept under tests/data/montecarlo/.
#pragma once

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>
#include <unistd.h>

#include "montecarlo/Output.h"
#include "tests/TestFiles.h"

namespace ndltest {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        m_path = fs::temp_directory_path() /
                 ("korvane-ndl-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& Path() const { return m_path; }
    fs::path operator/(const fs::path& name) const { return m_path / name; }
    // Whether a temporary NDL file is still there.
    bool HasTempFiles() const
    {
        for (const auto& entry : fs::directory_iterator(m_path))
            if (entry.path().extension() == ".tmp")
                return true;
        return false;
    }

private:
    fs::path m_path;
};

// The output of one run with its trace open in the folder; Trace() closes it and reads it back.
class TracedOutput {
public:
    explicit TracedOutput(const TempFolder& folder) : m_path(folder.Path() / "trace.txt")
    {
        m_output.OpenLog(m_path);
    }
    COutput* Get() { return &m_output; }
    std::string Trace()
    {
        m_output.CloseReports();
        return testfiles::ReadText(m_path);
    }

private:
    fs::path m_path;
    COutput m_output;
};

// A report as its golden file holds it: the time and speed, which differ from run to run, and the
// report's own path in its links are masked.
inline std::string MaskReport(std::string text, const fs::path& html)
{
    for (std::size_t at = text.find(html.string()); at != std::string::npos; at = text.find(html.string(), at))
        text.replace(at, html.string().size(), "@REPORT@");
    text = std::regex_replace(text, std::regex(R"(time: \d+:\d\d, speed: \d+\.\d\d years/sec)"),
                              "time: M:SS, speed: S years/sec");
    text = std::regex_replace(text, std::regex(R"(<font size="2">\d+:\d\d</font>)"), "<font size=\"2\">M:SS</font>");
    return std::regex_replace(text, std::regex(R"(<font size="2">\d+\.\d\d years/sec</font>)"),
                              "<font size=\"2\">S years/sec</font>");
}

inline void ExpectGolden(const std::string& actual, const std::string& name)
{
    testfiles::ExpectGolden(actual, fs::path("montecarlo") / name);
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

inline std::vector<TableCase> ReadTable(const std::string& name)
{
    std::ifstream in(fs::path(KORVANE_TEST_DATA) / "montecarlo" / name, std::ios::binary);
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

}  // namespace ndltest
