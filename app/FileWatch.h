#pragma once
// Watches the file the window shows: a file cut short, written to or replaced while it is
// shown (its samples are read where they lie, through a mapping) is noticed at once where the
// system tells of it, and else when the window is activated or within a few seconds.

#include <functional>
#include <memory>
#include <string>

#include <QObject>
#include <QString>

#include "wave/FileBytes.h"
#include "wave/FileState.h"

class QFileSystemWatcher;
class QTimer;

class TFileWatch : public QObject {
    Q_OBJECT
  public:
    // Checks again whenever `window` is activated.
    explicit TFileWatch(QWidget* window);

    // Watches `name`, opened as `bytes` (nothing for a stream, or no file). The same bytes
    // again change nothing: the file is the one already watched.
    void Watch(const std::string& name, std::shared_ptr<const TFileBytes> bytes);
    // Looks at the file now; tells OnChanged the first time it finds it changed.
    void Check();

    // How the file changed since it was opened, in words; empty while it has not.
    const QString& Change() const { return Changed; }
    std::function<void()> OnChanged;

    // How often the file is looked at when nothing else tells of a change.
    static constexpr int PollMs = 2000;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Looks at the file; true when it finds it changed now, for the first time.
    bool Look();

    QFileSystemWatcher* Watcher;
    QTimer* Poll;
    std::string Name;
    std::shared_ptr<const TFileBytes> Bytes;
    TFileState Opened;
    QString Changed;
};

// The window's words for a file that changed: the notice (with its link to load it again) and
// the line that heads the facts.
QString ChangedFileNotice(const QString& change);
QString ChangedFileFacts(const QString& change);
