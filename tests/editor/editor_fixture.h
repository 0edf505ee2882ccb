#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/tag_edit.h"
#include "support/temp_dir.h"

namespace brenvale::test {

// Document bytes from outline lines: two spaces per level, Items after ":" separated by ",",
// a checked one starting with "*".
inline std::string OutlineBytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        size_t depth = line.find_first_not_of(' ') / 2;
        std::string rest = line.substr(depth * 2);
        std::string tabs(depth, '\t');
        size_t colon = rest.find(':');
        bytes += tabs + rest.substr(0, colon) + "\r\n";
        for (size_t start = colon; start != std::string::npos;) {
            size_t comma = rest.find(',', start + 1);
            std::string item = rest.substr(start + 1, comma - start - 1);
            bool checked = !item.empty() && item[0] == '*';
            bytes += tabs + "\x08" + std::string(checked ? kCheckedMark : kUncheckedMark) +
                     item.substr(checked ? 1 : 0) + "\r\n";
            start = comma;
        }
    }
    return bytes;
}

// A host that records what the editor asks of the window and answers from a queue.
class FakeHost : public EditorHost {
public:
    struct Message {
        std::string text;
        MessageKind kind;
        MessageButtons buttons;
    };

    MessageAnswer ShowMessageBox(const std::string& text, MessageKind kind,
                                 MessageButtons buttons) override {
        messages.push_back({text, kind, buttons});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected message: " << text;
            return MessageAnswer::Cancel;
        }
        MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Beep() override { ++beeps; }
    bool ClipboardHasText() override { return clipboard.has_value(); }
    std::string ClipboardText() override { return clipboard.value_or(""); }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    void FocusEditBox(EditBox box) override { focus.push_back(box); }
    void EditRowInPlace(size_t row) override {
        windowCommands.push_back("edit row " + std::to_string(row));
    }
    void SetBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        EXPECT_GE(busyDepth, 0);
        if (busy && onBusy) {
            auto fn = onBusy;  // it may clear onBusy while it runs
            fn();
        }
    }
    std::optional<std::string> AskOpenFileName(const FileDialogOptions& options) override {
        return answerDialog(options);
    }
    std::optional<std::string> AskSaveFileName(const FileDialogOptions& options) override {
        return answerDialog(options);
    }
    bool IsMainWindowActive() override { return mainWindowActive; }
    bool IsApplicationActive() override { return applicationActive; }
    void SetAutoSaveTimer(bool enabled, int intervalMs) override {
        // A timer that is switched on while running keeps its period; a new period or a
        // switch from off starts a new one.
        if (enabled && (!timer.enabled || intervalMs != timer.interval)) {
            ++timer.starts;
        }
        timer.enabled = enabled;
        timer.interval = intervalMs;
    }
    void LaunchWithFile(const std::string& path) override { launched.push_back(path); }
    DocumentGeometry CurrentGeometry() override { return geometry; }
    void ApplyGeometry(const GeometryRead& read) override { applied.push_back(read); }
    void CloseWindow() override { windowCommands.push_back("close"); }
    void PopUpIconMenu() override { windowCommands.push_back("icon menu"); }
    void ShowOptionsDialog() override { windowCommands.push_back("options"); }
    void ShowShortcutKeyDialog() override { windowCommands.push_back("keys"); }
    void ShowToolbarDialog() override { windowCommands.push_back("toolbar"); }
    void ShowHelpContents() override { windowCommands.push_back("help"); }
    void ShowHelpSearch() override { windowCommands.push_back("help search"); }
    void ShowAboutBox() override { windowCommands.push_back("about"); }
    void ShowFindBar() override { windowCommands.push_back("find"); }
    void ShowFindResults() override { windowCommands.push_back("find results"); }
    // Records the file; the files stay where they are (the window's tests use the real trash).
    bool MoveToTrash(const std::string& path) override {
        trashed.push_back(path);
        return !refuseTrash;
    }
    void ChangeSwitch(bool Settings::*option, bool on) override {
        windowCommands.push_back(on ? "switch on" : "switch off");
        if (onSwitch) {
            onSwitch(option, on);
        }
    }
    void SetHideCheckedTimer(int delayMs) override { hideTimerDelays.push_back(delayMs); }
    std::optional<FileChoice> AskFile(const FileDialogOptions& options, bool save) override {
        std::optional<std::string> path = answerDialog(options);
        (void)save;
        if (!path) {
            return std::nullopt;
        }
        int filter = options.filterIndex;
        if (!filterAnswers.empty()) {
            filter = filterAnswers.front();
            filterAnswers.pop_front();
        }
        return FileChoice{*path, FilterDescriptionAt(options.filter, filter)};
    }
    void SetClockTimer(int delayMs) override { clockTimers.push_back(delayMs); }
    void ShowNotification(const Notification& note) override { notifications.push_back(note); }
    void RaiseWindow() override { windowCommands.push_back("raise"); }
    void ShowAgenda() override { windowCommands.push_back("agenda"); }
    std::optional<TagEditAnswer> AskTagEdit(const TagEditRequest& request) override {
        tagRequests.push_back(request);
        if (tagAnswers.empty()) {
            ADD_FAILURE() << "unexpected tag dialog";
            return std::nullopt;
        }
        std::optional<TagEditAnswer> answer = tagAnswers.front();
        tagAnswers.pop_front();
        return answer;
    }
    // The print options dialog answers with printWholeDocument and printGrey, or cancels.
    bool AskPrintOptions(PrintJob& job) override {
        windowCommands.push_back("print options");
        if (cancelPrint) {
            return false;
        }
        if (printWholeDocument) {
            job.topic = nullptr;
        }
        job.greyChecked = printGrey;
        return true;
    }
    void ShowPrintPreview(const PrintJob& job) override {
        windowCommands.push_back("print preview");
        printed.push_back(job);
    }
    bool WritePdf(const PrintJob& job, const std::string& path) override {
        windowCommands.push_back("pdf " + path);
        printed.push_back(job);
        if (onPdf) {
            return onPdf();
        }
        return true;
    }
    bool ScheduleFindSlice(int delayMs) override {
        findSlices.push_back(delayMs);
        return driveFindSlices;
    }

    std::optional<std::string> answerDialog(const FileDialogOptions& options) {
        dialogs.push_back(options);
        if (dialogAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        std::optional<std::string> answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        return answer;
    }

    struct Timer {
        bool enabled = false;
        int interval = 0;
        int starts = 0;
    };

    std::vector<Message> messages;
    std::deque<MessageAnswer> answers;
    std::vector<FileDialogOptions> dialogs;
    std::deque<std::optional<std::string>> dialogAnswers;
    bool mainWindowActive = true;
    bool applicationActive = true;
    Timer timer;
    std::vector<std::string> launched;
    DocumentGeometry geometry;
    std::vector<GeometryRead> applied;
    int beeps = 0;
    std::optional<std::string> clipboard;
    std::vector<EditBox> focus;
    int busyDepth = 0;
    // Runs each time the window shows the busy cursor (a write is about to start).
    std::function<void()> onBusy;
    // The window's own commands the editor asked for, in order.
    std::vector<std::string> windowCommands;
    // What the window does with a switch it stores (a test hands it to the editor).
    std::function<void(bool Settings::*, bool)> onSwitch;
    // Each start of the hide timer.
    std::vector<int> hideTimerDelays;
    // The filters chosen in the next file dialogs (by default the one shown first).
    std::deque<int> filterAnswers;
    // Each start of the clock's timer, the notifications shown, the tag dialogs and their
    // answers.
    std::vector<int> clockTimers;
    std::vector<Notification> notifications;
    std::vector<TagEditRequest> tagRequests;
    std::deque<std::optional<TagEditAnswer>> tagAnswers;
    std::vector<std::string> trashed;
    bool refuseTrash = false;
    bool cancelPrint = false;
    bool printWholeDocument = false;
    bool printGrey = false;
    std::vector<PrintJob> printed;
    // What writing a PDF does: false when the user stopped it (it may throw too).
    std::function<bool()> onPdf;
    // The slices of the find the editor asked for; with driveFindSlices the test runs them
    // itself, else every search finishes at once.
    std::vector<int> findSlices;
    bool driveFindSlices = false;
};

// A clock that stands still until a test moves it.
class FakeClock : public Clock {
public:
    explicit FakeClock(LocalTime time = {{2026, 12, 24}, 8 * 3600}) : time(time) {}
    LocalTime now() const override { return time; }
    void set(Date day, int hour, int minute = 0) { time = {day, hour * 3600 + minute * 60}; }
    void advance(int seconds) { time = LocalTime::FromCount(time.count() + seconds); }

    LocalTime time;
};

// The tree's rows worked out the slow way: every Topic whose ancestors are all expanded.
inline std::vector<Topic*> NaiveTreeRows(const Document& doc) {
    std::vector<Topic*> rows;
    ForEachTopic(doc, [&](Topic& t, int) {
        bool shown = true;
        for (const Topic* p = t.parent(); p && shown; p = p->parent()) {
            shown = p->expanded;
        }
        if (shown) {
            rows.push_back(&t);
        }
    });
    return rows;
}

// The editor's rows agree with the slow way, Topic for row and row for Topic.
inline void ExpectTreeRowsRight(const Editor& editor) {
    const TreeRows& rows = editor.tree().rows();
    std::vector<Topic*> naive = NaiveTreeRows(editor.document());
    ASSERT_TRUE(rows.current());
    ASSERT_EQ(rows.rowCount(), naive.size());
    for (size_t row = 0; row < naive.size(); ++row) {
        ASSERT_EQ(rows.topicAt(row), naive[row]) << "row " << row;
    }
    size_t position = 0;
    ForEachTopic(editor.document(), [&](Topic& t, int) {
        size_t row = rows.rowOf(&t);
        if (row != TreeRows::npos) {
            EXPECT_EQ(naive.at(row), &t);
        }
        EXPECT_EQ(rows.treeOrderIndex(&t), position++);
    });
    EXPECT_EQ(rows.topicAt(naive.size()), nullptr);
}

// Keeps a copy of the tree's shape, the tree's rows and the list's rows from the fine-grained
// notifications alone, as an item model would, so tests can check that they describe every
// change.
class MirrorObserver : public EditorObserver {
public:
    explicit MirrorObserver(Editor& editor) : editor_(editor) { resync(); }

    void beginInsertTopic(Topic* parent, size_t row) override { pending_ = {parent, row}; }
    void endInsertTopic() override {
        auto& kids = children_[pending_.first];
        Topic* added = editor_.document().sibling(pending_.first, pending_.second);
        kids.insert(kids.begin() + static_cast<long>(pending_.second), added);
        // A view asks for the children of an inserted Topic (a whole subtree put back) anew.
        ForEachInSubtree(*added, [&](Topic& t, int) {
            auto& below = children_[&t];
            below.clear();
            for (size_t i = 0; i < t.childCount(); ++i) {
                below.push_back(t.child(i));
            }
        });
    }
    void beginRemoveTopic(Topic* parent, size_t row) override {
        auto& kids = children_[parent];
        ASSERT_LT(row, kids.size());
        kids.erase(kids.begin() + static_cast<long>(row));
    }
    void beginMoveTopic(Topic* from, size_t fromRow, Topic* to, size_t toRow) override {
        auto& source = children_[from];
        ASSERT_LT(fromRow, source.size());
        Topic* t = source[fromRow];
        source.erase(source.begin() + static_cast<long>(fromRow));
        auto& target = children_[to];
        ASSERT_LE(toRow, target.size());
        target.insert(target.begin() + static_cast<long>(toRow), t);
    }
    void beginResetTree() override { ++resets; }
    void endResetTree() override {
        resyncTree();
        resyncRows();
    }

    void beginInsertTreeRows(size_t first, size_t count) override {
        ASSERT_LE(first, treeRows_.size());
        ASSERT_GT(count, 0u);
        pendingTreeRows_ = {first, count};
    }
    void endInsertTreeRows() override {
        auto [first, count] = pendingTreeRows_;
        for (size_t i = first; i < first + count; ++i) {
            treeRows_.insert(treeRows_.begin() + static_cast<long>(i),
                             editor_.tree().rows().topicAt(i));
        }
    }
    void beginRemoveTreeRows(size_t first, size_t count) override {
        ASSERT_GT(count, 0u);
        ASSERT_LE(first + count, treeRows_.size());
        treeRows_.erase(treeRows_.begin() + static_cast<long>(first),
                        treeRows_.begin() + static_cast<long>(first + count));
    }
    void beginMoveTreeRows(size_t first, size_t count, size_t destination) override {
        ASSERT_GT(count, 0u);
        ASSERT_LE(first + count, treeRows_.size());
        ASSERT_LE(destination, treeRows_.size());
        ASSERT_TRUE(destination < first || destination > first + count);
        std::vector<Topic*> moved(treeRows_.begin() + static_cast<long>(first),
                                  treeRows_.begin() + static_cast<long>(first + count));
        treeRows_.erase(treeRows_.begin() + static_cast<long>(first),
                        treeRows_.begin() + static_cast<long>(first + count));
        size_t at = destination > first ? destination - count : destination;
        treeRows_.insert(treeRows_.begin() + static_cast<long>(at), moved.begin(), moved.end());
    }
    void treeRowsChanged(size_t first, size_t count) override {
        ASSERT_GT(count, 0u);
        ASSERT_LE(first + count, treeRows_.size());
    }
    void beginResetTreeRows() override { ++rowResets; }
    void endResetTreeRows() override { resyncRows(); }

    void beginInsertItems(size_t first, size_t last) override { pendingRows_ = {first, last}; }
    void endInsertItems() override {
        for (size_t r = pendingRows_.first; r <= pendingRows_.second; ++r) {
            rows_.insert(rows_.begin() + static_cast<long>(r),
                         std::string(editor_.list().rowText(r)));
        }
    }
    void beginRemoveItem(size_t row) override {
        ASSERT_LT(row, rows_.size());
        rows_.erase(rows_.begin() + static_cast<long>(row));
    }
    void beginMoveItem(size_t from, size_t to) override {
        std::string text = rows_[from];
        rows_.erase(rows_.begin() + static_cast<long>(from));
        rows_.insert(rows_.begin() + static_cast<long>(to), text);
    }
    void itemsChanged(size_t first, size_t last) override {
        for (size_t row = first; row <= last; ++row) {
            rows_.at(row) = editor_.list().rowText(row);
        }
    }
    void beginResetList() override { ++listResets; }
    void endResetList() override { resyncList(); }

    // Whether the copy agrees with the editor.
    void check() const {
        std::vector<std::string> rows;
        for (size_t r = 0; r < editor_.list().rowCount(); ++r) {
            rows.emplace_back(editor_.list().rowText(r));
        }
        EXPECT_EQ(rows_, rows);
        std::map<Topic*, std::vector<Topic*>> actual;
        collect(actual);
        for (auto& [parent, kids] : actual) {
            auto it = children_.find(parent);
            std::vector<Topic*> mirrored =
                it == children_.end() ? std::vector<Topic*>{} : it->second;
            EXPECT_EQ(mirrored, kids);
        }
        // A tag filter shows fewer rows: its own tests check which.
        if (!editor_.tree().rows().filtered()) {
            EXPECT_EQ(treeRows_, NaiveTreeRows(editor_.document()));
            ExpectTreeRowsRight(editor_);
        } else {
            std::vector<Topic*> rows;
            for (size_t r = 0; r < editor_.tree().rows().rowCount(); ++r) {
                rows.push_back(editor_.tree().rows().topicAt(r));
            }
            EXPECT_EQ(treeRows_, rows);
        }
    }

    int resets = 0;
    int rowResets = 0;
    int listResets = 0;

private:
    void collect(std::map<Topic*, std::vector<Topic*>>& out) const {
        const Document& doc = editor_.document();
        auto& top = out[nullptr];
        for (size_t i = 0; i < doc.topLevelCount(); ++i) {
            top.push_back(doc.topLevel(i));
        }
        ForEachTopic(doc, [&](const Topic& t, int) {
            auto& kids = out[const_cast<Topic*>(&t)];
            for (size_t i = 0; i < t.childCount(); ++i) {
                kids.push_back(t.child(i));
            }
        });
    }
    void resyncTree() {
        std::map<Topic*, std::vector<Topic*>> actual;
        collect(actual);
        children_ = actual;
    }
    void resyncList() {
        rows_.clear();
        for (size_t r = 0; r < editor_.list().rowCount(); ++r) {
            rows_.emplace_back(editor_.list().rowText(r));
        }
    }
    void resyncRows() {
        treeRows_.clear();
        for (size_t r = 0; r < editor_.tree().rows().rowCount(); ++r) {
            treeRows_.push_back(editor_.tree().rows().topicAt(r));
        }
    }
    void resync() {
        resyncTree();
        resyncRows();
        resyncList();
    }

    Editor& editor_;
    std::map<Topic*, std::vector<Topic*>> children_;
    std::vector<std::string> rows_;
    std::vector<Topic*> treeRows_;
    std::pair<size_t, size_t> pendingTreeRows_;
    std::pair<Topic*, size_t> pending_;
    std::pair<size_t, size_t> pendingRows_;
};

// An editor over a fake host, with a mirror checked after every test.
class EditorTest : public ::testing::Test {
protected:
    EditorTest() : editor(host, Settings{}), mirror(editor) { editor.addObserver(&mirror); }
    ~EditorTest() override {
        mirror.check();
        EXPECT_EQ(host.busyDepth, 0);
        EXPECT_TRUE(host.answers.empty()) << "unused answers";
        EXPECT_TRUE(host.dialogAnswers.empty()) << "unused dialog answers";
    }

    // Builds top-level Topics from "caption" strings; "  caption" (two spaces per level)
    // nests, and items follow after a ":" separated by ",".
    Topic* Build(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) {
            size_t depth = line.find_first_not_of(' ') / 2;
            std::string rest = line.substr(depth * 2);
            size_t colon = rest.find(':');
            text += std::string(depth, '\t') + rest.substr(0, colon) + "\r\n";
            if (colon != std::string::npos) {
                std::string items = rest.substr(colon + 1);
                size_t start = 0;
                while (start <= items.size()) {
                    size_t comma = items.find(',', start);
                    std::string item = items.substr(start, comma - start);
                    bool checked = !item.empty() && item.front() == '*';
                    text += std::string(depth, '\t') + "\x08" +
                            std::string(checked ? kCheckedMark : kUncheckedMark) +
                            item.substr(checked ? 1 : 0) + "\r\n";
                    if (comma == std::string::npos) {
                        break;
                    }
                    start = comma + 1;
                }
            }
        }
        host.clipboard = text;
        editor.execute(CommandId::TreePaste);
        editor.session().setModified(false);
        host.focus.clear();
        host.clipboard.reset();
        editor.clipboardChanged(false);
        return editor.document().first();
    }

    Topic* Find(const std::string& caption) {
        Topic* found = nullptr;
        ForEachTopic(editor.document(), [&](Topic& t, int) {
            if (t.caption == caption) {
                found = &t;
            }
        });
        EXPECT_NE(found, nullptr) << caption;
        return found;
    }

    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (size_t r = 0; r < editor.list().rowCount(); ++r) {
            rows.emplace_back(std::string(editor.list().rowText(r)) +
                              (editor.list().rowChecked(r) ? "*" : ""));
        }
        return rows;
    }

    // "caption/level" in tree order, "+" after an expanded Topic with children.
    std::vector<std::string> Shape() {
        std::vector<std::string> out;
        ForEachTopic(editor.document(), [&](const Topic& t, int level) {
            out.push_back(t.caption + "/" + std::to_string(level) +
                          (t.hasChildren() && t.expanded ? "+" : ""));
        });
        return out;
    }

    void Type(const std::string& text) { editor.editTextChanged(EditBox::List, text); }

    // A whole drag of the selected Topic, or of the selected row, ending in a drop.
    void DropTopic(TopicDropZone zone, Topic* under) {
        editor.drag().beginDrag(DragKind::Topic);
        editor.drag().dropOnTree(zone, under);
        editor.drag().endDrag();
    }
    void DropItemInList(int pointerRow) {
        editor.drag().beginDrag(DragKind::Item);
        editor.drag().dropOnList(pointerRow);
        editor.drag().endDrag();
    }
    void DropItemOnTopic(Topic* topic) {
        editor.drag().beginDrag(DragKind::Item);
        editor.drag().dropOnTree(TopicDropZone::OnTopic, topic);
        editor.drag().endDrag();
    }

    FakeHost host;
    Editor editor;
    MirrorObserver mirror;
};

}  // namespace brenvale::test
