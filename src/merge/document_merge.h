#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/document_reader.h"
#include "document/geometry.h"
#include "merge/merge_conflict.h"

namespace brenvale {

struct MergeResult {
    std::unique_ptr<Document> document;
    // In the merged Document's tree order, Items in row order within a Topic.
    std::vector<MergeConflict> conflicts;
};

// Merges two versions of a document that both came from base: what either side changed lands;
// where both changed the same thing both versions are kept, theirs' marked (see ConflictKind and
// conflict_mark.h). Ours is taken over as the merged Document and changed in place, so the
// Topics and Items theirs did not touch stay as they are (no copy of the document is made).
MergeResult MergeDocuments(const Document& base, std::unique_ptr<Document> ours,
                           const Document& theirs);
// The same on a copy of ours.
MergeResult MergeDocuments(const Document& base, const Document& ours, const Document& theirs);

// Two versions without a known common ancestor (a conflict copy a sync tool left): ours, with
// what only theirs holds added where theirs has it, marked; Items, captions and icons the two
// hold differently are kept both ways, theirs' marked. Nothing of either is lost.
MergeResult UniteDocuments(std::unique_ptr<Document> ours, const Document& theirs);
MergeResult UniteDocuments(const Document& ours, const Document& theirs);

// A copy of doc: the same Topics, captions, icons, folding and stored Item forms.
std::unique_ptr<Document> CopyDocument(const Document& doc);

// Three document files' bytes, read as ReadDocument reads them. A base without Topics (git
// gives an empty file when the two sides have no common ancestor) unites ours and theirs
// instead. The geometry lines merge like the rest: ours' values, or theirs' where only theirs
// changed them.
struct MergedFile {
    MergeResult merge;
    DocumentGeometry geometry;
};
MergedFile MergeDocumentBytes(std::string_view base, std::string_view ours, std::string_view theirs,
                              const ReadOptions& options);

// The same for files, read as ReadDocument reads them (base may be missing: then ours and
// theirs are united), in a fraction of the memory: only ours is held whole, the other two are
// kept as their trees and hashes and read again where their lists are needed. seen is told of
// each read before the next one begins (in the order base, theirs, ours) and may throw to stop.
// Throws Error when a file cannot be read, or changed while it was merged.
MergedFile MergeDocumentFiles(
    const std::optional<std::string>& base, const std::string& ours, const std::string& theirs,
    const ReadOptions& options,
    const std::function<void(const std::string&, const ReadResult&)>& seen);

// A Document in memory (an editor's, taken over as the result and changed in place) merged with
// two versions in files, read as MergeDocumentFiles reads them and held as their trees: base,
// the common ancestor (missing, or without Topics: ours and theirs are united), and theirs.
// seen is told of each read (base, then theirs). Throws Error as MergeDocumentFiles does.
MergeResult MergeDocumentWithFiles(
    const std::optional<std::string>& base, std::unique_ptr<Document> ours,
    const std::string& theirs, const ReadOptions& options,
    const std::function<void(const std::string&, const ReadResult&)>& seen);

// The conflict marks a Document holds: its captions and Item texts that end with the mark.
size_t CountConflictMarks(const Document& doc);

// The geometry of a merge of three files' geometry lines.
DocumentGeometry MergeGeometry(const DocumentGeometry& base, const DocumentGeometry& ours,
                               const DocumentGeometry& theirs);

}  // namespace brenvale
