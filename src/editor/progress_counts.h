#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace brenvale {

class Topic;
class ViewNotifier;

// Checked Items out of the Items that have a box (ordinary Items, as the status bar counts
// them: separators and no-box Items are no tasks).
struct Progress {
    uint32_t checked = 0;
    uint32_t total = 0;

    bool operator==(const Progress&) const = default;
};

// The counter the tree shows after a caption: "3/10", and whether every Item is checked.
struct ProgressText {
    std::string text;  // empty when there is nothing to count
    bool complete = false;
};

// The progress of every Topic: its own Items, and those of its whole subtree. A Topic's counts
// are worked out the first time they are asked for (a paint of its row) and from then on kept
// up to date by DocumentChanges, which tells of every change; so a paint never walks the
// document, and opening one costs nothing here. The counts live in the Topics (TopicTally).
class ProgressCounts {
public:
    ProgressCounts(const Settings& settings, ViewNotifier& views)
        : settings_(settings), views_(views) {}
    ProgressCounts(const ProgressCounts&) = delete;
    ProgressCounts& operator=(const ProgressCounts&) = delete;

    Progress own(const Topic& t) const;
    Progress subtree(const Topic& t) const;
    // Own Items, or the whole subtree's for a folded Topic with children.
    ProgressText text(const Topic& t) const;

    // ---- Told by DocumentChanges
    // What Item row of t adds to its Topic's counts (0/0 or x/1).
    Progress itemShare(const Topic& t, size_t row) const;
    // count Items from row on came into t's list, or Item row is about to leave it.
    void itemsAdded(Topic* t, size_t row, size_t count);
    void itemLeaving(Topic* t, size_t row);
    // Item row of t changed its stored form; it added `before` until then.
    void itemChanged(Topic* t, size_t row, Progress before);
    // Topics came under parent or left it (nullptr: the top level).
    void childrenChanged(Topic* parent);
    // Every count is worked out afresh when next asked for: the kind settings changed, or
    // texts were changed in place.
    void recountAll();
    // Tells the views which counts changed since the last time: of one Topic (and those above
    // it), or of every Topic. The editor calls it once an action ends, so that an action
    // that changes a million Items tells them once.
    void tellViews();

private:
    // Makes a count of another generation unknown.
    void touch(const Topic& t) const;
    void adjust(Topic* t, int64_t checked, int64_t total);
    // A change to tell: of t, or (nullptr) of every Topic.
    void changed(Topic* t);

    const Settings& settings_;
    ViewNotifier& views_;
    uint32_t generation_ = 1;
    bool untold_ = false;
    Topic* untoldTopic_ = nullptr;  // nullptr: every Topic
};

}  // namespace brenvale
