// Entry point of the shell tests: the real application without its main loop, under a private
// home folder, with asserts and log messages on stderr and every modal dialog answered.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include "tests/ui/UiTestSupport.h"
#include "ui/KorvaneApp.h"

namespace {

void AssertToStderr(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    std::fprintf(stderr, "wx assert %s:%d %s: %s %s\n", file.utf8_str().data(), line, func.utf8_str().data(),
                 cond.utf8_str().data(), msg.utf8_str().data());
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Profile, recent files and desktop registration go to a throw-away home.
    char home[] = "/tmp/korvane-ui-XXXXXX";
    if (mkdtemp(home) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("HOME", home, 1);
    setenv("XDG_CONFIG_HOME", (std::string(home) + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (std::string(home) + "/.local/share").c_str(), 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    // A print system that is not there: no test reaches a real printer, on any machine.
    setenv("CUPS_SERVER", (std::string(home) + "/no-print-system").c_str(), 1);
    UiTest::SetHome(home);

    wxSetAssertHandler(AssertToStderr);
    wxApp::SetInstance(new CKorvaneApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets (is there a display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr());
    UiTest::InstallDialogHook();
    int result = 0;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator activate(&loop);
        result = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return result;
}
