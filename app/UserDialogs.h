#pragma once
// The windows the program asks the user through: the open dialog and the message boxes.
// The main window holds one of these, so tests can answer in place of a person.

#include <optional>

#include <QString>

class QWidget;

class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    // Shows the open dialog starting at `lastName`; the chosen full path, or nothing on cancel.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& lastName) = 0;
    // A modal message box with an OK button and the error icon.
    virtual void ShowError(QWidget* parent, const QString& title, const QString& text) = 0;
    // A modal message box with an OK button and the information icon.
    virtual void ShowInformation(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The real dialogs of the platform.
class TPlatformDialogs : public TUserDialogs {
public:
    std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& lastName) override;
    void ShowError(QWidget* parent, const QString& title, const QString& text) override;
    void ShowInformation(QWidget* parent, const QString& title, const QString& text) override;
};
