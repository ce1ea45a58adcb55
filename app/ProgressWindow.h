#pragma once
// The progress of a long command on the screen: nothing for the first half second, so small
// files show nothing new; then a progress dialog with Cancel and a busy cursor. Meanwhile the
// window goes on answering the system (it is redrawn when uncovered), but takes no input.

#include <memory>

#include <QElapsedTimer>
#include <QString>

#include "app/UserDialogs.h"

class QProgressDialog;

class TProgressWindow : public TProgress {
  public:
    TProgressWindow(QWidget* parent, const QString& label, int delayMs = 500);
    ~TProgressWindow() override;

    bool Step(std::uint64_t done, std::uint64_t total) override;
    void SetNote(const QString& note) override;

    // The dialog once shown, else null.
    QProgressDialog* Dialog() const { return Window.get(); }

  private:
    QString LabelText() const;
    QWidget* Parent;
    QString Label;
    QString Note;
    int DelayMs;
    QElapsedTimer Clock;
    std::unique_ptr<QProgressDialog> Window;
};
