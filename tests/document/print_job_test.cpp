#include "document/print_job.h"

#include <gtest/gtest.h>

#include "document/model.h"

namespace brenvale {
namespace {

// A chain of Topics each under the one before, named by their level from 1.
Topic* Chain(Document& doc, int depth) {
    Topic* t = &AddTopic(doc, nullptr, "1", 0, kBuiltInTopicImages);
    for (int level = 2; level <= depth; ++level) {
        t = &AddChildTopic(doc, t, std::to_string(level), 0, kBuiltInTopicImages);
        t->items.push_back(Item::Unchecked("item"));
    }
    return t;
}

std::string Path(const PrintHeading& heading) {
    std::string text = heading.elided ? "... > " : "";
    for (size_t i = 0; i < heading.path.size(); ++i) {
        text += (i > 0 ? " > " : "") + std::string(heading.path[i]);
    }
    return text;
}

// However deep a Topic lies, its heading shows a few captions and a bounded indentation, and
// beyond the last indentation its level as a number.
TEST(PrintHeadings, ShowTheLastLevelsIndentedAsFarAsTheCap) {
    Document doc;
    Chain(doc, 5000);
    std::vector<PrintHeading> headings;
    ForEachTopic(doc, [&](const Topic& t, int level) { headings.push_back(HeadingOf(t, level)); });
    ASSERT_EQ(headings.size(), 5000u);
    EXPECT_EQ(Path(headings[0]), "1");
    EXPECT_EQ(Path(headings[1]), "1 > 2");
    EXPECT_EQ(Path(headings[2]), "1 > 2 > 3");
    EXPECT_EQ(Path(headings[3]), "... > 2 > 3 > 4");
    EXPECT_EQ(Path(headings[4999]), "... > 4998 > 4999 > 5000");
    for (int level = 0; level < 5000; ++level) {
        const PrintHeading& h = headings[static_cast<size_t>(level)];
        EXPECT_LE(h.path.size(), kHeadingPathParts);
        EXPECT_EQ(h.indent, std::min(level, kMaxPrintIndent)) << level;
        // Every level stays told apart: by its indentation, or by its number.
        EXPECT_EQ(h.levelShown, level > kMaxPrintIndent ? level + 1 : 0) << level;
    }
}

TEST(PrintHeadings, CountFromTheTopOfWhatIsPrinted) {
    Document doc;
    Topic* deepest = Chain(doc, 30);
    Topic* top = deepest->parent()->parent();  // level 28
    AddChildTopic(doc, top, "beside", 0, kBuiltInTopicImages).items.push_back(Item::Unchecked("x"));
    PrintJob job;
    job.document = &doc;
    job.topic = top;
    std::vector<std::pair<std::string, int>> printed;
    ForEachPrintedTopic(job, [&](const Topic& t, int level) {
        printed.emplace_back(t.caption, HeadingOf(t, level).indent);
    });
    EXPECT_EQ(printed, (std::vector<std::pair<std::string, int>>{
                           {"28", 0}, {"29", 1}, {"30", 2}, {"beside", 1}}));
    // Each Topic and Item is one unit of work: 4 Topics and their 4 Items.
    EXPECT_EQ(PrintUnits(job), 8u);
    job.topic = nullptr;
    EXPECT_EQ(PrintUnits(job), 31u + 30u);
}

}  // namespace
}  // namespace brenvale
