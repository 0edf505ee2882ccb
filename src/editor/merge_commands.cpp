// Merging the open document with other versions of its file: the version another program
// wrote while the document had unsaved changes, and the conflict copies sync tools leave.
#include "editor/merge_commands.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/file_identity.h"
#include "common/path.h"
#include "document/document_reader.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/conflict_copies.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/drag_state.h"
#include "editor/editor_parts.h"
#include "editor/find_state.h"
#include "editor/hint_panel.h"
#include "editor/merge_base.h"
#include "editor/places_matching.h"
#include "editor/selection.h"
#include "editor/undo_history.h"
#include "editor/undo_scope.h"
#include "editor/visible_list.h"
#include "merge/conflict_mark.h"
#include "merge/document_merge.h"

namespace brenvale {

namespace {

constexpr const char* kMergeStep = "統合";
constexpr const char* kCopiesStep = "競合コピーの統合";

ReadOptions DocumentReadOptions(const EditorParts& p) {
    ReadOptions options = p.settings.readOptions();
    options.imageCount = p.topicImageCount;
    return options;
}

std::string Quoted(const std::string& path) {
    return "「" + std::string(FileNamePart(path)) + "」";
}

std::string ConflictsNote(size_t conflicts) {
    return conflicts ? "（競合 " + std::to_string(conflicts) + " 件）" : "";
}

// Puts merged in place of the open document as one undo step, and selects there what was
// selected before (or the nearest Topic above it that is still there).
void ShowMerged(EditorParts& p, std::unique_ptr<Document> merged, std::string_view step,
                std::optional<FileIdentity> standsOn, std::shared_ptr<bool> inEffect) {
    Topic* oldSelected = p.selection.topic();
    const int oldRow = p.list.selectedRow();
    // The step holds this Document from now on, unchanged.
    const Document& old = p.doc();
    UndoScope scope(p, step);
    p.changes.replaceDocument(std::move(merged), std::move(standsOn), std::move(inEffect));
    // The merge kept the folding of the document: only the place is looked up.
    MatchedSelection selected = MatchPlaces(old, oldSelected, p.doc(), [](Topic*, bool) {});
    ShowSelectedTopic(p, selected.topic ? selected.topic : p.doc().first());
    if (p.doc().empty()) {
        p.selection.setText(EditBox::Tree, "");
    }
    if (size_t rows = p.list.rowCount(); selected.exact && oldRow >= 0 && rows > 0) {
        p.list.select(std::min(oldRow, static_cast<int>(rows) - 1));
    }
}

}  // namespace

size_t MergeWithFileOnDisk(EditorParts& p) {
    const std::string path = p.session.fileName();
    std::optional<std::string> base;
    if (const MergeBase* kept = p.session.mergeBase();
        kept && kept->path() && PathExists(*kept->path())) {
        base = kept->path();
    }
    std::optional<FileIdentity> theirs;
    std::vector<std::string> warnings;
    bool theirsInPart = false;
    size_t conflicts = 0;
    {
        BusyScope busy(p.host);
        // The document is merged as a copy: the one shown stays whole for undo.
        MergeResult merged =
            MergeDocumentWithFiles(base, CopyDocument(p.doc()), path, DocumentReadOptions(p),
                                   [&](const std::string& read, const ReadResult& result) {
                                       if (read == path) {
                                           theirs = result.identity;
                                           warnings = ReadWarnings(result);
                                           theirsInPart = result.unreadLines > 0;
                                       }
                                   });
        conflicts = merged.conflicts.size();
        ShowMerged(p, std::move(merged.document), kMergeStep, theirs, nullptr);
    }
    // No state in the history is the file's any more: undoing the merge leaves the document
    // modified, standing on the version it stood on before (a save over theirs asks again).
    p.history.forgetSaved();
    // What the read of theirs left out is in no document: a save over it asks first.
    p.session.setPartlyRead(theirsInPart);
    p.session.setModified(true);
    p.session.updateTitle();
    ShowHint(p,
             Quoted(path) + "を他のプログラムによる変更と統合しました" + ConflictsNote(conflicts));
    // Lines of theirs the read left out would go with the next save: the user hears of it.
    for (const std::string& warning : warnings) {
        p.host.ShowMessageBox(warning, MessageKind::Warning, MessageButtons::Ok);
    }
    if (conflicts > 0) {
        ShowConflicts(p);
    }
    return conflicts;
}

void OfferConflictCopies(EditorParts& p) {
    if (!p.session.hasName()) {
        return;
    }
    const std::string documentPath = p.session.fileName();
    std::vector<std::string> copies = FindConflictCopies(documentPath);
    if (copies.empty()) {
        return;
    }
    std::string question =
        std::to_string(copies.size()) + " 件の競合コピーがあります。統合しますか？";
    if (p.host.ShowMessageBox(question, MessageKind::Confirmation, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return;
    }
    DocumentSession::MergedCopies merged{documentPath, {}, std::make_shared<bool>(false)};
    std::vector<std::string> problems;
    size_t conflicts = 0;
    size_t united = 0;
    {
        BusyScope busy(p.host);
        std::unique_ptr<Document> result = CopyDocument(p.doc());
        const ReadOptions options = DocumentReadOptions(p);
        for (const std::string& copy : copies) {
            ReadResult read;
            try {
                read = ReadDocument(copy, options);
            } catch (const Error& error) {
                problems.push_back(error.what());
                continue;
            }
            MergeResult step = UniteDocuments(std::move(result), *read.document);
            result = std::move(step.document);
            conflicts += step.conflicts.size();
            ++united;
            // A copy read only in part keeps what the merge could not take.
            if (std::vector<std::string> warnings = ReadWarnings(read); warnings.empty()) {
                merged.copies.push_back({copy, read.identity});
            } else {
                problems.push_back(warnings.front() + "\n" + Quoted(copy) +
                                   "は統合しましたが、ごみ箱に移さずに残します。");
            }
        }
        if (united > 0) {
            ShowMerged(p, std::move(result), kCopiesStep, p.session.diskFile(), merged.inEffect);
        }
    }
    if (united > 0) {
        p.session.setModified(true);
        p.session.mergedCopies() = std::move(merged);
        ShowHint(p, "競合コピー " + std::to_string(united) +
                        " 件を統合しました。保存すると競合コピーはごみ箱に移されます" +
                        ConflictsNote(conflicts));
    }
    for (const std::string& problem : problems) {
        p.host.ShowMessageBox(problem, MessageKind::Warning, MessageButtons::Ok);
    }
    if (conflicts > 0) {
        ShowConflicts(p);
    }
}

void TrashMergedCopies(EditorParts& p) {
    DocumentSession::MergedCopies& merged = p.session.mergedCopies();
    if (merged.copies.empty() || !merged.inEffect || !*merged.inEffect ||
        merged.documentPath != p.session.fileName()) {
        return;
    }
    std::vector<DocumentSession::MergedCopy> copies = std::move(merged.copies);
    merged = {};
    size_t trashed = 0;
    std::string changed;
    std::string refused;
    for (const DocumentSession::MergedCopy& copy : copies) {
        DiskCheck check = CheckFileOnDisk(copy.path, copy.version);
        if (check.state == DiskState::Missing) {
            continue;  // the user took it away already
        }
        if (check.state != DiskState::Unchanged) {
            // What was written into it since the merge is in no document.
            changed += Quoted(copy.path);
        } else if (p.host.MoveToTrash(copy.path)) {
            ++trashed;
        } else {
            refused += Quoted(copy.path);
        }
    }
    if (!refused.empty()) {
        ShowHint(p, "競合コピー" + refused + "をごみ箱に移せなかったため、そのまま残しています");
    } else if (!changed.empty()) {
        ShowHint(p, "競合コピー" + changed + "は統合した後に変更されたため、そのまま残しています");
    } else if (trashed > 0) {
        ShowHint(p, "統合した競合コピー " + std::to_string(trashed) + " 件をごみ箱に移しました");
    }
}

void ShowConflictsExecute(EditorParts& p) {
    ShowConflicts(p);
}

void ShowConflicts(EditorParts& p) {
    // Searched afresh from the selection even when the find holds the mark already.
    FindTyped(p, "", p.find.kanaBlind());
    FindTyped(p, std::string(kConflictMark), p.find.kanaBlind());
    CollectFindResults(p);
    if (!p.find.results().empty()) {
        GoToFindResult(p, 0);
    }
    p.host.ShowFindResults();
}

}  // namespace brenvale
