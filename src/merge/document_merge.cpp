#include "merge/document_merge.h"

#include <optional>
#include <utility>

#include "merge/conflict_mark.h"
#include "merge/flat_tree.h"
#include "merge/merge_apply.h"
#include "merge/topic_matching.h"
#include "merge/tree_merge.h"

namespace brenvale {

namespace {

TopicMatch SameTopics(size_t n) {
    TopicMatch match;
    match.toAfter.resize(n);
    match.toBefore.resize(n);
    for (size_t i = 0; i < n; ++i) {
        match.toAfter[i] = match.toBefore[i] = static_cast<int32_t>(i);
    }
    return match;
}

// Merges the versions as trees: base is null for a two-way merge. ours is a tree over the
// Document given with it, which becomes the result.
MergeResult Run(const FlatTree* base, std::unique_ptr<Document> ours, const FlatTree& oursTree,
                const FlatTree& theirs) {
    const FlatTree& b = base ? *base : oursTree;
    TreePlan plan;
    {
        TopicMatch toOurs = base ? MatchTopics(b, oursTree) : SameTopics(oursTree.size());
        TopicMatch toTheirs = MatchTopics(b, theirs, base != nullptr);
        plan = PlanTreeMerge({b, oursTree, theirs, toOurs, toTheirs, base == nullptr});
    }
    std::vector<MergeConflict> conflicts = ApplyPlan(plan, *ours, oursTree, theirs);
    return {std::move(ours), std::move(conflicts)};
}

MergeResult Merge(const Document* base, std::unique_ptr<Document> ours, const Document& theirs) {
    TextKeys captions(ours->topicCount() + theirs.topicCount());
    std::optional<FlatTree> baseTree;
    if (base) {
        baseTree.emplace(*base, captions);
    }
    FlatTree oursTree(*ours, captions);
    FlatTree theirsTree(theirs, captions);
    return Run(base ? &*baseTree : nullptr, std::move(ours), oursTree, theirsTree);
}

// Reads a version that is only compared and keeps it as a tree detached from its Document, which
// goes before the next version is read: at no time are two of them held whole besides ours.
FlatTree ReadDetached(const std::string& path, const ReadOptions& options, TextKeys& captions,
                      const std::function<void(const std::string&, const ReadResult&)>& seen,
                      DocumentGeometry& geometry) {
    // The tree finds its Items again by their offsets in the file.
    ReadOptions image = options;
    image.keepFileImage = true;
    ReadResult read = ReadDocument(path, image);
    seen(path, read);
    geometry = read.geometry.appliedTo({});
    return FlatTree::Detached(*read.document, path, captions);
}

}  // namespace

MergeResult MergeDocuments(const Document& base, std::unique_ptr<Document> ours,
                           const Document& theirs) {
    return Merge(&base, std::move(ours), theirs);
}

MergeResult MergeDocuments(const Document& base, const Document& ours, const Document& theirs) {
    return Merge(&base, CopyDocument(ours), theirs);
}

MergeResult UniteDocuments(std::unique_ptr<Document> ours, const Document& theirs) {
    return Merge(nullptr, std::move(ours), theirs);
}

MergeResult UniteDocuments(const Document& ours, const Document& theirs) {
    return Merge(nullptr, CopyDocument(ours), theirs);
}

MergedFile MergeDocumentFiles(
    const std::optional<std::string>& base, const std::string& ours, const std::string& theirs,
    const ReadOptions& options,
    const std::function<void(const std::string&, const ReadResult&)>& seen) {
    TextKeys captions;
    auto detached = [&](const std::string& path, DocumentGeometry& geometry) {
        return ReadDetached(path, options, captions, seen, geometry);
    };
    DocumentGeometry baseGeometry, theirsGeometry;
    std::optional<FlatTree> baseTree;
    if (base) {
        baseTree.emplace(detached(*base, baseGeometry));
    }
    FlatTree theirsTree = detached(theirs, theirsGeometry);
    ReadResult read = ReadDocument(ours, options);
    seen(ours, read);
    DocumentGeometry geometry = read.geometry.appliedTo({});
    FlatTree oursTree(*read.document, captions);
    // git gives an empty ancestor to a file both sides added: they are united.
    if (baseTree && baseTree->size() == 0) {
        baseTree.reset();
    }
    if (baseTree) {
        geometry = MergeGeometry(baseGeometry, geometry, theirsGeometry);
    }
    MergeResult merged =
        Run(baseTree ? &*baseTree : nullptr, std::move(read.document), oursTree, theirsTree);
    return {std::move(merged), geometry};
}

MergeResult MergeDocumentWithFiles(
    const std::optional<std::string>& base, std::unique_ptr<Document> ours,
    const std::string& theirs, const ReadOptions& options,
    const std::function<void(const std::string&, const ReadResult&)>& seen) {
    TextKeys captions;
    DocumentGeometry unused;
    std::optional<FlatTree> baseTree;
    if (base) {
        baseTree.emplace(ReadDetached(*base, options, captions, seen, unused));
    }
    FlatTree theirsTree = ReadDetached(theirs, options, captions, seen, unused);
    FlatTree oursTree(*ours, captions);
    if (baseTree && baseTree->size() == 0) {
        baseTree.reset();
    }
    return Run(baseTree ? &*baseTree : nullptr, std::move(ours), oursTree, theirsTree);
}

size_t CountConflictMarks(const Document& doc) {
    size_t marks = 0;
    ForEachTopic(doc, [&](const Topic& t, int) {
        marks += HasConflictMark(t.caption.view());
        const ItemList& items = t.items;
        for (size_t i = 0; i < items.size(); ++i) {
            marks += HasConflictMark(items[i].text());
        }
    });
    return marks;
}

std::unique_ptr<Document> CopyDocument(const Document& doc) {
    auto copy = std::make_unique<Document>();
    std::vector<Topic*> path;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        path.resize(static_cast<size_t>(level));
        DetachedTopic made = copy->create();
        made->setCaption(t.caption.view());
        made->icon = t.icon;
        made->expanded = t.expanded;
        CopyItems(t.items, made->items);
        path.push_back(&copy->append(path.empty() ? nullptr : path.back(), std::move(made)));
    });
    copy->fileName = doc.fileName;
    copy->untitled = doc.untitled;
    return copy;
}

DocumentGeometry MergeGeometry(const DocumentGeometry& base, const DocumentGeometry& ours,
                               const DocumentGeometry& theirs) {
    auto pick = [](int b, int o, int t) { return o == b ? t : o; };
    return {pick(base.height, ours.height, theirs.height),
            pick(base.width, ours.width, theirs.width), pick(base.top, ours.top, theirs.top),
            pick(base.left, ours.left, theirs.left),
            pick(base.treeWidth, ours.treeWidth, theirs.treeWidth)};
}

MergedFile MergeDocumentBytes(std::string_view base, std::string_view ours, std::string_view theirs,
                              const ReadOptions& options) {
    ReadResult b = ParseDocument(base, options);
    ReadResult o = ParseDocument(ours, options);
    ReadResult t = ParseDocument(theirs, options);
    DocumentGeometry ob = o.geometry.appliedTo({});
    DocumentGeometry geometry =
        b.document->empty() ? ob
                            : MergeGeometry(b.geometry.appliedTo({}), ob, t.geometry.appliedTo({}));
    MergeResult merged = b.document->empty()
                             ? UniteDocuments(std::move(o.document), *t.document)
                             : MergeDocuments(*b.document, std::move(o.document), *t.document);
    return {std::move(merged), geometry};
}

}  // namespace brenvale
