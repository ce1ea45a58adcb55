// riffscope: looks inside WAV files. An optional FILE argument is opened at start as if it
// had been chosen in the open dialog.

#include <QApplication>
#include <QTimer>

#include "Form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TForm1 form;
    form.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QString fileName = arguments.at(1);
        QTimer::singleShot(0, &form, [&form, fileName] { form.OpenAtStart(fileName); });
    }
    return app.exec();
}
