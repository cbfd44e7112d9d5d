#include <gtest/gtest.h>

#include "editor/AnalyticalSettingsValues.h"
#include "editor/SimulationSettingsValues.h"
#include "editor/WorkspaceValues.h"
#include "model/KorvaneDoc.h"
#include "tests/Drawing.h"

namespace {

TEST(SimulationSettingsValues, NotGivenValuesAreClearedBoxesAndUncheckedBoxesStoreNotGiven)
{
    CSimulationSettings settings;
    settings.yearStep = 0, settings.accuracy = 0.0, settings.reclosers = 0;
    CSimulationSettingsValues v = CSimulationSettingsValues::From(settings);
    EXPECT_EQ((std::vector<bool>{v.m_bYearMin, v.m_bYearMax, v.m_bYearStep, v.m_bAccuracy, v.m_bFuses, v.m_bReclosers}),
              (std::vector<bool>{true, true, false, false, true, false}));
    EXPECT_EQ(v.m_nYearMin, 100);
    EXPECT_EQ(v.m_nYearMax, 1000000);
    EXPECT_EQ(v.m_nYearStep, 0);
    EXPECT_EQ(CSimulationSettingsValues::From(CSimulationSettings()).m_dAccuracy, 0.05);  // given: shown

    // An unchecked value is discarded whatever its edit box held.
    v.m_bYearMin = false, v.m_nYearMin = 500, v.m_bYearStep = true, v.m_nYearStep = 50;
    v.m_bAccuracy = true, v.m_dAccuracy = 0.01, v.m_nQuantsPerDay = 24, v.m_bFuses = false;
    v.m_bEnableClustering = true, v.m_strResidentialFile = "/data/residential.txt";
    v.StoreTo(settings);
    CSimulationSettings expected;
    expected.quantsPerDay = 24, expected.yearMin = 0, expected.yearStep = 50, expected.accuracy = 0.01;
    expected.fuses = 0, expected.reclosers = 0, expected.loadClustering = 1;
    expected.residentialFile = "/data/residential.txt";
    EXPECT_EQ(settings, expected);
}

// Regression: only the Lines were counted, and one less offered, so no run could fault every
// feeder and the indices always left some out.
TEST(AnalyticalSettingsValues, FaultCountReachesEveryFeederARunCanFault)
{
    CKorvaneDoc doc;
    // Four lines, a breaker, a fuse, an isolator, an equipment and a transformer; neither a
    // recloser (a tie), a bus bar nor a symbol is a feeder a run faults.
    drawing::Draw(doc, "L 0 0 40 0, L 0 10 40 10, L 0 20 40 20, L 0 30 40 30, C 0 50 40 50, F 0 60 40 60, "
                       "I 0 70 40 70, E 0 80 40 80, T 0 90 40 90, R 0 100 40 100, B 0 110 40 110, P 0 120");
    CAnalyticalSettingsValues v = CAnalyticalSettingsValues::From(doc);
    EXPECT_EQ(v.m_nMaxFaults, 10);
    const std::pair<const char*, int> texts[] = {{"10", 0}, {"9", 9}, {"-2", -2}, {"2x", 2}};
    for (const auto& [text, count] : texts) {
        // A negative count is accepted: the run then faults no feeder.
        EXPECT_EQ(v.AcceptFaultText(text), text != std::string("10")) << text;
        EXPECT_EQ(v.m_nFaultCount, count) << text;
    }
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
    v.m_bEnableClustering = true, v.m_dataFiles[kOtherData] = "/data/other.txt", v.m_bMinimumCutSet = true;
    v.m_nLoadSheddingMethod = 0, v.m_nFaultCount = -2;
    v.StoreTo(doc);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_analytical, (CAnalyticalSettings{.m_bEnableClustering = 1,
                                                     .m_dataFiles = {"", "", "", "", "/data/other.txt"},
                                                     .m_bMinimumCutSet = 1,
                                                     .m_nLoadSheddingMethod = 0,
                                                     .m_nFaultCount = -2}));
}

TEST(WorkspaceValues, OkSizesTheDrawingToTheWorkspace)
{
    CKorvaneDoc doc;
    CWorkspaceValues v = CWorkspaceValues::From(doc);
    EXPECT_EQ(v.m_nSnapGrid, 10);
    v.m_nWidth = 1920, v.m_nHeight = 1440, v.m_nRedrawMode = 1, v.m_nSnapGrid = 0;
    v.m_bAdaptiveDrawing = true, v.m_bCreateDirectory = true;
    v.StoreTo(doc);
    EXPECT_TRUE(doc.IsModified());
    // The document size follows, so a saved and reopened network keeps the larger canvas.
    EXPECT_EQ(doc.m_workspace, (CWorkspaceOptions{.m_sizeDoc = CSize(1920, 1440),
                                                  .m_nWorkspaceWidth = 1920,
                                                  .m_nWorkspaceHeight = 1440,
                                                  .m_nSnapGrid = 0,
                                                  .m_nRedrawMode = 1,
                                                  .m_bAdaptiveDrawing = 1,
                                                  .m_bCreateDirectory = 1}));
}

}  // namespace
