#include "merge/merge_conflict.h"

#include <vector>

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
            return "item only in theirs, or held otherwise (no common ancestor)";
        case ConflictKind::TopicOnlyInTheirs:
            return "topic only in theirs (no common ancestor)";
        case ConflictKind::IconChangedBothWays:
            return "topic icon changed on both sides";
    }
    return "conflict";
}

std::string CaptionPath(const Topic& t) {
    std::vector<const Topic*> path;
    for (const Topic* p = &t; p; p = p->parent()) {
        path.push_back(p);
    }
    std::string text;
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        if (!text.empty()) {
            text += " > ";
        }
        text.append((*it)->caption.view());
    }
    return text;
}

}  // namespace brenvale
