#include "ui/option_bindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTextBoundaryFinder>
#include <QValidator>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/codec.h"
#include "ui/colours.h"

namespace brenvale {

namespace {

// The mark: any text of at most two CP932 bytes, a character beyond CP932 counting as one
// double-byte character, whatever code points it takes.
class MarkValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        std::vector<std::string> characters;
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, input);
        for (qsizetype start = 0, end = graphemes.toNextBoundary(); end > start;
             start = end, end = graphemes.toNextBoundary()) {
            characters.push_back(ToCp932(input.mid(start, end - start)));
        }
        return MarkFits(characters) ? Acceptable : Invalid;
    }
};

}  // namespace

void CheckBinding::Show(const OptionValues& values) {
    box_->setChecked(values.settings.*field_);
}

void CheckBinding::Take(OptionValues& values) const {
    values.settings.*field_ = box_->isChecked();
}

void ModeBinding::Show(const OptionValues& values) {
    const AutoSaveMode mode = values.settings.*field_;
    buttons_[mode == AutoSaveMode::OverDocument ? 2
             : mode == AutoSaveMode::TempCopy   ? 1
                                                : 0]
        ->setChecked(true);
}

void ModeBinding::Take(OptionValues& values) const {
    values.settings.*field_ = buttons_[2]->isChecked()   ? AutoSaveMode::OverDocument
                              : buttons_[1]->isChecked() ? AutoSaveMode::TempCopy
                                                         : AutoSaveMode::Off;
}

IntervalBinding::IntervalBinding(QComboBox* combo, int OptionValues::*field)
    : combo_(combo), field_(field) {
    for (int minutes : IntervalMinutes()) {
        combo_->addItem(QString::number(minutes));
    }
}

void IntervalBinding::Show(const OptionValues& values) {
    combo_->setCurrentIndex(static_cast<int>(IntervalEntryFor(values.*field_)));
}

void IntervalBinding::Take(OptionValues& values) const {
    values.*field_ = IntervalOfEntry(static_cast<size_t>(std::max(0, combo_->currentIndex())));
}

void FolderBinding::Show(const OptionValues& values) {
    choice_ = FolderChoice::Open(values.settings.*field_, ToUtf8(programFolder_));
    Fill();
}

void FolderBinding::Take(OptionValues& values) const {
    // A list entry keeps its own bytes; typed text is taken as the user sees it.
    QString text = combo_->currentText();
    int index = combo_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    values.settings.*field_ = index >= 0 && static_cast<size_t>(index) < choice_.entries.size()
                                  ? StoredFolder(choice_.entries[static_cast<size_t>(index)])
                                  : StoredFolder(ToUtf8(text));
}

void FolderBinding::Choose(const QString& folder) {
    choice_.Choose(ToUtf8(folder));
    Fill();
}

void FolderBinding::Fill() {
    combo_->clear();
    for (const std::string& entry : choice_.entries) {
        combo_->addItem(FromUtf8(entry));
    }
    combo_->setCurrentIndex(static_cast<int>(choice_.selected));
}

MarkBinding::MarkBinding(QComboBox* combo, std::string Settings::*field)
    : combo_(combo), field_(field) {
    combo_->setEditable(true);
    combo_->setValidator(new MarkValidator(combo_));
    combo_->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view mark : MarkEntries()) {
        combo_->addItem(FromUtf8(mark));
    }
}

void MarkBinding::Show(const OptionValues& values) {
    const std::string& mark = values.settings.*field_;
    if (std::optional<size_t> entry = MarkEntryFor(mark)) {
        combo_->setCurrentIndex(static_cast<int>(*entry));
    } else {
        combo_->setCurrentIndex(-1);
        combo_->setEditText(FromCp932(mark));
    }
    opened_ = combo_->currentText();
}

void MarkBinding::Take(OptionValues& values) const {
    if (combo_->currentText() != opened_) {
        std::string& mark = values.settings.*field_;
        mark = ToCp932(combo_->currentText());
    }
}

void ColourBinding::Show(const OptionValues& values) {
    chosen_ = false;
    setColour(values.colours.*field_);
}

void ColourBinding::Take(OptionValues& values) const {
    values.colours.*field_ = colour_;
    if (chosen_) {
        FollowsDesktopFlag(values.colours, field_) = false;
    }
}

void ColourBinding::choose(Colour colour) {
    chosen_ = true;
    setColour(colour);
}

void ColourBinding::setColour(Colour colour) {
    colour_ = colour;
    QPalette palette = panel_->palette();
    palette.setColor(role_ == Role::Background ? QPalette::Window : QPalette::WindowText,
                     ToQColor(colour));
    panel_->setPalette(palette);
}

}  // namespace brenvale
