#pragma once

#include <string>
#include <string_view>

#include "editor/command_parts.h"
#include "editor/tag_filter.h"

namespace brenvale {

class ActionRunner;

// The tag panel and the filter it sets: the tags and dues of the document, a click on a tag,
// on "タグなし", and the end of the filter.
class TagActions {
public:
    TagActions(ActionRunner& runner, SelectionParts parts) : runner_(runner), parts_(parts) {}
    TagActions(const TagActions&) = delete;
    TagActions& operator=(const TagActions&) = delete;

    // The tags and dues of the document (built when first asked for).
    ScheduleIndex& index() { return parts_.index; }
    const TagFilterState& filter() const { return parts_.tagFilter; }
    // A click on a tag of the tag panel (its name, CP932).
    void clickTag(std::string_view name, TagClick how);
    void clickUntagged();
    void clearTagFilter();
    // The conflict marks a merge left that are still in the document: "競合 残り 3 件", or ""
    // when there are none, as the schedule index keeps their count.
    std::string conflictCounterText();

private:
    ActionRunner& runner_;
    SelectionParts parts_;
};

}  // namespace brenvale
