#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "document/item_kind.h"
#include "document/text_store.h"
#include "editor/editor_observer.h"
#include "schedule/item_tokens.h"
#include "settings/settings.h"

namespace brenvale {

class DocumentSession;
class Topic;

// Topics and how many Items of each count, ordered by the Topic's address.
using TopicCounts = std::vector<std::pair<Topic*, uint32_t>>;

// One tag of the document: its name as first met (CP932, without the mark), its key (TagKey),
// the Items that carry it (open ones, as the status bar counts, and all), and the Topics
// those Items are in.
struct IndexedTag {
    std::string name;
    size_t open = 0;
    size_t total = 0;
    TopicCounts topics;
};

// The open Items due on one day: how many, how many of them at a time of day, and their
// Topics.
struct IndexedDay {
    size_t open = 0;
    size_t timed = 0;
    TopicCounts topics;
};

// What the window shows of the dates and tags of a Document's Items, kept with every change so
// that no view walks the document for it: the tag panel's counts, the Topics holding a tag (the
// tag filter), and the open Items due on each day with their Topics (the agenda and the
// reminders). It is built in one pass when first asked for, and from then on DocumentChanges
// tells it every Item that comes, goes or changes; each change costs the parse of the one or
// two texts concerned. It holds nothing per Topic or Item without a tag or a due. A new
// document, another kind setting or texts changed in place (a save's trimming) make it build
// itself again when next asked.
class ScheduleIndex : public EditorObserver {
public:
    ScheduleIndex(const DocumentSession& session, const Settings& settings)
        : session_(session), settings_(settings) {}
    ScheduleIndex(const ScheduleIndex&) = delete;
    ScheduleIndex& operator=(const ScheduleIndex&) = delete;

    bool built() const { return built_; }
    void ensureBuilt();
    // Forgets everything; the next question builds it again.
    void invalidate();
    // Moves on with every change of what it holds (and every new build).
    uint64_t version() const { return version_; }

    // ---- Built on first use
    // Every tag by its key.
    const std::map<std::string, IndexedTag>& tags();
    // Open Items without any tag ("タグなし").
    size_t untaggedOpen();
    // Open Items with a due, by their due day.
    const std::map<Date, IndexedDay>& days();
    // The Topics holding Items with the tag of this key (nullptr: none).
    const IndexedTag* tag(std::string_view key);
    // Captions and Item texts that end in a merge's conflict mark.
    size_t conflictMarks();

    // ---- Told by DocumentChanges
    void itemsAdded(const Topic& t, size_t row, size_t count);
    void itemLeaving(const Topic& t, size_t row);
    // Item row of t had the stored form `before` and has `after` now.
    void itemReplaced(const Topic& t, TextRef before, TextRef after);
    void subtreeAdded(const Topic& top);
    void subtreeLeaving(const Topic& top);
    // A Topic's caption was `before` and is `after` now.
    void captionChanged(std::string_view before, std::string_view after);

private:
    // A new document: what was built belongs to the old one.
    void beginResetTree() override { invalidate(); }

    // What one Item adds to the index.
    struct Share {
        bool open = false;
        std::optional<DueDate> due;
        // The keys of its tags, each once, and their spellings there.
        std::vector<const std::string*> tags;
        std::vector<std::string_view> names;
        bool conflict = false;  // the text ends in a conflict mark
    };
    // Whether its text may hold a token is known already (MayHoldTokens).
    const Share& shareOf(std::string_view stored, bool may);
    void apply(Topic* t, const Share& share, int sign);
    void applyStored(const Topic& t, std::string_view stored, int sign);
    void applySubtree(const Topic& top, int sign);
    // The key of a tag's name, folded once per spelling met.
    const std::string& keyOf(std::string_view name);
    // Adds sign to t's count in counts, at once or at the end of the batch.
    void count(TopicCounts& counts, Topic* t, int sign);
    // Runs fn as one batch: the counts each list gathers are merged into it once at the end
    // (one Topic at a time into an ordered list would move the list each time: quadratic on
    // a big document), and tags and days left without Items go then.
    template <typename Fn>
    void inBatch(Fn&& fn);

    const DocumentSession& session_;
    const Settings& settings_;
    bool built_ = false;
    uint64_t version_ = 1;
    std::map<std::string, IndexedTag> tags_;
    size_t untaggedOpen_ = 0;
    size_t conflictMarks_ = 0;
    std::map<Date, IndexedDay> days_;
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> keys_;  // by spelling
    ListKindOptions kinds_;
    Share share_;
    bool batching_ = false;
    std::unordered_map<TopicCounts*, std::vector<std::pair<Topic*, int64_t>>> pending_;
};

}  // namespace brenvale
