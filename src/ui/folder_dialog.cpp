#include "ui/folder_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace brenvale {

FolderDialog::FolderDialog(QWidget* owner)
    : QObject(owner), owner_(owner), title_(QStringLiteral("フォルダーの選択")) {}

bool FolderDialog::execute() {
    QFileDialog dialog(owner_, title_);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    QFileInfo preset(directory_);
    // Text that is no existing folder (the "※" entry, say) preselects nothing.
    dialog.setDirectory(!directory_.isEmpty() && preset.isDir() ? preset.absoluteFilePath()
                                                                : QDir::homePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    directory_ = QDir::toNativeSeparators(dialog.selectedFiles().first());
    return true;
}

}  // namespace brenvale
