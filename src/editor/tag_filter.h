#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor_observer.h"
#include "schedule/tag_index.h"

namespace brenvale {

class Topic;
class ViewNotifier;
struct SelectionParts;

// How a click in the tag panel changes the filter.
enum class TagClick {
    Only,     // a plain click: this tag alone
    And,      // Ctrl+click: this tag too (again: not any more)
    Exclude,  // "除外": Items without this tag
};

// The tag filter of the tree and the list: its tags (CP932 names) and its text for the status
// bar. A new document ends it.
class TagFilterState : public EditorObserver {
public:
    explicit TagFilterState(ViewNotifier& views) : views_(views) {}
    TagFilterState(const TagFilterState&) = delete;
    TagFilterState& operator=(const TagFilterState&) = delete;

    const TagFilter& filter() const { return filter_; }
    bool active() const { return !filter_.empty(); }
    void set(TagFilter filter);

    // "絞り込み: #仕事 かつ #急ぎ、#家 を除く" (UTF-8); empty without a filter.
    std::string text() const;

private:
    void beginResetTree() override;

    ViewNotifier& views_;
    TagFilter filter_;
};

// The filter after a click on a tag (a name, CP932), or on "タグなし" (untagged).
TagFilter ClickedFilter(const TagFilter& current, std::string_view name, TagClick how);
TagFilter UntaggedFilter();

// Shows only the Topics that hold Items the filter matches (with their ancestors) in the tree,
// and only those Items in the list; an empty filter shows everything again. The selected Topic
// stays when it still shows; otherwise the first Topic holding a match is selected.
void ApplyTagFilter(SelectionParts p, TagFilter filter);

// The Topics holding Items the filter matches, ordered by address. With required tags they come
// from the schedule index; otherwise from a walk of the document.
std::vector<Topic*> TopicsMatching(SelectionParts p, const TagFilter& filter);

}  // namespace brenvale
