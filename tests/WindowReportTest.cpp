// The window's quality report: made in the background after a file's first picture, shown in
// its panel, its clipped runs drawn over the plots of the channels shown, a key that steps
// from problem to problem, and dropped with its file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "app/ClipOverlay.h"
#include "app/ReportPanel.h"
#include "chart/interaction/Chart.h"
#include "report/QualityReport.h"
#include "tests/support/WindowTest.h"
#include "wave/WaveBytes.h"

namespace {

// Stereo 16-bit frames: the left channel clips in two runs (frames 100-104 at the maximum,
// 300-302 at the minimum), the right channel never.
TBytes ClippingFile() {
    TBytes data;
    for (int i = 0; i < 1000; ++i) {
        const std::int16_t left = i >= 100 && i < 105   ? 32767
                                  : i >= 300 && i < 303 ? -32768
                                                        : std::int16_t(i % 50);
        PutU16(data, std::uint16_t(left));
        PutU16(data, std::uint16_t(std::int16_t(-(i % 40))));
    }
    return TWaveBytes()
        .Chunk("fmt ", TWaveBytes::Format(1, 2, 48000, 16))
        .Chunk("data", data)
        .Bytes();
}

class WindowReportTest : public TWindowTest {
  protected:
    void Open(const std::string& file) {
        Form.OpenAtStart(QString::fromStdString(file));
        ASSERT_TRUE(Form.WaitForReport(60000));
        QApplication::processEvents();
    }
    double Centre(TChart* chart) {
        return (chart->BottomAxis().Minimum() + chart->BottomAxis().Maximum()) / 2;
    }
};

TEST_F(WindowReportTest, ClippedRunsAreMarkedOnThePlotsOfTheirChannel) {
    Form.SetAsFormat(true);
    Open(Dir.Write("clip.wav", ClippingFile()));
    const TQualityReport* report = Form.ShownReport();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->Levels.Channels[0].ClippedRuns, 2u);
    EXPECT_TRUE(Form.ReportButton->toolTip().startsWith("Verdict: WARN"));
    ASSERT_EQ(Form.Clips1->Marks().size(), 2u);
    EXPECT_EQ(Form.Clips1->Marks()[0].First, 100u);
    EXPECT_EQ(Form.Clips1->Marks()[0].Length, 5u);
    EXPECT_EQ(Form.Clips1->Marks()[1].First, 300u);
    EXPECT_TRUE(Form.Clips1->isVisible());
    EXPECT_TRUE(Form.Clips2->Marks().empty()) << "the right channel does not clip";

    // The marks follow the channel chosen.
    Form.LowerChannel->setCurrentIndex(0);
    emit Form.LowerChannel->activated(0);
    QApplication::processEvents();
    EXPECT_EQ(Form.Clips2->Marks().size(), 2u);

    // The default view counts other frames: no marks there.
    Form.SetAsFormat(false);
    QApplication::processEvents();
    EXPECT_TRUE(Form.Clips1->Marks().empty());
    EXPECT_NE(Form.ShownReport(), nullptr) << "the same file: the report stays";
}

TEST_F(WindowReportTest, TheKeyAndThePanelTakeThePlotsToTheProblems) {
    Form.SetAsFormat(true);
    Open(Dir.Write("clip.wav", ClippingFile()));
    Form.Chart1->ZoomHorizontal(1, 51); // frames 0 to 50: before every problem
    QApplication::processEvents();
    ASSERT_TRUE(Form.StepToProblem(true));
    EXPECT_DOUBLE_EQ(Centre(Form.Chart1), 101.0) << "frame 100 is the plots' X 101";
    ASSERT_TRUE(Form.StepToProblem(true));
    EXPECT_DOUBLE_EQ(Centre(Form.Chart1), 301.0);
    EXPECT_FALSE(Form.StepToProblem(true)) << "no problem after the last";
    ASSERT_TRUE(Form.StepToProblem(false));
    EXPECT_DOUBLE_EQ(Centre(Form.Chart1), 101.0);

    // The panel: verdict first, a row of levels per channel, the rules; choosing the
    // clipping rule takes the plots to its first run.
    TReportPanel& panel = *Form.ReportPanel;
    EXPECT_TRUE(panel.Verdict->text().startsWith("WARN"));
    EXPECT_EQ(panel.Levels->rowCount(), 2);
    Form.Chart1->ZoomHorizontal(800, 900);
    QListWidgetItem* clipping = nullptr;
    for (int i = 0; i < panel.Rules->count(); ++i)
        if (panel.Rules->item(i)->text().contains("level.clipping"))
            clipping = panel.Rules->item(i);
    ASSERT_NE(clipping, nullptr);
    EXPECT_EQ(panel.Rules->row(clipping), 0) << "what did not pass comes first";
    emit panel.Rules->itemActivated(clipping);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(Centre(Form.Chart1), 101.0);
}

TEST_F(WindowReportTest, TheReportIsDroppedWithItsFile) {
    Form.SetAsFormat(true);
    Open(Dir.Write("clip.wav", ClippingFile()));
    ASSERT_NE(Form.ShownReport(), nullptr);
    // A clean file next: its own report, no marks left of the first.
    TBytes data;
    for (int i = 0; i < 1000; ++i) {
        PutU16(data, std::uint16_t(std::int16_t(i % 100)));
        PutU16(data, std::uint16_t(std::int16_t(i % 100)));
    }
    Open(Dir.Write("quiet.wav", TWaveBytes()
                                    .Chunk("fmt ", TWaveBytes::Format(1, 2, 48000, 16))
                                    .Chunk("data", data)
                                    .Bytes()));
    ASSERT_NE(Form.ShownReport(), nullptr);
    EXPECT_EQ(Form.ShownReport()->Levels.Channels[0].ClippedRuns, 0u);
    EXPECT_TRUE(Form.Clips1->Marks().empty());
    EXPECT_FALSE(Form.Clips1->isVisible());
}

} // namespace
