#pragma once

#include <QDialog>

#include <optional>

#include "editor/tag_edit.h"

class QComboBox;
class QLineEdit;

namespace brenvale {

// The dialog of the tag commands: the tag to add (typed, or chosen among the document's tags),
// to take away (among the Item's), or to rename (one of the Item's, and its new name). OK is
// taken only when the answer is a tag; otherwise the dialog says why and stays open.
class TagDialog : public QDialog {
    Q_OBJECT
public:
    TagDialog(const TagEditRequest& request, QWidget* parent = nullptr);

    TagEditAnswer answer() const;
    QComboBox* nameBox() const { return name_; }
    QLineEdit* newNameBox() const { return to_; }

    // Shows the dialog; nothing when it was cancelled.
    static std::optional<TagEditAnswer> Ask(QWidget* parent, const TagEditRequest& request);

private:
    void accept() override;

    TagEditRequest request_;
    QComboBox* name_;
    QLineEdit* to_ = nullptr;
};

}  // namespace brenvale
