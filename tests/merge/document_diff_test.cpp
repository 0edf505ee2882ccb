#include "merge/document_diff.h"

#include <gtest/gtest.h>

#include "common/cp932.h"
#include "merge/outline.h"

namespace brenvale {
namespace {

using test::Outline;

// Each change as "kind path | before | text".
std::vector<std::string> Lines(std::string_view before, std::string_view after) {
    static const char* kNames[] = {"topic added", "topic removed", "topic moved",  "topic renamed",
                                   "topic icon",  "item added",    "item removed", "item edited",
                                   "item ticked", "item unticked", "item moved"};
    std::vector<std::string> lines;
    for (const DocumentChange& c : DiffDocuments(*Outline(before), *Outline(after))) {
        std::string line =
            std::string(kNames[static_cast<int>(c.kind)]) + " " + Cp932ToUtf8(c.path);
        if (!c.before.empty()) {
            line += " | " + Cp932ToUtf8(c.before);
        }
        if (!c.text.empty()) {
            line += " | " + Cp932ToUtf8(c.text);
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(DocumentDiff, SameTreeHasNoChanges) {
    const char* doc = "A\n  [x] 1\n  B @3\n    [ ] 2\nC\n";
    EXPECT_TRUE(Lines(doc, doc).empty());
}

TEST(DocumentDiff, EveryKindOfChangeIsOneLine) {
    const char* before = R"(
A
  [ ] 1
  [ ] 2
  [ ] 3
  [ ] 4
  A1
B
  B1
    [ ] x
    [ ] y
C
)";
    const char* after = R"(
A
  [ ] 4
  [x] 1
  [ ] 2改
  [ ] 3
  [ ] 5
C @4
  A1
D
)";
    EXPECT_EQ(Lines(before, after), (std::vector<std::string>{
                                        "topic removed B",
                                        "item moved A | 4",
                                        "item ticked A | 1",
                                        "item edited A | 2 | 2改",
                                        "item added A | 5",
                                        "topic icon C",
                                        "topic moved C > A1 | A > A1",
                                        "topic added D",
                                    }));
    // The removed subtree is one line with what went with it.
    std::vector<DocumentChange> changes = DiffDocuments(*Outline(before), *Outline(after));
    EXPECT_EQ(changes[0].topics, 2u);
    EXPECT_EQ(changes[0].items, 2u);
}

TEST(DocumentDiff, RenameIsOneLineWithTheOldPath) {
    EXPECT_EQ(Lines("A\n  [ ] 1\n  A1\nB\n", "A\n  [ ] 1\n  A2\nB\n"),
              (std::vector<std::string>{"topic renamed A > A2 | A > A1"}));
}

}  // namespace
}  // namespace brenvale
