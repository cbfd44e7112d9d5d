// The three settings dialogs opened by their commands: each control reaches its field on OK, a
// refused text keeps the dialog open naming its field, Cancel changes nothing. The values' rules
// are tested in SettingsValuesTest and FieldRuleTest.
#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/statbmp.h>

#include "tests/Drawing.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneView.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"

using namespace UiTest;

namespace {

using SettingsDialogs = App;

TEST_F(SettingsDialogs, WorkspaceSettingsStoreEveryControlAndResizeTheCanvas)
{
    bool fullRedrawShown = false;
    int snapShown = -1, pictures = 0;
    wxString sizeShown;
    Then([&](wxDialog& d) {
        fullRedrawShown = Find<wxRadioButton>(d, 1037)->GetValue();
        const std::function<void(wxWindow&)> count = [&](wxWindow& w) {
            auto* picture = wxDynamicCast(&w, wxStaticBitmap);
            pictures += picture != nullptr && picture->GetBitmap().IsOk();
            for (wxWindow* child : w.GetChildren())
                count(*child);
        };
        count(d);
        snapShown = Find<wxChoice>(d, 1059)->GetSelection();
        Press(d, 1032);  // "1290*960"
        Press(d, 1030);  // "1024*786"
        sizeShown = Find<wxTextCtrl>(d, 1026)->GetValue() + "*" + Find<wxTextCtrl>(d, 1024)->GetValue();
        Press(d, 1034);  // "1920*1440"
        Choose(d, 1038);
        SelectEntry(d, 1059, 20);
        Toggle(d, 1050);
        Toggle(d, 1051);
        Press(d, wxID_OK);
    });
    Command(ID_WORKSPACE_SETTINGS);
    EXPECT_TRUE(fullRedrawShown);
    EXPECT_EQ(pictures, 3);
    EXPECT_EQ(snapShown, 10);
    EXPECT_EQ(sizeShown, "1024*786");
    const CWorkspaceOptions& w = Doc().m_workspace;
    EXPECT_EQ(std::vector<int>({w.m_nWorkspaceWidth, w.m_nWorkspaceHeight, w.m_nRedrawMode, w.m_nSnapGrid,
                                w.m_bAdaptiveDrawing, w.m_bCreateDirectory}),
              std::vector<int>({1920, 1440, 1, 20, 1, 1}));
    EXPECT_EQ(ActiveView()->GetCanvas()->GetVirtualSize(), wxSize(1920, 1440));
    EXPECT_TRUE(ActiveDocument()->IsModified());

    ActiveDocument()->Modify(false);
    Then([](wxDialog& d) {
        Press(d, 1035);  // "&Default"
        SelectEntry(d, 1059, 0);
        Press(d, wxID_CANCEL);
    });
    Command(ID_WORKSPACE_SETTINGS);
    EXPECT_EQ(Doc().m_workspace.m_nSnapGrid, 20);
    EXPECT_EQ(ActiveView()->GetCanvas()->GetVirtualSize(), wxSize(1920, 1440));
    EXPECT_FALSE(ActiveDocument()->IsModified());
    EXPECT_TRUE(TakeDialogs().empty());
}

TEST_F(SettingsDialogs, MonteCarloSettingsStoreEveryControlAndCancelChangesNothing)
{
    CSimulationSettings& settings = *Doc().m_pSimulationSettings;
    settings.industrialFile = "/data/industrial.txt";
    settings.otherFile = "/data/other.txt";
    bool yearsEnabled = false, filesGreyed = false;
    wxString shownAfterBrowse;
    Then([&](wxDialog& d) {
        yearsEnabled = d.FindWindow(1064)->IsEnabled() && Find<wxCheckBox>(d, 1074)->GetValue();
        filesGreyed = !d.FindWindow(1086)->IsEnabled() && !d.FindWindow(1142)->IsEnabled();
        for (const int check : {1074, 1079, 1076, 1174})
            Toggle(d, check);
        Type(d, 1061, "24");
        Type(d, 1063, "250");
        Press(d, 1143);  // "X" of the industrial row
        Press(d, 1152);  // "X" of the empty agricultural row leaves it empty
        Press(d, 1154);  // "..." of the other row, cancelled
        shownAfterBrowse = Find<wxTextCtrl>(d, 1089)->GetValue();
        Press(d, wxID_OK);
    });
    Command(ID_MONTE_CARLO_SETTINGS);
    EXPECT_TRUE(yearsEnabled);
    EXPECT_TRUE(filesGreyed);
    EXPECT_TRUE(TakeDialogs().empty());
    EXPECT_EQ(TakeFileChoosers(), 1);
    EXPECT_EQ(shownAfterBrowse, "/data/other.txt");
    EXPECT_EQ(std::vector<int>({settings.yearMax, settings.quantsPerDay, settings.yearMin, settings.yearStep,
                                settings.fuses, settings.loadClustering}),
              std::vector<int>({0, 24, 250, 100, 0, 1}));
    EXPECT_EQ(settings.accuracy, 0.0);
    EXPECT_EQ(settings.industrialFile, "");
    EXPECT_EQ(settings.agriculturalFile, "");
    EXPECT_EQ(settings.otherFile, "/data/other.txt");
    EXPECT_TRUE(ActiveDocument()->IsModified());

    const CSimulationSettings before = settings;
    Then([](wxDialog& d) {
        for (const int check : {1073, 1074, 1075, 1079, 1076, 1077, 1078, 1081, 1174})
            Toggle(d, check);
        Type(d, 1061, "96");
        Press(d, 1154);
        Press(d, wxID_CANCEL);
    });
    Command(ID_MONTE_CARLO_SETTINGS);
    EXPECT_EQ(settings, before);
}

// Regression: a new network's quanta per day of 0 ("not given yet": the run asks about them) refused
// OK with "Please enter an integer between 1 and 1440", so Max years and Accuracy could not be
// cleared on a new network.
TEST_F(SettingsDialogs, MonteCarloSettingsOfANewNetworkCloseWithOkWhileTheQuantaAreNotGiven)
{
    const CSimulationSettings& settings = *Doc().m_pSimulationSettings;
    ASSERT_EQ(settings, CSimulationSettings());
    bool stayedOpen = true;
    Then([&](wxDialog& d) {
        Toggle(d, 1074);  // Max years
        Toggle(d, 1079);  // Accuracy
        Press(d, wxID_OK);
        stayedOpen = d.IsModal();
    });
    Command(ID_MONTE_CARLO_SETTINGS);
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(TakeDialogs().empty());
    EXPECT_EQ(std::vector<int>({settings.quantsPerDay, settings.yearMax}), std::vector<int>({0, 0}));
    EXPECT_EQ(settings.accuracy, 0.0);
    const std::string system = settings.GetNDLDefinition();
    EXPECT_EQ(system.find("yearMax"), std::string::npos) << system;
    EXPECT_EQ(system.find("accuracy"), std::string::npos) << system;
}

TEST_F(SettingsDialogs, MonteCarloSettingsRefuseATextNamingItsFieldAndKeepTheFocusThere)
{
    struct Case {
        int edit;
        int clearFirst;  // a box to clear first, or 0
        const char* text;
        const char* refusal;  // empty: accepted
    };
    const Case cases[] = {
        {1061, 0, "ten", "Please enter a positive integer.\nField: QuantsPerDay"},
        {1064, 0, "1.5", "Please enter a positive integer.\nField: Max years"},
        {1065, 0, "3000000000", "Please enter an integer between 1 and 1000000.\nField: Step years"},
        {1069, 0, "inf", "Please enter a number.\nField: Accuracy"},
        {1069, 1079, "not a number", ""},  // a cleared box's edit is not read
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CSimulationSettings& settings = *Doc().m_pSimulationSettings;
        settings.quantsPerDay = 24;
        settings.accuracy = 0.5;
        const CSimulationSettings before = settings;
        bool stayedOpen = false, focused = false;
        Then([&](wxDialog& d) {
            if (c.clearFirst != 0)
                Toggle(d, c.clearFirst);
            Type(d, c.edit, c.text);
            Press(d, wxID_OK);
            stayedOpen = d.IsModal();
            focused = wxWindow::FindFocus() == d.FindWindow(c.edit);
        });
        Command(ID_MONTE_CARLO_SETTINGS);
        const bool refused = *c.refusal != '\0';
        EXPECT_EQ(stayedOpen, refused);
        EXPECT_EQ(focused, refused);
        EXPECT_EQ(TakeDialogs(), refused ? std::vector<std::string>{c.refusal} : std::vector<std::string>{});
        EXPECT_EQ(settings == before, refused);
    }
}

TEST_F(SettingsDialogs, AnalyticalSettingsOfferAFaultCountPerFeederAndStoreEveryControl)
{
    drawing::Draw(Doc(), "L 0 0 50 0, L 0 10 50 10, L 0 20 50 20, L 0 30 50 30");
    Doc().m_analytical.m_nFaultCount = 1;
    std::vector<std::string> entries;
    wxString shownFirst, shownAfterRefusal;
    bool thesisShown = false, filesGreyed = false, filesEnabled = false;
    Then([&](wxDialog& d) {
        auto* faults = Find<wxComboBox>(d, 1188);
        for (unsigned i = 0; i < faults->GetCount(); ++i)
            entries.push_back(faults->GetString(i).utf8_string());
        shownFirst = faults->GetValue();
        thesisShown = Find<wxRadioButton>(d, 1185)->GetValue();
        filesGreyed = !d.FindWindow(1157)->IsEnabled() && !d.FindWindow(1090)->IsEnabled();
        Toggle(d, 1174);
        filesEnabled = d.FindWindow(1157)->IsEnabled() && d.FindWindow(1156)->IsEnabled() &&
                       d.FindWindow(1181)->IsEnabled();
        faults->SetValue("5");
        shownAfterRefusal = faults->GetValue();
        SelectEntry(d, 1188, 2);
        faults->SetValue("4");
        Choose(d, 1186);
        Toggle(d, 1187);
        Press(d, wxID_OK);
    });
    Command(ID_ANALYTICAL_SETTINGS);
    EXPECT_EQ(entries, (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(shownFirst, "1");
    EXPECT_TRUE(thesisShown);
    EXPECT_TRUE(filesGreyed);
    EXPECT_TRUE(filesEnabled);
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"Invalid number to fault value"});
    // Regression: this refusal was captioned "Korvane", not with the application's title.
    EXPECT_EQ(LastMessageCaption(), "Korvane - Verav Ezerez");
    EXPECT_EQ(shownAfterRefusal, "1");
    const CAnalyticalSettings& a = Doc().m_analytical;
    EXPECT_EQ(std::vector<int>({a.m_nFaultCount, a.m_nLoadSheddingMethod, a.m_bMinimumCutSet, a.m_bEnableClustering}),
              std::vector<int>({4, 0, 1, 1}));
    EXPECT_TRUE(ActiveDocument()->IsModified());
}

// The load data files are read again after the dialog, even after Cancel, and what cannot be read
// is told.
TEST_F(SettingsDialogs, AnalyticalSettingsReadTheDataFilesAgainEvenAfterCancel)
{
    const std::string missing = (folder / "no-interval-data.txt").string();
    Doc().m_analytical.m_dataFiles[kIntervalData] = missing;
    Doc().m_analytical.m_nFaultCount = 3;
    Then([](wxDialog& d) {
        Choose(d, 1186);
        Press(d, wxID_CANCEL);
    });
    Command(ID_ANALYTICAL_SETTINGS);
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"Cannot open interval data " + missing});
    EXPECT_EQ(Doc().m_analytical.m_nFaultCount, 3);
    EXPECT_EQ(Doc().m_analytical.m_nLoadSheddingMethod, 1);
    EXPECT_FALSE(ActiveDocument()->IsModified());
}

}  // namespace
