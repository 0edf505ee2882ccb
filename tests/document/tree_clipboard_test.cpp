#include "document/tree_clipboard.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <new>

#include "document/document_writer.h"

#include "document/example_document.h"

namespace brenvale {
namespace {

using test::Sjis;

std::vector<std::string> ShapeWithIcons(const Document& doc) {
    std::vector<std::string> out;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        out.push_back(t.caption + "/" + std::to_string(level) + "/" + std::to_string(t.icon));
    });
    return out;
}

TEST(TreeClipboard, BuildsTheSubtreeRelativeToTheCopiedTopic) {
    Document doc;
    Topic& work = AddTopic(doc, nullptr, "Work", 0, kBuiltInTopicImages);
    work.items.push_back(Item(Sjis("■"), "a"));
    Topic& home = AddChildTopic(doc, &work, "Home", 7, kBuiltInTopicImages);
    home.items.push_back(Item::FromStored("xyb"));  // a foreign mark is copied as unchecked
    EXPECT_EQ(BuildTreeClipboardText(work),
              "Work@00@\r\n\x08" + Sjis("■") + "a\r\n\tHome@07@\r\n\t\x08" + Sjis("□") + "b\r\n");
    EXPECT_EQ(BuildTreeClipboardText(home), "Home@07@\r\n\x08" + Sjis("□") + "b\r\n");
}

TEST(TreeClipboard, SplitsLinesAtEveryKindOfBreak) {
    EXPECT_EQ(SplitClipboardLines("a\r\nb\rc\nd\r\n"),
              (std::vector<std::string_view>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitClipboardLines("a\r\n\r\nb"), (std::vector<std::string_view>{"a", "", "b"}));
    EXPECT_TRUE(SplitClipboardLines("").empty());
}

TEST(TreeClipboard, CopyAndPasteDuplicateTheSubtreeAtTheEndOfTheTopLevel) {
    Document doc;
    test::BuildExample(doc);
    Topic* work = doc.first();
    Topic* next = work->child(0);
    PasteResult r = PasteTreeText(doc, next, BuildTreeClipboardText(*work), kBuiltInTopicImages);
    ASSERT_EQ(r.created.size(), 2u);
    EXPECT_EQ(r.lastTopLevel, r.created[0]);
    EXPECT_EQ(r.current, r.created[1]);
    EXPECT_EQ(doc.lastTopLevel(), r.created[0]);
    Topic* copy = r.created[0];
    ASSERT_EQ(copy->items.size(), 4u);
    EXPECT_TRUE(copy->items[0].checked());
    EXPECT_EQ(copy->items[3].text(), Sjis("-メモ"));
    EXPECT_EQ(copy->child(0)->icon, 3);
    EXPECT_EQ(copy->child(0)->items[0].text(), Sjis("出張"));
    EXPECT_EQ(work->items.size(), 4u);
}

TEST(TreeClipboard, PastesPlainTextAndMalformedTextWithoutRefusing) {
    Document doc;
    Topic& s = AddTopic(doc, nullptr, "S", 0, kBuiltInTopicImages);
    PasteResult ab = PasteTreeText(doc, &s, "A\r\nB\r\n", kBuiltInTopicImages);
    EXPECT_EQ(ab.lastTopLevel->caption, "B");

    PasteResult child = PasteTreeText(doc, &s, "\tX", kBuiltInTopicImages);
    EXPECT_EQ(child.lastTopLevel, nullptr);
    EXPECT_EQ(child.current->parent(), &s);

    // Items before the first Topic line go to the Topic current before the paste.
    PasteTreeText(doc, &s, "\x08" + Sjis("■") + "early\r\nWork@07@\r\nFar@99@\r\n\r\n",
                  kBuiltInTopicImages);
    EXPECT_EQ(s.items[0].text(), "early");
    EXPECT_EQ(ShapeWithIcons(doc), (std::vector<std::string>{"S/0/0", "X/1/0", "A/0/0", "B/0/0",
                                                             "Work/0/7", "Far/0/6", "/0/0"}));
}

TEST(TreeClipboard, PastedChildrenFollowTheChildrenATopicHad) {
    Document doc;
    Topic& s = AddTopic(doc, nullptr, "S", 0, kBuiltInTopicImages);
    AddChildTopic(doc, &s, "Z", 0, kBuiltInTopicImages);
    PasteResult r = PasteTreeText(doc, &s, "\tX\r\n\t\tX1\r\n\tY\r\nT\r\n", kBuiltInTopicImages);
    ASSERT_EQ(s.childCount(), 3u);
    EXPECT_EQ(s.child(1)->caption, "X");
    EXPECT_EQ(s.child(1)->row(), 1u);
    EXPECT_EQ(s.child(2)->row(), 2u);
    EXPECT_EQ(s.child(1)->child(0)->parent(), s.child(1));
    EXPECT_EQ(doc.topicCount(), 6u);
    EXPECT_EQ(doc.treeOrderIndex(r.lastTopLevel), 5u);
    Topic& after = AddChildTopic(doc, &s, "W", 0, kBuiltInTopicImages);
    EXPECT_EQ(after.row(), 3u);
    EXPECT_EQ(ShapeWithIcons(doc), (std::vector<std::string>{"S/0/0", "Z/1/0", "X/1/0", "X1/2/0",
                                                             "Y/1/0", "W/1/0", "T/0/0"}));
}

TEST(TreeClipboard, ClimbsAndJumpsOneLevelAtATime) {
    Document doc;
    PasteResult r = PasteTreeText(
        doc, nullptr, "\t\tX\r\n\t\t\t\tY\r\nA\r\n\tB\r\n\t\t\tC\r\n\tD\r\n", kBuiltInTopicImages);
    EXPECT_EQ(ShapeWithIcons(doc),
              (std::vector<std::string>{"X/0/0", "Y/1/0", "A/0/0", "B/1/0", "C/2/0", "D/0/0"}));
    EXPECT_EQ(r.lastTopLevel->caption, "A");
}

TEST(TreeClipboard, TextsEnteringFromThePasteAreMadeFileSafe) {
    Document doc;
    PasteTreeText(doc, nullptr,
                  "\x07geo\x1A@03@\r\n\x08\x1A\x1A"
                  "t\x1A"
                  "ext\r\n",
                  kBuiltInTopicImages);
    Topic* t = doc.first();
    EXPECT_EQ(t->caption, "geo");
    EXPECT_EQ(t->icon, 3);
    EXPECT_EQ(t->items[0].stored(), Sjis("□") + "text");

    Document withBreak;
    Topic& item = AddTopic(withBreak, nullptr, "a", 0, kBuiltInTopicImages);
    item.items.push_back(Item::Unchecked("one\ntwo"));
    EXPECT_EQ(BuildTreeClipboardText(item), "a@00@\r\n\x08" + Sjis("□") + "one two\r\n");
}

TEST(TreeClipboard, AnItemLineStartingWithACharacterBeyondCp932KeepsItWhole) {
    // "\b✓ milk" and "\bx✓": two mark bytes would cut the reference, and the text left would
    // show "x2713; milk". The line is text behind an unchecked mark instead.
    Document doc;
    PasteTreeText(doc, nullptr,
                  "Shop\r\n\x08&#x2713; milk\r\n\x08x&#x1F600;\r\n\x08" + Sjis("■") +
                      "&#x1F95A; eggs\r\n\x08&#x41;B literal\r\n",
                  kBuiltInTopicImages);
    const Topic& shop = *doc.first();
    ASSERT_EQ(shop.items.size(), 4u);
    EXPECT_EQ(shop.items[0].stored(), Sjis("□") + "&#x2713; milk");
    EXPECT_EQ(shop.items[1].stored(), Sjis("□") + "x&#x1F600;");
    // A mark of its own before the character, and a text that only looks like a reference,
    // stay as they came.
    EXPECT_TRUE(shop.items[2].checked());
    EXPECT_EQ(shop.items[2].text(), "&#x1F95A; eggs");
    EXPECT_EQ(shop.items[3].stored(), "&#x41;B literal");
    // Copied and pasted again, the same Items (a copy writes every mark as "■" or "□", so the
    // last one's foreign "&#" mark is not among them).
    Document again;
    PasteTreeText(again, nullptr, BuildTreeClipboardText(shop), kBuiltInTopicImages);
    ASSERT_EQ(again.first()->items.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(again.first()->items[i].stored(), shop.items[i].stored());
    }
}

// AddressSanitizer reserves more address space than a memory limit allows.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// In a child process whose memory runs out in the middle of a paste: the tree is as it was,
// and takes the next paste.
int PasteUntilMemoryRunsOut() {
    Document doc;
    Topic& a = AddTopic(doc, nullptr, "a", 0, kBuiltInTopicImages);
    AddChildTopic(doc, &a, "a1", 0, kBuiltInTopicImages);
    Topic& b = AddTopic(doc, nullptr, "b", 0, kBuiltInTopicImages);
    b.items.push_back(Item::Unchecked("kept"));
    const std::string before = SerializeDocument(doc, {});
    // Items for b, then Topics under it and beside it: far more than the memory left.
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        text += "\x08" + Sjis("□") + "item\r\n";
    }
    for (int i = 0; i < 1'000'000; ++i) {
        text += i % 3 == 2 ? "top\r\n" : "\tchild\r\n";
    }
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                   (rlim_t{48} << 20);
    rlimit rl{limit, limit};
    if (pages == 0 || setrlimit(RLIMIT_AS, &rl) != 0) {
        return 10;
    }
    try {
        PasteTreeText(doc, &b, text, kBuiltInTopicImages);
        return 11;  // the memory did not run out
    } catch (const std::bad_alloc&) {
    }
    if (SerializeDocument(doc, {}) != before || doc.topicCount() != 3 ||
        doc.treeOrderIndex(&b) != 2) {
        return 12;
    }
    PasteTreeText(doc, &b, "\tc\r\n", kBuiltInTopicImages);
    if (doc.topicCount() != 4 || b.childCount() != 1 || doc.treeOrderIndex(b.child(0)) != 3) {
        return 13;
    }
    return 0;
}

TEST(TreeClipboard, APasteThatRunsOutOfMemoryLeavesTheTreeAsItWas) {
    if (kAddressSanitizer) {
        GTEST_SKIP() << "the address sanitizer needs more address space than the limit";
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(PasteUntilMemoryRunsOut());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by a signal: " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace brenvale
