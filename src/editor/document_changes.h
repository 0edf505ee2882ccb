#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "common/file_identity.h"
#include "document/document.h"
#include "document/text_store.h"

namespace brenvale {

class DocumentSession;
class OutlineImport;
class ProgressCounts;
class ScheduleIndex;
class TreeRows;
class UndoChange;
class UndoHistory;
class ViewNotifier;
class VisibleList;
struct ImportedTopics;
struct PasteResult;
struct TreeRowChange;

// The one way the editor changes its Document. Each operation changes the model, tells the
// views (the tree's changes always, and the tree's rows, which follow them; an Item change
// when its Topic's list is the one shown and the Item shows in a row of it, whose bookkeeping
// follows), keeps the progress counts, and records the change in the undo history, all in one
// call, so no command can change the Document without its step and its views knowing. The
// toggles of recorded changes use the same operations while the history replays, which records
// nothing then. Items are named by their index in their Topic's list, never by the row that
// shows them.
class DocumentChanges {
public:
    DocumentChanges(DocumentSession& session, UndoHistory& history, ViewNotifier& views,
                    VisibleList& list, TreeRows& rows, ProgressCounts& progress,
                    ScheduleIndex& index)
        : session_(session),
          history_(history),
          views_(views),
          list_(list),
          rows_(rows),
          progress_(progress),
          index_(index) {}
    DocumentChanges(const DocumentChanges&) = delete;
    DocumentChanges& operator=(const DocumentChanges&) = delete;

    // ---- Topics
    // A new Topic made from text (a trailing icon suffix gives the icon), expanded, as the
    // last sibling at the level of reference, or as its last child.
    Topic& addTopic(Topic* reference, bool asChild, std::string_view text, int icon,
                    int imageCount);
    // Pastes a tree clipboard text (see PasteTreeText); the views hear of each new subtree
    // once the paste has made them all.
    PasteResult pasteTree(Topic* current, std::string_view text, int imageCount);
    // Adds an imported outline as new top-level Topics after the last one (see
    // OutlineImport::build); the views hear of each once the import has made them all.
    ImportedTopics importOutline(OutlineImport& outline, int imageCount,
                                 std::string_view sourceName);
    void removeTopic(Topic* t);
    // As Document::move.
    void moveTopic(Topic* t, Topic* parent, size_t row);
    // Properties: recorded only inside a step (a change the window derives, as the trash
    // icon of a list just loaded or a Topic the user folded, is no step of its own).
    void setCaption(Topic* t, std::string_view caption);
    void setIcon(Topic* t, int icon);
    void setExpanded(Topic* t, bool expanded);
    // Every Topic expanded; the views hear of it once.
    void expandAll();
    // top and every Topic below it expanded, each as setExpanded.
    void expandSubtree(Topic* top);
    // A trash Topic shows whether its list holds Items (icon 5) or not (icon 4).
    void applyTrashRule(Topic* t);

    // ---- Items of a Topic's list
    // Unchecked Items made from texts, from row on (texts are made file-safe as they enter).
    void insertItems(Topic* t, size_t row, const std::vector<std::string_view>& texts);
    // One Item in its stored form: mark, then text.
    void insertItem(Topic* t, size_t row, std::string_view mark, std::string_view text);
    void eraseItem(Topic* t, size_t row);
    void moveItem(Topic* t, size_t from, size_t to);
    // Gives Item row the stored form mark followed by text.
    void setItem(Topic* t, size_t row, std::string_view mark, std::string_view text);
    void setChecked(Topic* t, size_t row, bool checked);
    // Puts t's Items in a new order: order[k] is the Item that goes to row k.
    void reorderItems(Topic* t, const std::vector<uint32_t>& order);

    // ---- The whole Document (document_replacement.cpp)
    // Puts doc in place of the Document as one recorded change, the document then standing on
    // version standsOn of its file; undo gives back the Document as it was, standing on the
    // version it stood on. The views are reset; the caller selects a Topic of the new one.
    // inEffect (optional) follows whether doc is the Document in place.
    void replaceDocument(std::unique_ptr<Document> doc, std::optional<FileIdentity> standsOn,
                         std::shared_ptr<bool> inEffect = nullptr);

    // ---- What the toggles of recorded changes do
    void swapDocument(std::unique_ptr<Document>& other, std::optional<FileIdentity>& otherFile);
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
    bool shown(const Topic* t) const;
    void insertStored(Topic* t, size_t row, size_t count,
                      const std::function<void(ItemList&)>& insert);
    void changeItem(Topic* t, size_t row, TextRef before, bool looksChanged, bool textChanged);
    // The row Item row of t shows in, when t's list is the one shown and the Item shows.
    std::optional<size_t> shownRow(const Topic* t, size_t row) const;
    // Whether the tree's rows follow this change (not during a bulk build of the tree).
    bool rowsFollow() const;
    void tellRowsBefore(const TreeRowChange& change);
    void tellRowsAfter(const TreeRowChange& change);
    // The row of t (nullptr: none) looks different: its expand button or state.
    void repaintRow(const Topic* t);
    void changeExpansion(Topic* t, bool expanded);

    DocumentSession& session_;
    UndoHistory& history_;
    ViewNotifier& views_;
    VisibleList& list_;
    TreeRows& rows_;
    ProgressCounts& progress_;
    ScheduleIndex& index_;
};

}  // namespace brenvale
