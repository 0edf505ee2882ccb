#include "schedule/tag_index.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "common/check_mark.h"
#include "schedule/item_scan.h"
#include "schedule/item_tokens.h"

namespace brenvale {

namespace {

std::vector<std::string> KeysOf(const std::vector<std::string>& names) {
    std::vector<std::string> keys;
    for (const std::string& name : names) {
        // A name typed with its mark means the same tag.
        std::string_view bare = name;
        if (bare.starts_with('#')) {
            bare.remove_prefix(1);
        } else if (bare.starts_with("\x81\x94")) {
            bare.remove_prefix(2);
        }
        keys.push_back(TagKey(bare));
    }
    return keys;
}

}  // namespace

TagIndex IndexTags(const Document& doc, const ListKindOptions& list) {
    TagIndex index;
    std::unordered_map<std::string, size_t> positions;  // by key
    // By the name's bytes as they lie in the document, which stay there during the walk: most
    // tags are written the same way every time, and are then folded once.
    std::unordered_map<std::string_view, size_t> written;
    std::vector<size_t> seen;  // the tags of the Item at hand, each counted once
    ForEachTopic(doc, [&](const Topic& topic, int) {
        ForEachStoredItem(topic, [&](size_t, std::string_view stored, bool may) {
            std::string_view text = StoredText(stored);
            bool open = CountsAsUnchecked(text, IsCheckedMark(StoredMark(stored)), list);
            seen.clear();
            if (may) {
                ForEachToken(text, [&](const ItemToken& token) {
                    if (token.kind != TokenKind::Tag) {
                        return;
                    }
                    std::string_view name = token.value(text);
                    auto known = written.find(name);
                    if (known == written.end()) {
                        auto [it, added] = positions.try_emplace(TagKey(name), index.tags.size());
                        if (added) {
                            index.tags.push_back({std::string(name), it->first, 0});
                        }
                        known = written.emplace(name, it->second).first;
                    }
                    if (std::find(seen.begin(), seen.end(), known->second) == seen.end()) {
                        seen.push_back(known->second);
                        index.tags[known->second].open += open ? 1 : 0;
                    }
                });
            }
            if (seen.empty() && open) {
                ++index.untaggedOpen;
            }
        });
    });
    std::sort(index.tags.begin(), index.tags.end(),
              [](const TagCount& a, const TagCount& b) { return a.key < b.key; });
    return index;
}

TagMatcher::TagMatcher(const TagFilter& filter)
    : require_(KeysOf(filter.require)),
      exclude_(KeysOf(filter.exclude)),
      untagged_(filter.untagged) {}

bool TagMatcher::matches(std::string_view text) const {
    return matches(text, MayHoldTokens(text));
}

bool TagMatcher::matches(std::string_view text, bool mayHoldTokens) const {
    if (!mayHoldTokens) {
        return require_.empty();
    }
    bool tagged = false;
    bool excluded = false;
    ForEachToken(text, [&](const ItemToken& token) {
        if (token.kind == TokenKind::Tag) {
            tagged = true;
            for (const std::string& key : exclude_) {
                excluded = excluded || FoldsTo(token.value(text), key);
            }
        }
    });
    if (excluded || (untagged_ && tagged)) {
        return false;
    }
    return std::all_of(require_.begin(), require_.end(), [&](const std::string& key) {
        bool found = false;
        ForEachToken(text, [&](const ItemToken& token) {
            found = found || (token.kind == TokenKind::Tag && FoldsTo(token.value(text), key));
        });
        return found;
    });
}

FilterResult FilterByTags(const Document& doc, const TagFilter& filter) {
    FilterResult result;
    TagMatcher matcher(filter);
    // The Topics from the top level down to the one at hand, and whether each is in the result.
    std::vector<std::pair<Topic*, bool>> path;
    ForEachTopic(doc, [&](Topic& topic, int level) {
        path.resize(static_cast<size_t>(level));
        path.push_back({&topic, false});
        size_t before = result.items.size();
        ForEachStoredItem(topic, [&](size_t i, std::string_view stored, bool may) {
            if (matcher.matches(StoredText(stored), may)) {
                result.items.push_back({&topic, static_cast<uint32_t>(i)});
            }
        });
        if (result.items.size() == before) {
            return;
        }
        for (auto& [shown, added] : path) {
            if (!added) {
                result.topics.push_back(shown);
                added = true;
            }
        }
    });
    return result;
}

}  // namespace brenvale
