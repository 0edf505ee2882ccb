// The merge on any three documents: the input is cut into an ancestor and two versions (the
// first two bytes say where). No crash, and:
//   - merging a version with itself, or with the ancestor on either side, gives that version;
//   - every conflict points at a place of the result that holds its marked text;
//   - the result saves and opens again as the same tree;
//   - the diff of a document with itself is empty; uniting a document with itself gives it.
#include "common/error.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "fuzz_check.h"
#include "merge/conflict_mark.h"
#include "merge/document_diff.h"
#include "merge/document_merge.h"

using namespace brenvale;

namespace {

std::unique_ptr<Document> Read(std::string_view bytes) {
    ReadOptions options;
    options.imageCount = kEveryIconIndex;
    return ParseDocument(bytes, options).document;
}

bool InTree(const Document& doc, const Topic* topic) {
    bool found = false;
    ForEachTopic(doc, [&](const Topic& t, int) { found = found || &t == topic; });
    return found;
}

void CheckConflicts(const MergeResult& r) {
    for (const MergeConflict& c : r.conflicts) {
        fuzz::Check(InTree(*r.document, c.topic), "a conflict's Topic is in the result");
        std::string_view marked = c.topic->caption.view();
        if (c.item != kNoItem) {
            fuzz::Check(c.item < c.topic->items.size(), "a conflict's Item is in its list");
            marked = c.topic->items[c.item].text();
        }
        fuzz::Check(HasConflictMark(marked), "a conflict's place holds the mark");
    }
    std::string saved = SerializeDocument(*r.document, DocumentGeometry{});
    fuzz::Check(fuzz::Tree(*Read(saved)) == fuzz::Tree(*r.document),
                "the merged document saves and opens again as it is");
}

void ExpectVersion(const Document& base, std::string_view ours, std::string_view theirs,
                   const Document& expected, const char* what) {
    auto t = Read(theirs);
    MergeResult r = MergeDocuments(base, Read(ours), *t);
    CheckConflicts(r);
    fuzz::Check(r.conflicts.empty(), what);
    fuzz::Check(fuzz::Tree(*r.document) == fuzz::Tree(expected), what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    std::string_view rest = fuzz::Bytes(data + 2, size - 2);
    size_t cut1 = rest.size() * data[0] / 255;
    size_t cut2 = cut1 + (rest.size() - cut1) * data[1] / 255;
    std::string_view parts[3] = {rest.substr(0, cut1), rest.substr(cut1, cut2 - cut1),
                                 rest.substr(cut2)};
    try {
        auto base = Read(parts[0]);
        auto ours = Read(parts[1]);
        auto theirs = Read(parts[2]);
        MergeResult merged = MergeDocuments(*base, *ours, *theirs);
        CheckConflicts(merged);
        CheckConflicts(UniteDocuments(*ours, *theirs));

        ExpectVersion(*base, parts[1], parts[1], *ours, "merging a version with itself gives it");
        ExpectVersion(*base, parts[0], parts[1], *ours, "theirs alone changed: theirs");
        ExpectVersion(*base, parts[1], parts[0], *ours, "ours alone changed: ours");
        MergeResult same = UniteDocuments(*ours, *ours);
        fuzz::Check(same.conflicts.empty() && fuzz::Tree(*same.document) == fuzz::Tree(*ours),
                    "uniting a document with itself gives it");

        fuzz::Check(DiffDocuments(*ours, *ours).empty(), "a document has no changes from itself");
        DiffDocuments(*base, *theirs);
    } catch (const Error&) {
        // UTF-16 text is refused by the reader.
    }
    return 0;
}
