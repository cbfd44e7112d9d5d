// Opens "data:" URLs for the HTML windows: the Monte Carlo reports carry their bar picture as one.
#pragma once

#include <wx/filesys.h>

// Only the base64 form is read ("data:image/png;base64,..."); anything else does not open.
class CDataSchemeHandler : public wxFileSystemHandler {
public:
    bool CanOpen(const wxString& location) override;
    wxFSFile* OpenFile(wxFileSystem& fs, const wxString& location) override;
};
