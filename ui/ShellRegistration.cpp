// Registers the ".mc" file type with the desktop: the MIME type and a .desktop entry that opens
// such files with this program, under the user's data folder (as the freedesktop.org rules say).
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "platform/Files.h"
#include "ui/KorvaneApp.h"

namespace {

bool ReadText(const wxString& path, wxString* text)
{
    if (!wxFileExists(path))
        return false;
    wxFFile file(path, "rb");
    return file.IsOpened() && file.ReadAll(text, wxConvUTF8);
}

// Writes the file when its content differs; true when it changed.
bool WriteIfChanged(const wxString& path, const wxString& text)
{
    wxString old;
    if (ReadText(path, &old) && old == text)
        return false;
    wxFileName::Mkdir(wxFileName(path).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    const wxString temporary = path + ".new";
    {
        wxFFile file(temporary, "wb");
        if (!file.IsOpened() || !file.Write(text, wxConvUTF8) || !file.Close())
            return false;
    }
    return wxRenameFile(temporary, path, true);
}

}  // namespace

std::filesystem::path UserDataHome()
{
    wxString xdg;
    wxGetEnv("XDG_DATA_HOME", &xdg);
    return korvane::DataHome(xdg.utf8_string(), wxGetHomeDir().utf8_string());
}

void RegisterShellFileTypes()
{
    const wxString resources = KORVANE_RESOURCES;
    wxString mime, desktop;
    if (!ReadText(resources + "/korvane-mc.xml", &mime) || !ReadText(resources + "/korvane.desktop", &desktop))
        return;
    // The entry starts this very program.
    desktop.Replace("Exec=korvane ", "Exec=\"" + wxStandardPaths::Get().GetExecutablePath() + "\" ");

    const wxString data = wxString::FromUTF8(UserDataHome().string());
    const bool mimeChanged = WriteIfChanged(data + "/mime/packages/korvane-mc.xml", mime);
    const bool desktopChanged = WriteIfChanged(data + "/applications/korvane.desktop", desktop);
    if (mimeChanged && !wxFindFirstFile("/usr/bin/update-mime-database").empty())
        wxExecute("update-mime-database \"" + data + "/mime\"", wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE);
    if (desktopChanged && !wxFindFirstFile("/usr/bin/update-desktop-database").empty())
        wxExecute("update-desktop-database \"" + data + "/applications\"", wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE);
}
