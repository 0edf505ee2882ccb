#include "merge/document_merge.h"

#include <gtest/gtest.h>

#include "common/cp932.h"
#include "merge/conflict_mark.h"
#include "merge/outline.h"

namespace brenvale {
namespace {

using test::Canonical;
using test::Outline;
using test::OutlineOf;

struct Merged {
    std::string outline;
    MergeResult result;
};

Merged Merge3(std::string_view base, std::string_view ours, std::string_view theirs) {
    auto b = Outline(base);
    auto t = Outline(theirs);
    MergeResult r = MergeDocuments(*b, Outline(ours), *t);
    return {OutlineOf(*r.document), std::move(r)};
}

// The marked text the conflict points at, in UTF-8.
std::string MarkedAt(const MergeConflict& c) {
    std::string_view text =
        c.item == kNoItem ? c.topic->caption.view() : c.topic->items[c.item].text();
    return Cp932ToUtf8(text);
}

TEST(DocumentMerge, ItemChangesOfBothSidesAllLand) {
    const char* base = R"(
仕事
  [ ] 報告書
  [ ] 会議
  [ ] 出張
  [ ] 経費
  [ ] 電話
)";
    // Ours ticks 報告書, deletes 出張, adds 牛乳 at the end and a separator after 会議; theirs
    // edits 報告書, moves 電話 to the top, adds 卵 first... after 電話, and ticks 経費.
    const char* ours = R"(
仕事
  [x] 報告書
  [ ] 会議
  [ ] -
  [ ] 経費
  [ ] 電話
  [ ] 牛乳
)";
    const char* theirs = R"(
仕事
  [ ] 電話
  [ ] 卵
  [ ] 報告書を書く
  [ ] 会議
  [ ] 出張
  [x] 経費
)";
    Merged m = Merge3(base, ours, theirs);
    EXPECT_EQ(m.outline, Canonical(R"(
仕事
  [ ] 電話
  [ ] 卵
  [x] 報告書を書く
  [ ] 会議
  [ ] -
  [x] 経費
  [ ] 牛乳
)"));
    EXPECT_TRUE(m.result.conflicts.empty());
}

TEST(DocumentMerge, TopicChangesOfBothSidesAllLand) {
    const char* base = R"(
A
  [ ] a1
  A1
B
C @3
D
)";
    // Ours renames A1 and gives C another icon; theirs moves A1 under D, deletes B and adds E.
    const char* ours = R"(
A
  [ ] a1
  A1改
B
C @5
D
)";
    const char* theirs = R"(
A
  [ ] a1
C @3
D
  A1
E
  [ ] e1
)";
    Merged m = Merge3(base, ours, theirs);
    EXPECT_EQ(m.outline, Canonical(R"(
A
  [ ] a1
C @5
D
  A1改
E
  [ ] e1
)"));
    EXPECT_TRUE(m.result.conflicts.empty());
}

TEST(DocumentMerge, RenamedAndMovedTopicKeepsItsItemsAndChildren) {
    // The rename and the move of each side, and the Items' edits inside, meet in one Topic.
    const char* base = "A\n  [ ] x\n  A1\n    [ ] y\nB\n";
    const char* ours = "A\n  [ ] x\n  A1新\n    [x] y\nB\n";
    const char* theirs = "A\n  [ ] x\nB\n  A1\n    [ ] y\n    [ ] z\n";
    Merged m = Merge3(base, ours, theirs);
    EXPECT_EQ(m.outline, Canonical("A\n  [ ] x\nB\n  A1新\n    [x] y\n    [ ] z\n"));
    EXPECT_TRUE(m.result.conflicts.empty());
}

TEST(DocumentMerge, BothSidesAddingAtOnePlaceKeepBothOursFirst) {
    const char* base = "A\n  [ ] 1\n  [ ] 2\nB\n";
    const char* ours = "A\n  [ ] 1\n  [ ] o1\n  [ ] o2\n  [ ] 2\nO\nB\n";
    const char* theirs = "A\n  [ ] 1\n  [ ] t1\n  [ ] 2\nT\nB\n";
    Merged m = Merge3(base, ours, theirs);
    EXPECT_EQ(m.outline, Canonical("A\n  [ ] 1\n  [ ] o1\n  [ ] o2\n  [ ] t1\n  [ ] 2\nO\nT\nB\n"));
    EXPECT_TRUE(m.result.conflicts.empty());
}

TEST(DocumentMerge, WhatBothSidesAddedAlikeIsOne) {
    const char* base = "A\n  [ ] 1\n";
    const char* both = "A\n  [ ] 1\n  [ ] 牛乳\nN\n  [ ] n1\n  N1\n";
    Merged m = Merge3(base, both, both);
    EXPECT_EQ(m.outline, Canonical(both));
    // The same new Topic with different Items: one Topic holding both sides' Items.
    m = Merge3(base, "A\n  [ ] 1\nN\n  [ ] o\n", "A\n  [ ] 1\nN\n  [ ] t\n");
    EXPECT_EQ(m.outline, Canonical("A\n  [ ] 1\nN\n  [ ] o\n  [ ] t\n"));
    EXPECT_TRUE(m.result.conflicts.empty());
}

TEST(DocumentMerge, ItemChangedTwoWaysKeepsBothTheirsMarkedAfterOurs) {
    Merged m = Merge3("A\n  [ ] 牛乳\n  [ ] 卵\n", "A\n  [ ] 牛乳2本\n  [ ] 卵\n",
                      "A\n  [x] 牛乳1本\n  [ ] 卵\n");
    // Theirs' tick lands on ours' version too: ticks and texts merge apart.
    EXPECT_EQ(m.outline, Canonical("A\n  [x] 牛乳2本\n  [x] 牛乳1本 #競合\n  [ ] 卵\n"));
    ASSERT_EQ(m.result.conflicts.size(), 1u);
    EXPECT_EQ(m.result.conflicts[0].kind, ConflictKind::ItemChangedBothWays);
    EXPECT_EQ(m.result.conflicts[0].item, 1u);
    EXPECT_EQ(MarkedAt(m.result.conflicts[0]), "牛乳1本 #競合");
}

TEST(DocumentMerge, ItemChangedOnOneSideAndDeletedOnTheOtherIsKeptAsChanged) {
    for (bool oursEdits : {true, false}) {
        const char* base = "A\n  [ ] 1\n  [ ] 2\n  [ ] 3\n";
        const char* edited = "A\n  [ ] 1\n  [x] 2\n  [ ] 3\n";
        const char* deleted = "A\n  [ ] 1\n  [ ] 3\n";
        Merged m = oursEdits ? Merge3(base, edited, deleted) : Merge3(base, deleted, edited);
        EXPECT_EQ(m.outline, Canonical("A\n  [ ] 1\n  [x] 2 #競合\n  [ ] 3\n")) << oursEdits;
        ASSERT_EQ(m.result.conflicts.size(), 1u);
        EXPECT_EQ(m.result.conflicts[0].kind, ConflictKind::ItemChangedAndDeleted);
        EXPECT_EQ(MarkedAt(m.result.conflicts[0]), "2 #競合");
    }
}

TEST(DocumentMerge, CaptionChangedTwoWaysIsFollowedByAMarkedTopicOfTheirs) {
    Merged m =
        Merge3("A\n  [ ] 1\n  A1\nB\n", "A新\n  [ ] 1\n  A1\nB\n", "A改 @4\n  [ ] 1\n  A1\nB\n");
    EXPECT_EQ(m.outline, Canonical("A新 @4\n  [ ] 1\n  A1\nA改 #競合 @4\nB\n"));
    ASSERT_EQ(m.result.conflicts.size(), 1u);
    EXPECT_EQ(m.result.conflicts[0].kind, ConflictKind::CaptionChangedBothWays);
    EXPECT_EQ(MarkedAt(m.result.conflicts[0]), "A改 #競合");
}

TEST(DocumentMerge, IconChangedTwoWaysKeepsOursAndAMarkedTopicWithTheirs) {
    // Theirs' icon follows under the merged caption (theirs renamed it), marked.
    Merged m = Merge3("A\n  [ ] 1\nB\n", "A @5\n  [ ] 1\nB\n", "A改 @7\n  [ ] 1\nB\n");
    EXPECT_EQ(m.outline, Canonical("A改 @5\n  [ ] 1\nA改 #競合 @7\nB\n"));
    ASSERT_EQ(m.result.conflicts.size(), 1u);
    EXPECT_EQ(m.result.conflicts[0].kind, ConflictKind::IconChangedBothWays);
    EXPECT_EQ(MarkedAt(m.result.conflicts[0]), "A改 #競合");

    // The same new icon on both sides is one change.
    m = Merge3("A\n", "A @5\n", "A @5\n");
    EXPECT_EQ(m.outline, Canonical("A @5\n"));
    EXPECT_TRUE(m.result.conflicts.empty());

    // Caption and icon both changed two ways: one marker holds theirs' caption and icon.
    m = Merge3("A\n", "A1 @5\n", "A2 @7\n");
    EXPECT_EQ(m.outline, Canonical("A1 @5\nA2 #競合 @7\n"));
    ASSERT_EQ(m.result.conflicts.size(), 1u);
    EXPECT_EQ(m.result.conflicts[0].kind, ConflictKind::CaptionChangedBothWays);

    // Without a common ancestor an icon held differently is not lost either.
    auto ours = Outline("A @5\n  [ ] 1\n");
    auto theirs = Outline("A @7\n  [ ] 1\n");
    MergeResult r = UniteDocuments(*ours, *theirs);
    EXPECT_EQ(OutlineOf(*r.document), Canonical("A @5\n  [ ] 1\nA #競合 @7\n"));
    ASSERT_EQ(r.conflicts.size(), 1u);
    EXPECT_EQ(r.conflicts[0].kind, ConflictKind::IconChangedBothWays);
}

TEST(DocumentMerge, TopicChangedOnOneSideAndDeletedOnTheOtherIsKept) {
    // Theirs deletes A with its child; ours ticks an Item of the child: both stay, the
    // changed one marked, and so does A, which holds it.
    Merged m = Merge3("A\n  A1\n    [ ] 1\n  A2\nB\n", "A\n  A1\n    [x] 1\n  A2\nB\n", "B\n");
    EXPECT_EQ(m.outline, Canonical("A #競合\n  A1 #競合\n    [x] 1\nB\n"));
    ASSERT_EQ(m.result.conflicts.size(), 2u);
    EXPECT_EQ(m.result.conflicts[0].kind, ConflictKind::TopicChangedAndDeleted);
    EXPECT_EQ(MarkedAt(m.result.conflicts[0]), "A #競合");
    EXPECT_EQ(MarkedAt(m.result.conflicts[1]), "A1 #競合");

    // Ours deletes B; theirs adds a Topic under it and moves C into it.
    m = Merge3("B\n  B1\nC\n  [ ] c\n", "C\n  [ ] c\n", "B\n  B1\n  N\n  C\n    [ ] c\n");
    EXPECT_EQ(m.outline, Canonical("B #競合\n  N\n  C\n    [ ] c\n"));
}

TEST(DocumentMerge, MovesThatWouldNestATopicInItselfKeepOursPlace) {
    // Ours moves A under B, theirs B under A.
    Merged m = Merge3("A\n  [ ] a\nB\n  [ ] b\n", "B\n  [ ] b\n  A\n    [ ] a\n",
                      "A\n  [ ] a\n  B\n    [ ] b\n");
    EXPECT_EQ(m.outline, Canonical("B\n  [ ] b\n  A\n    [ ] a\n"));
}

TEST(DocumentMerge, UnitingCopiesWithoutAncestorLosesNothing) {
    auto ours = Outline("A\n  [ ] 1\n  [ ] 2\n  [ ] 3\nB\n  [ ] b\n");
    auto theirs = Outline("A\n  [ ] 1\n  [x] 2\n  [ ] 4\nC\n  [ ] c\n");
    MergeResult r = UniteDocuments(*ours, *theirs);
    EXPECT_EQ(OutlineOf(*r.document), Canonical(R"(
A
  [ ] 1
  [ ] 2
  [x] 2 #競合
  [ ] 3
  [ ] 4 #競合
B
  [ ] b
C #競合
  [ ] c
)"));
    ASSERT_EQ(r.conflicts.size(), 3u);
    EXPECT_EQ(r.conflicts[0].kind, ConflictKind::ItemOnlyInTheirs);
    EXPECT_EQ(r.conflicts[2].kind, ConflictKind::TopicOnlyInTheirs);
    // The copy-taking form left ours as it was.
    EXPECT_EQ(OutlineOf(*ours), Canonical("A\n  [ ] 1\n  [ ] 2\n  [ ] 3\nB\n  [ ] b\n"));
}

TEST(DocumentMerge, MarksDoNotPileUpWhenMergedAgain) {
    EXPECT_EQ(WithConflictMark(WithConflictMark("x")), "x" + std::string(kConflictMark));
    EXPECT_EQ(kConflictMark, test::Sjis(" #競合"));
}

TEST(DocumentMerge, BytesWithoutAncestorTopicsUniteAndGeometryMerges) {
    std::string geometry = "\x07Height400\r\n\x07Width500\r\n";
    MergedFile f = MergeDocumentBytes(
        geometry, "\x07Height400\r\n\x07Width600\r\n" + test::OutlineBytes("A\n  [ ] 1\n"),
        "\x07Height300\r\n\x07Width500\r\n" + test::OutlineBytes("A\n  [ ] 2\n"), {});
    // An ancestor without Topics: the two are united, theirs' Item marked.
    EXPECT_EQ(OutlineOf(*f.merge.document), Canonical("A\n  [ ] 1\n  [ ] 2 #競合\n"));
    EXPECT_EQ(f.geometry.width, 600);
    EXPECT_EQ(f.geometry.height, 400);  // ours' geometry when there is no ancestor

    f = MergeDocumentBytes(geometry + test::OutlineBytes("A\n"),
                           "\x07Height400\r\n\x07Width600\r\n" + test::OutlineBytes("A\n"),
                           "\x07Height300\r\n\x07Width500\r\n" + test::OutlineBytes("A\n"), {});
    EXPECT_EQ(f.geometry.width, 600);
    EXPECT_EQ(f.geometry.height, 300);
}

}  // namespace
}  // namespace brenvale
