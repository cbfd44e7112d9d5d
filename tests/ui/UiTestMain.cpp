// Entry point of the shell tests: a real wx application without its main loop, asserts and log
// boxes routed to stderr so that nothing waits on a modal box.
#include <gtest/gtest.h>

#include <cstdio>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

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
    wxSetAssertHandler(AssertToStderr);
    // A GUI application object, so that wxEntryStart initialises the toolkit.
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets (is there a display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr());
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
