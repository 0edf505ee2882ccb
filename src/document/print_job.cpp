#include "document/print_job.h"

namespace brenvale {

uint64_t PrintUnits(const PrintJob& job) {
    uint64_t units = 0;
    ForEachPrintedTopic(job, [&](const Topic& t, int) { units += 1 + t.items.size(); });
    return units;
}

PrintHeading HeadingOf(const Topic& t, int level) {
    PrintHeading heading;
    const Topic* p = &t;
    for (; p && heading.path.size() < kHeadingPathParts; p = p->parent()) {
        heading.path.insert(heading.path.begin(), std::string_view(p->caption));
    }
    heading.elided = p != nullptr;
    heading.indent = level < kMaxPrintIndent ? level : kMaxPrintIndent;
    heading.levelShown = level > kMaxPrintIndent ? level + 1 : 0;
    return heading;
}

}  // namespace brenvale
