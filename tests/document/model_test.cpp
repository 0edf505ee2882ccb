#include "document/model.h"

#include <gtest/gtest.h>

#include "document/item_kind.h"
#include "document/safe_text.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

Topic& Add(Document& doc, std::string_view text, int icon = 0) {
    return AddTopic(doc, nullptr, text, icon, kBuiltInTopicImages);
}

TEST(AddTopic, TakesTheIconFromTheSuffixAndCutsIt) {
    Document doc;
    Topic& shopping = Add(doc, Sjis("買い物@05@"));
    EXPECT_EQ(shopping.caption, Sjis("買い物"));
    EXPECT_EQ(shopping.icon, 5);
    EXPECT_EQ(shopping.selectedImage(), 5);
    EXPECT_EQ(Add(doc, "x@ 7@").icon, 7);
    EXPECT_EQ(Add(doc, "x@5 @").icon, kIconMissing);  // 50 is beyond the image list
    Topic& one = Add(doc, "x@01@");
    EXPECT_EQ(one.caption, "x");
    EXPECT_EQ(one.icon, 0);
    EXPECT_EQ(one.selectedImage(), 1);
    EXPECT_EQ(Add(doc, "x@00@").icon, 0);
    Topic& empty = Add(doc, "@03@");
    EXPECT_EQ(empty.caption, "");
    EXPECT_EQ(empty.icon, 3);
    EXPECT_EQ(Add(doc, "@@").caption, "@@");
    Topic& noSuffix = Add(doc, "abc@1@");
    EXPECT_EQ(noSuffix.caption, "abc@1@");
    EXPECT_EQ(noSuffix.icon, 0);
    Topic& plan = Add(doc, "Plan@12@", 4);
    EXPECT_EQ(plan.caption, "Plan");
    EXPECT_EQ(plan.icon, 4);
    EXPECT_EQ(AddTopic(doc, nullptr, "u@09@", 0, kBuiltInTopicImages + 2).icon, 9);
    EXPECT_EQ(doc.topicCount(), 10u);
}

TEST(AddTopic, AppendsAtTheLevelOfTheReferenceAndChildrenLast) {
    Document doc;
    Topic& a = Add(doc, "a");
    Topic& b = Add(doc, "b");
    Topic& a1 = AddChildTopic(doc, &a, "a1", 0, kBuiltInTopicImages);
    Topic& a2 = AddTopic(doc, &a1, "a2", 0, kBuiltInTopicImages);
    Topic& c = AddTopic(doc, &a, "c", 0, kBuiltInTopicImages);
    EXPECT_EQ(a.childCount(), 2u);
    EXPECT_EQ(a2.parent(), &a);
    EXPECT_EQ(a2.row(), 1u);
    EXPECT_EQ(c.row(), 2u);
    EXPECT_EQ(b.nextSibling(), &c);
    EXPECT_EQ(a2.level(), 1);
    EXPECT_TRUE(a2.expanded);
    EXPECT_EQ(doc.treeOrderIndex(&b), 3u);
    EXPECT_EQ(doc.treeOrderIndex(&c), 4u);
}

TEST(Document, MovesAndRemovesSubtreesKeepingCountsAndRows) {
    Document doc;
    Topic& a = Add(doc, "a");
    Topic& b = Add(doc, "b");
    AddChildTopic(doc, &a, "a1", 0, kBuiltInTopicImages);
    doc.move(&a, &b, 0);
    EXPECT_EQ(doc.topLevelCount(), 1u);
    EXPECT_EQ(a.parent(), &b);
    EXPECT_EQ(b.row(), 0u);
    EXPECT_EQ(doc.topicCount(), 3u);
    EXPECT_TRUE(b.isAncestorOf(a.child(0)));
    DetachedTopic taken = doc.remove(&a);
    EXPECT_EQ(doc.topicCount(), 1u);
    EXPECT_FALSE(b.hasChildren());
}

TEST(Document, TearsDownAVeryDeepTreeWithoutRecursion) {
    auto doc = std::make_unique<Document>();
    Topic* t = nullptr;
    for (int i = 0; i < 200000; ++i) {
        t = &AddChildTopic(*doc, t, "x", 0, kBuiltInTopicImages);
    }
    EXPECT_EQ(doc->topicCount(), 200000u);
    EXPECT_EQ(doc->treeOrderIndex(t), 199999u);
    AddChildTopic(*doc, t, "y", 0, kBuiltInTopicImages);
    EXPECT_EQ(doc->treeOrderIndex(t), 199999u);
    int deepest = 0;
    ForEachTopic(*doc, [&](const Topic&, int level) { deepest = level; });
    EXPECT_EQ(deepest, 200000);
    doc.reset();
}

TEST(AppendStoredItem, SplitsMarkAndTextAndKeepsForeignMarks) {
    Document doc;
    Topic& t = Add(doc, "t");
    AppendStoredItem(&t, Sjis("■牛乳"));
    AppendStoredItem(&t, Sjis("□牛乳"));
    AppendStoredItem(&t, "xy" + Sjis("牛乳"));
    AppendStoredItem(&t, "x");
    AppendStoredItem(nullptr, "ignored");
    ASSERT_EQ(t.items.size(), 4u);
    EXPECT_TRUE(t.items[0].checked());
    EXPECT_EQ(t.items[0].text(), Sjis("牛乳"));
    EXPECT_FALSE(t.items[1].checked());
    EXPECT_EQ(t.items[2].mark(), "xy");
    EXPECT_FALSE(t.items[2].checked());
    EXPECT_EQ(t.items[3].mark(), "x");
    EXPECT_EQ(t.items[3].text(), "");
    t.items[2].setChecked(true);
    EXPECT_EQ(t.items[2].stored(), Sjis("■牛乳"));
    t.items[3].setText("abc");
    EXPECT_EQ(t.items[3].stored(), Sjis("□") + "abc");
}

TEST(ItemKind, FollowsKugiriAndCekBox) {
    EXPECT_EQ(KindOf("-", true, true), ItemKind::Separator);
    EXPECT_EQ(KindOf("-", false, true), ItemKind::NoBox);
    EXPECT_EQ(ShownText("-", ItemKind::NoBox), "");
    EXPECT_EQ(KindOf("-", false, false), ItemKind::Ordinary);
    EXPECT_EQ(KindOf("-ab", true, true), ItemKind::NoBox);
    EXPECT_EQ(ShownText("-ab", ItemKind::NoBox), "ab");
    EXPECT_EQ(KindOf("-ab", true, false), ItemKind::Ordinary);
    EXPECT_EQ(KindOf("", true, true), ItemKind::Ordinary);
    ListKindOptions on;
    ListKindOptions off{false, false, ""};
    EXPECT_FALSE(CountsAsUnchecked("-", false, on));
    EXPECT_FALSE(CountsAsUnchecked("-x", false, on));
    EXPECT_TRUE(CountsAsUnchecked("x", false, on));
    EXPECT_TRUE(CountsAsUnchecked("-", false, off));
    EXPECT_FALSE(CountsAsUnchecked("x", true, off));
}

TEST(SafeText, MakesEveryTextReadBackAsWritten) {
    EXPECT_EQ(FileSafeText("a\r\nb\rc\nd\x1A"
                           "e"),
              "a\nb\nc\nde");
    EXPECT_EQ(FileSafeCaption("\x07\t\x08x\ty"), "x\ty");
    EXPECT_EQ(FileSafeCaption("\x1A\x07"
                              "a"),
              "a");
    EXPECT_TRUE(IsFileSafeCaption(Sjis("表\\")));  // a trail byte 0x5C is an ordinary byte
    EXPECT_FALSE(IsFileSafeCaption("\tx"));
    EXPECT_EQ(FileSafeItem(Item::FromStored("\x1A\x1A"
                                            "t\r\nu"))
                  .stored(),
              Sjis("□") + "t\nu");
    EXPECT_EQ(FileSafeItem(Item(Sjis("■"), "a\rb")).stored(), Sjis("■") + "a\nb");
    EXPECT_EQ(ClipboardSafeText("a\r\nb\nc\rd"), "a b c d");
}

}  // namespace
}  // namespace brenvale
