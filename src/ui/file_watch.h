#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include "editor/editor.h"

namespace brenvale {

// Watches the open document's file for changes by other programs and has the editor look at
// it (Editor::checkDocumentFile). The file and its folder are both watched: a file replaced
// by a rename (how sync tools and safe saves write) or deleted and made again is seen in the
// folder, and the file is watched again in its new form. A folder deleted and made again is
// seen in the nearest folder above it that is still there. Events come in bursts, so the look
// comes a short moment after the last one; the window's activation asks for one too. While
// the editor is busy (a dialog of the program is up) it looks again a little later.
class FileWatch : public QObject, private EditorObserver {
    Q_OBJECT
public:
    // How long after the last event the file is looked at, at most how long a stream of events
    // puts that off, and how soon a look the editor could not take is tried again.
    static constexpr int kSettleMs = 200;
    static constexpr int kLongestWaitMs = 2000;
    static constexpr int kRetryMs = 500;

    // window: its activation asks for a look.
    FileWatch(Editor& editor, QObject* window);

    // A look at the file a short moment from now.
    void checkSoon();
    // The paths watched now.
    QStringList watchedFiles() const { return watcher_->files(); }
    QStringList watchedFolders() const { return watcher_->directories(); }
    // How many looks the editor has taken.
    int looks() const { return looks_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void documentFileChanged() override;
    // Watches what the editor's document needs, and nothing else.
    void follow();
    void check();

    Editor& editor_;
    QFileSystemWatcher* watcher_;
    QTimer timer_;
    QElapsedTimer waiting_;
    EditorObservation observation_;
    int looks_ = 0;
    // A folder above the document's is watched while the document's own folder is missing.
    bool standIn_ = false;
};

}  // namespace brenvale
