// Registers the ".mc" file type with the desktop: the MIME type and a .desktop entry that opens
// such files with this program and prints them, under the user's data folder (as the
// freedesktop.org rules say).
#include <cstdio>
#include <string>
#include <system_error>

#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "platform/Files.h"
#include "ui/KorvaneApp.h"

namespace {

std::string ReadText(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = korvane::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void Refresh(const char* tool, const std::filesystem::path& folder)
{
    if (!wxFindFirstFile(wxString("/usr/bin/") + tool).empty())
        wxExecute(wxString(tool) + " \"" + wxString::FromUTF8(folder.string()) + "\"",
                  wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE);
}

}  // namespace

bool WriteIfChanged(const std::filesystem::path& path, const std::string& text)
{
    try {
        if (ReadText(path) == text)
            return false;
    } catch (const korvane::FileError&) {
        // Missing or unreadable: written below.
    }
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec)
        throw korvane::FileError("Cannot create \"" + path.parent_path().string() + "\": " + ec.message());
    korvane::WriteFileAtomically(path, text);
    return true;
}

std::filesystem::path UserDataHome()
{
    wxString xdg;
    wxGetEnv("XDG_DATA_HOME", &xdg);
    return korvane::DataHome(xdg.utf8_string(), wxGetHomeDir().utf8_string());
}

void RegisterShellFileTypes()
{
    const std::filesystem::path resources = KORVANE_RESOURCES;
    const std::filesystem::path data = UserDataHome();
    // A courtesy to the desktop: when it cannot be written (a full disk, a read-only folder) the
    // program starts as usual and says so in one line.
    try {
        const std::string mime = ReadText(resources / "korvane-mc.xml");
        std::string desktop = ReadText(resources / "korvane.desktop");
        // The entry and its print action start this very program.
        const std::string exec = "Exec=korvane ";
        const std::string program = "Exec=\"" + wxStandardPaths::Get().GetExecutablePath().utf8_string() + "\" ";
        for (std::size_t at = desktop.find(exec); at != std::string::npos; at = desktop.find(exec, at + program.size()))
            desktop.replace(at, exec.size(), program);

        if (WriteIfChanged(data / "mime" / "packages" / "korvane-mc.xml", mime))
            Refresh("update-mime-database", data / "mime");
        if (WriteIfChanged(data / "applications" / "korvane.desktop", desktop))
            Refresh("update-desktop-database", data / "applications");
    } catch (const korvane::FileError& e) {
        std::fprintf(stderr, "korvane: the .mc file type is not registered with the desktop: %s\n", e.what());
    }
}
