#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <wx/choice.h>
#include <wx/combobox.h>

#include "model/KorvaneDoc.h"
#include "platform/Archive.h"
#include "tests/ui/DialogScript.h"
#include "ui/dialogs/AnalyticalSimulationSettings.h"
#include "ui/dialogs/SettingsDlg.h"
#include "ui/dialogs/SimulationSettingsDlg.h"

using namespace dialog_test;

namespace {

std::vector<std::uint8_t> Record(CSimulationSettings& settings)
{
    CArchive ar;
    settings.Serialize(ar);
    return ar.GetBuffer();
}

void SelectEntry(wxWindow& dialog, int id, int index)
{
    auto* control = dialog.FindWindow(id);
    auto* items = dynamic_cast<wxItemContainerImmutable*>(control);
    items->SetSelection(index);
    wxCommandEvent event(dynamic_cast<wxComboBox*>(control) ? wxEVT_COMBOBOX : wxEVT_CHOICE, id);
    event.SetInt(index);
    event.SetEventObject(control);
    control->GetEventHandler()->ProcessEvent(event);
}

TEST(SimulationSettingsDlg, ClearedBoxesAndTypedValuesReachTheSettingsOnOk)
{
    CSimulationSettings settings;
    CDialogScript script;
    bool yearsEnabled = false;
    bool filesGreyed = false;
    script.Then([&](wxDialog& dialog) {
        yearsEnabled = Find<wxTextCtrl>(dialog, 1064)->IsEnabled() && Find<wxCheckBox>(dialog, 1074)->GetValue();
        filesGreyed = !Find<wxTextCtrl>(dialog, 1086)->IsEnabled() && !dialog.FindWindow(1142)->IsEnabled();
        Toggle(Find<wxCheckBox>(dialog, 1074));
        Toggle(Find<wxCheckBox>(dialog, 1079));
        Type(Find<wxTextCtrl>(dialog, 1061), "24");
        Type(Find<wxTextCtrl>(dialog, 1063), "250");
        Toggle(Find<wxCheckBox>(dialog, 1076));
        Toggle(Find<wxCheckBox>(dialog, 1174));
        Press(dialog, wxID_OK);
    });
    EXPECT_TRUE(EditSettings(nullptr, settings));
    EXPECT_TRUE(yearsEnabled);
    EXPECT_TRUE(filesGreyed);
    EXPECT_TRUE(script.messages.empty());
    EXPECT_EQ(settings.yearMax, 0);
    EXPECT_EQ(settings.accuracy, 0.0);
    EXPECT_EQ(settings.quantsPerDay, 24);
    EXPECT_EQ(settings.yearMin, 250);
    EXPECT_EQ(settings.yearStep, 100);
    EXPECT_EQ(settings.fuses, 0);
    EXPECT_EQ(settings.loadClustering, 1);
    EXPECT_EQ(settings.GetNDLDefinition().rfind("system: quantsPerDay = 24.;\\\nyearStep = 100.;\\\nyearMin = 250.;", 0),
              0u);
}

TEST(SimulationSettingsDlg, RefusesTextsThatAreNoCountOrNumber)
{
    struct Case {
        int edit;
        const char* text;
        const char* message;
        const char* field;
    };
    const Case cases[] = {
        {1061, "-1", "Please enter a positive integer.", "QuantsPerDay"},
        {1061, "ten", "Please enter a positive integer.", "QuantsPerDay"},
        {1064, "1.5", "Please enter a positive integer.", "Max years"},
        {1065, "3000000000", "Please enter an integer between 1 and 1000000.", "Step years"},
        {1069, "0,05", "Please enter a number.", "Accuracy"},
        {1069, "inf", "Please enter a number.", "Accuracy"},
    };
    for (const Case& c : cases) {
        CSimulationSettings settings;
        settings.quantsPerDay = 24;
        const auto before = Record(settings);
        CDialogScript script;
        bool stayedOpen = false;
        bool focused = false;
        script.Then([&](wxDialog& dialog) {
            Type(Find<wxTextCtrl>(dialog, c.edit), c.text);
            Press(dialog, wxID_OK);
            stayedOpen = dialog.IsModal();
            focused = wxWindow::FindFocus() == dialog.FindWindow(c.edit);
        });
        EXPECT_FALSE(EditSettings(nullptr, settings)) << c.text;
        EXPECT_TRUE(stayedOpen) << c.text;
        EXPECT_TRUE(focused) << c.text;
        EXPECT_EQ(script.messages, std::vector<std::string>{c.message}) << c.text;
        EXPECT_EQ(script.details, std::vector<std::string>{std::string("Field: ") + c.field}) << c.text;
        EXPECT_EQ(Record(settings), before) << c.text;
    }

    // A cleared box's edit is discarded, so its text is not checked.
    CSimulationSettings settings;
    settings.quantsPerDay = 24;
    CDialogScript script;
    script.Then([](wxDialog& dialog) {
        Type(Find<wxTextCtrl>(dialog, 1069), "not a number");
        Toggle(Find<wxCheckBox>(dialog, 1079));
        Press(dialog, wxID_OK);
    });
    EXPECT_TRUE(EditSettings(nullptr, settings));
    EXPECT_TRUE(script.messages.empty());
    EXPECT_EQ(settings.accuracy, 0.0);
}

TEST(SimulationSettingsDlg, CancelChangesNothingAndTheFileButtonsEditOnlyTheirRow)
{
    CSimulationSettings settings;
    settings.quantsPerDay = 24;
    settings.loadClustering = 1;
    settings.industrialFile = "/data/industrial.txt";
    settings.otherFile = "/data/other.txt";
    const auto before = Record(settings);

    CDialogScript script;
    script.Then([](wxDialog& dialog) {
        for (int check : {1073, 1074, 1075, 1079, 1076, 1077, 1078, 1081, 1174})
            Toggle(Find<wxCheckBox>(dialog, check));
        Type(Find<wxTextCtrl>(dialog, 1061), "96");
        Press(dialog, 1143);
        Press(dialog, wxID_CANCEL);
    });
    EXPECT_FALSE(EditSettings(nullptr, settings));
    EXPECT_EQ(Record(settings), before);

    std::string shownAfterBrowse;
    script.Then([&](wxDialog& dialog) {
        Press(dialog, 1143);  // "X" of the industrial row
        Press(dialog, 1152);  // "X" of the empty agricultural row leaves it empty
        Press(dialog, 1154);  // "..." of the other row, cancelled
        shownAfterBrowse = Find<wxTextCtrl>(dialog, 1089)->GetValue().utf8_string();
        Press(dialog, wxID_OK);
    });
    EXPECT_TRUE(EditSettings(nullptr, settings));
    EXPECT_EQ(script.fileChoosers, 1);
    EXPECT_EQ(shownAfterBrowse, "/data/other.txt");
    EXPECT_EQ(settings.industrialFile, "");
    EXPECT_EQ(settings.otherFile, "/data/other.txt");
    EXPECT_EQ(settings.agriculturalFile, "");
}

CKorvaneDoc* DocWithFeeders(CKorvaneDoc& doc, int feeders)
{
    for (int i = 0; i < feeders; ++i)
        doc.AddWidget(std::make_unique<CLine>(CPoint(0, 10 * i), CPoint(50, 10 * i), 1, 0));
    return &doc;
}

TEST(AnalyticalSimulationSettings, FaultCountIsChosenOrTypedUpToTheNumberOfFeeders)
{
    CKorvaneDoc doc;
    DocWithFeeders(doc, 4);
    doc.m_analytical.m_nFaultCount = 1;
    CDialogScript script;
    std::vector<std::string> entries;
    std::string shownFirst, shownAfterRefusal;
    bool thesisChecked = false;
    script.Then([&](wxDialog& dialog) {
        auto* faults = Find<wxComboBox>(dialog, 1188);
        for (unsigned i = 0; i < faults->GetCount(); ++i)
            entries.push_back(faults->GetString(i).utf8_string());
        shownFirst = faults->GetValue().utf8_string();
        thesisChecked = Find<wxRadioButton>(dialog, 1185)->GetValue();
        faults->SetValue("5");
        shownAfterRefusal = faults->GetValue().utf8_string();
        faults->SetValue("4");
        Choose(Find<wxRadioButton>(dialog, 1186));
        Toggle(Find<wxCheckBox>(dialog, 1187));
        Press(dialog, wxID_OK);
    });
    OnAnalyticalSimulationSettings(nullptr, doc);
    EXPECT_EQ(entries, (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(shownFirst, "1");
    EXPECT_TRUE(thesisChecked);
    EXPECT_EQ(script.messages, std::vector<std::string>{"Invalid number to fault value"});
    EXPECT_EQ(shownAfterRefusal, "1");
    EXPECT_EQ(doc.m_analytical.m_nFaultCount, 4);
    EXPECT_EQ(doc.m_analytical.m_nLoadSheddingMethod, 0);
    EXPECT_EQ(doc.m_analytical.m_bMinimumCutSet, 1);
    EXPECT_TRUE(doc.IsModified());

    // Chosen from the list.
    script.Then([](wxDialog& dialog) {
        SelectEntry(dialog, 1188, 2);
        Press(dialog, wxID_OK);
    });
    OnAnalyticalSimulationSettings(nullptr, doc);
    EXPECT_EQ(doc.m_analytical.m_nFaultCount, 2);
}

TEST(AnalyticalSimulationSettings, WithoutFeedersOnlyZeroAndBelowAreAccepted)
{
    CKorvaneDoc doc;
    doc.m_analytical.m_nFaultCount = 5;
    CDialogScript script;
    std::vector<std::string> entries;
    bool nothingSelected = false;
    script.Then([&](wxDialog& dialog) {
        auto* faults = Find<wxComboBox>(dialog, 1188);
        for (unsigned i = 0; i < faults->GetCount(); ++i)
            entries.push_back(faults->GetString(i).utf8_string());
        nothingSelected = faults->GetValue().empty();
        faults->SetValue("1");
        faults->SetValue("-2");
        Press(dialog, wxID_OK);
    });
    OnAnalyticalSimulationSettings(nullptr, doc);
    EXPECT_EQ(entries, std::vector<std::string>{"0"});
    EXPECT_TRUE(nothingSelected);
    EXPECT_EQ(script.messages, std::vector<std::string>{"Invalid number to fault value"});
    EXPECT_EQ(doc.m_analytical.m_nFaultCount, -2);
}

TEST(AnalyticalSimulationSettings, CancelKeepsTheSettingsAndClusteringEnablesEveryFileRow)
{
    CKorvaneDoc doc;
    DocWithFeeders(doc, 2);
    doc.m_analytical.m_bEnableClustering = 1;
    doc.m_analytical.m_dataFiles[kIntervalData] = "/data/interval.txt";
    CDialogScript script;
    bool intervalEnabledFirst = false;
    bool intervalGreyedAfter = false;
    bool practicalChecked = false;
    doc.m_analytical.m_nLoadSheddingMethod = 0;
    script.Then([&](wxDialog& dialog) {
        intervalEnabledFirst = dialog.FindWindow(1157)->IsEnabled() && dialog.FindWindow(1090)->IsEnabled();
        practicalChecked = Find<wxRadioButton>(dialog, 1186)->GetValue();
        Toggle(Find<wxCheckBox>(dialog, 1174));
        intervalGreyedAfter = !dialog.FindWindow(1157)->IsEnabled() && !dialog.FindWindow(1156)->IsEnabled() &&
                              !dialog.FindWindow(1181)->IsEnabled();
        Press(dialog, 1157);
        Find<wxComboBox>(dialog, 1188)->SetValue("1");
        Press(dialog, wxID_CANCEL);
    });
    OnAnalyticalSimulationSettings(nullptr, doc);
    EXPECT_TRUE(intervalEnabledFirst);
    EXPECT_TRUE(intervalGreyedAfter);
    EXPECT_TRUE(practicalChecked);
    EXPECT_EQ(doc.m_analytical.m_bEnableClustering, 1);
    EXPECT_EQ(doc.m_analytical.m_dataFiles[kIntervalData], "/data/interval.txt");
    EXPECT_EQ(doc.m_analytical.m_nFaultCount, 0);
    EXPECT_FALSE(doc.IsModified());
}

// Writes `lines` numbered lines to a file under the temporary folder and returns its path.
std::string DataFile(const char* name, int lines)
{
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < lines; ++i)
        out << 0.5 + i << "\n";
    return path.string();
}

TEST(AnalyticalSimulationSettings, ReportsMissingDataFilesAndCountMismatchesAfterTheDialog)
{
    CKorvaneDoc doc;
    doc.m_analytical.m_dataFiles[kIntervalData] = DataFile("korvane-interval.txt", 24);
    const std::string missing = (std::filesystem::temp_directory_path() / "korvane-no-such-file.txt").string();
    std::filesystem::remove(missing);
    const std::string agricultural = DataFile("korvane-agricultural.txt", 23);
    const std::string residential = DataFile("korvane-residential.txt", 24);

    CDialogScript script;
    script.Then([&](wxDialog& dialog) {
        // The dialog names the files; the document reads them after OK.
        Toggle(Find<wxCheckBox>(dialog, 1174));
        Press(dialog, wxID_OK);
    });
    doc.m_analytical.m_dataFiles[kAgriculturalData] = agricultural;
    doc.m_analytical.m_dataFiles[kIndustrialData] = missing;
    doc.m_analytical.m_dataFiles[kResidentialData] = residential;
    OnAnalyticalSimulationSettings(nullptr, doc);
    EXPECT_EQ(script.messages,
              (std::vector<std::string>{
                  "Data Inconsistency!\n\nPlease make sure that the number of agricultural\nclustered data is equals to "
                  "the number of interval data.",
                  "Cannot open Industrial class clustered data " + missing}));
    EXPECT_EQ(doc.m_loadData[kIntervalData].size(), 24u);
    EXPECT_EQ(doc.m_loadData[kAgriculturalData].size(), 23u);
    EXPECT_TRUE(doc.m_loadData[kIndustrialData].empty());
    EXPECT_EQ(doc.m_loadData[kResidentialData].size(), 24u);
    EXPECT_EQ(doc.m_analytical.m_bEnableClustering, 1);

    // Cancel still reads the files again, and a second reading replaces the first.
    doc.m_analytical.m_dataFiles[kAgriculturalData].clear();
    doc.m_analytical.m_dataFiles[kIndustrialData].clear();
    CDialogScript again;
    again.Then([](wxDialog& dialog) { Press(dialog, wxID_CANCEL); });
    OnAnalyticalSimulationSettings(nullptr, doc);
    EXPECT_TRUE(again.messages.empty());
    EXPECT_EQ(doc.m_loadData[kIntervalData].size(), 24u);
    EXPECT_TRUE(doc.m_loadData[kAgriculturalData].empty());
    EXPECT_EQ(doc.m_loadData[kResidentialData].size(), 24u);

    for (const std::string& path : {doc.m_analytical.m_dataFiles[kIntervalData], agricultural, residential})
        std::filesystem::remove(path);
}

TEST(SettingsDlg, RefusesAnOversizedCanvasAndAppliesTheSizeButtons)
{
    CKorvaneDoc doc;
    doc.OnNewDocument();
    CDialogScript script;
    bool stayedOpen = false;
    std::string widthShown, heightShown;
    bool fullRedrawChecked = false;
    int snapShown = -1;
    script.Then([&](wxDialog& dialog) {
        fullRedrawChecked = Find<wxRadioButton>(dialog, 1037)->GetValue();
        snapShown = Find<wxChoice>(dialog, 1059)->GetSelection();
        Type(Find<wxTextCtrl>(dialog, 1024), "30001");
        Press(dialog, wxID_OK);
        stayedOpen = dialog.IsModal();
        Press(dialog, 1032);  // "1290*960"
        Press(dialog, 1030);  // "1024*786"
        widthShown = Find<wxTextCtrl>(dialog, 1026)->GetValue().utf8_string();
        heightShown = Find<wxTextCtrl>(dialog, 1024)->GetValue().utf8_string();
        Press(dialog, 1034);  // "1920*1440"
        Choose(Find<wxRadioButton>(dialog, 1038));
        SelectEntry(dialog, 1059, 20);
        Toggle(Find<wxCheckBox>(dialog, 1050));
        Toggle(Find<wxCheckBox>(dialog, 1051));
        Press(dialog, wxID_OK);
    });
    EXPECT_TRUE(EditWorkspaceSettings(nullptr, doc));
    EXPECT_TRUE(fullRedrawChecked);
    EXPECT_EQ(snapShown, 10);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(script.messages, std::vector<std::string>{"Please enter an integer between 0 and 30000."});
    EXPECT_EQ(script.details, std::vector<std::string>{"Field: Verticle (pixels)"});
    EXPECT_EQ(widthShown, "1024");
    EXPECT_EQ(heightShown, "786");
    EXPECT_EQ(doc.m_workspace.m_nWorkspaceWidth, 1920);
    EXPECT_EQ(doc.m_workspace.m_nWorkspaceHeight, 1440);
    EXPECT_EQ(doc.m_workspace.m_sizeDoc.cx, 1920);
    EXPECT_EQ(doc.m_workspace.m_sizeDoc.cy, 1440);
    EXPECT_EQ(doc.m_workspace.m_nRedrawMode, 1);
    EXPECT_EQ(doc.m_workspace.m_nSnapGrid, 20);
    EXPECT_EQ(doc.m_workspace.m_bAdaptiveDrawing, 1);
    EXPECT_EQ(doc.m_workspace.m_bCreateDirectory, 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST(SettingsDlg, CancelLeavesTheDocumentAndOkMarksItEvenUnchanged)
{
    CKorvaneDoc doc;
    doc.OnNewDocument();
    CDialogScript script;
    script.Then([](wxDialog& dialog) {
        Press(dialog, 1035);  // "&Default": 780 by 430
        Type(Find<wxTextCtrl>(dialog, 1026), "0");
        SelectEntry(dialog, 1059, 0);
        Press(dialog, wxID_CANCEL);
    });
    EXPECT_FALSE(EditWorkspaceSettings(nullptr, doc));
    EXPECT_EQ(doc.m_workspace.m_nWorkspaceWidth, 1024);
    EXPECT_EQ(doc.m_workspace.m_nSnapGrid, 10);
    EXPECT_FALSE(doc.IsModified());

    script.Then([](wxDialog& dialog) {
        Press(dialog, 1035);
        SelectEntry(dialog, 1059, 0);
        Press(dialog, wxID_OK);
    });
    EXPECT_TRUE(EditWorkspaceSettings(nullptr, doc));
    EXPECT_EQ(doc.m_workspace.m_nWorkspaceWidth, 780);
    EXPECT_EQ(doc.m_workspace.m_nWorkspaceHeight, 430);
    EXPECT_EQ(doc.m_workspace.m_nSnapGrid, 0);

    doc.SetModifiedFlag(false);
    script.Then([](wxDialog& dialog) { Press(dialog, wxID_OK); });
    EXPECT_TRUE(EditWorkspaceSettings(nullptr, doc));
    EXPECT_TRUE(doc.IsModified());
}

}  // namespace
