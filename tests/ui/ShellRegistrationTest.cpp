// The desktop registration at start-up: written once, and when it cannot be written the program
// starts as usual with one line on the standard error stream and no file left half-written.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <wx/stdpaths.h>

#include "platform/Files.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/KorvaneApp.h"
#include "ui/MainFrame.h"

using namespace UiTest;
namespace fs = std::filesystem;

namespace {

enum class Trouble { None, FullDisk, ReadOnly };

// While it lives, every file write fails as on a full disk (EFBIG rather than the signal), or the
// folder is read-only: root, whom permissions do not stop, gives up the override for this thread.
class CTrouble {
public:
    CTrouble(Trouble trouble, const fs::path& folder) : m_trouble(trouble), m_folder(folder)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_limit);
        ::syscall(SYS_capget, &m_header, m_caps);
        if (trouble == Trouble::FullDisk) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit none = m_limit;
            none.rlim_cur = 0;
            ::setrlimit(RLIMIT_FSIZE, &none);
        } else if (trouble == Trouble::ReadOnly) {
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
            __user_cap_data_struct reduced[2] = {m_caps[0], m_caps[1]};
            reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
            ::syscall(SYS_capset, &m_header, reduced);
        }
    }
    ~CTrouble()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_limit);
        std::signal(SIGXFSZ, SIG_DFL);
        ::syscall(SYS_capset, &m_header, m_caps);
        if (m_trouble == Trouble::ReadOnly)
            fs::permissions(m_folder, fs::perms::owner_all);
    }

private:
    Trouble m_trouble;
    fs::path m_folder;
    rlimit m_limit{};
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_caps[2]{};
};

// What the start writes to fd 2, read through a pipe (a file could not be written meanwhile).
std::string StartSaying(Trouble trouble, const fs::path& data)
{
    std::fflush(stderr);
    const int saved = ::dup(2);
    int pipe[2];
    EXPECT_EQ(::pipe(pipe), 0);
    ::dup2(pipe[1], 2);
    {
        CTrouble meanwhile(trouble, data);
        Start({"-Embedding"});
    }
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(pipe[1]);
    std::string said;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    return said;
}

using ShellRegistration = App;

// Regression: a full disk crashed the start (a file closed twice after its close failed) and left
// a 0-byte "korvane-mc.xml.new"; a read-only folder showed a toolkit box "can't open file" at
// every start.
TEST_F(ShellRegistration, AFolderThatCannotBeWrittenLeavesTheStartAsUsualWithOneLine)
{
    const std::string refused = "korvane: the .mc file type is not registered with the desktop: ";
    const struct {
        Trouble trouble;
        std::vector<std::string> files;  // in the two folders written, whole or partial
        std::string said;
    } cases[] = {
        {Trouble::None, {"applications/korvane.desktop", "mime/packages/korvane-mc.xml"}, ""},
        {Trouble::FullDisk, {}, refused + "Cannot write"},
        {Trouble::ReadOnly, {}, refused + "Cannot create"},
    };
    const std::string restore = std::getenv("XDG_DATA_HOME");
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.trouble));
        Stop();
        const fs::path data = folder / ("data" + std::to_string(static_cast<int>(c.trouble)));
        fs::create_directories(data);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        const std::string said = StartSaying(c.trouble, data);
        setenv("XDG_DATA_HOME", restore.c_str(), 1);

        std::vector<std::string> files;
        std::error_code ec;
        for (const char* written : {"applications", "mime/packages"})
            for (const auto& entry : fs::directory_iterator(data / written, ec))
                files.push_back(fs::relative(entry.path(), data).string());
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, c.files);
        EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"New"});
        EXPECT_EQ(DocumentCount(), 1);
        EXPECT_TRUE(wxGetApp().GetMainFrame()->IsShown());
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.said.empty() ? 0 : 1) << said;
        EXPECT_EQ(said.rfind(c.said, 0), 0u) << said;
    }
    // The entry opens and prints a file with this very program. Regression: it could only open one.
    const auto entry = korvane::ReadFileBytes(folder / "data0" / "applications" / "korvane.desktop");
    const std::string program = "\"" + wxStandardPaths::Get().GetExecutablePath().utf8_string() + "\"";
    EXPECT_EQ(std::string(entry.begin(), entry.end()),
              "[Desktop Entry]\nType=Application\nName=Korvane\nGenericName=Distribution network reliability\n"
              "Comment=Draw a power distribution network and assess its reliability\nExec=" + program + " %f\n"
              "Terminal=false\nMimeType=application/x-korvane-mc;\nCategories=Engineering;Science;\n"
              "Actions=print;\n\n[Desktop Action print]\nName=Print\nExec=" + program + " /p %f\n");
}

}  // namespace
