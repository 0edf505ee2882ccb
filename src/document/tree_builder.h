#pragma once

#include <exception>

#include <string_view>
#include <vector>

#include "document/document.h"

namespace brenvale {

// Adds many Topics to a Document in reading order, the way a file or the tree clipboard text
// lists them: each after its parent and its earlier siblings' subtrees. A Topic's children
// are known once a Topic outside its subtree comes; then they go to one exactly sized block
// of the storage's arena (or are appended to the children an existing Topic had): no
// allocation per Topic.
//
// The tree is incomplete until finish(): nothing may look at it meanwhile.
class TreeBuilder {
public:
    // New Topics hang below `under` (nullptr: the top level) or its ancestors.
    explicit TreeBuilder(Document& doc, Topic* under = nullptr);
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;
    // Links what it built, unless an exception is leaving the scope: a build that stopped
    // halfway links nothing more (its new Topics stay in storage, out of the tree).
    ~TreeBuilder() {
        if (std::uncaught_exceptions() == exceptions_) {
            finish();
        }
    }

    // Appends a new Topic as the last child of parent (nullptr: the top level), which must
    // be the last Topic added, `under` or one of their ancestors. The caption is used where
    // it lies: bytes the Document's storage keeps.
    Topic& add(Topic* parent, std::string_view keptCaption, int icon);
    // Links the Topics still open; the Document is complete afterwards. The new Topics go into
    // Topics that were in the tree before only here, after room for them has been made, so a
    // build that runs out of memory leaves the tree as it was.
    void finish();

private:
    void close();

    struct Open {
        Topic* topic;
        size_t firstChild;  // where its new children start in children_
        size_t added;       // Topics added in its subtree (itself included when it is new)
        bool existing;      // it was in the tree before
    };

    // New children of a Topic that was in the tree before, linked by finish.
    struct Graft {
        Topic* topic;
        std::vector<Topic*> children;
        size_t added;
    };

    Document& doc_;
    int exceptions_ = std::uncaught_exceptions();
    std::vector<Open> open_;  // the hidden root, then down to the last Topic added
    std::vector<Topic*> children_;
    std::vector<Graft> grafts_;
};

}  // namespace brenvale
