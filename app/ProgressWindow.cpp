#include "app/ProgressWindow.h"

#include <algorithm>

#include <QApplication>
#include <QProgressDialog>

namespace {

constexpr int Steps = 1000;

} // namespace

TProgressWindow::TProgressWindow(QWidget* parent, const QString& label, int delayMs)
    : Parent(parent), Label(label), DelayMs(delayMs) {
    Clock.start();
}

TProgressWindow::~TProgressWindow() {
    if (Window)
        QApplication::restoreOverrideCursor();
}

QString TProgressWindow::LabelText() const {
    return Note.isEmpty() ? Label : Label + QStringLiteral("\n\n") + Note;
}

void TProgressWindow::SetNote(const QString& note) {
    Note = note;
    if (Window)
        Window->setLabelText(LabelText());
}

bool TProgressWindow::Step(std::uint64_t done, std::uint64_t total) {
    if (!Window) {
        if (Clock.elapsed() < DelayMs) {
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        }
        Window = std::make_unique<QProgressDialog>(LabelText(), QStringLiteral("Cancel"), 0, Steps,
                                                   Parent);
        Window->setWindowModality(Qt::WindowModal);
        Window->setMinimumDuration(0);
        Window->setAutoClose(false);
        Window->setAutoReset(false);
        Window->show();
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    const auto part =
        total == 0 ? Steps : int(std::min<std::uint64_t>(done, total) * Steps / total);
    Window->setValue(part);
    QApplication::processEvents(); // the dialog is modal: only its Cancel takes input
    return !Window->wasCanceled();
}
