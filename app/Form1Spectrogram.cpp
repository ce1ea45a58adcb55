// Spectrograms in the window: the Waveform/Spectrogram box beside each plot's channel box,
// the Spectrogram submenu of the plot's right-click menu, and waiting until every shown
// spectrogram is drawn exactly (a saved picture needs that).

#include <chrono>
#include <thread>
#include <tuple>

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>

#include "app/ErrorHandler.h"
#include "app/Form1.h"
#include "app/PlotNotice.h"
#include "app/SpectrogramPlot.h"
#include "chart/interaction/Chart.h"
#include "wave/AudioSamples.h"

namespace {

// Right of the channel boxes, in the room those boxes leave free.
const QRect UpperKindPlace(112, 46, 105, 20);
const QRect LowerKindPlace(112, 70, 105, 20);

// A submenu of choices, one checked: `apply` is told the value chosen.
template <class TValue>
void AddChoices(QMenu* menu, const QString& title,
                const std::vector<std::pair<QString, TValue>>& choices, TValue current,
                const std::function<void(TValue)>& apply) {
    QMenu* sub = menu->addMenu(title);
    auto* group = new QActionGroup(sub);
    for (const auto& [text, value] : choices) {
        QAction* action = sub->addAction(text);
        action->setCheckable(true);
        action->setChecked(value == current);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, sub,
                         [apply, value = value] { apply(value); });
    }
}

} // namespace

void TForm1::CreateSpectrogramControls() {
    for (QComboBox** box : {&UpperKind, &LowerKind}) {
        *box = new QComboBox(Panel1);
        (*box)->setGeometry(box == &UpperKind ? UpperKindPlace : LowerKindPlace);
        (*box)->addItem(QStringLiteral("Waveform"));
        (*box)->addItem(QStringLiteral("Spectrogram"));
        (*box)->hide();
        (*box)->setFocusPolicy(Qt::ClickFocus);
        const TPlotPlace place = box == &UpperKind ? ppUpper : ppLower;
        connect(*box, &QComboBox::activated, this, [this, place](int index) {
            RunGuarded(*Dialogs, this, [this, place, index] {
                SetSpectrogramShown(place, index == 1);
                if (OnSpectrogramShownChanged)
                    OnSpectrogramShownChanged(place, index == 1);
            });
        });
    }
    UpperKind->setObjectName(QStringLiteral("UpperKind"));
    LowerKind->setObjectName(QStringLiteral("LowerKind"));
    UpperKind->setToolTip(QStringLiteral("What the upper plot shows of its channel"));
    LowerKind->setToolTip(QStringLiteral("What the lower plot shows of its channel"));
    Spectrogram1 = new TSpectrogramPlot(*Chart1);
    Spectrogram2 = new TSpectrogramPlot(*Chart2);
    // What keeps a spectrogram from being drawn (memory) is said over its plot.
    Spectrogram1->OnProblemChanged = [this](const QString& p) { NothingToPlot1->SetText(p); };
    Spectrogram2->OnProblemChanged = [this](const QString& p) { NothingToPlot2->SetText(p); };
}

TSpectrogramPlot* TForm1::SpectrogramOf(TChart* chart) const {
    return chart == Chart1 ? Spectrogram1 : chart == Chart2 ? Spectrogram2 : nullptr;
}

void TForm1::SetSpectrogramShown(TPlotPlace place, bool shown) {
    ShownSpectrogram[place] = shown;
    ShowPlotKinds();
}

const TSpectrogramChoice& TForm1::SpectrogramChoice(TPlotPlace place) const {
    return (place == ppUpper ? Spectrogram1 : Spectrogram2)->Choice();
}

void TForm1::SetSpectrogramChoice(TPlotPlace place, const TSpectrogramChoice& choice) {
    (place == ppUpper ? Spectrogram1 : Spectrogram2)->SetChoice(choice);
}

void TForm1::ShowPlotKinds() {
    const bool mono = Samples && Samples->Channels() == 1;
    UpperKind->setCurrentIndex(ShownSpectrogram[ppUpper] ? 1 : 0);
    LowerKind->setCurrentIndex(ShownSpectrogram[ppLower] || mono ? 1 : 0);
    // One channel: its waveform above, its spectrogram below, in place of a second channel.
    LowerKind->setEnabled(!mono);
    if (!ViewAsFormat || !Samples || Samples->Channels() < 1) {
        HideSpectrograms();
        return;
    }
    const std::uint32_t rate = Audio.Facts.HasFormat ? Audio.Facts.Format.SampleRate : 0;
    for (auto [plot, box, place] : {std::tuple{Spectrogram1, UpperChannel, ppUpper},
                                    std::tuple{Spectrogram2, LowerChannel, ppLower}}) {
        const bool shown = ShownSpectrogram[place] || (place == ppLower && mono);
        if (shown)
            plot->Show(Samples, std::max(0, box->currentIndex()), rate);
        else
            plot->Hide();
    }
    SetReadoutSources();
}

void TForm1::HideSpectrograms() {
    Spectrogram1->Hide();
    Spectrogram2->Hide();
}

void TForm1::AddSpectrogramMenu(QMenu* menu, TChart* chart) {
    TSpectrogramPlot* plot = SpectrogramOf(chart);
    if (plot == nullptr || !plot->Shown())
        return;
    const TPlotPlace place = chart == Chart1 ? ppUpper : ppLower;
    const TSpectrogramChoice now = plot->Choice();
    QMenu* sub = menu->addMenu(QStringLiteral("Spectro&gram"));
    sub->setObjectName(QStringLiteral("SpectrogramMenu"));
    // Each entry changes one setting of the plot's choice.
    const auto change = [this, place](auto field) {
        return [this, place, field](auto value) {
            RunGuarded(*Dialogs, this, [&] {
                TSpectrogramChoice choice = SpectrogramChoice(place);
                field(choice, value);
                SetSpectrogramChoice(place, choice);
                if (OnSpectrogramChoiceChanged)
                    OnSpectrogramChoiceChanged(place, SpectrogramChoice(place));
            });
        };
    };
    std::vector<std::pair<QString, int>> lengths;
    for (int n = 256; n <= 32768; n *= 2)
        lengths.emplace_back(QStringLiteral("%1 samples").arg(n), n);
    AddChoices<int>(sub, QStringLiteral("Window &length"), lengths, now.WindowLength,
                    change([](TSpectrogramChoice& c, int v) { c.WindowLength = v; }));
    AddChoices<TWindowKind>(sub, QStringLiteral("&Window"),
                            {{QStringLiteral("Hann"), wkHann},
                             {QStringLiteral("Hamming"), wkHamming},
                             {QStringLiteral("Blackman-Harris"), wkBlackmanHarris},
                             {QStringLiteral("Rectangular"), wkRectangular}},
                            now.Window,
                            change([](TSpectrogramChoice& c, TWindowKind v) { c.Window = v; }));
    AddChoices<int>(sub, QStringLiteral("&Hop"),
                    {{QStringLiteral("The whole window"), 1},
                     {QStringLiteral("Half the window"), 2},
                     {QStringLiteral("A quarter of the window"), 4},
                     {QStringLiteral("An eighth of the window"), 8}},
                    now.HopDivisor, change([](TSpectrogramChoice& c, int v) { c.HopDivisor = v; }));
    const auto decibels = [](std::initializer_list<int> values) {
        std::vector<std::pair<QString, double>> out;
        for (int v : values)
            out.emplace_back(QStringLiteral("%1 dBFS").arg(v), double(v));
        return out;
    };
    AddChoices<double>(sub, QStringLiteral("&Top level"), decibels({0, -10, -20, -30, -40}),
                       now.TopDb, change([](TSpectrogramChoice& c, double v) { c.TopDb = v; }));
    AddChoices<double>(sub, QStringLiteral("&Bottom level"),
                       decibels({-60, -80, -100, -120, -140, -160}), now.BottomDb,
                       change([](TSpectrogramChoice& c, double v) { c.BottomDb = v; }));
    std::vector<std::pair<QString, double>> gains;
    for (int v : {-20, -10, 0, 10, 20, 30, 40})
        gains.emplace_back(QStringLiteral("%1%2 dB").arg(v > 0 ? "+" : "").arg(v), double(v));
    AddChoices<double>(sub, QStringLiteral("&Gain"), gains, now.GainDb,
                       change([](TSpectrogramChoice& c, double v) { c.GainDb = v; }));
    AddChoices<TFrequencyScaleKind>(
        sub, QStringLiteral("&Frequency scale"),
        {{QStringLiteral("Linear"), fsLinear},
         {QStringLiteral("Logarithmic"), fsLogarithmic},
         {QStringLiteral("Mel"), fsMel}},
        now.Scale, change([](TSpectrogramChoice& c, TFrequencyScaleKind v) { c.Scale = v; }));
    AddChoices<TColourMapKind>(
        sub, QStringLiteral("&Colours"),
        {{QStringLiteral("Viridis"), cmViridis},
         {QStringLiteral("Magma"), cmMagma},
         {QStringLiteral("Cividis"), cmCividis},
         {QStringLiteral("Grey"), cmGrey}},
        now.Colours, change([](TSpectrogramChoice& c, TColourMapKind v) { c.Colours = v; }));
}

bool TForm1::WaitForSpectrograms(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        QApplication::processEvents();
        bool finished = true;
        for (TChart* chart : {Chart1, Chart2}) {
            TSpectrogramPlot* plot = SpectrogramOf(chart);
            if (!plot->Shown())
                continue;
            // A picture asked for and not yet painted: paint it now.
            if (chart->BufferDirty() && chart->isVisible())
                chart->Draw();
            finished = finished && plot->PictureFinished();
        }
        if (finished)
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
