#include "schedule/tag_index.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

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
    std::unordered_map<std::string, size_t> positions;
    std::vector<size_t> seen;  // the tags of the Item at hand, each counted once
    ForEachTopic(doc, [&](const Topic& topic, int) {
        const ItemList& items = topic.items;
        for (size_t i = 0; i < items.size(); ++i) {
            ItemView item = items[i];
            std::string_view text = item.text();
            bool open = CountsAsUnchecked(text, item.checked(), list);
            seen.clear();
            ForEachToken(text, [&](const ItemToken& token) {
                if (token.kind != TokenKind::Tag) {
                    return;
                }
                std::string_view name = token.value(text);
                auto [it, added] = positions.try_emplace(TagKey(name), index.tags.size());
                if (added) {
                    index.tags.push_back({std::string(name), it->first, 0});
                }
                if (std::find(seen.begin(), seen.end(), it->second) == seen.end()) {
                    seen.push_back(it->second);
                    index.tags[it->second].open += open ? 1 : 0;
                }
            });
            if (seen.empty() && open) {
                ++index.untaggedOpen;
            }
        }
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
    if (!MayHoldTokens(text)) {
        return require_.empty();
    }
    std::vector<std::string> keys;
    ForEachToken(text, [&](const ItemToken& token) {
        if (token.kind == TokenKind::Tag) {
            keys.push_back(TagKey(token.value(text)));
        }
    });
    auto has = [&](const std::string& key) {
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    };
    if (untagged_ && !keys.empty()) {
        return false;
    }
    return std::all_of(require_.begin(), require_.end(), has) &&
           std::none_of(exclude_.begin(), exclude_.end(), has);
}

FilterResult FilterByTags(const Document& doc, const TagFilter& filter) {
    FilterResult result;
    TagMatcher matcher(filter);
    // The Topics from the top level down to the one at hand, and whether each is in the result.
    std::vector<std::pair<Topic*, bool>> path;
    ForEachTopic(doc, [&](Topic& topic, int level) {
        path.resize(static_cast<size_t>(level));
        path.push_back({&topic, false});
        const ItemList& items = topic.items;
        size_t before = result.items.size();
        for (size_t i = 0; i < items.size(); ++i) {
            if (matcher.matches(items[i].text())) {
                result.items.push_back({&topic, static_cast<uint32_t>(i)});
            }
        }
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
