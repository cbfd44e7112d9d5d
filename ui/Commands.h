// The command table: every command's id, prompt, tooltip and picture, and the menus, toolbars and
// keys built from it.
#pragma once

#include <optional>
#include <vector>

#include <wx/accel.h>
#include <wx/defs.h>
#include <wx/string.h>

#include "model/Widget.h"

class wxMenu;
class wxMenuBar;

// Our own command ids (the stored files never hold them). Standard commands use wx's ids.
enum CommandId : int {
    ID_WIDGET_FEEDER = wxID_HIGHEST + 100,
    ID_WIDGET_CIRCUIT_BREAKER,
    ID_WIDGET_FUSE,
    ID_WIDGET_RECLOSER,
    ID_WIDGET_ISOLATOR,
    ID_WIDGET_BUS_BAR,
    ID_WIDGET_LOAD_POINT,
    ID_WIDGET_GEN_SOURCE,
    ID_WIDGET_EQUIPMENT,
    ID_WIDGET_TRANSFORMER,
    ID_SELECT,
    ID_SELECT_ALL,
    ID_TOGGLE,
    ID_ZOOM_IN,
    ID_ZOOM_OUT,
    ID_WORKSPACE_SETTINGS,
    ID_MONTE_CARLO_SETTINGS,
    ID_ANALYTICAL_SETTINGS_MENU,  // the menus' entry, which nothing handles
    ID_ANALYTICAL_SETTINGS,       // the toolbar's button, handled by the document
    ID_DEBUG_NETWORK,
    ID_DISPLAY_ERRORS,
    ID_MONTE_CARLO_SIMULATION,
    ID_DISPLAY_NDL,
    ID_ANALYTICAL_SIMULATION,
    ID_DISPLAY_GML,
    ID_MONTE_CARLO_RESULT_VIEWER,
    ID_ANALYTICAL_RESULT_VIEWER,
    ID_RESULT_VIEWER_DIALOG,
    ID_IMPORT,
    ID_EXPORT,
    ID_SPARE_BUTTON,  // the widget bar's last buttons: no command behind them
    ID_SPARE_BUTTON_2,
    ID_VIEW_TOOLBAR,
    ID_VIEW_STATUS_BAR,
    ID_WINDOW_CASCADE,
    ID_WINDOW_ARRANGE,
    ID_WINDOW_TILE_HORZ,
    ID_WINDOW_TILE_VERT,
    ID_RECENT_FILES,
    ID_COMMAND_LAST
};
static_assert(ID_COMMAND_LAST < 0x7FFF, "command ids must stay below 0x7FFF");

struct CCommand {
    int id;
    const char* prompt;   // status bar text
    const char* tooltip;  // null: the prompt
};

// The command's entry, or null for an id the table does not know.
const CCommand* FindCommand(int id);
wxString CommandPrompt(int id);
wxString CommandTooltip(int id);

// The widget tool of a tool command.
std::optional<WidgetType> ToolOfCommand(int id);
int CommandOfTool(WidgetType type);

// Menu bars: with no document open, with a network editor active, with a result page active.
enum class MenuKind { NoDocument, Network, ResultPage };
// `recentFiles` receives the submenu that the recent-file list fills.
wxMenuBar* BuildMenuBar(MenuKind kind, wxMenu** recentFiles);
// The editor's right-click menu.
wxMenu* BuildContextMenu();

// Toolbar layouts: command ids in order, 0 for a separator.
const std::vector<int>& MainToolBarLayout();
const std::vector<int>& WidgetToolBarLayout();

// The typed character keys that GTK does not fire as menu accelerators: the digits, the backquote
// and Alt with '+' or '-'. Returns the command, or 0.
int CommandOfCharacter(int character, bool alt);
// The frame's further accelerators (Ctrl+Insert, Shift+Delete, Shift+Insert, Alt+Backspace).
wxAcceleratorTable ExtraAccelerators();
