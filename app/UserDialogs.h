#pragma once
// The windows the program asks the user through: the open and save dialogs and the message
// boxes.
// The main window holds one of these, so tests can answer in place of a person.

#include <cstdint>
#include <memory>
#include <optional>

#include <QString>

class QFileDialog;
class QWidget;

// The progress of one long command, shown while it lasts.
class TProgress {
  public:
    virtual ~TProgress() = default;
    // `done` of `total` units; false once the user has asked to cancel.
    virtual bool Step(std::uint64_t done, std::uint64_t total) = 0;
    // A line under the label that says what Cancel will do, when it is not the usual.
    virtual void SetNote(const QString& note) = 0;
};

class TUserDialogs {
  public:
    virtual ~TUserDialogs() = default;
    // Shows the open dialog starting at `lastName`; the chosen full path, or nothing on cancel.
    virtual std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& lastName) = 0;
    // Shows the dialog that saves a picture, starting at `suggestedName`; the chosen full path
    // (with ".png" added when the name has no suffix), or nothing on cancel.
    virtual std::optional<QString> ChooseFileToSave(QWidget* parent,
                                                    const QString& suggestedName) = 0;
    // A modal message box with an OK button and the error icon.
    virtual void ShowError(QWidget* parent, const QString& title, const QString& text) = 0;
    // A modal message box with an OK button and the information icon.
    virtual void ShowInformation(QWidget* parent, const QString& title, const QString& text) = 0;
    // Starts showing the progress of a command that may take long; it ends with the object.
    virtual std::unique_ptr<TProgress> StartProgress(QWidget* parent, const QString& label) = 0;
};

// The open dialog as the platform shows it, starting at `lastName`: WAV files first (by the
// names they go by), then all files.
std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* parent, const QString& lastName);

// The real dialogs of the platform.
class TPlatformDialogs : public TUserDialogs {
  public:
    std::optional<QString> ChooseFileToOpen(QWidget* parent, const QString& lastName) override;
    std::optional<QString> ChooseFileToSave(QWidget* parent, const QString& suggestedName) override;
    void ShowError(QWidget* parent, const QString& title, const QString& text) override;
    void ShowInformation(QWidget* parent, const QString& title, const QString& text) override;
    std::unique_ptr<TProgress> StartProgress(QWidget* parent, const QString& label) override;
};
