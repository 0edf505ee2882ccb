#pragma once

#include <cstddef>

namespace brenvale {

struct EditorParts;

// Merging the open document with other versions of its file.

// Merges the file on disk, another program's version, into the open document: what the
// document changed since the version it stands on (kept by MergeBase; without it the two are
// united) and what the other program changed both land. The result replaces the document as
// one undo step, modified, and stands on the version read, so that the next save writes it
// without asking. Conflicts are shown (ShowConflicts). Returns the number of conflicts this
// merge left. Throws Error when a file cannot be read; nothing has changed then.
size_t MergeWithFileOnDisk(EditorParts& p);

// After an open: the conflict copies sync tools left beside the document are offered, and
// merged in as one undo step (each united with the document: the copies' common ancestor with
// it is not known).
void OfferConflictCopies(EditorParts& p);

// After a save: the conflict copies merged into the document saved go to the desktop's trash,
// unless the merge was undone, the copy changed since, or the document went to another file.
// The hint panel says what was moved and what stays.
void TrashMergedCopies(EditorParts& p);

// Goes to the first conflict mark of the document and lists every mark in the find's results.
void ShowConflicts(EditorParts& p);
// The command: the same, from the menus at any time (a document merged elsewhere, or the find
// bar closed since); without marks the find bar says that nothing was found.
void ShowConflictsExecute(EditorParts& p);

}  // namespace brenvale
