#include "editor/row_tokens.h"

namespace brenvale {

const RowTokens& RowTokenCache::of(TextRef ref, std::string_view text) {
    auto key = static_cast<uint32_t>(ref);
    auto it = map_.find(key);
    if (it != map_.end()) {
        return it->second;
    }
    if (map_.size() >= kLimit) {
        map_.clear();
    }
    RowTokens tokens;
    ForEachToken(text, [&](const ItemToken& token) {
        if (token.kind == TokenKind::Due && !tokens.due) {
            tokens.due = token.due;
        }
        tokens.spans.push_back(token.span);
    });
    return map_.emplace(key, std::move(tokens)).first->second;
}

}  // namespace brenvale
