// The shell tests' own rule: a toolkit fault in a test fails that test, however the tests are run.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <wx/debug.h>

namespace {

// Regression: a wx assert was only printed, and a GLib or GTK warning or critical failed a run
// only where G_DEBUG made it fatal, so such faults passed unnoticed.
TEST(Harness, AToolkitAssertWarningOrCriticalFailsTheTestItHappensIn)
{
    EXPECT_NONFATAL_FAILURE(wxFAIL_MSG("the harness's own assert"), "toolkit fault: wx assert");
    EXPECT_NONFATAL_FAILURE(g_warning("the harness's own warning"),
                            "toolkit fault: GLib-WARNING the harness's own warning");
    EXPECT_NONFATAL_FAILURE(gtk_widget_show(nullptr), "toolkit fault: Gtk-CRITICAL gtk_widget_show: assertion");
}

}  // namespace
