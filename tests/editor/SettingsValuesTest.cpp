#include <gtest/gtest.h>

#include "editor/AnalyticalSettingsValues.h"
#include "editor/SimulationSettingsValues.h"
#include "editor/WorkspaceValues.h"
#include "model/KorvaneDoc.h"
#include "platform/Archive.h"

namespace {

// The part of the system definition before each line's backslash.
std::vector<std::string> SystemLines(const CSimulationSettings& settings)
{
    std::vector<std::string> lines;
    const std::string text = settings.GetNDLDefinition();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\\')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST(SimulationSettingsValues, NotGivenValuesShowAsClearedBoxes)
{
    CSimulationSettings settings;
    settings.yearStep = 0;
    settings.accuracy = 0.0;
    settings.reclosers = 0;
    const CSimulationSettingsValues v = CSimulationSettingsValues::From(settings);
    EXPECT_TRUE(v.m_bYearMin);
    EXPECT_EQ(v.m_nYearMin, 100);
    EXPECT_TRUE(v.m_bYearMax);
    EXPECT_EQ(v.m_nYearMax, 1000000);
    EXPECT_FALSE(v.m_bYearStep);
    EXPECT_EQ(v.m_nYearStep, 0);
    EXPECT_FALSE(v.m_bAccuracy);
    EXPECT_TRUE(v.m_bFuses);
    EXPECT_FALSE(v.m_bReclosers);
    EXPECT_EQ(v.m_nQuantsPerDay, 0);
}

TEST(SimulationSettingsValues, ClearedBoxesLeaveTheirLinesOutOfTheSystemDefinition)
{
    CSimulationSettings settings;
    CSimulationSettingsValues v = CSimulationSettingsValues::From(settings);
    v.m_bYearMax = false;
    v.m_bAccuracy = false;
    v.m_nQuantsPerDay = 24;
    v.m_bFuses = false;
    v.m_bEnableClustering = true;
    v.m_strResidentialFile = "/data/residential.txt";
    v.StoreTo(settings);
    EXPECT_EQ(SystemLines(settings),
              (std::vector<std::string>{"system: quantsPerDay = 24.;", "yearStep = 100.;", "yearMin = 100.;",
                                        "maxFlow = 1.;", "fuses = 0.;", "isolators = 1.;", "reclosers = 1.;", ""}));
    EXPECT_EQ(settings.loadClustering, 1);
    EXPECT_EQ(settings.residentialFile, "/data/residential.txt");

    // Stored and reloaded, the settings still lack them.
    CArchive out;
    settings.Serialize(out);
    CArchive in(out.GetBuffer(), ModelClassRegistry());
    CSimulationSettings reloaded;
    reloaded.Serialize(in);
    EXPECT_EQ(reloaded.yearMax, 0);
    EXPECT_EQ(reloaded.accuracy, 0.0);
    EXPECT_EQ(SystemLines(reloaded), SystemLines(settings));
}

TEST(SimulationSettingsValues, UncheckedValuesAreDiscardedWhateverTheEditHeld)
{
    CSimulationSettings settings;
    CSimulationSettingsValues v = CSimulationSettingsValues::From(settings);
    v.m_bYearMin = false;
    v.m_nYearMin = 500;
    v.m_bAccuracy = true;
    v.m_dAccuracy = 0.01;
    v.StoreTo(settings);
    EXPECT_EQ(settings.yearMin, 0);
    EXPECT_EQ(settings.accuracy, 0.01);
}

// Regression: only the Lines were counted, and one less offered, so no run could fault every
// feeder and the indices always left some out.
TEST(AnalyticalSettingsValues, FaultCountReachesEveryFeederARunCanFault)
{
    CKorvaneDoc doc;
    for (int i = 0; i < 4; ++i)
        doc.AddWidget(std::make_unique<CLine>(CPoint(0, i * 10), CPoint(40, i * 10), 1, 0));
    doc.AddWidget(std::make_unique<CCircuitBreaker>(CPoint(0, 50), CPoint(40, 50), 1, 0));
    doc.AddWidget(std::make_unique<CFuse>(CPoint(0, 60), CPoint(40, 60), 1, 0));
    doc.AddWidget(std::make_unique<CIsolator>(CPoint(0, 70), CPoint(40, 70), 1, 0));
    doc.AddWidget(std::make_unique<CEquipment>(CPoint(0, 80), CPoint(40, 80), 1, 0));
    doc.AddWidget(std::make_unique<CTransformer>(CPoint(0, 90), CPoint(40, 90), 1, 0));
    // Neither a recloser (a tie), a bus bar nor a symbol is a feeder a run faults.
    doc.AddWidget(std::make_unique<CRecloser>(CPoint(0, 100), CPoint(40, 100), 1, 0));
    doc.AddWidget(std::make_unique<CBusBar>(CPoint(0, 110), CPoint(40, 110), 2, 0));
    doc.AddWidget(std::make_unique<CLoadPoint>(CPoint(0, 120), 1, 0));
    CAnalyticalSettingsValues v = CAnalyticalSettingsValues::From(doc);
    EXPECT_EQ(v.m_nMaxFaults, 10);
    EXPECT_FALSE(v.AcceptFaultText("10"));
    EXPECT_EQ(v.m_nFaultCount, 0);
    EXPECT_TRUE(v.AcceptFaultText("9"));
    EXPECT_EQ(v.m_nFaultCount, 9);
    // A negative count is accepted: the run then faults no feeder.
    EXPECT_TRUE(v.AcceptFaultText("-2"));
    EXPECT_EQ(v.m_nFaultCount, -2);
    EXPECT_TRUE(v.AcceptFaultText("2x"));
    EXPECT_EQ(v.m_nFaultCount, 2);

    CKorvaneDoc empty;
    CAnalyticalSettingsValues none = CAnalyticalSettingsValues::From(empty);
    EXPECT_TRUE(none.AcceptFaultText("0"));
    EXPECT_TRUE(none.AcceptFaultText(""));
    EXPECT_FALSE(none.AcceptFaultText("1"));
    EXPECT_TRUE(none.AcceptFaultText("-1"));
}

TEST(AnalyticalSettingsValues, OkWritesBackAndMarksTheDocumentModified)
{
    CKorvaneDoc doc;
    CAnalyticalSettingsValues v = CAnalyticalSettingsValues::From(doc);
    EXPECT_EQ(v.m_nLoadSheddingMethod, 1);
    v.m_bEnableClustering = true;
    v.m_dataFiles[kIntervalData] = "/data/interval.txt";
    v.m_dataFiles[kOtherData] = "/data/other.txt";
    v.m_bMinimumCutSet = true;
    v.m_nLoadSheddingMethod = 0;
    v.m_nFaultCount = -2;
    v.StoreTo(doc);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_analytical.m_bEnableClustering, 1);
    EXPECT_EQ(doc.m_analytical.m_dataFiles[kIntervalData], "/data/interval.txt");
    EXPECT_EQ(doc.m_analytical.m_dataFiles[kOtherData], "/data/other.txt");
    EXPECT_EQ(doc.m_analytical.m_bMinimumCutSet, 1);
    EXPECT_EQ(doc.m_analytical.m_nLoadSheddingMethod, 0);
    EXPECT_EQ(doc.m_analytical.m_nFaultCount, -2);
}

TEST(WorkspaceValues, OkSizesTheDrawingToTheWorkspace)
{
    CKorvaneDoc doc;
    doc.OnNewDocument();
    CWorkspaceValues v = CWorkspaceValues::From(doc);
    EXPECT_EQ(v.m_nWidth, 1024);
    EXPECT_EQ(v.m_nHeight, 786);
    EXPECT_EQ(v.m_nSnapGrid, 10);
    v.m_nWidth = 1920;
    v.m_nHeight = 1440;
    v.m_nRedrawMode = 1;
    v.m_nSnapGrid = 0;
    v.m_bAdaptiveDrawing = true;
    v.m_bCreateDirectory = true;
    v.StoreTo(doc);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_workspace.m_nWorkspaceWidth, 1920);
    EXPECT_EQ(doc.m_workspace.m_nWorkspaceHeight, 1440);
    // The document size follows, so a saved and reopened network keeps the larger canvas.
    EXPECT_EQ(doc.m_workspace.m_sizeDoc.cx, 1920);
    EXPECT_EQ(doc.m_workspace.m_sizeDoc.cy, 1440);
    EXPECT_EQ(doc.m_workspace.m_nRedrawMode, 1);
    EXPECT_EQ(doc.m_workspace.m_nSnapGrid, 0);
    EXPECT_EQ(doc.m_workspace.m_bAdaptiveDrawing, 1);
    EXPECT_EQ(doc.m_workspace.m_bCreateDirectory, 1);

    EXPECT_STREQ(kWorkspaceSizes[0].label, "&Default");
    EXPECT_EQ(kWorkspaceSizes[0].width, 780);
    EXPECT_EQ(kWorkspaceSizes[0].height, 430);
}

}  // namespace
