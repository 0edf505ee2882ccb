#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <vector>

#include "settings/option_choices.h"
#include "settings/option_table.h"
#include "settings/option_writes.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace brenvale {

class ColourBinding;
class FolderBinding;
class OptionBinding;

// What the options dialog opens with and where it writes.
struct OptionsContext {
    OptionValues values;
    QString programFolder;  // offered as the second entry of both folder lists
    QString programPath;    // what the file-type association starts
    QString settingsFile;
};

// The options dialog: four pages whose controls are bound to the options. OK writes every
// option to the settings file and applies it through the target at once; Cancel does
// neither. The association button of the third page acts at once.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(OptionsContext context, OptionTarget& target, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // The extension the association page registers.
    static constexpr const char* kExtension = ".bnv";

private:
    QWidget* viewPage();
    QWidget* colourPage();
    QWidget* extensionPage();
    QWidget* savePage();
    QCheckBox* boundCheck(const char* name, const char* caption, bool Settings::*field);
    void fill();
    void applyEnabling();
    void chooseColour(ColourBinding* binding);
    void chooseFolder(FolderBinding* binding, QComboBox* combo, bool temporary);
    void showAssociationMode();
    void btnExtClick();
    void btnOkClick();
    void btnHelpClick();
    OptionValues collect() const;

    OptionsContext context_;
    OptionTarget& target_;
    OptionValues opened_;
    std::vector<std::unique_ptr<OptionBinding>> bindings_;
    CustomColourList customColours_;
    bool registered_ = false;
    bool filling_ = false;

    QTabWidget* pages_ = nullptr;
    QPushButton* associateButton_ = nullptr;
    // The controls the enabling rules switch.
    QCheckBox* cbTitleFullActive_ = nullptr;
    QLabel* markLabel_ = nullptr;
    QComboBox* markBox_ = nullptr;
    QCheckBox* cbListBold_ = nullptr;
    QCheckBox* cbListItalic_ = nullptr;
    QCheckBox* cbListUnderline_ = nullptr;
    QLabel* backupFolderLabel_ = nullptr;
    QComboBox* backupFolderBox_ = nullptr;
    QPushButton* backupFolderButton_ = nullptr;
    QLabel* tempFolderLabel_ = nullptr;
    QComboBox* tempFolderBox_ = nullptr;
    QPushButton* tempFolderButton_ = nullptr;
    QCheckBox* cbAutoSave_ = nullptr;
    QLabel* lblAutoSave_ = nullptr;
    QComboBox* cmbAutoSave_ = nullptr;
    QLabel* minutesLabel_ = nullptr;
};

}  // namespace brenvale
