#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/text_store.h"
#include "editor/editor_observer.h"
#include "schedule/item_tokens.h"

namespace brenvale {

// How a row of the check list shows its due: an open Item whose due day has passed, or is
// today, stands out.
enum class DueLook { None, Later, Today, Overdue };

// What a row needs of its text's tokens: the due, and where the tokens are (to be dimmed).
struct RowTokens {
    std::optional<DueDate> due;
    std::vector<TextSpan> spans;
};

// The tokens of the texts the list paints, read once per text: an Item's stored form never
// changes under its TextRef (a change makes a new one), so the reading is kept by TextRef for as
// long as the document lives. Only rows that are painted are read, and the cache forgets
// everything once it holds more than a few screens of them.
class RowTokenCache : public EditorObserver {
public:
    static constexpr size_t kLimit = 4096;

    const RowTokens& of(TextRef ref, std::string_view text);
    void clear() { map_.clear(); }
    size_t size() const { return map_.size(); }

private:
    // Another document: the same TextRefs name other texts.
    void beginResetTree() override { clear(); }

    std::unordered_map<uint32_t, RowTokens> map_;
};

}  // namespace brenvale
