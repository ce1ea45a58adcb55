#include "app/ErrorHandler.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "app/UserDialogs.h"
#include "samples/ErrorMessage.h"

QString ProgramTitle() {
    QString path = QCoreApplication::applicationFilePath();
    if (path.isEmpty())
        return QCoreApplication::applicationName();
    QString name = QFileInfo(path).fileName();
    qsizetype dot = name.lastIndexOf('.');
    return dot > 0 ? name.left(dot) : name;
}

void RunGuarded(TUserDialogs& dialogs, QWidget* parent, const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        std::string text = MessageWithFullStop(ErrorText(std::current_exception()));
        dialogs.ShowError(parent, ProgramTitle(), QString::fromLocal8Bit(text.c_str()));
    }
}
