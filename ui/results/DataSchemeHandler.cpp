#include "ui/results/DataSchemeHandler.h"

#include <wx/base64.h>
#include <wx/mstream.h>

bool CDataSchemeHandler::CanOpen(const wxString& location)
{
    return GetProtocol(location) == "data";
}

wxFSFile* CDataSchemeHandler::OpenFile(wxFileSystem&, const wxString& location)
{
    const int comma = location.Find(',');
    if (comma == wxNOT_FOUND)
        return nullptr;
    const wxString head = location.Mid(5, static_cast<size_t>(comma) - 5);  // after "data:"
    if (!head.EndsWith(";base64"))
        return nullptr;
    const wxMemoryBuffer bytes = wxBase64Decode(location.Mid(static_cast<size_t>(comma) + 1));
    if (bytes.IsEmpty())
        return nullptr;
    wxMemoryOutputStream copy;
    copy.Write(bytes.GetData(), bytes.GetDataLen());
    return new wxFSFile(new wxMemoryInputStream(copy), location, head.BeforeFirst(';'), wxString(), wxDateTime());
}
