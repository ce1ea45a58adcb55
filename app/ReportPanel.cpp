#include "app/ReportPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "report/ReportNumbers.h"
#include "report/ReportText.h"

namespace {

QColor VerdictColour(TVerdict verdict) {
    switch (verdict) {
    case vdFail:
        return QColor(190, 0, 0);
    case vdWarn:
        return QColor(170, 110, 0);
    case vdPass:
        break;
    }
    return QColor(0, 120, 0);
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString ValueText(double value, bool isFloat) {
    return isFloat ? Text(Fixed(value, 6)) : QString::number(value, 'f', 0);
}

} // namespace

QString VerdictText(TVerdict verdict) {
    return QString::fromLatin1(VerdictName(verdict)).toUpper();
}

TReportPanel::TReportPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("ReportPanel"));
    setWindowTitle(QStringLiteral("Quality report"));
    resize(760, 460);
    auto* layout = new QVBoxLayout(this);
    Verdict = new QLabel(this);
    Verdict->setObjectName(QStringLiteral("ReportVerdict"));
    QFont big = Verdict->font();
    big.setPixelSize(16);
    big.setBold(true);
    Verdict->setFont(big);
    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("ReportSummary"));
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Summary->setWordWrap(true);
    Levels = new QTableWidget(this);
    Levels->setObjectName(QStringLiteral("ReportLevels"));
    Levels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Levels->verticalHeader()->hide();
    Rules = new QListWidget(this);
    Rules->setObjectName(QStringLiteral("ReportRules"));
    Rules->setWordWrap(true);
    layout->addWidget(Verdict);
    layout->addWidget(Summary);
    layout->addWidget(Levels, 1);
    layout->addWidget(Rules, 2);
    const auto chosen = [this](QListWidgetItem* item) {
        if (item == nullptr || !OnPlaceChosen)
            return;
        const QVariant frame = item->data(Qt::UserRole);
        if (!frame.isValid())
            return;
        TRulePlace where;
        where.Frame = frame.toULongLong();
        const QVariant channel = item->data(Qt::UserRole + 1);
        if (channel.isValid())
            where.Channel = channel.toInt();
        OnPlaceChosen(where);
    };
    connect(Rules, &QListWidget::itemClicked, this, chosen);
    connect(Rules, &QListWidget::itemActivated, this, chosen);
    ShowNothing(QStringLiteral("No file is loaded."));
}

void TReportPanel::ShowNothing(const QString& text) {
    Verdict->setText(text);
    Verdict->setStyleSheet({});
    Summary->clear();
    Levels->clear();
    Levels->setRowCount(0);
    Levels->setColumnCount(0);
    Rules->clear();
}

void TReportPanel::ShowProgress(double fraction) {
    Verdict->setStyleSheet({});
    Verdict->setText(QStringLiteral("Measuring... %1 %").arg(int(fraction * 100)));
}

void TReportPanel::ShowReport(const TQualityReport& report) {
    std::size_t notPassed = 0;
    for (const TRuleResult& rule : report.Rules)
        notPassed += rule.Verdict != vdPass;
    Verdict->setText(VerdictText(report.Verdict) + (notPassed == 0
                                                        ? QStringLiteral(": every rule passed")
                                                        : QStringLiteral(": %1 rule%2 did not pass")
                                                              .arg(notPassed)
                                                              .arg(notPassed == 1 ? "" : "s")));
    Verdict->setStyleSheet(QStringLiteral("color: %1").arg(VerdictColour(report.Verdict).name()));

    QStringList summary;
    if (!report.Measured)
        summary << QStringLiteral("The audio is not measured: ") + Text(report.Refusal);
    if (report.Md5.Computed) {
        QString md5 =
            QStringLiteral("MD5 of the audio data: ") + Text(Md5Text(*report.Md5.Computed));
        if (report.Md5.Stored)
            md5 += report.Md5.Agree() ? QStringLiteral(" (agrees with the MD5 chunk)")
                                      : QStringLiteral(" (the MD5 chunk says ") +
                                            Text(Md5Text(*report.Md5.Stored)) + QStringLiteral(")");
        summary << md5;
    }
    if (report.Loudness) {
        const TLoudness& l = *report.Loudness;
        summary << QStringLiteral("Loudness: integrated %1 LUFS, range %2 LU, momentary max %3 "
                                  "LUFS, short-term max %4 LUFS")
                       .arg(Text(Fixed(l.Integrated, 1)), Text(Fixed(l.Range, 1)),
                            Text(Fixed(l.MomentaryMax, 1)), Text(Fixed(l.ShortTermMax, 1)));
    }
    Summary->setText(summary.join(QLatin1Char('\n')));

    const auto& channels = report.Levels.Channels;
    const bool isFloat = !channels.empty() && !channels.front().BitsInUse;
    QStringList head = {"Channel",     "Min",         "Max",
                        "Peak dBFS",   "RMS dBFS",    "DC offset",
                        "Crest",       "Clipped",     "Runs",
                        "Silent head", "Silent tail", isFloat ? "NaN / Inf / Over" : "Bits"};
    if (report.Loudness)
        head << QStringLiteral("True peak dBTP");
    Levels->clear();
    Levels->setColumnCount(int(head.size()));
    Levels->setHorizontalHeaderLabels(head);
    Levels->setRowCount(int(channels.size()));
    for (std::size_t c = 0; c < channels.size(); ++c) {
        const TChannelLevels& l = channels[c];
        const QString channel =
            QString::number(c + 1) + (l.Name.empty() ? QString() : QLatin1Char(' ') + Text(l.Name));
        QStringList row = {channel,
                           ValueText(l.Min, isFloat),
                           ValueText(l.Max, isFloat),
                           Text(Fixed(l.PeakDbfs, 2)),
                           Text(Fixed(l.RmsDbfs, 2)),
                           Text(Fixed(l.DcOffset, 6)),
                           Text(Fixed(l.Crest, 2)),
                           QString::number(l.ClippedSamples),
                           QString::number(l.ClippedRuns),
                           QString::number(l.SilenceHeadFrames),
                           QString::number(l.SilenceTailFrames),
                           isFloat
                               ? QStringLiteral("%1 / %2 / %3").arg(l.NaN).arg(l.Inf).arg(l.Overs)
                               : QString::number(l.BitsInUse.value_or(0))};
        if (report.Loudness && c < report.Loudness->TruePeakDbtp.size())
            row << Text(Fixed(report.Loudness->TruePeakDbtp[c], 2));
        for (int column = 0; column < row.size(); ++column) {
            auto* item = new QTableWidgetItem(row[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Levels->setItem(int(c), column, item);
        }
    }
    Levels->resizeColumnsToContents();

    Rules->clear();
    // Those that did not pass first, the worst on top; then the rest, as passed.
    for (TVerdict shown : {vdFail, vdWarn, vdPass})
        for (const TRuleResult& rule : report.Rules) {
            if (rule.Verdict != shown)
                continue;
            QString text = VerdictText(rule.Verdict) + QStringLiteral("  ") + Text(rule.Id) +
                           QStringLiteral(" (") + QString::fromLatin1(SeverityName(rule.Severity)) +
                           QStringLiteral("): ") + Text(rule.Message);
            const std::string where = PlaceText(rule.Where);
            if (!where.empty())
                text += QStringLiteral(" [") + Text(where) + QStringLiteral("]");
            auto* item = new QListWidgetItem(text, Rules);
            item->setForeground(rule.Verdict == vdPass
                                    ? palette().color(QPalette::Disabled, QPalette::Text)
                                    : VerdictColour(rule.Verdict));
            if (rule.Where.Frame) {
                item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(*rule.Where.Frame));
                if (rule.Where.Channel)
                    item->setData(Qt::UserRole + 1, *rule.Where.Channel);
                item->setToolTip(QStringLiteral("Choose it to take the plots there."));
            }
        }
}
