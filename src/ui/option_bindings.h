#pragma once

#include <QString>

#include <array>
#include <string>

#include "settings/option_choices.h"
#include "settings/option_table.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace brenvale {

// One control of the options dialog bound to one option: it shows the option's value and
// gives it back. While the dialog is open the control holds the value.
class OptionBinding {
public:
    virtual ~OptionBinding() = default;
    virtual void Show(const OptionValues& values) = 0;
    virtual void Take(OptionValues& values) const = 0;
};

// A check box: a bool option.
class CheckBinding : public OptionBinding {
public:
    CheckBinding(QCheckBox* box, bool Settings::*field) : box_(box), field_(field) {}
    void Show(const OptionValues& values) override;
    void Take(OptionValues& values) const override;

private:
    QCheckBox* box_;
    bool Settings::*field_;
};

// Radio buttons in the order of the modes (off, temporary copy, over the document): the
// auto-save mode.
class ModeBinding : public OptionBinding {
public:
    ModeBinding(std::array<QRadioButton*, 3> buttons, AutoSaveMode Settings::*field)
        : buttons_(buttons), field_(field) {}
    void Show(const OptionValues& values) override;
    void Take(OptionValues& values) const override;

private:
    std::array<QRadioButton*, 3> buttons_;
    AutoSaveMode Settings::*field_;
};

// A drop-down list of the interval entries: an interval in milliseconds.
class IntervalBinding : public OptionBinding {
public:
    IntervalBinding(QComboBox* combo, int OptionValues::*field);
    void Show(const OptionValues& values) override;
    void Take(OptionValues& values) const override;

private:
    QComboBox* combo_;
    int OptionValues::*field_;
};

// An editable combo box of folders: the document's own folder, the program's folder and one
// more. Text that begins with "※" stores the token of the document's own folder.
class FolderBinding : public OptionBinding {
public:
    FolderBinding(QComboBox* combo, std::string Settings::*field, QString programFolder)
        : combo_(combo), field_(field), programFolder_(std::move(programFolder)) {}
    void Show(const OptionValues& values) override;
    void Take(OptionValues& values) const override;
    // A folder chosen in the folder browser.
    void Choose(const QString& folder);

private:
    void Fill();

    QComboBox* combo_;
    std::string Settings::*field_;
    QString programFolder_;
    FolderChoice choice_;
};

// An editable combo box of marks: the mark's CP932 text. A text left as it opened keeps its
// bytes, also bytes the list could not have produced.
class MarkBinding : public OptionBinding {
public:
    MarkBinding(QComboBox* combo, std::string Settings::*field);
    void Show(const OptionValues& values) override;
    void Take(OptionValues& values) const override;

private:
    QComboBox* combo_;
    std::string Settings::*field_;
    QString opened_;
};

// A sample panel: a colour as its background or as its text. A colour the user chooses makes
// its view keep its colours, instead of following the desktop.
class ColourBinding : public OptionBinding {
public:
    enum class Role { Background, Text };

    ColourBinding(QLabel* panel, Colour ViewColours::*field, Role role)
        : panel_(panel), field_(field), role_(role) {}
    void Show(const OptionValues& values) override;
    void Take(OptionValues& values) const override;
    Colour colour() const { return colour_; }
    // The user chose the colour.
    void choose(Colour colour);

private:
    void setColour(Colour colour);

    QLabel* panel_;
    Colour ViewColours::*field_;
    Role role_;
    Colour colour_ = 0;
    bool chosen_ = false;
};

}  // namespace brenvale
