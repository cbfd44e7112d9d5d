// The desktop registration at start-up: written once, and when it cannot be written the program
// starts as usual with one line on the standard error stream and no file left half-written.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <wx/stdpaths.h>

#include "tests/ui/UiTestSupport.h"
#include "ui/KorvaneApp.h"
#include "ui/MainFrame.h"

using namespace UiTest;

namespace {

// What the program writes to fd 2 while it lives, read through a pipe (a file could not be
// written while file writes are made to fail).
class CStderrCapture {
public:
    CStderrCapture()
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        if (::pipe(m_pipe) == 0)
            ::dup2(m_pipe[1], 2);
    }
    std::string Take()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        ::close(m_pipe[1]);
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_pipe[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        ::close(m_pipe[0]);
        return text;
    }

private:
    int m_saved = -1;
    int m_pipe[2] = {-1, -1};
};

// Every write to a file fails as on a full disk (EFBIG instead of the signal).
class CFullDisk {
public:
    CFullDisk()
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit none = m_old;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~CFullDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// A folder without write permission; root, whom permissions do not stop, gives up the override
// for this thread meanwhile.
class CReadOnlyFolder {
public:
    explicit CReadOnlyFolder(const std::filesystem::path& folder) : m_folder(folder)
    {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        ::syscall(SYS_capget, &m_header, m_caps);
        __user_cap_data_struct reduced[2] = {m_caps[0], m_caps[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        ::syscall(SYS_capset, &m_header, reduced);
    }
    ~CReadOnlyFolder()
    {
        ::syscall(SYS_capset, &m_header, m_caps);
        std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all);
    }

private:
    std::filesystem::path m_folder;
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_caps[2]{};
};

// The files of the two folders we write, whole or partial (the desktop's tools, started after a
// change, write elsewhere).
std::vector<std::string> OurFilesUnder(const std::filesystem::path& data)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const char* folder : {"applications", "mime/packages"})
        for (const auto& entry : std::filesystem::directory_iterator(data / folder, ec))
            names.push_back(std::filesystem::relative(entry.path(), data).string());
    std::sort(names.begin(), names.end());
    return names;
}

using ShellRegistration = App;

// Regression: a full disk crashed the start (a file closed twice after its close failed) and left
// a 0-byte "korvane-mc.xml.new"; a read-only folder showed a toolkit box "can't open file" at
// every start.
TEST_F(ShellRegistration, AFolderThatCannotBeWrittenLeavesTheStartAsUsualWithOneLine)
{
    enum class Trouble { None, FullDisk, ReadOnly };
    const struct {
        Trouble trouble;
        std::vector<std::string> files;
        const char* said;  // the start of the one line on stderr, or "" for none
    } cases[] = {
        {Trouble::None, {"applications/korvane.desktop", "mime/packages/korvane-mc.xml"}, ""},
        {Trouble::FullDisk, {}, "korvane: the .mc file type is not registered with the desktop: Cannot write"},
        {Trouble::ReadOnly, {}, "korvane: the .mc file type is not registered with the desktop: Cannot create"},
    };
    const char* const oldData = std::getenv("XDG_DATA_HOME");
    const std::string restore = oldData != nullptr ? oldData : "";
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.trouble));
        Stop();
        const auto data = folder / ("data" + std::to_string(static_cast<int>(c.trouble)));
        std::filesystem::create_directories(data);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        std::string said;
        {
            CStderrCapture capture;
            {
                std::unique_ptr<CFullDisk> full;
                std::unique_ptr<CReadOnlyFolder> readOnly;
                if (c.trouble == Trouble::FullDisk)
                    full = std::make_unique<CFullDisk>();
                if (c.trouble == Trouble::ReadOnly)
                    readOnly = std::make_unique<CReadOnlyFolder>(data);
                Start({"-Embedding"});
            }
            said = capture.Take();
        }
        setenv("XDG_DATA_HOME", restore.c_str(), 1);

        EXPECT_EQ(OurFilesUnder(data), c.files);
        EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"New"});
        EXPECT_EQ(DocumentCount(), 1);
        EXPECT_TRUE(wxGetApp().GetMainFrame()->IsShown());
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), *c.said ? 1 : 0) << said;
        EXPECT_EQ(said.rfind(c.said, 0), 0u) << said;
        if (c.trouble == Trouble::None) {
            std::ifstream entry(data / "applications" / "korvane.desktop");
            const std::string text((std::istreambuf_iterator<char>(entry)), std::istreambuf_iterator<char>());
            // The entry starts this very program.
            EXPECT_NE(text.find("Exec=\"" + wxStandardPaths::Get().GetExecutablePath().utf8_string() + "\" %f"),
                      std::string::npos)
                << text;
        }
    }
}

}  // namespace
