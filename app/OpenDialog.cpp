#include "app/OpenDialog.h"

#include <QFileInfo>

#include "app/UserDialogs.h"

bool TOpenDialog::Execute() {
    auto chosen = Dialogs->ChooseFileToOpen(Owner, Name.isEmpty() ? InitialFolder : Name);
    if (!chosen)
        return false;
    SetFileName(*chosen);
    return true;
}

void TOpenDialog::SetFileName(const QString& name) {
    Name = name;
    if (OnFolderChosen && !name.isEmpty())
        OnFolderChosen(QFileInfo(name).absolutePath());
}
