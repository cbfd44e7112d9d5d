// The menus, toolbars' tooltips and extra keys of the command table, in toolkit terms.
#pragma once

#include <wx/accel.h>
#include <wx/defs.h>
#include <wx/string.h>

#include "editor/CommandTable.h"

class wxMenu;
class wxMenuBar;

static_assert(int(ID_FIRST_COMMAND) > int(wxID_HIGHEST), "our command ids must not meet the toolkit's own");

// The id a command's menu items and buttons carry: the toolkit's own for the commands its document
// framework and stock items handle, else ours.
int ToolkitId(int id);

wxString CommandTooltip(const CCommand& command);

// `recentFiles` receives the submenu that the recent-file list fills.
wxMenuBar* BuildMenuBar(MenuKind kind, wxMenu** recentFiles);
// The editor's right-click menu.
wxMenu* BuildContextMenu();
// The commands' second accelerators (Ctrl+Insert, Shift+Delete, Shift+Insert, Alt+Backspace).
wxAcceleratorTable ExtraAccelerators();
