#include "merge/merge_conflict.h"

namespace brenvale {

std::string_view ConflictKindText(ConflictKind kind) {
    switch (kind) {
        case ConflictKind::ItemChangedBothWays:
            return "item changed on both sides";
        case ConflictKind::ItemChangedAndDeleted:
            return "item changed on one side, deleted on the other";
        case ConflictKind::CaptionChangedBothWays:
            return "topic renamed on both sides";
        case ConflictKind::TopicChangedAndDeleted:
            return "topic changed on one side, deleted on the other";
        case ConflictKind::ItemOnlyInTheirs:
            return "item only in theirs";
        case ConflictKind::TopicOnlyInTheirs:
            return "topic only in theirs";
    }
    return "conflict";
}

}  // namespace brenvale
