// Plots that move together, and the wheel's horizontal zoom and pan: the horizontal axes share
// their zoom and pan, the vertical axes (apart) the wider of their two ranges.

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QFrame>
#include <QWheelEvent>

#include "app/ErrorHandler.h"
#include "app/Form1.h"
#include "app/PlotReadout.h"
#include "app/SpectrogramPlot.h"
#include "chart/interaction/Chart.h"

namespace {

const QRect LinkXPlace(8, 528, 217, 18);
const QRect LinkYPlace(8, 546, 217, 18);

// A wheel notch zooms by this much, or pans by this part of the range.
constexpr double NotchZoom = 1.25;
constexpr double NotchPan = 0.1;

TChart* Other(TChart* chart, TChart* first, TChart* second) {
    return chart == first ? second : first;
}

} // namespace

void TForm1::CreateLinkControls() {
    LinkXBox = new QCheckBox(QStringLiteral("Plots move together"), Panel1);
    LinkXBox->setObjectName(QStringLiteral("LinkX"));
    LinkXBox->setGeometry(LinkXPlace);
    LinkYBox = new QCheckBox(QStringLiteral("Same vertical range"), Panel1);
    LinkYBox->setObjectName(QStringLiteral("LinkY"));
    LinkYBox->setGeometry(LinkYPlace);
    for (QCheckBox* box : {LinkXBox, LinkYBox}) {
        box->setFocusPolicy(Qt::ClickFocus);
        connect(box, &QCheckBox::toggled, this, [this] {
            if (LinkXBox->isChecked() == LinkX && LinkYBox->isChecked() == LinkY)
                return;
            SetLinks(LinkXBox->isChecked(), LinkYBox->isChecked());
            if (OnLinksChanged)
                OnLinksChanged(LinkX, LinkY);
        });
    }
    // After each paint the other plot follows; queued, since a paint changes no setting.
    for (TChart* chart : {Chart1, Chart2}) {
        auto previous = chart->OnAfterDraw;
        chart->OnAfterDraw = [this, chart, previous] {
            if (previous)
                previous();
            if (LinkX || LinkY)
                QMetaObject::invokeMethod(
                    this, [this, chart] { FollowLinkedPlot(chart); }, Qt::QueuedConnection);
        };
    }
}

void TForm1::SetLinks(bool horizontal, bool vertical) {
    LinkX = horizontal;
    LinkY = vertical;
    LinkXBox->setChecked(horizontal);
    LinkYBox->setChecked(vertical);
    if (!vertical) {
        // The vertical axes find their own ranges again where they were only linked.
        for (TChart* chart : {Chart1, Chart2})
            if (!chart->ScalesSaved)
                chart->LeftAxis().SetAutomatic(true);
    }
    FollowLinkedPlot(Chart1);
}

void TForm1::FollowLinkedPlot(TChart* from) {
    TChart* to = Other(from, Chart1, Chart2);
    // Plots that move together start their plot areas at one x, so that one time sits at one
    // x in both: the value axes take the room of the wider labels of the two.
    const int labelsRoom = LinkX ? std::max(Chart1->LeftAxis().Layout().LabelsAsked,
                                            Chart2->LeftAxis().Layout().LabelsAsked)
                                 : 0;
    for (TChart* chart : {Chart1, Chart2})
        chart->LeftAxis().SetLabelsMinimumSize(labelsRoom);
    // And their time axes keep the same room at their ends: the lower plot, which has none of
    // its own, takes the upper one's.
    const TChartAxis& upperTime = Chart1->BottomAxis();
    TChartAxis& lowerTime = Chart2->BottomAxis();
    lowerTime.SetMinimumOffset(LinkX ? upperTime.MinimumOffset() : 0);
    lowerTime.SetMaximumOffset(LinkX ? upperTime.MaximumOffset() : 0);
    if (LinkX) {
        const TChartAxis& source = from->BottomAxis();
        TChartAxis& target = to->BottomAxis();
        if (source.Automatic()) {
            if (!target.Automatic())
                to->UndoZoom();
        } else if (target.Automatic() || target.Minimum() != source.Minimum() ||
                   target.Maximum() != source.Maximum()) {
            to->ZoomHorizontal(source.Minimum(), source.Maximum());
        }
    }
    // A spectrogram's vertical axis is frequency: no range to share with a waveform's.
    const bool spectrogram = SpectrogramOf(Chart1)->Shown() || SpectrogramOf(Chart2)->Shown();
    if (LinkY && !spectrogram && !Chart1->ScalesSaved && !Chart2->ScalesSaved) {
        // Both vertical axes span the wider range of the two plots' values.
        double low = 0, high = 0;
        bool any = false;
        for (TChart* chart : {Chart1, Chart2}) {
            if (chart->SeriesCount() < 1 || chart->Series(0)->PointCount() < 1)
                continue;
            const double a = chart->Series(0)->GetMinY(), b = chart->Series(0)->GetMaxY();
            low = any ? std::min(low, a) : a;
            high = any ? std::max(high, b) : b;
            any = true;
        }
        if (any && high > low)
            for (TChart* chart : {Chart1, Chart2}) {
                TChartAxis& left = chart->LeftAxis();
                if (left.Automatic() || left.Minimum() != low || left.Maximum() != high)
                    left.SetRangeManual(low, high);
            }
    }
}

bool TForm1::PlotWheel(TChart* chart, QWheelEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (!(modifiers & (Qt::ControlModifier | Qt::ShiftModifier)))
        return false; // the plain wheel scrolls the vertical axis, as ever
    // Some platforms turn a shifted wheel into a horizontal one.
    const int delta =
        event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    const double notches = delta / 120.0;
    if (notches == 0)
        return true;
    RunGuarded(*Dialogs, this, [&] {
        TChartAxis& bottom = chart->BottomAxis();
        const double low = bottom.Minimum(), high = bottom.Maximum();
        if (modifiers & Qt::ControlModifier) {
            // Around the value under the pointer, which stays where it is.
            const double at = bottom.ValueAtPixel(int(event->position().x()));
            const double factor = std::pow(NotchZoom, notches);
            chart->ZoomHorizontal(at - (at - low) / factor, at + (high - at) / factor);
        } else {
            chart->PanByFraction(-notches * NotchPan, 0);
        }
    });
    // The readout names what is under the pointer now, also where it was hidden (a menu
    // closed over the plot): the wheel says where the pointer is.
    (chart == Chart1 ? Readout1 : Readout2)->PointerAt(event->position().toPoint());
    return true;
}
