#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "document/item_kind.h"

namespace brenvale {

// What a print or a PDF shows: the whole Document or one Topic with its subtree, each Topic
// under a heading with its path, each Item with its drawn check box.
struct PrintJob {
    const Document* document = nullptr;
    const Topic* topic = nullptr;  // nullptr: every Topic
    ListKindOptions kinds;         // separators, no-box Items and their mark as the list shows
    bool greyChecked = false;      // checked Items in grey
    std::string title;             // UTF-8, in every page's footer
};

// Calls fn(topic, level) for the Topics a job prints, in tree order; level counts from 0 at
// the top of what is printed.
template <typename Fn>
void ForEachPrintedTopic(const PrintJob& job, Fn&& fn) {
    if (job.topic) {
        ForEachInSubtree(*job.topic, fn);
    } else if (job.document) {
        ForEachTopic(*job.document, fn);
    }
}

// The work a job's pages take, in units: a Topic or an Item laid out once. The pages are
// laid out twice (first to count them for the footers), so a print takes twice this.
uint64_t PrintUnits(const PrintJob& job);

// Told how far a print has come, between the Topics and Items it lays out; it may stop the
// print there.
class PrintProgress {
public:
    virtual ~PrintProgress() = default;
    // done of total units; false stops the print.
    virtual bool step(uint64_t done, uint64_t total) = 0;
};

// Thrown where a print stops because its progress said so.
struct PrintCancelled {};

// The levels of indentation a printed page gives: deeper Topics are indented as far as the
// last of them and show their level as a number, so that a deep tree costs the page no more
// room, and the print no more work, than its texts.
inline constexpr int kMaxPrintIndent = 8;
// The captions a heading shows: the Topic's own and those of the levels just above it.
inline constexpr size_t kHeadingPathParts = 3;

// Where a Topic's heading stands on the page and what it says.
struct PrintHeading {
    std::vector<std::string_view> path;  // CP932 captions, the highest shown first
    bool elided = false;                 // levels above the path are left out
    int indent = 0;                      // steps of indentation, at most kMaxPrintIndent
    int levelShown = 0;                  // the level (1: the print's top) beyond the last
                                         // indentation, else 0
};
// The heading of t at level (0 at the top of the print).
PrintHeading HeadingOf(const Topic& t, int level);

}  // namespace brenvale
