#include "ui/Commands.h"

#include <wx/menu.h>

namespace {

constexpr CCommand kCommands[] = {
    {wxID_NEW, "Create a new document", "New"},
    {wxID_OPEN, "Open an existing document", "Open"},
    {wxID_CLOSE, "Close the active document", "Close"},
    {wxID_SAVE, "Save the active document", "Save"},
    {wxID_SAVEAS, "Save the active document with a new name", "Save As"},
    {wxID_PRINT, "Print the active document", "Print"},
    {wxID_PREVIEW, "Display full pages", "Print Preview"},
    {wxID_PRINT_SETUP, "Change the printer and printing options", "Print Setup"},
    {wxID_EXIT, "Quit the application; prompts to save documents", "Exit"},
    {wxID_UNDO, "Undo the last action", "Undo"},
    {wxID_CUT, "Cut the selection and put it on the Clipboard", "Cut"},
    {wxID_COPY, "Copy the selection and put it on the Clipboard", "Copy"},
    {wxID_PASTE, "Insert Clipboard contents", "Paste"},
    {wxID_ABOUT, "Display program information, version number and copyright", "About"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar", "Toggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar", "Toggle StatusBar"},
    {ID_WINDOW_CASCADE, "Arrange windows so they overlap", "Cascade Windows"},
    {ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window", "Arrange Icons"},
    {ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles", "Tile Windows"},
    {ID_WINDOW_TILE_VERT, "Arrange windows as non-overlapping tiles", "Tile Windows"},
    {ID_RECENT_FILES, "Open this document", nullptr},
    {ID_WIDGET_FEEDER, "Feeder", nullptr},
    {ID_WIDGET_CIRCUIT_BREAKER, "Circuit Breaker", nullptr},
    {ID_WIDGET_FUSE, "Fuse", nullptr},
    {ID_WIDGET_RECLOSER, "Recloser", nullptr},
    {ID_WIDGET_ISOLATOR, "Isolator", nullptr},
    {ID_WIDGET_BUS_BAR, "Bus Bar", nullptr},
    {ID_WIDGET_LOAD_POINT, "Load Point", nullptr},
    {ID_WIDGET_GEN_SOURCE, "Gen Source", nullptr},
    {ID_WIDGET_EQUIPMENT, "Equipment", nullptr},
    {ID_WIDGET_TRANSFORMER, "Transformer", nullptr},
    {ID_SELECT, "Select", nullptr},
    {ID_SELECT_ALL, "Select all widgets", "Select All"},
    {ID_TOGGLE, "Show or hide the end-point marks", "Toggle end points"},
    {ID_ZOOM_IN, "Zoom In", nullptr},
    {ID_ZOOM_OUT, "Zoom Out", nullptr},
    {ID_WORKSPACE_SETTINGS, "Workspace settings", nullptr},
    {ID_MONTE_CARLO_SETTINGS, "Verav Ezerez Simulation Settings", nullptr},
    {ID_ANALYTICAL_SETTINGS_MENU, "Analytical Simulation settings", nullptr},
    {ID_ANALYTICAL_SETTINGS, "Analytical Simulation settings", nullptr},
    {ID_DEBUG_NETWORK, "Debug Drawing/Settings Ctrl+F5", nullptr},
    {ID_DISPLAY_ERRORS, "Display drawing errors", nullptr},
    {ID_MONTE_CARLO_SIMULATION, "Simulate with Verav Ezerez method Ctrl+F6", nullptr},
    {ID_DISPLAY_NDL, "Generate Network Description Language Ctrl+F7", nullptr},
    {ID_ANALYTICAL_SIMULATION, "Simulate with Analytical method Ctrl+F8", nullptr},
    {ID_DISPLAY_GML, "Generate Graph Markup Language Ctrl+F9", nullptr},
    {ID_MONTE_CARLO_RESULT_VIEWER, "Verav Ezerez Result viewer", nullptr},
    {ID_ANALYTICAL_RESULT_VIEWER, "Verav Ezerez Result viewer", nullptr},
    {ID_RESULT_VIEWER_DIALOG, "Result Viewer Dialog", nullptr},
    {ID_IMPORT, "Import", nullptr},
    {ID_EXPORT, "Export", nullptr},
};

constexpr int kToolCommands[kWidgetTypeCount] = {
    ID_WIDGET_FEEDER,     ID_WIDGET_CIRCUIT_BREAKER, ID_WIDGET_FUSE,       ID_WIDGET_RECLOSER,
    ID_WIDGET_ISOLATOR,   ID_WIDGET_BUS_BAR,         ID_WIDGET_LOAD_POINT, ID_WIDGET_GEN_SOURCE,
    ID_WIDGET_EQUIPMENT, ID_WIDGET_TRANSFORMER};

// Appends an item whose status bar prompt comes from the table.
void Item(wxMenu* menu, int id, const char* label, wxItemKind kind = wxITEM_NORMAL)
{
    menu->Append(id, wxString::FromUTF8(label), CommandPrompt(id), kind);
}

wxMenu* FileMenu(bool network, wxMenu** recentFiles)
{
    auto* menu = new wxMenu;
    Item(menu, wxID_NEW, "&New\tCtrl+N");
    Item(menu, wxID_OPEN, "&Open...\tCtrl+O");
    if (network) {
        Item(menu, wxID_CLOSE, "&Close");
        Item(menu, wxID_SAVE, "&Save\tCtrl+S");
        Item(menu, wxID_SAVEAS, "Save &As...");
        menu->AppendSeparator();
        Item(menu, ID_IMPORT, "&Import");
        Item(menu, ID_EXPORT, "&Export");
        menu->AppendSeparator();
        Item(menu, wxID_PRINT, "&Print...\tCtrl+P");
        Item(menu, wxID_PREVIEW, "Print Pre&view");
    } else {
        menu->AppendSeparator();
    }
    Item(menu, wxID_PRINT_SETUP, "P&rint Setup...");
    menu->AppendSeparator();
    auto* recent = new wxMenu;
    menu->Append(ID_RECENT_FILES, "Recent File", recent, CommandPrompt(ID_RECENT_FILES));
    *recentFiles = recent;
    menu->AppendSeparator();
    Item(menu, wxID_EXIT, "E&xit");
    return menu;
}

wxMenu* EditMenu(bool withSelectAll)
{
    auto* menu = new wxMenu;
    Item(menu, wxID_UNDO, "&Undo\tCtrl+Z");
    menu->AppendSeparator();
    Item(menu, wxID_CUT, "Cu&t\tCtrl+X");
    Item(menu, wxID_COPY, "&Copy\tCtrl+C");
    Item(menu, wxID_PASTE, "&Paste\tCtrl+V");
    if (withSelectAll)
        Item(menu, ID_SELECT_ALL, "Select All\tCtrl+A");
    return menu;
}

wxMenu* WindowMenu()
{
    auto* menu = new wxMenu;
    Item(menu, ID_WINDOW_CASCADE, "&Cascade");
    Item(menu, ID_WINDOW_ARRANGE, "&Arrange Icons");
    Item(menu, ID_WINDOW_TILE_HORZ, "Horizontal &Tile");
    Item(menu, ID_WINDOW_TILE_VERT, "Vertical T&ile");
    return menu;
}

wxMenu* HelpMenu()
{
    auto* menu = new wxMenu;
    Item(menu, wxID_ABOUT, "&About Korvane");
    return menu;
}

wxMenu* ViewMenu(bool withToggle)
{
    auto* menu = new wxMenu;
    Item(menu, ID_VIEW_TOOLBAR, "&Toolbar", wxITEM_CHECK);
    Item(menu, ID_VIEW_STATUS_BAR, "&Status Bar", wxITEM_CHECK);
    if (withToggle)
        Item(menu, ID_TOGGLE, "T&oggle", wxITEM_CHECK);
    return menu;
}

}  // namespace

const CCommand* FindCommand(int id)
{
    for (const CCommand& c : kCommands)
        if (c.id == id)
            return &c;
    return nullptr;
}

wxString CommandPrompt(int id)
{
    const CCommand* c = FindCommand(id);
    return c == nullptr ? wxString() : wxString::FromUTF8(c->prompt);
}

wxString CommandTooltip(int id)
{
    const CCommand* c = FindCommand(id);
    if (c == nullptr)
        return {};
    return wxString::FromUTF8(c->tooltip != nullptr ? c->tooltip : c->prompt);
}

std::optional<WidgetType> ToolOfCommand(int id)
{
    for (int t = 0; t < kWidgetTypeCount; ++t)
        if (kToolCommands[t] == id)
            return static_cast<WidgetType>(t);
    return std::nullopt;
}

int CommandOfTool(WidgetType type)
{
    return kToolCommands[static_cast<int>(type)];
}

wxMenuBar* BuildMenuBar(MenuKind kind, wxMenu** recentFiles)
{
    auto* bar = new wxMenuBar;
    if (kind == MenuKind::NoDocument) {
        bar->Append(FileMenu(false, recentFiles), "&File");
        bar->Append(ViewMenu(false), "&View");
        bar->Append(HelpMenu(), "&Help");
        return bar;
    }
    const bool network = kind == MenuKind::Network;
    bar->Append(FileMenu(true, recentFiles), "&File");
    bar->Append(EditMenu(network), "&Edit");
    if (network) {
        auto* widgets = new wxMenu;
        Item(widgets, ID_WIDGET_FEEDER, "F&eeder\t1", wxITEM_CHECK);
        Item(widgets, ID_WIDGET_CIRCUIT_BREAKER, "&Circuit Breaker\t2", wxITEM_CHECK);
        Item(widgets, ID_WIDGET_FUSE, "&Fuse\t3", wxITEM_CHECK);
        Item(widgets, ID_WIDGET_RECLOSER, "&Recloser\t4", wxITEM_CHECK);
        Item(widgets, ID_WIDGET_ISOLATOR, "&Isolator\t5", wxITEM_CHECK);
        widgets->AppendSeparator();
        Item(widgets, ID_WIDGET_BUS_BAR, "&Bus Bar\t6", wxITEM_CHECK);
        Item(widgets, ID_WIDGET_LOAD_POINT, "&Load Point\t7", wxITEM_CHECK);
        Item(widgets, ID_WIDGET_GEN_SOURCE, "&Gen Source\t8", wxITEM_CHECK);
        Item(widgets, ID_WIDGET_EQUIPMENT, "E&quipment\t9", wxITEM_CHECK);
        Item(widgets, ID_WIDGET_TRANSFORMER, "Transformer\t0", wxITEM_CHECK);
        bar->Append(widgets, "W&idgets");

        auto* settings = new wxMenu;
        Item(settings, ID_WORKSPACE_SETTINGS, "&Workspace settings");
        settings->AppendSeparator();
        Item(settings, ID_MONTE_CARLO_SETTINGS, "&Verav Ezerez Simulation Settings");
        Item(settings, ID_ANALYTICAL_SETTINGS_MENU, "&Analytical Simulation Settings");
        bar->Append(settings, "Se&ttings");

        auto* build = new wxMenu;
        Item(build, ID_DEBUG_NETWORK, "&Debug network\tCtrl+F5");
        Item(build, ID_DISPLAY_ERRORS, "Display errors");
        build->AppendSeparator();
        Item(build, ID_MONTE_CARLO_SIMULATION, "&Verav Ezerez Simulation\tCtrl+F6");
        Item(build, ID_DISPLAY_NDL, "Display NDL\tCtrl+F7");
        build->AppendSeparator();
        Item(build, ID_ANALYTICAL_SIMULATION, "Analytical Simulation\tCtrl+F8");
        Item(build, ID_DISPLAY_GML, "Display GML\tCtrl+F9");
        build->AppendSeparator();
        Item(build, ID_MONTE_CARLO_RESULT_VIEWER, "&Verav Ezerez Result viewer");
        Item(build, ID_ANALYTICAL_RESULT_VIEWER, "Analytical Result viewer");
        Item(build, ID_RESULT_VIEWER_DIALOG, "Result Viewer Dialog");
        bar->Append(build, "&Build");

        auto* view = ViewMenu(true);
        view->AppendSeparator();
        // The zoom keys are typed characters that the canvas handles; the labels only show them.
        view->Append(ID_ZOOM_IN, "Zoom In\tAlt++", CommandPrompt(ID_ZOOM_IN));
        view->Append(ID_ZOOM_OUT, "Zoom Out\tAlt+-", CommandPrompt(ID_ZOOM_OUT));
        bar->Append(view, "&View");
    } else {
        // A result page keeps these menus, greyed whole.
        auto* settings = new wxMenu;
        Item(settings, ID_WORKSPACE_SETTINGS, "&Workspace settings");
        Item(settings, ID_MONTE_CARLO_SETTINGS, "Simulation s&ettings");
        bar->Append(settings, "Se&ttings");
        auto* build = new wxMenu;
        Item(build, ID_DEBUG_NETWORK, "&Debug");
        Item(build, ID_MONTE_CARLO_SIMULATION, "&Simulate");
        Item(build, ID_DISPLAY_NDL, "Generate NDL");
        build->AppendSeparator();
        Item(build, ID_DISPLAY_ERRORS, "Display NDL errors");
        Item(build, ID_MONTE_CARLO_RESULT_VIEWER, "&Result viewer");
        bar->Append(build, "&Build");
        bar->Append(ViewMenu(true), "&View");
    }
    bar->Append(WindowMenu(), "&Window");
    bar->Append(HelpMenu(), "&Help");
    if (!network)
        for (size_t i = 2; i <= 4; ++i)
            bar->EnableTop(i, false);
    return bar;
}

wxMenu* BuildContextMenu()
{
    auto* menu = new wxMenu;
    Item(menu, ID_SELECT, "&Select", wxITEM_CHECK);
    auto* widgets = new wxMenu;
    Item(widgets, ID_WIDGET_FEEDER, "F&eeder", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_CIRCUIT_BREAKER, "&Circuit Breaker", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_FUSE, "&Fuse", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_RECLOSER, "&Recloser", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_ISOLATOR, "&Isolator", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_BUS_BAR, "&Bus Bar", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_LOAD_POINT, "&Load Point", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_GEN_SOURCE, "&Gen Source", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_EQUIPMENT, "E&quipment", wxITEM_CHECK);
    Item(widgets, ID_WIDGET_TRANSFORMER, "&Tansformer", wxITEM_CHECK);
    menu->AppendSubMenu(widgets, "Widgets");
    menu->AppendSeparator();
    Item(menu, wxID_CUT, "Cut");
    Item(menu, wxID_COPY, "Copy");
    Item(menu, wxID_PASTE, "Paste");
    Item(menu, ID_SELECT_ALL, "Select All");
    menu->AppendSeparator();
    auto* settings = new wxMenu;
    Item(settings, ID_WORKSPACE_SETTINGS, "&Workspace Settings");
    settings->AppendSeparator();
    Item(settings, ID_MONTE_CARLO_SETTINGS, "Verav Ezerez Simulation Settings");
    Item(settings, ID_ANALYTICAL_SETTINGS_MENU, "Analytical Simulation Settings");
    menu->AppendSubMenu(settings, "Se&ttings");
    auto* zoom = new wxMenu;
    zoom->Append(ID_ZOOM_IN, "Zoom In\tAlt++", CommandPrompt(ID_ZOOM_IN));
    zoom->Append(ID_ZOOM_OUT, "Zoom Out\tAlt+-", CommandPrompt(ID_ZOOM_OUT));
    menu->AppendSubMenu(zoom, "Zoom");
    return menu;
}

const std::vector<int>& MainToolBarLayout()
{
    static const std::vector<int> layout = {
        wxID_NEW, wxID_OPEN, wxID_SAVE, 0, ID_SELECT_ALL, wxID_CUT, wxID_COPY, wxID_PASTE, 0, wxID_PRINT, 0,
        ID_WORKSPACE_SETTINGS, 0, ID_DEBUG_NETWORK, 0, ID_MONTE_CARLO_SETTINGS, ID_DISPLAY_NDL,
        ID_MONTE_CARLO_SIMULATION, 0, ID_ANALYTICAL_SETTINGS, ID_DISPLAY_GML, ID_ANALYTICAL_SIMULATION, 0,
        ID_ZOOM_IN, ID_ZOOM_OUT, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT, ID_WINDOW_CASCADE, 0, wxID_ABOUT};
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

int CommandOfCharacter(int character, bool alt)
{
    if (alt) {
        if (character == '+')
            return ID_ZOOM_IN;
        if (character == '-')
            return ID_ZOOM_OUT;
        return 0;
    }
    if (character >= '1' && character <= '9')
        return kToolCommands[character - '1'];
    if (character == '0')
        return ID_WIDGET_TRANSFORMER;
    if (character == '`')
        return ID_SELECT;
    return 0;
}

wxAcceleratorTable ExtraAccelerators()
{
    wxAcceleratorEntry entries[] = {
        {wxACCEL_CTRL, WXK_INSERT, wxID_COPY},
        {wxACCEL_SHIFT, WXK_DELETE, wxID_CUT},
        {wxACCEL_SHIFT, WXK_INSERT, wxID_PASTE},
        {wxACCEL_ALT, WXK_BACK, wxID_UNDO},
    };
    return wxAcceleratorTable(static_cast<int>(std::size(entries)), entries);
}
