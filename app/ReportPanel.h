#pragma once
// The quality report in the window: the verdict on top, each channel's levels as a table,
// then the rules, those that did not pass first. A rule with a place in the audio takes the
// plots there when chosen. A window of its own beside the main one, opened from the control
// column, so the column keeps its layout.

#include <functional>
#include <optional>

#include <QWidget>

#include "report/QualityReport.h"

class QLabel;
class QListWidget;
class QTableWidget;

class TReportPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TReportPanel(QWidget* parent = nullptr);

    // Nothing to report (no file, or one whose audio is not read yet): `text` says why.
    void ShowNothing(const QString& text);
    // The report is being made: `fraction` of it is done.
    void ShowProgress(double fraction);
    void ShowReport(const TQualityReport& report);

    // Told when a rule with a frame is chosen (a click, Enter).
    std::function<void(const TRulePlace& where)> OnPlaceChosen;

    QLabel* Verdict;
    QLabel* Summary; // MD5 and loudness
    QTableWidget* Levels;
    QListWidget* Rules;
};

// The verdict as people read it: "PASS", "WARN", "FAIL".
QString VerdictText(TVerdict verdict);
