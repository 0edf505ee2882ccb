#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

#include "settings/command_entry.h"
#include "settings/shortcut_key_list.h"

class QCheckBox;
class QListWidget;
class QPushButton;
class QTreeView;

namespace brenvale {

class CommandActions;
class ImageLists;
class KeyTableModel;

// The shortcut key dialog: the commands with their keys, a key list and three
// modifier boxes to compose a key, import and export of ".key" files. OK gives the commands
// their keys at once and rewrites the program's shortcut file.
class ShortcutKeyDialog : public QDialog {
    Q_OBJECT
public:
    ShortcutKeyDialog(CommandActions& actions, const ImageLists& images, QString shortcutFile,
                      QWidget* parent = nullptr);
    ~ShortcutKeyDialog() override;

    ShortcutKeyList& keys() { return keys_; }
    QTreeView* keyView() const { return lvKey_; }
    QListWidget* keyList() const { return lbKey_; }
    QCheckBox* shiftBox() const { return cbShift_; }
    QCheckBox* ctrlBox() const { return cbCtrl_; }
    QCheckBox* altBox() const { return cbAlt_; }
    QPushButton* okButton() const { return btnOk_; }
    // The selected row, in display order.
    std::optional<size_t> selectedRow() const;
    void selectRow(size_t row);

    // What the load and save buttons do once a file is chosen.
    void importFile(const QString& path);
    void exportFile(const QString& path);

private:
    void buildLayout();
    // Sizes each column to its widest text, at least its designed width; the columns' total.
    int sizeColumnsToContents();
    void lvKeySelectItem(size_t row);
    void lbKeyClick();
    void lvKeyColumnClick(int column);
    void btnOkClick();
    void btnLoadClick();
    void btnSaveClick();

    CommandActions& actions_;
    const QString shortcutFile_;
    std::vector<CommandEntry> commands_;
    ShortcutKeyList keys_;
    KeyTableModel* model_ = nullptr;
    QTreeView* lvKey_ = nullptr;
    QListWidget* lbKey_ = nullptr;
    QCheckBox* cbShift_ = nullptr;
    QCheckBox* cbCtrl_ = nullptr;
    QCheckBox* cbAlt_ = nullptr;
    QPushButton* btnOk_ = nullptr;
    QString openFile_;
    QString saveFile_;
};

}  // namespace brenvale
