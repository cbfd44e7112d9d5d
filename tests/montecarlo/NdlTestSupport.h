// Shared by the NDL tests: a scratch folder per test and a run output whose trace is read back.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
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
        m_output.CloseLog();
        return testfiles::ReadText(m_path);
    }

private:
    fs::path m_path;
    COutput m_output;
};

}  // namespace ndltest
