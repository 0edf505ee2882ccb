#include "ui/file_watch.h"

#include <QEvent>
#include <QFileInfo>

#include "ui/codec.h"
#include "ui/error_report.h"

namespace brenvale {

namespace {

// Makes the watcher watch exactly these paths of one kind.
void Watch(QFileSystemWatcher& watcher, const QStringList& now, const QStringList& wanted) {
    for (const QString& path : now) {
        if (!wanted.contains(path)) {
            watcher.removePath(path);
        }
    }
    for (const QString& path : wanted) {
        if (!now.contains(path)) {
            watcher.addPath(path);
        }
    }
}

// The folder itself when it is there, else the nearest folder above it that is.
QString NearestFolder(QString folder) {
    while (!QFileInfo(folder).isDir()) {
        QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder) {
            break;
        }
        folder = parent;
    }
    return folder;
}

}  // namespace

FileWatch::FileWatch(Editor& editor, QObject* window)
    : QObject(window),
      editor_(editor),
      watcher_(new QFileSystemWatcher(this)),
      observation_(editor, this) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &FileWatch::check);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &FileWatch::checkSoon);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &FileWatch::checkSoon);
    window->installEventFilter(this);
    follow();
}

void FileWatch::checkSoon() {
    if (!timer_.isActive()) {
        waiting_.start();
    } else if (waiting_.elapsed() >= kLongestWaitMs) {
        return;  // a folder that never rests is looked at all the same
    }
    timer_.start(kSettleMs);
}

bool FileWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        checkSoon();
    }
    return QObject::eventFilter(watched, event);
}

void FileWatch::documentFileChanged() {
    follow();
}

void FileWatch::follow() {
    QStringList files;
    QStringList folders;
    const DocumentSession& session = editor_.session();
    if (session.hasName()) {
        QFileInfo file(FromUtf8(session.fileName()));
        if (file.exists()) {
            files << file.absoluteFilePath();
        }
        // While the document's folder is missing (deleted, or on a medium not mounted), the
        // nearest folder above it that is there is watched: the folder made again is seen,
        // and so, one level at a time, is the file written in it.
        QString folder = NearestFolder(file.absolutePath());
        if (standIn_ && folder == file.absolutePath()) {
            // Back: what was written in it before it was watched again is looked at too.
            checkSoon();
        }
        standIn_ = folder != file.absolutePath();
        folders << folder;
        // The file a symbolic link names is replaced in its own folder.
        QString target = file.canonicalFilePath();
        if (!target.isEmpty()) {
            QString targetFolder = QFileInfo(target).absolutePath();
            if (targetFolder != folders.front()) {
                folders << targetFolder;
            }
        }
    }
    Watch(*watcher_, watcher_->files(), files);
    Watch(*watcher_, watcher_->directories(), folders);
}

void FileWatch::check() {
    bool done = true;
    RunReporting([&] { done = editor_.files().checkDocumentFile(); });
    // A file replaced by a rename is no longer watched: the new one is.
    follow();
    if (done) {
        ++looks_;
    } else {
        timer_.start(kRetryMs);
    }
}

}  // namespace brenvale
