#pragma once

#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace brenvale {

// Asks what a print or a PDF shows before either starts: the whole document or the selected
// Topic with the Topics below it, and whether checked Items are printed in grey.
class PrintOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // topicCaption: the selected Topic's caption, empty when none is selected (the whole
    // document is then the only choice).
    PrintOptionsDialog(QWidget* parent, const QString& title, const QString& topicCaption,
                       bool wholeDocument, bool greyChecked);

    bool wholeDocument() const;
    bool greyChecked() const;

    QRadioButton* wholeButton() const { return whole_; }
    QRadioButton* topicButton() const { return topic_; }
    QCheckBox* greyBox() const { return grey_; }

private:
    QRadioButton* whole_;
    QRadioButton* topic_;
    QCheckBox* grey_;
};

}  // namespace brenvale
