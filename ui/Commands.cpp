#include "ui/Commands.h"

#include <wx/menu.h>

namespace {

wxString Text(const char* text)
{
    return wxString::FromUTF8(text != nullptr ? text : "");
}

// Appends the entries to `menu`; the recent-file submenu goes to `recentFiles`.
void Fill(wxMenu* menu, const std::vector<CMenuEntry>& entries, MenuKind kind, wxMenu** recentFiles)
{
    for (const CMenuEntry& entry : entries) {
        if (entry.title != nullptr) {
            auto* submenu = new wxMenu;
            Fill(submenu, entry.entries, kind, recentFiles);
            menu->AppendSubMenu(submenu, Text(entry.title));
            continue;
        }
        const CCommand* command = FindCommand(entry.id);
        if (command == nullptr) {
            menu->AppendSeparator();
            continue;
        }
        const wxString label = wxString::FromUTF8(MenuLabel(*command, kind));
        if (command->id == ID_RECENT_FILES) {
            *recentFiles = new wxMenu;
            menu->Append(ToolkitId(command->id), label, *recentFiles, Text(command->prompt));
        } else {
            menu->Append(ToolkitId(command->id), label, Text(command->prompt),
                         command->check ? wxITEM_CHECK : wxITEM_NORMAL);
        }
    }
}

}  // namespace

int ToolkitId(int id)
{
    static const std::pair<int, int> stock[] = {
        {ID_FILE_NEW, wxID_NEW},     {ID_FILE_OPEN, wxID_OPEN},   {ID_FILE_CLOSE, wxID_CLOSE},
        {ID_FILE_SAVE, wxID_SAVE},   {ID_FILE_SAVE_AS, wxID_SAVEAS}, {ID_FILE_PRINT, wxID_PRINT},
        {ID_FILE_PRINT_PREVIEW, wxID_PREVIEW}, {ID_FILE_PRINT_SETUP, wxID_PRINT_SETUP}, {ID_APP_EXIT, wxID_EXIT},
        {ID_EDIT_UNDO, wxID_UNDO},   {ID_EDIT_CUT, wxID_CUT},     {ID_EDIT_COPY, wxID_COPY},
        {ID_EDIT_PASTE, wxID_PASTE}, {ID_APP_ABOUT, wxID_ABOUT}};
    for (const auto& [ours, toolkit] : stock)
        if (ours == id)
            return toolkit;
    return id;
}

wxString CommandTooltip(const CCommand& command)
{
    return Text(command.tooltip != nullptr ? command.tooltip : command.prompt);
}

wxMenuBar* BuildMenuBar(MenuKind kind, wxMenu** recentFiles)
{
    auto* bar = new wxMenuBar;
    for (const CMenuEntry& entry : MenuLayout(kind)) {
        auto* menu = new wxMenu;
        Fill(menu, entry.entries, kind, recentFiles);
        bar->Append(menu, Text(entry.title));
        if (entry.greyed)
            bar->EnableTop(bar->GetMenuCount() - 1, false);
    }
    return bar;
}

wxMenu* BuildContextMenu()
{
    auto* menu = new wxMenu;
    wxMenu* none = nullptr;
    Fill(menu, MenuLayout(MenuKind::Context), MenuKind::Context, &none);
    return menu;
}

wxAcceleratorTable ExtraAccelerators()
{
    std::vector<wxAcceleratorEntry> entries;
    for (const CCommand& command : Commands()) {
        wxAcceleratorEntry entry;
        if (command.otherKey != nullptr && entry.FromString(command.otherKey)) {
            entry.Set(entry.GetFlags(), entry.GetKeyCode(), ToolkitId(command.id));
            entries.push_back(entry);
        }
    }
    return wxAcceleratorTable(static_cast<int>(entries.size()), entries.data());
}
