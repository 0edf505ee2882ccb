#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/item_kind.h"

namespace brenvale {

// One tag of a document: its name as first met (CP932, without the mark), its key (TagKey),
// and the open Items that carry it (unchecked ordinary Items, as the status bar counts).
struct TagCount {
    std::string name;
    std::string key;
    size_t open = 0;
};

struct TagIndex {
    std::vector<TagCount> tags;  // ordered by key
    size_t untaggedOpen = 0;     // open Items without any tag ("タグなし")
};

// Every tag on an Item of doc, with its count. One pass over the Items; the memory is the
// tags found.
TagIndex IndexTags(const Document& doc, const ListKindOptions& list);

// A filter of Items by their tags: every tag of `require` (AND), none of `exclude` (NOT);
// with `untagged`, only Items without any tag. Names match through TagKey. An Item's check
// mark does not matter.
struct TagFilter {
    std::vector<std::string> require;
    std::vector<std::string> exclude;
    bool untagged = false;

    bool empty() const { return require.empty() && exclude.empty() && !untagged; }
};

class TagMatcher {
public:
    explicit TagMatcher(const TagFilter& filter);
    bool matches(std::string_view text) const;
    // The same when it is known whether the text may hold tokens (MayHoldTokens).
    bool matches(std::string_view text, bool mayHoldTokens) const;

private:
    std::vector<std::string> require_;
    std::vector<std::string> exclude_;
    bool untagged_;
};

// An Item by its Topic and its row in that Topic's list.
struct ItemPlace {
    Topic* topic = nullptr;
    uint32_t item = 0;

    bool operator==(const ItemPlace&) const = default;
};

// The Items that match, in document order, and the Topics to show for them: those that hold
// one, with their ancestors, in tree order.
struct FilterResult {
    std::vector<Topic*> topics;
    std::vector<ItemPlace> items;
};

FilterResult FilterByTags(const Document& doc, const TagFilter& filter);

}  // namespace brenvale
