#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace brenvale {

// The folder browser: opens at Directory when that is an existing folder and
// shows Title as its caption. After a confirmed choice Directory is the chosen folder.
class FolderDialog : public QObject {
    Q_OBJECT
public:
    explicit FolderDialog(QWidget* owner);

    QString directory() const { return directory_; }
    void setDirectory(const QString& directory) { directory_ = directory; }
    QString title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }

    // True when the user chose a folder; a cancel leaves Directory as it was.
    bool execute();

private:
    QWidget* owner_;
    QString directory_;
    QString title_;
};

}  // namespace brenvale
