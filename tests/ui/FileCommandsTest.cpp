// File commands through the real application: Save As names the network after its new file, a
// failed save or open is reported and leaves the open networks and the old file as they were, and
// a print from the command line without a printer says so and ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <wx/print.h>

#include "editor/FigureGeometry.h"
#include "tests/Drawing.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/KorvaneApp.h"
#include "ui/KorvaneView.h"
#include "ui/MainFrame.h"
#include "ui/NetworkCanvas.h"
#include "ui/NetworkDocument.h"

using namespace UiTest;
namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

using FileCommands = App;

}  // namespace

// Catches a network that kept its first title ("MC1") after Save As, so its run files and the
// check's message named a file that does not exist.
TEST_F(FileCommands, SaveAsNamesTheNetworkAfterItsNewFile)
{
    drawing::Draw(Doc(), "F 10 10 60 10");
    ActiveDocument()->Modify(true);
    const fs::path path = folder / "Feeder North.mc";
    // What the framework's Save As does once the user has chosen the file (the GTK chooser
    // cannot be answered without showing it).
    CNetworkDocument* doc = ActiveDocument();
    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path.string())));
    doc->SetTitle(wxString::FromUTF8(path.filename().string()));
    doc->SetFilename(wxString::FromUTF8(path.string()), true);
    ASSERT_TRUE(fs::exists(path));
    EXPECT_FALSE(ActiveDocument()->IsModified());
    EXPECT_EQ(Doc().GetTitle(), "Feeder North");
    EXPECT_TRUE(wxGetApp().GetMainFrame()->GetTitle().EndsWith("Feeder North.mc"))
        << wxGetApp().GetMainFrame()->GetTitle();

    Command(ID_DEBUG_NETWORK);
    EXPECT_EQ(TakeDialogs(), std::vector<std::string>{"Checking completed : Errors found in Feeder North.mc"});
}

// A save that cannot write is reported with the file's name; the network stays as drawn and
// unsaved (closing still asks), and no half-written file is left beside the target.
TEST_F(FileCommands, AFailedSaveIsReportedAndKeepsTheNetworkUnsaved)
{
    const fs::path path = folder / "net.mc";
    CNetworkDocument* doc = ActiveDocument();
    ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path.string())));
    const std::string saved = ReadBytes(path);
    drawing::Draw(Doc(), "F 10 10 60 10");
    doc->Modify(true);

    // The target cannot be replaced: something else now stands at its name.
    const fs::path blocked = folder / "blocked.mc";
    fs::create_directory(blocked);
    EXPECT_FALSE(doc->OnSaveDocument(wxString::FromUTF8(blocked.string())));
    const auto dialogs = TakeDialogs();
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(Contains(dialogs, blocked.string()));
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetFilename(), wxString::FromUTF8(path.string()));
    EXPECT_EQ(Doc().GetWidgetCount(), 1);
    EXPECT_EQ(ReadBytes(path), saved);
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_TRUE(entry.path() == path || entry.path() == blocked) << entry.path();

    // Closing asks to save; Cancel keeps the network open.
    SetDialogAnswer(wxID_CANCEL);
    Command(wxID_CLOSE);
    EXPECT_EQ(TakeDialogs().size(), 1u);
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(Doc().GetWidgetCount(), 1);
}

// A file that is no network, opened beside a network being drawn, is reported with its name and
// changes nothing of the open network.
TEST_F(FileCommands, AFailedOpenIsReportedAndLeavesTheOpenNetworkAsItWas)
{
    drawing::Draw(Doc(), "L 10 10 60 10");
    ActiveDocument()->Modify(true);
    CNetworkDocument* drawn = ActiveDocument();

    const fs::path good = folder / "good.mc";
    Doc().SaveFile(good);
    const std::string bytes = ReadBytes(good);
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"text.mc", "not a network"},
        {"empty.mc", ""},
        {"truncated.mc", bytes.substr(0, bytes.size() / 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = folder / c.name;
        std::ofstream(path, std::ios::binary) << c.content;
        EXPECT_EQ(wxGetApp().GetDocManager()->CreateDocument(wxString::FromUTF8(path.string()), wxDOC_SILENT),
                  nullptr);
        Pump();
        const auto dialogs = TakeDialogs();
        EXPECT_EQ(dialogs.size(), 1u);
        EXPECT_TRUE(Contains(dialogs, path.string()));
        EXPECT_EQ(DocumentCount(), 1);
        EXPECT_EQ(ActiveDocument(), drawn);
        EXPECT_TRUE(drawn->IsModified());
        EXPECT_EQ(Doc().GetWidgetCount(), 1);
        EXPECT_EQ(ReadBytes(path), c.content);
    }
}

int g_asserts = 0;

void CountAssert(const wxString&, int, const wxString&, const wxString&, const wxString&)
{
    ++g_asserts;
}

// A file may hold any workspace size; the canvas must stay drawable at every zoom step, not wrap
// to a negative size or trip the toolkit's checks (which show the user a box on every paint).
TEST_F(FileCommands, AnyStoredWorkspaceSizeKeepsTheCanvasDrawable)
{
    g_asserts = 0;
    const wxAssertHandler_t previous = wxSetAssertHandler(CountAssert);
    const struct {
        std::int32_t width, height;
    } cases[] = {{-5, -7}, {0, 0}, {2147483647, 2147483647}, {-2147483647 - 1, 30000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        CKorvaneDoc stored;
        stored.OnNewDocument();
        stored.m_workspace.m_nWorkspaceWidth = c.width;
        stored.m_workspace.m_nWorkspaceHeight = c.height;
        stored.m_workspace.m_sizeDoc = CSize(c.width, c.height);
        drawing::Draw(stored, "F 10 10 60 10");
        // Widgets far out, as a file may place them.
        drawing::Draw(stored, "L 2147483000 2147483000 2147483600 2147483600, P -2147483000 20");
        // Pen widths no dialog gives.
        drawing::Add(stored, std::make_unique<CBusBar>(CPoint(20, 40), CPoint(120, 40), -7, figure::kGrey));
        drawing::Add(stored, std::make_unique<CRecloser>(CPoint(20, 80), CPoint(120, 80), 2147483647, figure::kGrey));
        drawing::Add(stored, std::make_unique<CLine>(CPoint(20, 90), CPoint(120, 90), 1000, figure::kGrey));
        const fs::path path = folder / ("size" + std::to_string(c.width) + ".mc");
        stored.SaveFile(path);

        ASSERT_NE(wxGetApp().GetDocManager()->CreateDocument(wxString::FromUTF8(path.string()), wxDOC_SILENT),
                  nullptr);
        Pump();
        EXPECT_TRUE(TakeDialogs().empty());
        CKorvaneView* view = ActiveView();
        ASSERT_NE(view, nullptr);
        for (int step = 0; step < 15; ++step) {
            const wxImage image = Render(200, 120);
            if (step == 0 && c.width > 200 && c.height > 200) {
                // A pen a thousand pixels wide is drawn narrower: such pens (into the millions)
                // took seconds per repaint.
                EXPECT_EQ(image.GetRed(70, 10), 255);
                EXPECT_EQ(image.GetGreen(70, 10), 255);
            }
            const wxSize size = view->GetCanvas()->GetVirtualSize();
            EXPECT_GE(size.x, 0);
            EXPECT_GE(size.y, 0);
            Command(ID_ZOOM_IN);
        }
        Command(ID_SELECT_ALL);
        Render(200, 120);
        Command(wxID_PREVIEW);  // the page is drawn at the printer's scale
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* preview = wxDynamicCast(w, wxPreviewFrame))
                preview->Close(true);
        Pump();
        ActiveDocument()->Modify(false);
        Command(wxID_CLOSE);
        EXPECT_EQ(g_asserts, 0);
        g_asserts = 0;
    }
    wxSetAssertHandler(previous);
}

// Regression: with no printer, "korvane /p network.mc" waited in the toolkit's print for good; with
// a file it cannot read, it waited on a box that nobody was there to answer.
// The tests' print system is not there (UiTestMain), as on a machine without one.
TEST_F(FileCommands, APrintFromTheCommandLineWithoutAPrinterSaysSoAndEnds)
{
    const std::string path = (folder / "net.mc").string();
    drawing::Draw(Doc(), "G 100 100, L 100 100 200 100, P 200 100");
    ASSERT_TRUE(ActiveDocument()->OnSaveDocument(path));
    const std::string text = (folder / "text.mc").string();
    std::ofstream(text) << "not a network";
    Stop();
    const struct {
        std::vector<wxString> args;
        std::string message;
    } cases[] = {
        {{"/p", path}, "korvane: cannot print " + path + ": there is no printer\n"},
        {{"-pt", path, "Office"}, "korvane: cannot print " + path + ": there is no printer named \"Office\"\n"},
        {{"/p", text},
         "korvane: \"" + text + "\" is not a valid network file: the file ends inside a 32-bit value: 4 bytes "
         "needed, 1 left (at offset 12)\n"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(wxGetApp().InitInstance(c.args));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
        EXPECT_EQ(wxGetApp().GetPrintExitCode(), 1);
        EXPECT_EQ(DocumentCount(), 0);
        EXPECT_EQ(TakeDialogs(), std::vector<std::string>{});
        Stop();
    }
    Start({"-Embedding"});
    EXPECT_EQ(wxGetApp().GetPrintExitCode(), std::nullopt);
}
