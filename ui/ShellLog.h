// Where the toolkit's log messages go: boxes while the main window is there, the standard error
// stream after it (at exit, when the application object may already be gone) and on a print-only
// command line, where nobody could answer a box.
#pragma once

#include <wx/log.h>

class CShellLog : public wxLogGui {
public:
    void Flush() override;
};
