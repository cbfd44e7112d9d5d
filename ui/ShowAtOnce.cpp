#include "ui/ShowAtOnce.h"

#include <wx/toplevel.h>

void ShowAtOnce(wxTopLevelWindow& window)
{
#ifdef __WXGTK__
    // The flag is the toolkit's own, protected: reached as a member of a class derived from it.
    struct Access : wxTopLevelWindow {
        static auto Flag() { return &Access::m_deferShow; }
    };
    window.*Access::Flag() = false;
#else
    (void)window;
#endif
}
