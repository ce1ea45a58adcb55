// The window's two layouts (fixed, and sharing a large window), the column's handle, the
// choice kept across runs; and the plots' legibility: linked plots start at one x, and the
// file's format view keeps full-scale values clear of the frame.

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "app/ColumnHandle.h"
#include "app/ColumnLayout.h"
#include "app/Form1.h"
#include "app/LayoutMemory.h"
#include "app/WindowLayout.h"
#include "chart/interaction/Chart.h"
#include "tests/support/WindowTest.h"
#include "wave/WaveBytes.h"

namespace {

TEST(WindowRects, EachLayoutAtEachSize) {
    struct TCase {
        QSize Client;
        TWindowLayout Layout;
        int ColumnWidth; // asked for
        QRect Column, Handle, Plots, Upper, Lower;
        int PanelHeight;
    };
    constexpr int bar = 10; // the scroll bar's width
    // One row per case.
    // clang-format off
    const TCase cases[] = {
        // Fixed: the column and the upper plot keep their sizes whatever the column asks.
        {{1372, 587}, wlFixed, 400, {0, 0, 233, 587}, {}, {233, 0, 1139, 587},
         {1, 1, 1137, 296}, {1, 297, 1137, 289}, 587},
        {{1920, 1080}, wlFixed, 400, {0, 0, 233, 1080}, {}, {233, 0, 1687, 1080},
         {1, 1, 1685, 296}, {1, 297, 1685, 782}, 1080},
        {{900, 400}, wlFixed, 400, {0, 0, 243, 400}, {}, {243, 0, 657, 400},
         {1, 1, 655, 296}, {1, 297, 655, 102}, 587},
        // Shared: the column as asked, the handle beside it, plots of equal height (the odd
        // row to the lower one).
        {{1920, 1080}, wlShare, 320, {0, 0, 320, 1080}, {320, 0, 6, 1080}, {326, 0, 1594, 1080},
         {1, 1, 1592, 539}, {1, 540, 1592, 539}, 1080},
        {{1920, 1009}, wlShare, 500, {0, 0, 500, 1009}, {500, 0, 6, 1009}, {506, 0, 1414, 1009},
         {1, 1, 1412, 503}, {1, 504, 1412, 504}, 1009},
        {{1372, 587}, wlShare, 320, {0, 0, 320, 587}, {320, 0, 6, 587}, {326, 0, 1046, 587},
         {1, 1, 1044, 292}, {1, 293, 1044, 293}, 587},
        // Narrower than the fixed column it stays the fixed one; wider than leaves the plots
        // their least width, it stops there.
        {{1920, 1080}, wlShare, 100, {0, 0, 233, 1080}, {233, 0, 6, 1080}, {239, 0, 1681, 1080},
         {1, 1, 1679, 539}, {1, 540, 1679, 539}, 1080},
        {{1920, 1080}, wlShare, 5000, {0, 0, 1594, 1080}, {1594, 0, 6, 1080},
         {1600, 0, 320, 1080}, {1, 1, 318, 539}, {1, 540, 318, 539}, 1080},
        {{500, 700}, wlShare, 320, {0, 0, 233, 700}, {233, 0, 6, 700}, {239, 0, 261, 700},
         {1, 1, 259, 349}, {1, 350, 259, 349}, 700},
        // A window shorter than the column: the column scrolls, its bar beside it.
        {{1372, 500}, wlShare, 320, {0, 0, 330, 500}, {330, 0, 6, 500}, {336, 0, 1036, 500},
         {1, 1, 1034, 249}, {1, 250, 1034, 249}, 587},
    };
    // clang-format on
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Client.width() << "x" << c.Client.height() << " "
                     << (c.Layout == wlShare ? "share" : "fixed") << " " << c.ColumnWidth);
        const TWindowRects r = WindowRects(c.Client, c.Layout, c.ColumnWidth, bar);
        EXPECT_EQ(r.Column, c.Column);
        EXPECT_EQ(r.ColumnHandle, c.Handle);
        EXPECT_EQ(r.Plots, c.Plots);
        EXPECT_EQ(r.UpperPlot, c.Upper);
        EXPECT_EQ(r.LowerPlot, c.Lower);
        EXPECT_EQ(r.ColumnPanel,
                  QSize(c.Column.width() - (c.Client.height() < 587 ? bar : 0), c.PanelHeight));
    }
}

TEST(WindowLayoutNames, TheOptionsWords) {
    EXPECT_EQ(WindowLayoutNamed("parts"), wlFixed);
    EXPECT_EQ(WindowLayoutNamed("share"), wlShare);
    for (const char* wrong : {"", "Share", "shared", "fixed", "parts "})
        EXPECT_EQ(WindowLayoutNamed(wrong), std::nullopt) << wrong;
}

// A column laid out at 200 x 300: a title, a log beside a button, facts, a button below the
// facts, a box at the right edge, and a box spanning the column.
TEST(ColumnPlaces, GrowingControlsTakeTheFreeHeightAndTheRestKeepsItsOrder) {
    const QSize fixed(200, 300);
    const std::vector<TColumnControl> controls = {
        {{8, 4, 184, 18}, 0},   // title: spans the column
        {{8, 30, 120, 40}, 1},  // log
        {{136, 30, 56, 18}, 0}, // button beside the log, at the right edge
        {{8, 80, 184, 60}, 2},  // facts
        {{8, 150, 90, 18}, 0},  // button below the facts
        {{8, 280, 184, 18}, 0}, // box at the foot, spanning
    };
    struct TCase {
        QSize Size;
        std::vector<QRect> Expected;
    };
    const TCase cases[] = {
        {fixed,
         {{8, 4, 184, 18},
          {8, 30, 120, 40},
          {136, 30, 56, 18},
          {8, 80, 184, 60},
          {8, 150, 90, 18},
          {8, 280, 184, 18}}},
        // Shorter or narrower than the fixed column: the fixed places (the column scrolls).
        {{150, 200},
         {{8, 4, 184, 18},
          {8, 30, 120, 40},
          {136, 30, 56, 18},
          {8, 80, 184, 60},
          {8, 150, 90, 18},
          {8, 280, 184, 18}}},
        // 301 more rows: 100 to the log, 201 to the facts (whole pixels, adding up); 50 more
        // columns to what spans the column, and to the right edge's button as a move.
        {{250, 601},
         {{8, 4, 234, 18},
          {8, 30, 120, 140},
          {186, 30, 56, 18},
          {8, 180, 234, 261},
          {8, 451, 90, 18},
          {8, 581, 234, 18}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Size.width() << "x" << c.Size.height());
        EXPECT_EQ(ColumnPlaces(controls, fixed, c.Size), c.Expected);
    }
}

// Rectangles of the column's visible controls, by name.
std::vector<std::pair<QWidget*, QRect>> ColumnControls(const TForm1& form) {
    std::vector<std::pair<QWidget*, QRect>> places;
    for (QWidget* child : form.Panel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        places.emplace_back(child, child->geometry());
    return places;
}

// How many whole lines of text the box shows at once.
int LinesShown(QPlainTextEdit* box) {
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("line %1").arg(i);
    box->setPlainText(lines.join('\n'));
    box->verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    const int bottom = box->viewport()->height() - 1;
    const QTextBlock last = box->cursorForPosition(QPoint(2, bottom)).block();
    // The block at the viewport's last row counts only when its line ends inside it.
    const QRectF shape = box->document()->documentLayout()->blockBoundingRect(last);
    const int whole = last.blockNumber() + (shape.bottom() <= bottom + 1 ? 1 : 0);
    return whole;
}

class WindowLayoutTest : public TWindowTest {};

TEST_F(WindowLayoutTest, SharingAScreenGivesEqualPlotsAndATallLogAndFacts) {
    const std::vector<std::pair<QWidget*, QRect>> fixedPlaces = ColumnControls(Form);
    const int fixedFacts = LinesShown(Form.FactsBox);
    const int fixedLog = LinesShown(Form.Memo1);
    std::vector<TWindowLayout> told;
    Form.OnWindowLayoutChanged = [&](TWindowLayout layout) { told.push_back(layout); };
    Form.activateWindow();
    QTest::keyClick(&Form, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(told, std::vector<TWindowLayout>{wlShare});
    EXPECT_TRUE(Form.ShareBox->isChecked());
    for (QSize client : {QSize(1920, 1080), QSize(1920, 1009), QSize(1600, 900)}) {
        SCOPED_TRACE(testing::Message() << client.width() << "x" << client.height());
        Form.resize(client);
        QApplication::processEvents();
        EXPECT_LE(std::abs(Form.Chart1->height() - Form.Chart2->height()), 1);
        EXPECT_EQ(Form.Chart2->geometry().bottom(), client.height() - 2);
        EXPECT_TRUE(Form.ColumnHandle->isVisible());
        EXPECT_EQ(Form.Panel1->width(), Form.ColumnWidth());
        // Every control still inside the column, and none over another that was clear of it.
        for (std::size_t i = 0; i < fixedPlaces.size(); ++i) {
            const QRect place = fixedPlaces[i].first->geometry();
            EXPECT_TRUE(Form.Panel1->rect().contains(place))
                << fixedPlaces[i].first->objectName().toStdString();
            for (std::size_t j = i + 1; j < fixedPlaces.size(); ++j) {
                if (!fixedPlaces[i].second.intersects(fixedPlaces[j].second)) {
                    EXPECT_FALSE(place.intersects(fixedPlaces[j].first->geometry()))
                        << fixedPlaces[i].first->objectName().toStdString() << " over "
                        << fixedPlaces[j].first->objectName().toStdString();
                }
            }
        }
        EXPECT_GT(LinesShown(Form.Memo1), fixedLog);
        if (client.height() >= 1009) {
            EXPECT_GE(LinesShown(Form.FactsBox), 25);
        }
        EXPECT_GT(LinesShown(Form.FactsBox), fixedFacts);
    }

    // A wider column: each channel choice widens to the choice of what its plot shows, which
    // keeps its width at the right edge, as do the buttons beside others there; the report
    // button keeps its width beside the Close button.
    for (int column : {DefaultSharedColumnWidth, 500}) {
        SCOPED_TRACE(testing::Message() << "a column of " << column);
        Form.SetColumnWidth(column);
        QApplication::processEvents();
        const int right = Form.Panel1->width() - 16;
        ASSERT_GT(right, FixedColumnWidth);
        for (auto [channel, kind] : {std::pair{Form.UpperChannel, Form.UpperKind},
                                     std::pair{Form.LowerChannel, Form.LowerKind}}) {
            EXPECT_EQ(kind->width(), 105);
            EXPECT_EQ(kind->geometry().right() + 1, right);
            EXPECT_EQ(channel->x(), 8);
            EXPECT_EQ(channel->geometry().right() + 1 + 4, kind->x());
        }
        EXPECT_EQ(Form.StructureButton->width(), 100);
        EXPECT_EQ(Form.StructureButton->geometry().right() + 1, right);
        EXPECT_EQ(Form.BitBtn1->width(), 65);
        EXPECT_EQ(Form.BitBtn1->geometry().right() + 1, right + 8);
        EXPECT_EQ(Form.ReportButton->x(), 8);
        EXPECT_EQ(Form.ReportButton->y(), Form.BitBtn1->y());
        EXPECT_EQ(Form.ReportButton->width(), 148);
        EXPECT_EQ(Form.FactsBox->geometry().right() + 1, right);
    }

    // Back to the fixed layout: every control where it was, the column and the plots too.
    Form.ShareBox->click();
    EXPECT_EQ(told, (std::vector<TWindowLayout>{wlShare, wlFixed}));
    QApplication::processEvents();
    for (const auto& [control, place] : fixedPlaces)
        EXPECT_EQ(control->geometry(), place) << control->objectName().toStdString();
    EXPECT_FALSE(Form.ColumnHandle->isVisible());
    Form.resize(1372, 587);
    QApplication::processEvents();
    EXPECT_EQ(Form.Panel1->geometry(), QRect(0, 0, 233, 587));
    EXPECT_EQ(Form.Chart1->geometry(), QRect(1, 1, 1137, 296));
    EXPECT_EQ(Form.Chart2->geometry(), QRect(1, 297, 1137, 289));
}

// A mouse event at `x` pixels right of where the handle was as the test began: the handle
// moves under the pointer as the column widens, the screen does not.
void SendMouse(QWidget& handle, QEvent::Type type, QPoint origin, int x) {
    const QPointF global(origin.x() + x, origin.y());
    QMouseEvent event(type, handle.mapFromGlobal(global), global, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&handle, &event);
}

TEST_F(WindowLayoutTest, DraggingTheHandleWidensTheColumnWithinTheWindow) {
    Form.resize(1920, 1080);
    Form.SetWindowLayout(wlShare);
    QApplication::processEvents();
    std::vector<int> told;
    Form.OnColumnWidthChanged = [&](int width) { told.push_back(width); };
    TColumnHandle& handle = *Form.ColumnHandle;
    const QPoint origin = handle.mapToGlobal(QPoint(3, 500));
    const int factsWidth = Form.FactsBox->width();
    const int start = Form.Panel1->width();
    SendMouse(handle, QEvent::MouseButtonPress, origin, 0);
    SendMouse(handle, QEvent::MouseMove, origin, 150);
    EXPECT_EQ(Form.Panel1->width(), start + 150) << "follows the pointer as it moves";
    SendMouse(handle, QEvent::MouseMove, origin, 180);
    SendMouse(handle, QEvent::MouseButtonRelease, origin, 180);
    QApplication::processEvents();
    EXPECT_EQ(Form.Panel1->width(), start + 180);
    EXPECT_EQ(Form.FactsBox->width(), factsWidth + 180);
    EXPECT_EQ(Form.Panel2->geometry().left(), start + 180 + ColumnHandleWidth);
    EXPECT_EQ(told, std::vector<int>{start + 180}) << "told once, as the drag ends";

    // Far to the right, or to the left: the plots keep their least width, the column its
    // fixed one.
    for (int far : {3000, -3000}) {
        const QPoint from = handle.mapToGlobal(QPoint(3, 500));
        SendMouse(handle, QEvent::MouseButtonPress, from, 0);
        SendMouse(handle, QEvent::MouseMove, from, far);
        SendMouse(handle, QEvent::MouseButtonRelease, from, far);
        if (far > 0)
            EXPECT_EQ(Form.Panel2->width(), LeastPlotsWidth);
        else
            EXPECT_EQ(Form.Panel1->width(), FixedColumnWidth);
        EXPECT_EQ(told.back(), Form.Panel1->width());
    }
}

TEST(LayoutMemory, TheChoiceAndTheWidthAreKept) {
    for (TWindowLayout layout : {wlShare, wlFixed}) {
        RememberWindowLayout(layout);
        EXPECT_EQ(RememberedWindowLayout(), layout);
    }
    RememberColumnWidth(417);
    EXPECT_EQ(RememberedColumnWidth(), 417);
    TForm1 form;
    form.setGeometry(40, 30, 1500, 900);
    RememberSharedWindowPlace(form.saveGeometry());
    TForm1 again;
    ASSERT_TRUE(again.restoreGeometry(RememberedSharedWindowPlace()));
    EXPECT_EQ(again.size(), QSize(1500, 900));
}

// A file whose left channel swings to ±30,000 and whose right one to ±9: their value labels
// differ in width.
TBytes UnevenChannels() {
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < 4000; ++i)
        frames.emplace_back(std::int16_t(i % 2 ? 30000 : -30000), std::int16_t(i % 19 - 9));
    return PlainWave(TWaveBytes::Frames(frames));
}

TEST_F(WindowLayoutTest, PlotsThatMoveTogetherStartAtOneX) {
    ASSERT_TRUE(Form.OpenAtStart(QString::fromStdString(Dir.Write("u.wav", UnevenChannels()))));
    QApplication::processEvents();
    const QImage upperApart = Form.PlotPicture(Form.Chart1);
    const QImage lowerApart = Form.PlotPicture(Form.Chart2);
    const int upperLeft = Form.Chart1->ChartRect().Left;
    const int lowerLeft = Form.Chart2->ChartRect().Left;
    ASSERT_GT(upperLeft, lowerLeft) << "wider labels above, apart";
    const auto settle = [] {
        for (int i = 0; i < 4; ++i)
            QApplication::processEvents();
    };
    const auto sameX = [&](std::initializer_list<int> frames) {
        for (int frame : frames)
            EXPECT_EQ(Form.Chart1->BottomAxis().PixelOfValue(frame),
                      Form.Chart2->BottomAxis().PixelOfValue(frame))
                << frame;
    };
    Form.LinkXBox->click();
    settle();
    EXPECT_EQ(Form.Chart1->ChartRect().Left, upperLeft);
    EXPECT_EQ(Form.Chart2->ChartRect().Left, upperLeft) << "the wider room in both";
    sameX({1, 2000, 4000});
    Form.GoToFrame(2000); // zoomed: both plots show the same frames
    settle();
    sameX({1950, 2000, 2050});

    // Apart again, each plot as it was.
    for (TChart* chart : {Form.Chart1, Form.Chart2})
        chart->UndoZoom();
    Form.LinkXBox->click();
    settle();
    EXPECT_EQ(Form.Chart2->ChartRect().Left, lowerLeft);
    EXPECT_EQ(Form.PlotPicture(Form.Chart1), upperApart);
    EXPECT_EQ(Form.PlotPicture(Form.Chart2), lowerApart);
}

// The first and last row where the chart's picture holds the line's colour inside the plot
// area's columns.
std::pair<int, int> LineRows(TForm1& form, TChart* chart) {
    const QImage picture = form.PlotPicture(chart);
    const TRect r = chart->ChartRect();
    int first = -1, last = -1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = r.Left; x <= r.Right; ++x)
            if (picture.pixel(x, y) == qRgb(68, 102, 163)) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

TEST_F(WindowLayoutTest, FullScaleValuesStayClearOfTheFrameInTheFilesFormat) {
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < 400; ++i) {
        const bool high = (i / 50) % 2 == 0;
        frames.emplace_back(high ? 32767 : -32768, high ? 32767 : -32768);
    }
    const std::string file = Dir.Write("square.wav", PlainWave(TWaveBytes::Frames(frames)));
    ASSERT_TRUE(Form.OpenAtStart(QString::fromStdString(file)));
    QApplication::processEvents();
    const QImage upperBefore = Form.PlotPicture(Form.Chart1);
    const QImage lowerBefore = Form.PlotPicture(Form.Chart2);

    Form.SetAsFormat(true);
    QApplication::processEvents();
    for (TChart* chart : {Form.Chart1, Form.Chart2}) {
        SCOPED_TRACE(chart->objectName().toStdString());
        const auto [top, bottom] = LineRows(Form, chart);
        const TRect r = chart->ChartRect(); // as the picture was drawn
        // Rows of their own between the frame's rows (top, bottom) and the line.
        EXPECT_GE(top, r.Top + 3);
        EXPECT_LE(bottom, r.Bottom - 3);
        EXPECT_EQ(top, chart->LeftAxis().PixelOfValue(32767));
        EXPECT_EQ(bottom, chart->LeftAxis().PixelOfValue(-32768));
    }

    // The default view again: its pictures as they were.
    Form.SetAsFormat(false);
    QApplication::processEvents();
    EXPECT_EQ(Form.PlotPicture(Form.Chart1), upperBefore);
    EXPECT_EQ(Form.PlotPicture(Form.Chart2), lowerBefore);
}

} // namespace
