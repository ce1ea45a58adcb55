#pragma once
// The open dialog as the main window holds it: it keeps the last chosen name between uses,
// and starts in a given folder until a name is chosen.

#include <functional>

#include <QString>

class QWidget;
class TUserDialogs;

class TOpenDialog {
  public:
    TOpenDialog(QWidget* owner, TUserDialogs*& dialogs) : Owner(owner), Dialogs(dialogs) {}

    // Shows the dialog; true when the user chose a file, which then becomes FileName.
    bool Execute();
    const QString& FileName() const { return Name; }
    // Takes a name as if it had been chosen (a file given at start or dropped on the window).
    void SetFileName(const QString& name);

    // Where the dialog starts while no name has been chosen (the folder of an earlier run).
    void SetInitialFolder(const QString& folder) { InitialFolder = folder; }
    // Told the folder of each name chosen, so that a later run can start there.
    std::function<void(const QString& folder)> OnFolderChosen;

  private:
    QWidget* Owner;
    TUserDialogs*& Dialogs;
    QString Name;
    QString InitialFolder;
};
