#include "app/UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "app/ProgressWindow.h"

std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* parent, const QString& lastName) {
    // No title or default extension of its own: the system's.
    auto dialog = std::make_unique<QFileDialog>(
        parent, QString(), lastName,
        QStringLiteral("WAV files (*.wav *.wave *.bwf *.rf64);;All files (*)"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    return dialog;
}

std::optional<QString> TPlatformDialogs::ChooseFileToOpen(QWidget* parent,
                                                          const QString& lastName) {
    const std::unique_ptr<QFileDialog> dialog = MakeOpenDialog(parent, lastName);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().first();
}

std::optional<QString> TPlatformDialogs::ChooseFileToSave(QWidget* parent,
                                                          const QString& suggestedName) {
    QFileDialog dialog(parent, QStringLiteral("Save Picture As"), suggestedName,
                       QStringLiteral("PNG pictures (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

void TPlatformDialogs::ShowError(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

void TPlatformDialogs::ShowInformation(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

std::unique_ptr<TProgress> TPlatformDialogs::StartProgress(QWidget* parent, const QString& label) {
    return std::make_unique<TProgressWindow>(parent, label);
}
