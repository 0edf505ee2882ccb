#include "editor/tag_filter.h"

#include <algorithm>

#include "common/cp932.h"
#include "document/document.h"
#include "editor/bulk_build.h"
#include "editor/command_handlers.h"
#include "editor/command_parts.h"
#include "editor/document_changes.h"
#include "editor/schedule_index.h"
#include "editor/selection.h"
#include "editor/tag_edit.h"
#include "editor/tree_rows.h"
#include "editor/view_notifier.h"
#include "editor/visible_list.h"
#include "schedule/item_scan.h"
#include "schedule/item_tokens.h"

namespace brenvale {

namespace {

// Shown rows looked at for a Topic to select before the Topics' places are worked out.
constexpr size_t kRowsToLook = 1000;

bool SameTag(std::string_view a, std::string_view b) {
    return TagKey(BareTagName(a)) == TagKey(BareTagName(b));
}

void EraseTag(std::vector<std::string>& names, std::string_view name) {
    std::erase_if(names, [&](const std::string& n) { return SameTag(n, name); });
}

bool HasTag(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameTag(n, name); });
}

void AppendNames(std::string& out, const std::vector<std::string>& names, const char* joint) {
    for (size_t i = 0; i < names.size(); ++i) {
        out += i > 0 ? joint : "";
        out += "#" + Cp932ToUtf8(BareTagName(names[i]));
    }
}

// The Topic to select once the filter shows: the selected one when it still shows, else the
// first row holding a match, else the first matching Topic in tree order.
Topic* TopicToSelect(SelectionParts p, const std::vector<Topic*>& matching) {
    Topic* selected = p.selection.topic();
    if (selected && p.rows.rowOf(selected) != TreeRows::npos) {
        return selected;
    }
    auto holds = [&](Topic* t) { return std::binary_search(matching.begin(), matching.end(), t); };
    for (size_t row = 0; row < p.rows.rowCount() && row < kRowsToLook; ++row) {
        if (Topic* t = p.rows.topicAt(row); holds(t)) {
            return t;
        }
    }
    Topic* first = nullptr;
    size_t firstIndex = 0;
    for (Topic* t : matching) {
        size_t index = p.rows.treeOrderIndex(t);
        if (!first || index < firstIndex) {
            first = t;
            firstIndex = index;
        }
    }
    return first;
}

}  // namespace

void TagFilterState::set(TagFilter filter) {
    filter_ = std::move(filter);
    views_.all([](EditorObserver& o) { o.tagFilterChanged(); });
}

void TagFilterState::beginResetTree() {
    if (active()) {
        filter_ = {};
        views_.all([](EditorObserver& o) { o.tagFilterChanged(); });
    }
}

std::string TagFilterState::text() const {
    if (!active()) {
        return {};
    }
    std::string out = "絞り込み: ";
    if (filter_.untagged) {
        out += "タグなし";
    }
    AppendNames(out, filter_.require, " かつ ");
    if (!filter_.exclude.empty()) {
        if (filter_.untagged || !filter_.require.empty()) {
            out += "、";
        }
        AppendNames(out, filter_.exclude, "、");
        out += " を除く";
    }
    return out;
}

TagFilter ClickedFilter(const TagFilter& current, std::string_view name, TagClick how) {
    TagFilter next;
    switch (how) {
        case TagClick::Only:
            next.require = {std::string(name)};
            break;
        case TagClick::And:
            next = current;
            next.untagged = false;  // an untagged Item holds no tag to require
            if (HasTag(next.require, name)) {
                EraseTag(next.require, name);
            } else {
                EraseTag(next.exclude, name);
                next.require.emplace_back(name);
            }
            break;
        case TagClick::Exclude:
            next = current;
            EraseTag(next.require, name);
            if (!HasTag(next.exclude, name)) {
                next.exclude.emplace_back(name);
            }
            break;
    }
    return next;
}

TagFilter UntaggedFilter() {
    TagFilter filter;
    filter.untagged = true;
    return filter;
}

std::vector<Topic*> TopicsMatching(SelectionParts p, const TagFilter& filter) {
    std::vector<Topic*> matching;
    if (filter.require.empty() || filter.untagged) {
        // No tag to start from: every Item is looked at.
        for (const ItemPlace& place : FilterByTags(p.doc(), filter).items) {
            if (matching.empty() || matching.back() != place.topic) {
                matching.push_back(place.topic);
            }
        }
        std::sort(matching.begin(), matching.end());
        return matching;
    }
    // The Topics of the rarest required tag, then those that hold an Item with all of them.
    const IndexedTag* rarest = nullptr;
    for (const std::string& name : filter.require) {
        const IndexedTag* tag = p.index.tag(TagKey(BareTagName(name)));
        if (!tag) {
            return {};
        }
        if (!rarest || tag->topics.size() < rarest->topics.size()) {
            rarest = tag;
        }
    }
    bool single = filter.require.size() == 1 && filter.exclude.empty();
    TagMatcher matcher(filter);
    matching.reserve(rarest->topics.size());
    for (const auto& [topic, count] : rarest->topics) {
        bool holds = single;
        for (size_t i = 0; !holds && i < topic->items.size(); ++i) {
            holds = matcher.matches(std::as_const(topic->items)[i].text());
        }
        if (holds) {
            matching.push_back(topic);
        }
    }
    return matching;  // in the index's order, by address
}

void ApplyTagFilter(SelectionParts p, TagFilter filter) {
    BusyScope busy(p.host);
    p.list.store(p.changes);
    if (filter.empty()) {
        if (!p.tagFilter.active() && !p.rows.filtered()) {
            return;
        }
        p.views.tree([](EditorObserver& o) { o.beginResetTreeRows(); });
        p.rows.showAll();
        p.views.tree([](EditorObserver& o) { o.endResetTreeRows(); });
        p.list.setTagMatcher(std::nullopt);
        p.tagFilter.set({});
        p.list.refilter();
        p.views.all([](EditorObserver& o) { o.selectedTopicChanged(); });
        return;
    }
    std::vector<Topic*> matching = TopicsMatching(p, filter);
    p.views.tree([](EditorObserver& o) { o.beginResetTreeRows(); });
    p.rows.showOnly(matching);
    p.views.tree([](EditorObserver& o) { o.endResetTreeRows(); });
    p.list.setTagMatcher(TagMatcher(filter));
    p.tagFilter.set(std::move(filter));
    Topic* select = TopicToSelect(p, matching);
    if (select != p.selection.topic()) {
        ShowSelectedTopic(p, select);
    } else {
        p.list.refilter();
        p.views.all([](EditorObserver& o) { o.selectedTopicChanged(); });
    }
}

}  // namespace brenvale
