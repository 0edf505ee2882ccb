#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "common/error.h"
#include "document/document_reader.h"
#include "document/item_list.h"
#include "document/model.h"
#include "document/storage.h"
#include "document/text_store.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

TEST(TextStore, KeepsEveryStoredFormWhereItWasPut) {
    TextStore store;
    std::string file = "\x81\xA0one\r\x81\xA1two\r";
    ByteBlock block(file.size());
    std::memcpy(block.data(), file.data(), file.size());
    TextRef base = store.adopt(std::move(block), file.size());
    EXPECT_EQ(store.stored(base), Sjis("□") + "one");
    EXPECT_EQ(store.stored(TextStore::Offset(base, 6)), Sjis("■") + "two");

    // Enough short forms to fill several arena chunks, and one longer than a chunk.
    std::vector<std::pair<TextRef, std::string>> added;
    for (int i = 0; i < 5000; ++i) {
        std::string stored = "xy" + std::to_string(i);
        added.emplace_back(store.add(stored), stored);
    }
    std::string longText(200000, 'L');
    TextRef longRef = store.add("ab", longText);
    added.emplace_back(store.add("after"), "after");
    for (const auto& [ref, stored] : added) {
        ASSERT_EQ(store.stored(ref), stored);
    }
    EXPECT_EQ(store.stored(longRef), "ab" + longText);
    EXPECT_EQ(store.stored(base), Sjis("□") + "one");
    EXPECT_EQ(store.keep("caption"), "caption");
}

TEST(TextStore, RefusesBlocksBeyondItsSpaceBeforeTakingThem) {
    TextStore store;
    // Each block takes at least one slot of the 4 GiB space.
    size_t slots = TextStore::kMaxBytes >> TextStore::kSlotBits;
    for (size_t i = 0; i < slots; ++i) {
        store.adopt(ByteBlock(1), 1);
    }
    EXPECT_FALSE(store.hasRoomFor(1));
    EXPECT_THROW(store.adopt(ByteBlock(1), 1), Error);
    EXPECT_THROW(store.add("xy"), Error);
}

class Items : public ::testing::Test {
protected:
    Document doc;
    Topic& topic = AddTopic(doc, nullptr, "t", 0, kBuiltInTopicImages);
    ItemList& items = topic.items;
};

TEST_F(Items, ChangesWriteNewFormsAndLeaveTheOldBytesToTheirHolders) {
    items.push_back(Item::FromStored("xyfirst"));
    items.push_back(Item::Unchecked("second"));
    TextRef before = items.ref(0);
    items[0].setChecked(false);  // a foreign mark is rewritten
    EXPECT_EQ(items[0].stored(), Sjis("□") + "first");
    EXPECT_EQ(doc.texts().stored(before), "xyfirst");
    TextRef unchanged = items.ref(1);
    items[1].setChecked(false);  // already says so: nothing is copied
    EXPECT_EQ(items.ref(1), unchanged);
    items[1].setText("new");
    EXPECT_EQ(items[1].stored(), Sjis("□") + "new");
    EXPECT_EQ(doc.texts().stored(unchanged), Sjis("□") + "second");
}

TEST_F(Items, TextsAreMadeFileSafeAsTheyEnter) {
    items.insert(0, kCheckedMark,
                 "a\r\nb\x1A"
                 "c");
    items.push_back(
        Item::FromStored("\r\x1A"
                         "t"));
    items.push_back(Item::FromStored(""));
    EXPECT_EQ(items[0].stored(), Sjis("■") + "a\nbc");
    EXPECT_TRUE(items[0].checked());
    EXPECT_EQ(items[1].stored(), Sjis("□") + "t");
    EXPECT_EQ(items[2].stored(), "");
    EXPECT_EQ(items[2].mark(), "");
    EXPECT_FALSE(items[2].checked());
}

TEST_F(Items, MoveBetweenListsAsReferencesWithoutCopying) {
    items.push_back(Item(Sjis("■"), "keep"));
    items.push_back(Item::Unchecked("other"));
    Topic& second = AddTopic(doc, nullptr, "u", 0, kBuiltInTopicImages);
    size_t held = doc.storage().bytesHeld();
    TextRef taken = items.take(0);
    second.items.insertRef(0, taken);
    items.insertRef(1, taken);  // an undo record putting the Item back
    EXPECT_EQ(doc.storage().bytesHeld(), held);
    EXPECT_EQ(second.items[0].stored(), Sjis("■") + "keep");
    EXPECT_EQ(items[1].stored(), Sjis("■") + "keep");
    EXPECT_EQ(items[0].text(), "other");

    TextRef before = items.ref(0);
    items[0].setText("changed");
    items.setRef(0, before);  // undoing the change costs no copy either
    EXPECT_EQ(items[0].text(), "other");
}

TEST(ItemView, ReadsTheKindFromTheFirstBytesAsKindOfDoes) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "t", 0, kBuiltInTopicImages);
    const char* forms[] = {"", "x", "xy", "xy-", "xy--", "xy-a", "xyab", "xy a"};
    for (const char* form : forms) {
        t.items.push_back(Item::FromStored(form));
    }
    for (bool separatorItems : {false, true}) {
        for (bool noBoxItems : {false, true}) {
            ListKindOptions options{separatorItems, noBoxItems, ""};
            for (size_t i = 0; i < t.items.size(); ++i) {
                ItemView item = std::as_const(t.items)[i];
                EXPECT_EQ(item.kind(options), KindOf(item.text(), options))
                    << forms[i] << separatorItems << noBoxItems;
            }
        }
    }
}

TEST(Caption, ReadsAndComparesLikeItsBytes) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "cap@03@", 0, kBuiltInTopicImages);
    EXPECT_EQ(t.caption, "cap");
    EXPECT_EQ(t.caption + "/1", "cap/1");
    EXPECT_EQ("<" + t.caption, "<cap");
    std::string caption = "renamed";
    t.setCaption(caption);
    caption = "changed afterwards";
    EXPECT_EQ(t.caption, std::string("renamed"));
    EXPECT_NE(t.caption, "cap");
    t.setCaption("");
    EXPECT_TRUE(t.caption.empty());

    // Assigned directly, a caption keeps a copy of its own, and copies of it do too.
    std::string text = "assigned";
    t.caption = text;
    text = "changed";
    Caption copy = t.caption;
    t.caption = t.caption.view();
    t.caption = "other";
    EXPECT_EQ(copy, "assigned");
    EXPECT_EQ(t.caption, "other");
    std::string converted = copy;
    EXPECT_EQ(converted, "assigned");
}

// "caption:item,item" per Topic in tree order.
std::vector<std::string> TopicLines(const Document& doc) {
    std::vector<std::string> out;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        std::string line = std::to_string(level) + t.caption + ":";
        for (size_t i = 0; i < t.items.size(); ++i) {
            line += std::string(t.items[i].stored()) + ",";
        }
        out.push_back(line);
    });
    return out;
}

TEST(DetachedTopic, KeepsARemovedSubtreeWholeUntilItIsPutBack) {
    Document doc;
    Topic& a = AddTopic(doc, nullptr, "a", 0, kBuiltInTopicImages);
    Topic& b = AddChildTopic(doc, &a, "b", 0, kBuiltInTopicImages);
    b.items.push_back(Item::Unchecked("in b"));
    AddChildTopic(doc, &b, "c", 0, kBuiltInTopicImages);
    AddTopic(doc, nullptr, "d", 0, kBuiltInTopicImages);
    std::vector<std::string> before = TopicLines(doc);
    TextRef itemRef = b.items.ref(0);

    DetachedTopic taken = doc.remove(&b);
    EXPECT_EQ(doc.topicCount(), 2u);
    EXPECT_EQ(taken.get(), &b);
    EXPECT_EQ(taken->child(0)->caption, "c");
    Topic& back = doc.insert(&a, 0, std::move(taken));
    EXPECT_FALSE(taken);
    EXPECT_EQ(&back, &b);
    EXPECT_EQ(b.items.ref(0), itemRef);
    EXPECT_EQ(doc.topicCount(), 4u);
    EXPECT_EQ(TopicLines(doc), before);
}

TEST(DetachedTopic, OutlivesItsDocument) {
    DetachedTopic kept;
    {
        auto doc = std::make_unique<Document>();
        Topic& a = AddTopic(*doc, nullptr, "a", 0, kBuiltInTopicImages);
        a.items.push_back(Item::Unchecked("item"));
        AddChildTopic(*doc, &a, "child", 0, kBuiltInTopicImages);
        kept = doc->remove(&a);
    }
    EXPECT_EQ(kept->caption, "a");
    EXPECT_EQ(kept->items[0].text(), "item");
    EXPECT_EQ(kept->child(0)->caption, "child");
    kept.reset();
    EXPECT_FALSE(kept);
}

TEST(Document, KnowsEveryTopicsTreeOrderAfterEveryChangeOfShape) {
    ReadResult r = ParseDocument("a\r\n\tb\r\n\t\tc\r\n\td\r\ne\r\n\tf\r\n", {});
    Document& doc = *r.document;
    auto check = [&] {
        size_t index = 0;
        ForEachTopic(doc, [&](const Topic& t, int) {
            EXPECT_EQ(doc.treeOrderIndex(&t), index++) << t.caption;
        });
        EXPECT_EQ(index, doc.topicCount());
    };
    check();
    Topic* e = doc.topLevel(1);
    doc.move(e, doc.first(), 0);
    check();
    DetachedTopic b = doc.remove(doc.first()->child(1));
    EXPECT_EQ(doc.treeOrderIndex(b.get()), doc.topicCount());
    EXPECT_EQ(doc.topicCount(), 4u);
    check();
    doc.append(nullptr, std::move(b));
    EXPECT_EQ(doc.topicCount(), 6u);
    check();
    EXPECT_EQ(doc.treeOrderIndex(nullptr), 6u);
}

}  // namespace
}  // namespace brenvale
