// The datasheets: a right click opens the selected widget's sheet, each page's controls reach
// their fields and the network's NDL, a refused text names its field on its page, Cancel and an
// unchanged OK leave the document alone. The values' rules are tested in DatasheetTest.
#include <gtest/gtest.h>

#include <wx/bookctrl.h>
#include <wx/listbox.h>
#include <wx/propdlg.h>

#include "editor/Mode.h"
#include "montecarlo/NDLGenerator.h"
#include "platform/Archive.h"
#include "tests/Drawing.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/NetworkDocument.h"
#include "ui/dialogs/DatasheetSheet.h"

using namespace UiTest;

namespace {

// Ticks a box (when given) and types into its edit on a page of the open sheet.
void Fill(wxDialog& sheet, int page, int check, int edit, const char* text)
{
    if (check != 0)
        Toggle(Page(sheet, page), check);
    Type(Page(sheet, page), edit, text);
}

std::string Ndl(CKorvaneDoc& doc)
{
    CNDLGenerator generator(&doc);
    EXPECT_TRUE(generator.Validate());
    generator.Generate();
    return generator.GetNDL();
}

std::vector<std::uint8_t> Bytes(CWidget& widget)
{
    CArchive ar;
    widget.Serialize(ar);
    return ar.GetBuffer();
}

using Datasheets = App;

TEST_F(Datasheets, RightClickOnASelectedFeederOpensItsDatasheet)
{
    TypeChar('1');
    Drag({100, 100}, {260, 100});
    TypeChar('`');
    Click({180, 100});
    ActiveDocument()->Modify(false);
    Then([](wxDialog& sheet) {
        Fill(sheet, 0, 1106, 1111, "0.2");
        Press(sheet, wxID_OK);
    });
    RightClick({180, 100});
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{});
    EXPECT_EQ(Doc().m_pLines->GetAt(0)->m_dFailure1, 0.2);
    // The edit reaches the file: closing would ask to save.
    EXPECT_TRUE(ActiveDocument()->IsModified());
}

TEST(DatasheetSheet, ANetworkFilledInThroughItsDatasheetsKeepsItsNdlThroughSaveAndOpen)
{
    CKorvaneDoc doc;
    doc.OnNewDocument();
    doc.m_analytical.m_dataFiles[kResidentialData] = "/data/residential.txt";
    CWidget* source = doc.AddWidget(std::make_unique<CGenSource>(CPoint(100, 100), 1, 0));
    auto* feeder = drawing::Segment<CLine>(doc, {100, 100}, {200, 100});
    feeder->m_dCapacity = 400;
    CWidget* breaker = doc.AddWidget(std::make_unique<CCircuitBreaker>(CPoint(200, 100), CPoint(240, 100), 1, 0));
    CWidget* recloser = doc.AddWidget(std::make_unique<CRecloser>(CPoint(240, 100), CPoint(280, 100), 1, 0));
    CWidget* transformer = doc.AddWidget(std::make_unique<CTransformer>(CPoint(280, 100), CPoint(340, 100), 1, 0));
    auto* load = drawing::Symbol<CLoadPoint>(doc, {340, 100});

    bool failureBoxesCleared = false, failureEditGreyed = false, lateralShown = false;
    bool industrialGreyed = false, residentialOffered = false;
    std::vector<std::string> profileShown;
    Then([](wxDialog& d) {
        Fill(d, 0, 1110, 1092, "1000");
        Press(d, wxID_OK);
    });
    Then([&](wxDialog& d) {
        failureBoxesCleared = !Find<wxCheckBox>(Page(d, 0), 1106)->GetValue();
        failureEditGreyed = !Page(d, 0).FindWindow(1111)->IsEnabled();
        lateralShown = Find<wxRadioButton>(Page(d, 1), 1162)->GetValue();
        Fill(d, 0, 1109, 1114, "2.5");
        Fill(d, 0, 1106, 1111, "0.1");
        Fill(d, 0, 1126, 1123, "1.5");
        Fill(d, 0, 1108, 1113, "4");
        Fill(d, 0, 1110, 1091, "feeds the mill");  // cleared, the capacity writes the unset value
        Fill(d, 1, 0, 1158, "0.2");
        Fill(d, 1, 0, 1160, "5000");
        Choose(Page(d, 1), 1163);
        Press(d, wxID_OK);
    });
    Then([](wxDialog& d) {
        Fill(d, 0, 1110, 1092, "800");
        Press(d, wxID_OK);
    });
    Then([](wxDialog& d) {
        Fill(d, 0, 1111, 1093, "0.25");
        Fill(d, 1, 0, 1093, "0.5");
        Press(d, wxID_OK);
    });
    Then([](wxDialog& d) {
        Fill(d, 0, 1106, 1111, "0.01");
        Fill(d, 0, 1108, 1113, "48");
        Fill(d, 1, 0, 1170, "0.02");
        Press(d, wxID_OK);
    });
    Then([&](wxDialog& d) {
        Fill(d, 0, 0, 1086, "North mill");
        Fill(d, 0, 1102, 1087, "120");
        Fill(d, 0, 1103, 1089, "3.5");
        Fill(d, 0, 1104, 1090, "6");
        wxWindow& page = Page(d, 0);
        Toggle(page, 1100);
        for (const char* value : {"0.5", "3", "1234567", "0.75"}) {
            Type(page, 1096, value);
            Press(page, 1093);
        }
        Press(page, 1094);  // Remove with nothing selected changes nothing; then remove "3."
        auto* list = Find<wxListBox>(page, 1097);
        list->SetSelection(1);
        Press(page, 1094);
        for (unsigned i = 0; i < list->GetCount(); ++i)
            profileShown.push_back(list->GetString(i).utf8_string());
        industrialGreyed = !Page(d, 1).FindWindow(1156)->IsEnabled();
        residentialOffered = Page(d, 1).FindWindow(1155)->IsEnabled();
        Fill(d, 1, 0, 1172, "250");
        Fill(d, 1, 0, 1087, "120");
        Press(d, wxID_OK);
    });
    for (CWidget* widget : {source, static_cast<CWidget*>(feeder), breaker, recloser, transformer,
                            static_cast<CWidget*>(load)})
        ASSERT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *widget)) << WidgetTypeName(widget->GetType());
    EXPECT_TRUE(TakeDialogs().empty());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(failureBoxesCleared);
    EXPECT_TRUE(failureEditGreyed);
    EXPECT_TRUE(lateralShown);
    EXPECT_EQ(feeder->m_dCapacity, -1.0);
    EXPECT_EQ(feeder->m_strNotes, "feeds the mill");
    EXPECT_EQ(feeder->m_nFeederType, 1);
    EXPECT_EQ(feeder->m_dFaultRate, 0.2);
    EXPECT_EQ(feeder->m_dMaxCapacity, 5000.0);
    EXPECT_EQ(profileShown, (std::vector<std::string>{"0.5", "1.23457e+006", "0.75"}));
    EXPECT_EQ(load->m_profile, (std::vector<double>{0.5, 1234567, 0.75}));
    EXPECT_TRUE(industrialGreyed);
    EXPECT_TRUE(residentialOffered);
    EXPECT_EQ(load->m_dLoad, 250.0);

    const std::string before = Ndl(doc);
    for (const char* piece : {"failure = 0.1, 1.5;", "repair = 48.;", "reclose = 0.25", "\"North mill\"",
                              "customers = 120.", "0.75"})
        EXPECT_NE(before.find(piece), std::string::npos) << piece << "\n" << before;
    const auto path = std::filesystem::path(Home()) / "datasheet-roundtrip.mc";
    doc.SaveFile(path);
    CKorvaneDoc reopened;
    reopened.OpenFile(path);
    EXPECT_EQ(Ndl(reopened), before);
}

TEST(DatasheetSheet, RefusesATextNamingItsFieldOnItsPageAndWritesNothing)
{
    struct Case {
        WidgetType type;
        int page;
        int check;  // the box to tick first, or 0
        int edit;
        const char* text;
        const char* refusal;
    };
    const Case cases[] = {
        {WidgetType::Line, 1, 0, 1160, "10000001", "Please enter a number between 0 and 10000000.\nField: Max Capacity"},
        {WidgetType::Line, 0, 1106, 1111, "1e999", "Please enter a number.\nField: Failure 1"},
        {WidgetType::LoadPoint, 0, 1102, 1087, "2.5", "Please enter an integer.\nField: Num customers"},
        {WidgetType::LoadPoint, 0, 0, 1086, "LP#1",
         "A load point name cannot contain a double quote, '#', '\\', '$' or a control character such as a line "
         "break or a tab.\nField: Name"},
        {WidgetType::Recloser, 1, 0, 1093, "nan", "Please enter a number.\nField: Reclosing time"},
        // Regression: the profile's value edit was not checked and "abc" closed the sheet.
        {WidgetType::LoadPoint, 0, 1100, 1096, "abc", "Please enter a number.\nField: Load Profile"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CKorvaneDoc doc;
        CWidget* widget = doc.AddWidget(NewWidget(c.type, CPoint(0, 0), CPoint(100, 0)));
        const auto before = Bytes(*widget);
        bool stayedOpen = false;
        int pageShown = -1;
        Then([&](wxDialog& sheet) {
            static_cast<wxPropertySheetDialog&>(sheet).GetBookCtrl()->SetSelection(1 - c.page);
            Fill(sheet, c.page, c.check, c.edit, c.text);
            Press(sheet, wxID_OK);
            stayedOpen = sheet.IsModal();
            pageShown = static_cast<wxPropertySheetDialog&>(sheet).GetBookCtrl()->GetSelection();
        });
        EXPECT_FALSE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *widget));
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(pageShown, c.page);
        EXPECT_EQ(TakeDialogs(), std::vector<std::string>{c.refusal});
        // Regression: refusals were captioned "Korvane", not with the application's title.
        EXPECT_EQ(LastMessageCaption(), "Korvane - Verav Ezerez");
        EXPECT_EQ(Bytes(*widget), before);
        EXPECT_FALSE(doc.IsModified());
    }
}

TEST(DatasheetSheet, EveryWidgetOpensBothPagesAndCancelOrAnUnchangedOkWritesNothing)
{
    CKorvaneDoc doc;
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        CWidget* widget = doc.AddWidget(NewWidget(static_cast<WidgetType>(t), CPoint(0, 0), CPoint(100, 0)));
        if (auto* load = dynamic_cast<CLoadPoint*>(widget))
            load->m_profile = {1, 2};
        const auto before = Bytes(*widget);
        wxString title;
        size_t pages = 0;
        Then([](wxDialog& sheet) {
            for (const int box : {1100, 1106, 1108, 1110})  // profile, failure, repair, capacity: where they are
                if (Find<wxCheckBox>(Page(sheet, 0), box) != nullptr)
                    Toggle(Page(sheet, 0), box);
            Press(sheet, wxID_CANCEL);
        });
        Then([&](wxDialog& sheet) {
            title = sheet.GetTitle();
            pages = static_cast<wxPropertySheetDialog&>(sheet).GetBookCtrl()->GetPageCount();
            Press(sheet, wxID_OK);
        });
        EXPECT_FALSE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *widget));
        EXPECT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *widget));
        EXPECT_EQ(pages, 2u) << title;
        EXPECT_EQ(title, CDatasheet(*widget, doc).GetTitle());
        EXPECT_TRUE(TakeDialogs().empty()) << title;
        EXPECT_EQ(Bytes(*widget), before) << title;
        EXPECT_FALSE(doc.IsModified()) << title;
    }

    // A widget the document no longer holds gets no sheet.
    auto removed = doc.RemoveWidget(doc.m_pLines->GetAt(0));
    EXPECT_FALSE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *removed));
    EXPECT_TRUE(TakeDialogs().empty());
}

}  // namespace
