#pragma once
// The application's default error handler: an error that a command does not catch ends the
// command and is shown in a message box; the program then goes on.

#include <functional>

#include <QString>

class QWidget;
class TUserDialogs;

// The message box title: the program's file name without its extension.
QString ProgramTitle();

// Runs a command; any exception it throws goes to the message box, never to the event loop.
void RunGuarded(TUserDialogs& dialogs, QWidget* parent, const std::function<void()>& command);
