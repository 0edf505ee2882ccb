#pragma once

#include <QDialog>
#include <QString>

#include "settings/settings.h"
#include "settings/setup_options.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace brenvale {

// What the options dialog opens with and where it writes.
struct SetupContext {
    Settings settings;
    ViewColours colours;
    int autoSaveInterval = 600000;
    QString programFolder;  // offered as the second entry of both folder lists
    QString programPath;    // what the file-type association starts
    QString settingsFile;
};

// The options dialog (TFrmSetup): four pages over the working copy of SetupValues. OK writes
// every option to the settings file and applies it through the target at once; Cancel does
// neither. The association button of the third page acts at once.
class SetupDialog : public QDialog {
    Q_OBJECT
public:
    SetupDialog(SetupContext context, SetupTarget& target, QWidget* parent = nullptr);

    // The extension the association page registers.
    static constexpr const char* kExtension = ".bnv";

private:
    QWidget* viewPage();
    QWidget* colourPage();
    QWidget* extensionPage();
    QWidget* savePage();
    void fill();
    void applyEnabling();
    void showColours();
    void chooseColour(ViewColour which);
    void chooseFolder(bool temporary);
    void showAssociationMode();
    void btnExtClick();
    void btnOkClick();
    void btnHelpClick();
    SetupValues collect() const;

    SetupContext context_;
    SetupTarget& target_;
    SetupValues values_;
    CustomColourList customColours_;
    QString openedMark_;
    bool registered_ = false;

    QTabWidget* pgc_ = nullptr;
    QCheckBox* cbMoving_ = nullptr;
    QCheckBox* cbTitleFull_ = nullptr;
    QCheckBox* cbTitleFullActive_ = nullptr;
    QCheckBox* cbList1_ = nullptr;
    QCheckBox* cbList2_ = nullptr;
    QLabel* lblList_ = nullptr;
    QComboBox* cmbList_ = nullptr;
    QCheckBox* cbListBold_ = nullptr;
    QCheckBox* cbListItalic_ = nullptr;
    QCheckBox* cbListUnderline_ = nullptr;
    QLabel* pnlTreeColor_ = nullptr;
    QLabel* pnlListColor_ = nullptr;
    QPushButton* btnExt_ = nullptr;
    QCheckBox* cbEveryS_ = nullptr;
    QCheckBox* cbSpRemv_ = nullptr;
    QCheckBox* cbBackUp_ = nullptr;
    QLabel* lblBakPass_ = nullptr;
    QComboBox* cmbBakPass_ = nullptr;
    QPushButton* btnBakPass_ = nullptr;
    QRadioButton* rbAutoSave_ = nullptr;
    QRadioButton* rbAutoSaveTmp_ = nullptr;
    QRadioButton* rbAutoSaveU_ = nullptr;
    QLabel* lblTmpPass_ = nullptr;
    QComboBox* cmbTmpPass_ = nullptr;
    QPushButton* btnTmpPass_ = nullptr;
    QCheckBox* cbAutoSave_ = nullptr;
    QLabel* lblAutoSave_ = nullptr;
    QComboBox* cmbAutoSave_ = nullptr;
    QLabel* lblFun_ = nullptr;
};

}  // namespace brenvale
