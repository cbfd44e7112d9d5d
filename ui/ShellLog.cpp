#include "ui/ShellLog.h"

#include <cstdio>

#include "ui/KorvaneApp.h"

void CShellLog::Flush()
{
    if (wxTheApp != nullptr && wxGetApp().CanShowBoxes()) {
        wxLogGui::Flush();
        return;
    }
    for (const wxString& message : m_aMessages)
        std::fprintf(stderr, "korvane: %s\n", message.utf8_str().data());
    std::fflush(stderr);
    Clear();
}
