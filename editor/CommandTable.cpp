#include "editor/CommandTable.h"

namespace {

using Icon = CommandIcon;
using Use = CommandUse;

// One row a command.
constexpr CCommand kCommands[] = {
    {.id = ID_FILE_NEW, .label = "&New", .key = "Ctrl+N", .prompt = "Create a new document", .tooltip = "New",
     .icon = Icon::New},
    {.id = ID_FILE_OPEN, .label = "&Open...", .key = "Ctrl+O", .prompt = "Open an existing document",
     .tooltip = "Open", .icon = Icon::Open},
    {.id = ID_FILE_CLOSE, .label = "&Close", .prompt = "Close the active document", .tooltip = "Close"},
    {.id = ID_FILE_SAVE, .label = "&Save", .key = "Ctrl+S", .prompt = "Save the active document", .tooltip = "Save",
     .icon = Icon::Save},
    {.id = ID_FILE_SAVE_AS, .label = "Save &As...", .prompt = "Save the active document with a new name",
     .tooltip = "Save As"},
    {.id = ID_IMPORT, .label = "&Import", .prompt = "Import", .use = Use::Never},
    {.id = ID_EXPORT, .label = "&Export", .prompt = "Export", .use = Use::Never},
    {.id = ID_FILE_PRINT, .label = "&Print...", .key = "Ctrl+P", .prompt = "Print the active document",
     .tooltip = "Print", .icon = Icon::Print},
    {.id = ID_FILE_PRINT_PREVIEW, .label = "Print Pre&view", .prompt = "Display full pages",
     .tooltip = "Print Preview"},
    {.id = ID_FILE_PRINT_SETUP, .label = "P&rint Setup...", .prompt = "Change the printer and printing options",
     .tooltip = "Print Setup"},
    {.id = ID_RECENT_FILES, .label = "Recent File", .prompt = "Open this document"},
    {.id = ID_APP_EXIT, .label = "E&xit", .prompt = "Quit the application; prompts to save documents",
     .tooltip = "Exit"},

    {.id = ID_EDIT_UNDO, .label = "&Undo", .key = "Ctrl+Z", .prompt = "Undo the last action", .tooltip = "Undo",
     .use = Use::Never, .otherKey = "Alt+Back"},
    {.id = ID_EDIT_CUT, .label = "Cu&t", .key = "Ctrl+X", .prompt = "Cut the selection and put it on the Clipboard",
     .tooltip = "Cut", .icon = Icon::Cut, .use = Use::WithEditor, .contextLabel = "Cut", .otherKey = "Shift+Del"},
    {.id = ID_EDIT_COPY, .label = "&Copy", .key = "Ctrl+C", .prompt = "Copy the selection and put it on the Clipboard",
     .tooltip = "Copy", .icon = Icon::Copy, .use = Use::WithEditor, .contextLabel = "Copy", .otherKey = "Ctrl+Ins"},
    {.id = ID_EDIT_PASTE, .label = "&Paste", .key = "Ctrl+V", .prompt = "Insert Clipboard contents",
     .tooltip = "Paste", .icon = Icon::Paste, .use = Use::WithEditor, .contextLabel = "Paste",
     .otherKey = "Shift+Ins"},
    {.id = ID_SELECT_ALL, .label = "Select All", .key = "Ctrl+A", .prompt = "Select all widgets",
     .tooltip = "Select All", .icon = Icon::SelectAll, .use = Use::WithEditor},

    {.id = ID_SELECT, .label = "&Select", .key = "`", .prompt = "Select", .icon = Icon::Select, .check = true,
     .use = Use::WithEditor},
    {.id = ID_WIDGET_FEEDER, .label = "F&eeder", .key = "1", .prompt = "Feeder", .icon = Icon::Figure,
     .places = WidgetType::Line, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_CIRCUIT_BREAKER, .label = "&Circuit Breaker", .key = "2", .prompt = "Circuit Breaker",
     .icon = Icon::Figure, .places = WidgetType::CircuitBreaker, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_FUSE, .label = "&Fuse", .key = "3", .prompt = "Fuse", .icon = Icon::Figure,
     .places = WidgetType::Fuse, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_RECLOSER, .label = "&Recloser", .key = "4", .prompt = "Recloser", .icon = Icon::Figure,
     .places = WidgetType::Recloser, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_ISOLATOR, .label = "&Isolator", .key = "5", .prompt = "Isolator", .icon = Icon::Figure,
     .places = WidgetType::Isolator, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_BUS_BAR, .label = "&Bus Bar", .key = "6", .prompt = "Bus Bar", .icon = Icon::Figure,
     .places = WidgetType::BusBar, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_LOAD_POINT, .label = "&Load Point", .key = "7", .prompt = "Load Point", .icon = Icon::Figure,
     .places = WidgetType::LoadPoint, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_GEN_SOURCE, .label = "&Gen Source", .key = "8", .prompt = "Gen Source", .icon = Icon::Figure,
     .places = WidgetType::GenSource, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_EQUIPMENT, .label = "E&quipment", .key = "9", .prompt = "Equipment", .icon = Icon::Figure,
     .places = WidgetType::Equipment, .check = true, .use = Use::WithEditor},
    {.id = ID_WIDGET_TRANSFORMER, .label = "Transformer", .key = "0", .prompt = "Transformer", .icon = Icon::Figure,
     .places = WidgetType::Transformer, .check = true, .use = Use::WithEditor, .contextLabel = "&Tansformer"},

    {.id = ID_WORKSPACE_SETTINGS, .label = "&Workspace settings", .prompt = "Workspace settings",
     .icon = Icon::WorkspaceSettings, .use = Use::WithEditor, .contextLabel = "&Workspace Settings"},
    {.id = ID_MONTE_CARLO_SETTINGS, .label = "&Verav Ezerez Simulation Settings",
     .prompt = "Verav Ezerez Simulation Settings", .icon = Icon::MonteCarloSettings, .use = Use::WithEditor,
     .contextLabel = "Verav Ezerez Simulation Settings", .pageLabel = "Simulation s&ettings"},
    {.id = ID_ANALYTICAL_SETTINGS_MENU, .label = "&Analytical Simulation Settings",
     .prompt = "Analytical Simulation settings", .use = Use::Never, .contextLabel = "Analytical Simulation Settings"},
    {.id = ID_ANALYTICAL_SETTINGS, .prompt = "Analytical Simulation settings", .icon = Icon::AnalyticalSettings,
     .use = Use::WithEditor},

    {.id = ID_DEBUG_NETWORK, .label = "&Debug network", .key = "Ctrl+F5", .prompt = "Debug Drawing/Settings Ctrl+F5",
     .icon = Icon::Debug, .use = Use::WithEditor, .pageLabel = "&Debug"},
    {.id = ID_DISPLAY_ERRORS, .label = "Display errors", .prompt = "Display drawing errors", .icon = Icon::Errors,
     .pageLabel = "Display NDL errors"},
    {.id = ID_MONTE_CARLO_SIMULATION, .label = "&Verav Ezerez Simulation", .key = "Ctrl+F6",
     .prompt = "Simulate with Verav Ezerez method Ctrl+F6", .icon = Icon::MonteCarloRun, .use = Use::WithEditor,
     .pageLabel = "&Simulate"},
    {.id = ID_DISPLAY_NDL, .label = "Display NDL", .key = "Ctrl+F7",
     .prompt = "Generate Network Description Language Ctrl+F7", .icon = Icon::MonteCarloText,
     .use = Use::WithEditor, .pageLabel = "Generate NDL"},
    {.id = ID_ANALYTICAL_SIMULATION, .label = "Analytical Simulation", .key = "Ctrl+F8",
     .prompt = "Simulate with Analytical method Ctrl+F8", .icon = Icon::AnalyticalRun, .use = Use::WithEditor},
    {.id = ID_DISPLAY_GML, .label = "Display GML", .key = "Ctrl+F9",
     .prompt = "Generate Graph Markup Language Ctrl+F9", .icon = Icon::AnalyticalText, .use = Use::WithEditor},
    {.id = ID_MONTE_CARLO_RESULT_VIEWER, .label = "&Verav Ezerez Result viewer", .prompt = "Verav Ezerez Result viewer",
     .icon = Icon::MonteCarloResults, .pageLabel = "&Result viewer"},
    {.id = ID_ANALYTICAL_RESULT_VIEWER, .label = "Analytical Result viewer", .prompt = "Verav Ezerez Result viewer",
     .icon = Icon::AnalyticalResults},
    {.id = ID_RESULT_VIEWER_DIALOG, .label = "Result Viewer Dialog", .prompt = "Result Viewer Dialog",
     .icon = Icon::ResultViewer},

    {.id = ID_VIEW_TOOLBAR, .label = "&Toolbar", .prompt = "Show or hide the toolbar", .tooltip = "Toggle ToolBar",
     .check = true},
    {.id = ID_VIEW_STATUS_BAR, .label = "&Status Bar", .prompt = "Show or hide the status bar",
     .tooltip = "Toggle StatusBar", .check = true},
    {.id = ID_TOGGLE, .label = "T&oggle", .prompt = "Show or hide the end-point marks", .tooltip = "Toggle end points",
     .icon = Icon::EndPoints, .check = true, .use = Use::WithEditor},
    {.id = ID_ZOOM_IN, .label = "Zoom In", .key = "Alt++", .prompt = "Zoom In", .icon = Icon::ZoomIn,
     .use = Use::WithEditor, .contextLabel = "Zoom In\tAlt++"},
    {.id = ID_ZOOM_OUT, .label = "Zoom Out", .key = "Alt+-", .prompt = "Zoom Out", .icon = Icon::ZoomOut,
     .use = Use::WithEditor, .contextLabel = "Zoom Out\tAlt+-"},

    {.id = ID_WINDOW_CASCADE, .label = "&Cascade", .prompt = "Arrange windows so they overlap",
     .tooltip = "Cascade Windows", .icon = Icon::Cascade},
    {.id = ID_WINDOW_ARRANGE, .label = "&Arrange Icons", .prompt = "Arrange icons at the bottom of the window",
     .tooltip = "Arrange Icons"},
    {.id = ID_WINDOW_TILE_HORZ, .label = "Horizontal &Tile", .prompt = "Arrange windows as non-overlapping tiles",
     .tooltip = "Tile Windows", .icon = Icon::TileHorizontal},
    {.id = ID_WINDOW_TILE_VERT, .label = "Vertical T&ile", .prompt = "Arrange windows as non-overlapping tiles",
     .tooltip = "Tile Windows", .icon = Icon::TileVertical},
    {.id = ID_APP_ABOUT, .label = "&About Korvane",
     .prompt = "Display program information, version number and copyright", .tooltip = "About", .icon = Icon::Help},
    {.id = ID_SPARE_BUTTON, .icon = Icon::Spare, .use = Use::Never},
    {.id = ID_SPARE_BUTTON_2, .icon = Icon::Spare, .use = Use::Never},
};

// The menus' submenus shared by several layouts.
CMenuEntry FileMenu()
{
    return {"&File",
            {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, {}, ID_IMPORT, ID_EXPORT, {},
             ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, {}, ID_RECENT_FILES, {}, ID_APP_EXIT}};
}

CMenuEntry ViewMenu(std::vector<CMenuEntry> more, bool greyed = false)
{
    std::vector<CMenuEntry> entries = {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR};
    entries.insert(entries.end(), more.begin(), more.end());
    return {"&View", std::move(entries), greyed};
}

const CMenuEntry kWindowMenu{
    "&Window", {ID_WINDOW_CASCADE, ID_WINDOW_ARRANGE, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT}};
const CMenuEntry kHelpMenu{"&Help", {ID_APP_ABOUT}};

}  // namespace

std::span<const CCommand> Commands()
{
    return kCommands;
}

const CCommand* FindCommand(int id)
{
    for (const CCommand& c : kCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::optional<WidgetType> ToolOfCommand(int id)
{
    const CCommand* c = FindCommand(id);
    return c == nullptr ? std::nullopt : c->places;
}

int CommandOfCharacter(int character, bool alt)
{
    if (character <= ' ' || character > '~')
        return 0;
    const std::string typed = (alt ? "Alt+" : "") + std::string(1, static_cast<char>(character));
    for (const CCommand& c : kCommands)
        if (c.key != nullptr && typed == c.key)
            return c.id;
    return 0;
}

const std::vector<CMenuEntry>& MenuLayout(MenuKind kind)
{
    static const std::vector<CMenuEntry> noDocument = {
        {"&File", {ID_FILE_NEW, ID_FILE_OPEN, {}, ID_FILE_PRINT_SETUP, {}, ID_RECENT_FILES, {}, ID_APP_EXIT}},
        ViewMenu({}),
        kHelpMenu,
    };
    static const std::vector<CMenuEntry> network = {
        FileMenu(),
        {"&Edit", {ID_EDIT_UNDO, {}, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_SELECT_ALL}},
        {"W&idgets",
         {ID_WIDGET_FEEDER, ID_WIDGET_CIRCUIT_BREAKER, ID_WIDGET_FUSE, ID_WIDGET_RECLOSER, ID_WIDGET_ISOLATOR, {},
          ID_WIDGET_BUS_BAR, ID_WIDGET_LOAD_POINT, ID_WIDGET_GEN_SOURCE, ID_WIDGET_EQUIPMENT, ID_WIDGET_TRANSFORMER}},
        {"Se&ttings", {ID_WORKSPACE_SETTINGS, {}, ID_MONTE_CARLO_SETTINGS, ID_ANALYTICAL_SETTINGS_MENU}},
        {"&Build",
         {ID_DEBUG_NETWORK, ID_DISPLAY_ERRORS, {}, ID_MONTE_CARLO_SIMULATION, ID_DISPLAY_NDL, {},
          ID_ANALYTICAL_SIMULATION, ID_DISPLAY_GML, {}, ID_MONTE_CARLO_RESULT_VIEWER, ID_ANALYTICAL_RESULT_VIEWER,
          ID_RESULT_VIEWER_DIALOG}},
        ViewMenu({ID_TOGGLE, {}, ID_ZOOM_IN, ID_ZOOM_OUT}),
        kWindowMenu,
        kHelpMenu,
    };
    // A result page keeps the editor's settings, build and view menus, greyed whole.
    static const std::vector<CMenuEntry> resultPage = {
        FileMenu(),
        {"&Edit", {ID_EDIT_UNDO, {}, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}},
        {"Se&ttings", {ID_WORKSPACE_SETTINGS, ID_MONTE_CARLO_SETTINGS}, true},
        {"&Build",
         {ID_DEBUG_NETWORK, ID_MONTE_CARLO_SIMULATION, ID_DISPLAY_NDL, {}, ID_DISPLAY_ERRORS,
          ID_MONTE_CARLO_RESULT_VIEWER},
         true},
        ViewMenu({ID_TOGGLE}, true),
        kWindowMenu,
        kHelpMenu,
    };
    static const std::vector<CMenuEntry> context = {
        ID_SELECT,
        {"Widgets",
         {ID_WIDGET_FEEDER, ID_WIDGET_CIRCUIT_BREAKER, ID_WIDGET_FUSE, ID_WIDGET_RECLOSER, ID_WIDGET_ISOLATOR,
          ID_WIDGET_BUS_BAR, ID_WIDGET_LOAD_POINT, ID_WIDGET_GEN_SOURCE, ID_WIDGET_EQUIPMENT, ID_WIDGET_TRANSFORMER}},
        {},
        ID_EDIT_CUT,
        ID_EDIT_COPY,
        ID_EDIT_PASTE,
        ID_SELECT_ALL,
        {},
        {"Se&ttings", {ID_WORKSPACE_SETTINGS, {}, ID_MONTE_CARLO_SETTINGS, ID_ANALYTICAL_SETTINGS_MENU}},
        {"Zoom", {ID_ZOOM_IN, ID_ZOOM_OUT}},
    };
    switch (kind) {
    case MenuKind::NoDocument:
        return noDocument;
    case MenuKind::Network:
        return network;
    case MenuKind::ResultPage:
        return resultPage;
    case MenuKind::Context:
        break;
    }
    return context;
}

std::string MenuLabel(const CCommand& command, MenuKind kind)
{
    const std::string label = command.label != nullptr ? command.label : "";
    if (kind == MenuKind::Context)
        return command.contextLabel != nullptr ? command.contextLabel : label;
    if (kind == MenuKind::ResultPage && command.pageLabel != nullptr)
        return command.pageLabel;
    return command.key != nullptr ? label + "\t" + command.key : label;
}

const std::vector<int>& MainToolBarLayout()
{
    static const std::vector<int> layout = {
        ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_SELECT_ALL, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
        ID_FILE_PRINT, 0, ID_WORKSPACE_SETTINGS, 0, ID_DEBUG_NETWORK, 0, ID_MONTE_CARLO_SETTINGS, ID_DISPLAY_NDL,
        ID_MONTE_CARLO_SIMULATION, 0, ID_ANALYTICAL_SETTINGS, ID_DISPLAY_GML, ID_ANALYTICAL_SIMULATION, 0,
        ID_ZOOM_IN, ID_ZOOM_OUT, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT, ID_WINDOW_CASCADE, 0, ID_APP_ABOUT};
    return layout;
}

const std::vector<int>& WidgetToolBarLayout()
{
    static const std::vector<int> layout = {
        ID_SELECT, ID_WIDGET_FEEDER, 0, ID_WIDGET_CIRCUIT_BREAKER, ID_WIDGET_FUSE, ID_WIDGET_RECLOSER,
        ID_WIDGET_ISOLATOR, 0, ID_WIDGET_BUS_BAR, ID_WIDGET_LOAD_POINT, ID_WIDGET_GEN_SOURCE, ID_WIDGET_EQUIPMENT,
        ID_WIDGET_TRANSFORMER, 0, ID_TOGGLE, ID_DISPLAY_ERRORS, 0, ID_MONTE_CARLO_RESULT_VIEWER,
        ID_ANALYTICAL_RESULT_VIEWER, ID_RESULT_VIEWER_DIALOG, 0, ID_SPARE_BUTTON, ID_SPARE_BUTTON, ID_SPARE_BUTTON_2};
    return layout;
}
