#pragma once
// The open dialog as the main window holds it: it keeps the last chosen name between uses.

#include <QString>

class QWidget;
class TUserDialogs;

class TOpenDialog {
public:
    TOpenDialog(QWidget* owner, TUserDialogs*& dialogs) : Owner(owner), Dialogs(dialogs) {}

    // Shows the dialog; true when the user chose a file, which then becomes FileName.
    bool Execute();
    const QString& FileName() const { return Name; }
    void SetFileName(const QString& name) { Name = name; }

private:
    QWidget* Owner;
    TUserDialogs*& Dialogs;
    QString Name;
};
