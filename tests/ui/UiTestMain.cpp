// Entry point of the shell tests: the real application without its main loop, under a private
// home folder, with log messages on stderr and every modal dialog answered. A toolkit fault fails
// the test in which it happens.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <glib.h>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include "tests/ui/UiTestSupport.h"
#include "ui/KorvaneApp.h"

namespace {

// A wx assert or a GLib or GTK warning or critical is a misuse of the toolkit that a user's run
// would hit too; it passed unnoticed when the toolkit only printed it. Caught here rather than made
// fatal by G_DEBUG, so it fails whichever way the tests are run and names its test.
std::atomic<int> g_faultsOutsideTests{0};

void ToolkitFault(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    if (testing::UnitTest::GetInstance()->current_test_info() != nullptr)
        ADD_FAILURE() << "toolkit fault: " << text;
    else
        ++g_faultsOutsideTests;
}

void AssertFault(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    ToolkitFault("wx assert " + file.utf8_string() + ":" + std::to_string(line) + " " + func.utf8_string() + ": " +
                 cond.utf8_string() + " " + msg.utf8_string());
}

GLogWriterOutput GLibMessage(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data)
{
    if ((level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) == 0)
        return g_log_writer_default(level, fields, count, data);
    std::string domain = "GLib", message;
    for (gsize n = 0; n < count; ++n) {
        const auto* value = static_cast<const char*>(fields[n].value);
        if (value == nullptr)
            continue;
        if (std::strcmp(fields[n].key, "GLIB_DOMAIN") == 0)
            domain = value;
        else if (std::strcmp(fields[n].key, "MESSAGE") == 0)
            message = value;
    }
    ToolkitFault(domain + ((level & G_LOG_LEVEL_WARNING) != 0 ? "-WARNING " : "-CRITICAL ") + message);
    return G_LOG_WRITER_HANDLED;
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

    g_log_set_writer_func(GLibMessage, nullptr, nullptr);
    wxSetAssertHandler(AssertFault);
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
    return g_faultsOutsideTests > 0 ? 1 : result;
}
