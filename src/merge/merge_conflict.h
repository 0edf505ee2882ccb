#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "document/topic.h"

namespace brenvale {

enum class ConflictKind {
    // The same Item changed two ways: ours' version, then theirs' with the conflict mark.
    ItemChangedBothWays,
    // An Item changed on one side and deleted on the other: kept as changed, marked.
    ItemChangedAndDeleted,
    // A caption changed two ways: the Topic keeps ours' caption and is followed by an empty
    // Topic with theirs' caption, marked.
    CaptionChangedBothWays,
    // A Topic changed on one side (or given new contents) and deleted on the other: kept with
    // the changing side's caption, icon and Items, its caption marked.
    TopicChangedAndDeleted,
    // Without a common ancestor: an Item that only theirs holds, or holds otherwise than
    // ours, added after ours' and marked.
    ItemOnlyInTheirs,
    // Without a common ancestor: a Topic that only theirs holds, added with its caption marked.
    TopicOnlyInTheirs,
    // A Topic's icon changed two ways (or, without a common ancestor, held differently): the
    // Topic keeps ours' icon and is followed by an empty Topic with theirs' icon and the
    // merged caption, marked.
    IconChangedBothWays,
};

inline constexpr size_t kNoItem = static_cast<size_t>(-1);

// Where a merge left something a user has to look at: a Topic of the merged Document and,
// for an Item, its row in that Topic's list (kNoItem when the Topic itself is meant). The
// marked text is at that place.
struct MergeConflict {
    ConflictKind kind;
    const Topic* topic = nullptr;
    size_t item = kNoItem;
};

// A short English description of a conflict kind, for the command line.
std::string_view ConflictKindText(ConflictKind kind);

// The captions from the top level down to t, joined by " > " (CP932 as the captions are).
std::string CaptionPath(const Topic& t);

}  // namespace brenvale
