#include <gtest/gtest.h>

#include <filesystem>

#include <wx/bookctrl.h>
#include <wx/propdlg.h>

#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"
#include "montecarlo/Simulator.h"
#include "tests/ui/DialogScript.h"
#include "ui/dialogs/DatasheetSheet.h"
#include "ui/dialogs/SimulationSettingsDlg.h"

using namespace dialog_test;

namespace {

wxWindow& Page(wxDialog& dialog, int index)
{
    return *static_cast<wxPropertySheetDialog&>(dialog).GetBookCtrl()->GetPage(static_cast<size_t>(index));
}

// Ticks a box (when given) and types into its edit on a page of the open sheet.
void Fill(wxDialog& sheet, int page, int check, int edit, const char* text)
{
    if (check != 0)
        Toggle(Find<wxCheckBox>(Page(sheet, page), check));
    Type(Find<wxTextCtrl>(Page(sheet, page), edit), text);
}

std::string Ndl(CKorvaneDoc& doc)
{
    CNDLGenerator generator(&doc);
    EXPECT_TRUE(generator.Validate());
    generator.Generate();
    return generator.GetNDL();
}

TEST(DatasheetRoundTrip, ANetworkFilledInThroughItsDatasheetsKeepsItsNdlThroughSaveAndOpen)
{
    CKorvaneDoc doc;
    doc.OnNewDocument();
    CWidget* source = doc.AddWidget(std::make_unique<CGenSource>(CPoint(100, 100), 1, 0));
    CWidget* feeder = doc.AddWidget(std::make_unique<CLine>(CPoint(100, 100), CPoint(200, 100), 1, 0));
    CWidget* breaker = doc.AddWidget(std::make_unique<CCircuitBreaker>(CPoint(200, 100), CPoint(240, 100), 1, 0));
    CWidget* recloser = doc.AddWidget(std::make_unique<CRecloser>(CPoint(240, 100), CPoint(280, 100), 1, 0));
    CWidget* transformer = doc.AddWidget(std::make_unique<CTransformer>(CPoint(280, 100), CPoint(340, 100), 1, 0));
    CWidget* load = doc.AddWidget(std::make_unique<CLoadPoint>(CPoint(340, 100), 1, 0));

    CDialogScript script;
    script.Then([](wxDialog& d) {
        Fill(d, 0, 1110, 1092, "1000");
        Press(d, wxID_OK);
    });
    script.Then([](wxDialog& d) {
        Fill(d, 0, 1109, 1114, "2.5");
        Fill(d, 0, 1106, 1111, "0.1");
        Fill(d, 0, 1126, 1123, "1.5");
        Fill(d, 0, 1108, 1113, "4");
        Fill(d, 1, 0, 1158, "0.2");
        Fill(d, 1, 0, 1160, "5000");
        Choose(Find<wxRadioButton>(Page(d, 1), 1163));
        Press(d, wxID_OK);
    });
    script.Then([](wxDialog& d) {
        Fill(d, 0, 1110, 1092, "800");
        Press(d, wxID_OK);
    });
    script.Then([](wxDialog& d) {
        Fill(d, 0, 1111, 1093, "0.25");
        Fill(d, 1, 0, 1093, "0.5");
        Press(d, wxID_OK);
    });
    script.Then([](wxDialog& d) {
        Fill(d, 0, 1106, 1111, "0.01");
        Fill(d, 0, 1108, 1113, "48");
        Fill(d, 1, 0, 1170, "0.02");
        Press(d, wxID_OK);
    });
    script.Then([](wxDialog& d) {
        Fill(d, 0, 0, 1086, "North mill");
        Fill(d, 0, 1102, 1087, "120");
        Fill(d, 0, 1103, 1089, "3.5");
        Fill(d, 0, 1104, 1090, "6");
        wxWindow& page = Page(d, 0);
        Toggle(Find<wxCheckBox>(page, 1100));
        for (const char* value : {"0.5", "1", "0.75"}) {
            Type(Find<wxTextCtrl>(page, 1096), value);
            Press(page, 1093);
        }
        Fill(d, 1, 0, 1172, "250");
        Fill(d, 1, 0, 1087, "120");
        Press(d, wxID_OK);
    });
    for (CWidget* widget : {source, feeder, breaker, recloser, transformer, load})
        ASSERT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *widget)) << WidgetTypeName(widget->GetType());

    script.Then([](wxDialog& d) {
        Type(Find<wxTextCtrl>(d, 1061), "24");
        Type(Find<wxTextCtrl>(d, 1064), "200");
        Toggle(Find<wxCheckBox>(d, 1079));
        Press(d, wxID_OK);
    });
    ASSERT_TRUE(EditSettings(nullptr, *doc.m_pSimulationSettings));
    EXPECT_TRUE(script.messages.empty());
    EXPECT_TRUE(doc.IsModified());

    const std::string before = Ndl(doc);
    for (const char* piece : {"quantsPerDay = 24.", "failure = 0.1, 1.5;", "repair = 48.;", "reclose = 0.25",
                              "\"North mill\"", "customers = 120.", "0.75"})
        EXPECT_NE(before.find(piece), std::string::npos) << piece << "\n" << before;
    EXPECT_EQ(before.find("accuracy"), std::string::npos);

    const auto path = std::filesystem::temp_directory_path() / "korvane-datasheet-roundtrip.mc";
    doc.SaveFile(path);
    CKorvaneDoc reopened;
    reopened.OpenFile(path);
    std::filesystem::remove(path);
    EXPECT_EQ(Ndl(reopened), before);
    auto* reloadedLine = reopened.m_pLines->GetAt(0);
    EXPECT_EQ(reloadedLine->m_nFeederType, 1);
    EXPECT_EQ(reloadedLine->m_dFaultRate, 0.2);
    EXPECT_EQ(reloadedLine->m_dMaxCapacity, 5000.0);
    EXPECT_EQ(reopened.m_pLoadPoints->GetAt(0)->m_dLoad, 250.0);

    // Both texts run to the same end.
    const auto folder = std::filesystem::temp_directory_path();
    for (const std::string& text : {before, Ndl(reopened)}) {
        const SimulatorOutcome outcome = CSimulator().Run(text, "roundtrip", folder / "korvane-roundtrip.txt",
                                                          folder / "korvane-roundtrip.htm",
                                                          folder / "korvane-roundtrip.tmp", nullptr, nullptr);
        EXPECT_EQ(outcome.kind, SimulatorOutcome::Kind::Completed) << outcome.message;
        EXPECT_EQ(outcome.years, 200u);
    }
    std::filesystem::remove(folder / "korvane-roundtrip.txt");
    std::filesystem::remove(folder / "korvane-roundtrip.htm");
}

}  // namespace
