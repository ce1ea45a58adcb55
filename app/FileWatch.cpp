#include "app/FileWatch.h"

#include <QEvent>
#include <QFile>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

TFileWatch::TFileWatch(QWidget* window) : QObject(window) {
    Watcher = new QFileSystemWatcher(this);
    connect(Watcher, &QFileSystemWatcher::fileChanged, this, [this] { Check(); });
    Poll = new QTimer(this);
    Poll->setInterval(PollMs);
    connect(Poll, &QTimer::timeout, this, [this] { Check(); });
    window->installEventFilter(this);
}

void TFileWatch::Watch(const std::string& name, std::shared_ptr<const TFileBytes> bytes) {
    if (bytes == Bytes && name == Name)
        return;
    if (!Watcher->files().isEmpty())
        Watcher->removePaths(Watcher->files());
    Poll->stop();
    Changed.clear();
    Bytes = bytes && bytes->IsMapped() ? std::move(bytes) : nullptr;
    Name = Bytes ? name : std::string();
    if (!Bytes)
        return;
    Opened = FileStateOf(Name);
    // Opened a moment ago: a size other than the mapping's is a change already.
    Opened.Size = Bytes->Size();
    Watcher->addPath(QFile::decodeName(Name.c_str()));
    Poll->start();
    Look(); // the caller shows what it finds
}

void TFileWatch::Check() {
    if (Look() && OnChanged)
        OnChanged();
}

bool TFileWatch::Look() {
    if (!Bytes || !Changed.isEmpty())
        return false;
    std::string change = FileChangeText(Opened, FileStateOf(Name));
    // A read through the mapping that found bytes gone, between two looks at the file.
    if (change.empty() && Bytes->Changed())
        change = "it was written to";
    if (change.empty())
        return false;
    Changed = QString::fromStdString(change);
    Poll->stop();
    return true;
}

bool TFileWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Check();
    return QObject::eventFilter(watched, event);
}

QString ChangedFileNotice(const QString& change) {
    return QStringLiteral("The file changed on disk: %1. What is shown is the file as it was "
                          "loaded. <a href=\"reload\">Reload it</a>")
        .arg(change.toHtmlEscaped());
}

QString ChangedFileFacts(const QString& change) {
    return QStringLiteral("The file changed on disk since it was loaded: %1. These facts are of "
                          "the file as it was; reload it to see it as it is now.")
        .arg(change);
}
