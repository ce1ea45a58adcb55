#include "OpenDialog.h"

#include "UserDialogs.h"

bool TOpenDialog::Execute() {
    auto chosen = Dialogs->ChooseFileToOpen(Owner, Name);
    if (!chosen)
        return false;
    Name = *chosen;
    return true;
}
