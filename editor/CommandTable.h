// The command table: each command's label, keys, status prompt, tooltip and picture in one row,
// and where the menus and toolbars place it. The shell builds its menus, toolbars and keys from it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/Widget.h"

// Our own command ids (the stored files never hold them), above the toolkit's reserved range. The
// shell gives the commands its document framework handles (New, Open, Cut, About ...) the
// toolkit's own ids.
enum CommandId : int {
    ID_FIRST_COMMAND = 6100,
    ID_FILE_NEW = ID_FIRST_COMMAND,
    ID_FILE_OPEN,
    ID_FILE_CLOSE,
    ID_FILE_SAVE,
    ID_FILE_SAVE_AS,
    ID_FILE_PRINT,
    ID_FILE_PRINT_PREVIEW,
    ID_FILE_PRINT_SETUP,
    ID_APP_EXIT,
    ID_EDIT_UNDO,
    ID_EDIT_CUT,
    ID_EDIT_COPY,
    ID_EDIT_PASTE,
    ID_APP_ABOUT,
    ID_WIDGET_FEEDER,
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

// A toolbar button's picture: the desktop's own art for the common file and edit commands, the
// figure of the widget a drawing tool places, or one the shell draws.
enum class CommandIcon {
    None,
    New,
    Open,
    Save,
    Cut,
    Copy,
    Paste,
    Print,
    Help,
    Figure,
    Select,
    SelectAll,
    WorkspaceSettings,
    Debug,
    MonteCarloSettings,
    MonteCarloText,
    MonteCarloRun,
    AnalyticalSettings,
    AnalyticalText,
    AnalyticalRun,
    ZoomIn,
    ZoomOut,
    TileHorizontal,
    TileVertical,
    Cascade,
    EndPoints,
    Errors,
    MonteCarloResults,
    AnalyticalResults,
    ResultViewer,
    Spare,
};

// When a command can be given: always (its handler greys it itself when it must), only while a
// network editor is active, or never (nothing handles it).
enum class CommandUse { Always, WithEditor, Never };

struct CCommand {
    int id;
    const char* label = nullptr;  // "&Label" on the menus
    const char* key = nullptr;    // accelerator shown after the label: "Ctrl+F5", or a typed "1"
    const char* prompt = "";      // status bar text
    const char* tooltip = nullptr;  // null: the prompt
    CommandIcon icon = CommandIcon::None;
    std::optional<WidgetType> places = std::nullopt;  // the widget a drawing tool places
    bool check = false;                // a menu check item and a toggle button
    CommandUse use = CommandUse::Always;
    const char* contextLabel = nullptr;  // on the editor's right-click menu; null: the label alone
    const char* pageLabel = nullptr;     // whole text on a result page's menus; null: as on the others
    const char* otherKey = nullptr;      // a second accelerator
};

// Every command, in the table's order.
std::span<const CCommand> Commands();
// The command's row, or null for an id the table does not know.
const CCommand* FindCommand(int id);
// The drawing tool's widget of a command.
std::optional<WidgetType> ToolOfCommand(int id);
// The command of a typed character key (one whose accelerator is the character alone, or Alt with
// it): GTK does not fire these as menu accelerators, so the canvas does. 0 when none is.
int CommandOfCharacter(int character, bool alt);

// Menu bars (with no document open, with a network editor active, with a result page active) and
// the editor's right-click menu.
enum class MenuKind { NoDocument, Network, ResultPage, Context };

// A menu entry: a command, a separator (id 0 and no title), or a submenu with its title and
// entries. The recent-file list is the submenu of ID_RECENT_FILES that the shell fills.
struct CMenuEntry {
    CMenuEntry() = default;
    CMenuEntry(int command) : id(command) {}
    CMenuEntry(const char* submenuTitle, std::vector<CMenuEntry> submenu, bool wholeGreyed = false)
        : title(submenuTitle), entries(std::move(submenu)), greyed(wholeGreyed)
    {
    }
    int id = 0;
    const char* title = nullptr;
    std::vector<CMenuEntry> entries;
    bool greyed = false;  // a submenu shown greyed whole
};

// The entries of a menu bar (its submenus) or of the right-click menu.
const std::vector<CMenuEntry>& MenuLayout(MenuKind kind);
// A command's text on menus of that kind, its accelerator after a tab.
std::string MenuLabel(const CCommand& command, MenuKind kind);

// Toolbar layouts: command ids in order, 0 for a separator.
const std::vector<int>& MainToolBarLayout();
const std::vector<int>& WidgetToolBarLayout();
