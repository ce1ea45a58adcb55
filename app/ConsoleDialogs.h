#pragma once
// Dialogs for a run without a person at the screen: no file is ever chosen, and every message
// box goes to standard error as "TITLE: TEXT".

#include "app/UserDialogs.h"

class TConsoleDialogs : public TUserDialogs {
  public:
    std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& lastName) override;
    std::optional<QString> ChooseFileToSave(QWidget* parent, const QString& suggestedName) override;
    void ShowError(QWidget* parent, const QString& title, const QString& text) override;
    void ShowInformation(QWidget* parent, const QString& title, const QString& text) override;
    // Nothing is shown and nothing cancels.
    std::unique_ptr<TProgress> StartProgress(QWidget* parent, const QString& label) override;
};
