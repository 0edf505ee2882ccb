#include "editor/drop_zone.h"

namespace brenvale {

TopicDropZone TopicDropZoneAt(const TopicRowHit& hit, int x) {
    using Zone = TopicDropZone;
    if (!hit.inClient) {
        return Zone::Outside;
    }
    if (!hit.topic) {
        return Zone::BelowAll;
    }
    if (hit.buttonLeft <= x && x < hit.buttonRight) {
        return Zone::ButtonOrRight;
    }
    if (x < hit.labelLeft) {
        return Zone::Indent;
    }
    return x < hit.labelRight ? Zone::OnTopic : Zone::ButtonOrRight;
}

int ListPointerRow(bool inClient, int rowUnder, int rowCount) {
    if (!inClient) {
        return -1;
    }
    return rowUnder >= 0 && rowUnder < rowCount ? rowUnder : rowCount;
}

}  // namespace brenvale
