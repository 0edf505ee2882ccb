#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "document/document.h"
#include "document/text_store.h"

namespace brenvale {

class Editor;
class UndoChange;
class UndoHistory;

// The one way the editor changes its Document. Each change is carried out, told to the
// tree's observers and recorded in the undo history as an UndoChange, so no command can change
// the Document without its step knowing. The changes' own toggles use the same operations
// while the history replays, which records nothing then.
//
// Item changes are not told to the list's observers here: the commands tell them with the
// visible list's bookkeeping, and an undo or redo loads the list afresh.
class DocumentChanges {
public:
    DocumentChanges(Editor& editor, UndoHistory& history) : editor_(editor), history_(history) {}
    DocumentChanges(const DocumentChanges&) = delete;
    DocumentChanges& operator=(const DocumentChanges&) = delete;

    // ---- Topics
    // A Topic a model routine has just put into the tree (with its subtree).
    void topicInserted(const Topic& t);
    void removeTopic(Topic* t);
    // As Document::move; the observers hear of it.
    void moveTopic(Topic* t, Topic* parent, size_t row);
    // Properties: recorded only inside a step (a change the window derives, as the trash
    // icon of a list just loaded, is no step of its own).
    void setCaption(Topic* t, std::string_view caption);
    void setIcon(Topic* t, int icon);
    void setExpanded(Topic* t, bool expanded);

    // ---- Items of a Topic's list
    void insertItem(Topic* t, size_t row, std::string_view mark, std::string_view text);
    // count Items a model routine has just appended from row on.
    void itemsInserted(Topic* t, size_t row, size_t count);
    void eraseItem(Topic* t, size_t row);
    void moveItem(Topic* t, size_t from, size_t to);
    void setItem(Topic* t, size_t row, std::string_view mark, std::string_view text);
    void setChecked(Topic* t, size_t row, bool checked);

    // ---- What the toggles of recorded changes do
    Topic& putTopic(Topic* parent, size_t row, DetachedTopic t);
    DetachedTopic takeTopic(Topic* parent, size_t row);
    void swapCaption(Topic* t, Caption& other);
    void swapIcon(Topic* t, int& other);
    void swapExpanded(Topic* t, bool& other);
    void putItemRef(Topic* t, size_t row, TextRef ref);
    TextRef takeItemRef(Topic* t, size_t row);
    void swapItemRef(Topic* t, size_t row, TextRef& other);

private:
    Document& document() const;
    bool inStep() const;
    void record(std::unique_ptr<UndoChange> change);
    template <typename Fn>
    void notifyTree(Fn&& fn);
    void recordForm(Topic* t, size_t row, TextRef before);

    Editor& editor_;
    UndoHistory& history_;
};

}  // namespace brenvale
