#include <gtest/gtest.h>

#include <wx/bookctrl.h>
#include <wx/listbox.h>

#include "model/KorvaneDoc.h"
#include "tests/ui/DialogScript.h"
#include "ui/dialogs/DatasheetSheet.h"

using namespace dialog_test;

namespace {

wxWindow& Page(wxDialog& dialog, int index)
{
    return *static_cast<wxPropertySheetDialog&>(dialog).GetBookCtrl()->GetPage(static_cast<size_t>(index));
}

int SelectedPage(wxDialog& dialog)
{
    return static_cast<wxPropertySheetDialog&>(dialog).GetBookCtrl()->GetSelection();
}

template <typename T>
T* AddTo(CKorvaneDoc& doc, std::unique_ptr<T> widget)
{
    return static_cast<T*>(doc.AddWidget(std::move(widget)));
}

TEST(DatasheetSheet, RefusesAnOutOfRangeValueAndStaysOpenOnItsPage)
{
    CKorvaneDoc doc;
    CLine* line = AddTo(doc, std::make_unique<CLine>(CPoint(0, 0), CPoint(100, 0), 1, 0));
    CDialogScript script;
    bool stayedOpen = false;
    int pageShown = -1;
    script.Then([&](wxDialog& sheet) {
        Type(Find<wxTextCtrl>(Page(sheet, 1), 1160), "10000001");
        Press(sheet, wxID_OK);
        stayedOpen = sheet.IsModal();
        pageShown = SelectedPage(sheet);
        Type(Find<wxTextCtrl>(Page(sheet, 1), 1160), "10000000");
        Press(sheet, wxID_OK);
    });
    EXPECT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *line));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(pageShown, 1);
    EXPECT_EQ(script.messages, std::vector<std::string>{"Please enter a number between 0 and 10000000."});
    EXPECT_EQ(script.details, std::vector<std::string>{"Field: Max Capacity"});
    EXPECT_EQ(line->m_dMaxCapacity, 10000000.0);
    EXPECT_TRUE(doc.IsModified());
}

TEST(DatasheetSheet, RefusesTextsThatAreNoFiniteNumberOrAnUnwritableName)
{
    struct Case {
        WidgetType type;
        int page;
        int edit;
        int check;  // the box to tick first, or 0
        const char* text;
        const char* message;
        const char* field;  // named under the message
    };
    const Case cases[] = {
        {WidgetType::Line, 0, 1111, 1106, "inf", "Please enter a number.", "Failure 1"},
        {WidgetType::Line, 0, 1111, 1106, "1e999", "Please enter a number.", "Failure 1"},
        {WidgetType::Fuse, 0, 1092, 1110, "12 A", "Please enter a number.", "Capacity"},
        {WidgetType::LoadPoint, 0, 1087, 1102, "2.5", "Please enter an integer.", "Num customers"},
        {WidgetType::LoadPoint, 0, 1086, 0, "LP#1",
         "A load point name cannot contain a double quote, '#', '\\', '$' or a line break.", "Name"},
        {WidgetType::LoadPoint, 1, 1172, 0, "-1", "Please enter a number between 0 and 9999999.", "Load"},
        {WidgetType::LoadPoint, 1, 1087, 0, "-3", "Please enter an integer between 0 and 99999999.", "Num customers"},
        {WidgetType::Isolator, 1, 1090, 0, "100000001", "Please enter a number between 0 and 100000000.",
         "Switch Time"},
        {WidgetType::Recloser, 1, 1093, 0, "nan", "Please enter a number.", "Reclosing time"},
    };
    for (const Case& c : cases) {
        CKorvaneDoc doc;
        std::unique_ptr<CWidget> made;
        if (c.type == WidgetType::LoadPoint)
            made = std::make_unique<CLoadPoint>(CPoint(50, 50), 1, 0);
        else if (c.type == WidgetType::Line)
            made = std::make_unique<CLine>(CPoint(0, 0), CPoint(100, 0), 1, 0);
        else if (c.type == WidgetType::Fuse)
            made = std::make_unique<CFuse>(CPoint(0, 0), CPoint(100, 0), 1, 0);
        else if (c.type == WidgetType::Isolator)
            made = std::make_unique<CIsolator>(CPoint(0, 0), CPoint(100, 0), 1, 0);
        else
            made = std::make_unique<CRecloser>(CPoint(0, 0), CPoint(100, 0), 1, 0);
        CWidget* widget = doc.AddWidget(std::move(made));
        CArchive before;
        widget->Serialize(before);

        CDialogScript script;
        bool stayedOpen = false;
        script.Then([&](wxDialog& sheet) {
            if (c.check != 0)
                Toggle(Find<wxCheckBox>(Page(sheet, c.page), c.check));
            Type(Find<wxTextCtrl>(Page(sheet, c.page), c.edit), c.text);
            Press(sheet, wxID_OK);
            stayedOpen = sheet.IsModal();
        });
        EXPECT_FALSE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *widget)) << c.text;
        EXPECT_TRUE(stayedOpen) << c.text;
        EXPECT_EQ(script.messages, std::vector<std::string>{c.message}) << c.text;
        EXPECT_EQ(script.details, std::vector<std::string>{std::string("Field: ") + c.field}) << c.text;
        CArchive after;
        widget->Serialize(after);
        EXPECT_EQ(after.GetBuffer(), before.GetBuffer()) << c.text;
        EXPECT_FALSE(doc.IsModified());
    }
}

TEST(DatasheetSheet, OkStoresTheBoxesAndValuesAndMarksTheDocumentModified)
{
    CKorvaneDoc doc;
    CLine* line = AddTo(doc, std::make_unique<CLine>(CPoint(0, 0), CPoint(100, 0), 1, 0));
    line->m_dCapacity = 400;
    CDialogScript script;
    bool failureBoxesCleared = false;
    bool failureEditGreyed = false;
    bool lateralShown = false;
    script.Then([&](wxDialog& sheet) {
        wxWindow& page = Page(sheet, 0);
        failureBoxesCleared =
            !Find<wxCheckBox>(page, 1106)->GetValue() && !Find<wxCheckBox>(page, 1126)->GetValue();
        failureEditGreyed = !Find<wxTextCtrl>(page, 1111)->IsEnabled();
        Toggle(Find<wxCheckBox>(page, 1106));
        Type(Find<wxTextCtrl>(page, 1111), "0.25");
        // Cleared, the capacity box writes the unset value whatever its edit holds.
        Toggle(Find<wxCheckBox>(page, 1110));
        Type(Find<wxTextCtrl>(Page(sheet, 0), 1091), "feeds the mill");
        lateralShown = Find<wxRadioButton>(Page(sheet, 1), 1162)->GetValue();
        Choose(Find<wxRadioButton>(Page(sheet, 1), 1163));
        Type(Find<wxTextCtrl>(Page(sheet, 1), 1158), "0.1");
        Press(sheet, wxID_OK);
    });
    EXPECT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *line));
    EXPECT_TRUE(failureBoxesCleared);
    EXPECT_TRUE(failureEditGreyed);
    EXPECT_TRUE(lateralShown);
    EXPECT_TRUE(script.messages.empty());
    EXPECT_EQ(line->m_dFailure1, 0.25);
    EXPECT_EQ(line->m_dFailure2, -1.0);
    EXPECT_EQ(line->m_dCapacity, -1.0);
    EXPECT_EQ(line->m_strNotes, "feeds the mill");
    EXPECT_EQ(line->m_nFeederType, 1);
    EXPECT_EQ(line->m_dFaultRate, 0.1);
    EXPECT_TRUE(doc.IsModified());
}

TEST(DatasheetSheet, CancelAndUnchangedOkLeaveTheDocumentAsItWas)
{
    CKorvaneDoc doc;
    CTransformer* transformer = AddTo(doc, std::make_unique<CTransformer>(CPoint(0, 0), CPoint(100, 0), 1, 0));
    transformer->m_dFaultRate = 0.3;
    CArchive before;
    transformer->Serialize(before);

    CDialogScript script;
    script.Then([](wxDialog& sheet) {
        Toggle(Find<wxCheckBox>(Page(sheet, 0), 1108));
        Type(Find<wxTextCtrl>(Page(sheet, 0), 1113), "5");
        Type(Find<wxTextCtrl>(Page(sheet, 1), 1170), "0.5");
        Press(sheet, wxID_CANCEL);
    });
    bool faultRateGreyed = false;
    script.Then([&](wxDialog& sheet) {
        faultRateGreyed = !Find<wxTextCtrl>(Page(sheet, 1), 1158)->IsEnabled();
        Press(sheet, wxID_OK);
    });
    EXPECT_FALSE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *transformer));
    EXPECT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *transformer));
    EXPECT_TRUE(faultRateGreyed);
    CArchive after;
    transformer->Serialize(after);
    EXPECT_EQ(after.GetBuffer(), before.GetBuffer());
    EXPECT_FALSE(doc.IsModified());
}

TEST(DatasheetSheet, LoadPointProfileIsEditedInTheList)
{
    CKorvaneDoc doc;
    doc.m_analytical.m_dataFiles[kResidentialData] = "/data/residential.txt";
    CLoadPoint* load = AddTo(doc, std::make_unique<CLoadPoint>(CPoint(50, 50), 1, 0));
    CDialogScript script;
    std::vector<std::string> shown;
    bool profileBoxCleared = false;
    bool industrialGreyed = false;
    bool residentialOffered = false;
    script.Then([&](wxDialog& sheet) {
        wxWindow& page = Page(sheet, 0);
        profileBoxCleared = !Find<wxCheckBox>(page, 1100)->GetValue();
        Toggle(Find<wxCheckBox>(page, 1100));
        for (const char* value : {"0.1", "3", "1234567", "7"}) {
            Type(Find<wxTextCtrl>(page, 1096), value);
            Press(page, 1093);
        }
        // Remove with nothing selected changes nothing; then remove "3.".
        Press(page, 1094);
        auto* list = Find<wxListBox>(page, 1097);
        list->SetSelection(1);
        Press(page, 1094);
        for (unsigned i = 0; i < list->GetCount(); ++i)
            shown.push_back(list->GetString(i).utf8_string());
        industrialGreyed = !Find<wxRadioButton>(Page(sheet, 1), 1156)->IsEnabled();
        residentialOffered = Find<wxRadioButton>(Page(sheet, 1), 1155)->IsEnabled();
        Press(sheet, wxID_OK);
    });
    EXPECT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *load));
    EXPECT_TRUE(profileBoxCleared);
    EXPECT_EQ(shown, (std::vector<std::string>{"0.1", "1.23457e+006", "7."}));
    EXPECT_EQ(load->m_profile, (std::vector<double>{0.1, 1234567, 7}));
    EXPECT_TRUE(industrialGreyed);
    EXPECT_TRUE(residentialOffered);
    EXPECT_TRUE(doc.IsModified());
}

TEST(DatasheetSheet, ClearingTheNameBoxStoresTheEmptyName)
{
    CKorvaneDoc doc;
    CLoadPoint* load = AddTo(doc, std::make_unique<CLoadPoint>(CPoint(50, 50), 1, 0));
    load->m_profile = {1, 2};
    CDialogScript script;
    script.Then([](wxDialog& sheet) {
        // A bad name in a cleared box is never read.
        Type(Find<wxTextCtrl>(Page(sheet, 0), 1086), "LP#9");
        Toggle(Find<wxCheckBox>(Page(sheet, 0), 1101));
        // Clearing the profile box keeps the profile.
        Toggle(Find<wxCheckBox>(Page(sheet, 0), 1100));
        Press(sheet, wxID_OK);
    });
    EXPECT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *load));
    EXPECT_TRUE(script.messages.empty());
    EXPECT_EQ(load->m_strName, "");
    EXPECT_EQ(load->m_profile, (std::vector<double>{1, 2}));
}

TEST(DatasheetSheet, EveryWidgetTypeOpensBothPagesAndUnchangedOkModifiesNothing)
{
    CKorvaneDoc doc;
    const CPoint a(0, 0), b(100, 0);
    std::vector<CWidget*> widgets = {
        doc.AddWidget(std::make_unique<CLine>(a, b, 1, 0)),
        doc.AddWidget(std::make_unique<CCircuitBreaker>(a, b, 1, 0)),
        doc.AddWidget(std::make_unique<CFuse>(a, b, 1, 0)),
        doc.AddWidget(std::make_unique<CRecloser>(a, b, 1, 0)),
        doc.AddWidget(std::make_unique<CIsolator>(a, b, 1, 0)),
        doc.AddWidget(std::make_unique<CBusBar>(a, b, 1, 0)),
        doc.AddWidget(std::make_unique<CLoadPoint>(a, 1, 0)),
        doc.AddWidget(std::make_unique<CGenSource>(a, 1, 0)),
        doc.AddWidget(std::make_unique<CEquipment>(a, b, 1, 0)),
        doc.AddWidget(std::make_unique<CTransformer>(a, b, 1, 0)),
    };
    for (CWidget* widget : widgets) {
        CDialogScript script;
        wxString title;
        size_t pages = 0;
        script.Then([&](wxDialog& sheet) {
            title = sheet.GetTitle();
            pages = static_cast<wxPropertySheetDialog&>(sheet).GetBookCtrl()->GetPageCount();
            Press(sheet, wxID_OK);
        });
        EXPECT_TRUE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *widget)) << WidgetTypeName(widget->GetType());
        EXPECT_EQ(pages, 2u) << title;
        EXPECT_EQ(title, CDatasheet(*widget, doc).GetTitle());
        EXPECT_TRUE(script.messages.empty()) << title;
        EXPECT_FALSE(doc.IsModified()) << title;
    }

    // A widget the document no longer holds gets no sheet.
    auto removed = doc.RemoveWidget(widgets[0]);
    CDialogScript none;
    EXPECT_FALSE(CDatasheetSheet::ShowDataSheet(nullptr, doc, *removed));
}

}  // namespace
