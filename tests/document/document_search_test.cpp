#include "document/document_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "document/document_reader.h"
#include "document/model.h"
#include "support/folded_text.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

// A document of three Topics: Alpha with three Items and its child ｶﾞｽ代 (half-width), then
// Beta.
class DocumentSearchTest : public ::testing::Test {
protected:
    DocumentSearchTest() {
        alpha = &AddTopic(doc, nullptr, "Alpha", 0, kBuiltInTopicImages);
        alpha->items.push_back(Item::Unchecked("one apple"));
        alpha->items.push_back(Item::Unchecked("banana"));
        alpha->items.push_back(Item(kCheckedMark, "Apple pie"));
        gas = &AddChildTopic(doc, alpha, Sjis("ｶﾞｽ代"), 0, kBuiltInTopicImages);
        gas->items.push_back(Item::Unchecked(Sjis("がすの請求書")));
        beta = &AddTopic(doc, nullptr, "Beta apple", 0, kBuiltInTopicImages);
    }

    std::vector<SearchHit> Forward(const TextMatcher& m, SearchStart from, int steps,
                                   std::vector<bool>* wraps = nullptr) {
        std::vector<SearchHit> hits;
        for (int i = 0; i < steps; ++i) {
            bool wrapped = false;
            auto hit = FindForward(doc, m, from, &wrapped);
            if (!hit) {
                break;
            }
            hits.push_back(*hit);
            if (wraps) {
                wraps->push_back(wrapped);
            }
            from = {hit->topic, hit->item, hit->range.begin + 1};
        }
        return hits;
    }

    Document doc;
    Topic* alpha;
    Topic* gas;
    Topic* beta;
};

TEST_F(DocumentSearchTest, ForwardGoesInTreeOrderAndWrapsAtTheEnd) {
    TextMatcher apple("APPLE", false);
    std::vector<bool> wraps;
    std::vector<SearchHit> hits = Forward(apple, {}, 4, &wraps);
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_EQ(hits[0], (SearchHit{alpha, 0, {4, 9}}));
    EXPECT_EQ(hits[1], (SearchHit{alpha, 2, {0, 5}}));
    EXPECT_EQ(hits[2], (SearchHit{beta, kCaption, {5, 10}}));
    EXPECT_EQ(hits[3], hits[0]);
    EXPECT_EQ(wraps, (std::vector<bool>{false, false, false, true}));
    // From the middle of a list: the search starts at that Item.
    EXPECT_EQ(*FindForward(doc, apple, {alpha, 1, 0}), hits[1]);
}

TEST_F(DocumentSearchTest, BackwardGoesTheOtherWayAndWrapsAtTheStart) {
    TextMatcher apple("apple", false);
    bool wrapped = false;
    auto last = FindBackward(doc, apple, {}, &wrapped);
    ASSERT_TRUE(last);
    EXPECT_EQ(*last, (SearchHit{beta, kCaption, {5, 10}}));
    EXPECT_TRUE(wrapped);
    auto before = FindBackward(doc, apple, {beta, kCaption, 5}, &wrapped);
    EXPECT_EQ(*before, (SearchHit{alpha, 2, {0, 5}}));
    EXPECT_FALSE(wrapped);
    EXPECT_EQ(*FindBackward(doc, apple, {alpha, 2, 0}), (SearchHit{alpha, 0, {4, 9}}));
    // A single hit is found again from itself, both ways.
    TextMatcher banana("banana", false);
    SearchStart at{alpha, 1, 0};
    EXPECT_EQ(FindBackward(doc, banana, at, &wrapped)->item, 1);
    EXPECT_TRUE(wrapped);
    EXPECT_EQ(FindForward(doc, banana, {alpha, 1, 1}, &wrapped)->item, 1);
    EXPECT_TRUE(wrapped);
}

TEST_F(DocumentSearchTest, CountsNumberAHitAmongAllAndNothingMatchesAnEmptyNeedle) {
    TextMatcher apple("apple", false);
    SearchHit second{alpha, 2, {0, 5}};
    HitCount count = CountHits(doc, apple, &second);
    EXPECT_EQ(count.total, 3u);
    EXPECT_EQ(count.index, 2u);
    SearchHit none{alpha, 1, {0, 5}};
    EXPECT_EQ(CountHits(doc, apple, &none).index, 0u);
    // Matches never overlap: "ana" is in "banana" once.
    EXPECT_EQ(CountHits(doc, TextMatcher("ana", false)).total, 1u);
    TextMatcher empty("", false);
    EXPECT_TRUE(empty.empty());
    EXPECT_FALSE(FindForward(doc, empty, {}));
    EXPECT_EQ(CountHits(doc, empty).total, 0u);
    std::vector<SearchHit> all;
    EXPECT_EQ(CollectHits(doc, apple, 2, all), 3u);
    EXPECT_EQ(all.size(), 2u);
}

TEST_F(DocumentSearchTest, JapaneseFormsMatchAsTheFoldingSays) {
    // ガス finds the half-width caption ｶﾞｽ代; がす finds the hiragana Item only kana-blind.
    auto hit = FindForward(doc, TextMatcher(Sjis("ガス"), false), {});
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, (SearchHit{gas, kCaption, {0, 3}}));
    auto kana = FindForward(doc, TextMatcher(Sjis("ガス"), true), {gas, 0, 0});
    ASSERT_TRUE(kana);
    EXPECT_EQ(*kana, (SearchHit{gas, 0, {0, 4}}));
    EXPECT_EQ(CountHits(doc, TextMatcher(Sjis("がす"), false)).total, 1u);
    EXPECT_EQ(CountHits(doc, TextMatcher(Sjis("がす"), true)).total, 2u);
    // The marks before an Item's text are not searched.
    EXPECT_EQ(CountHits(doc, TextMatcher(Sjis("■"), false)).total, 0u);
}

// The matcher's quick look and the searches over it, against folding every text whole and
// comparing character by character: random texts of tricky bytes in a document read from a
// file (its Items lie one after the other in the file's block) and then changed (new Items
// lie elsewhere, in between).
TEST(TextMatcher, AgreesWithAPlainComparisonOfFoldedCharacters) {
    const std::vector<std::string> pieces = {"a",        "A",        "\x82\x60", "\xB6",     "\xDE",
                                             "\x83\x4B", "\x82\xAA", "\x8A\x6D", "\x82\x41", "x",
                                             "\x81\x40", " ",        "\xA1"};
    std::mt19937 random(7);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    auto randomText = [&](size_t maxPieces) {
        std::string text;
        size_t length = 1 + pick(maxPieces);
        for (size_t k = 0; k < length; ++k) {
            text += pieces[pick(pieces.size())];
        }
        return text;
    };
    std::string file;
    for (int t = 0; t < 12; ++t) {
        file += "t" + std::to_string(t) + randomText(4) + "\r\n";
        for (int i = 0; i < 30; ++i) {
            file +=
                std::string("\x08") + (i % 3 ? "\x81\xA0" : "\x81\xA1") + randomText(30) + "\r\n";
        }
    }
    ReadResult read = ParseDocument(file, {});
    Document& doc = *read.document;
    ForEachTopic(doc, [&](Topic& t, int) {
        for (int k = 0; k < 5; ++k) {
            size_t at = pick(t.items.size() + 1);
            t.items.insert(at, Item::Unchecked(randomText(30)));
        }
        t.items.move(0, t.items.size() - 1);
    });
    ASSERT_EQ(doc.topicCount(), 12u);
    int roundsWithHits = 0;
    for (int round = 0; round < 120; ++round) {
        std::string needle = randomText(3);
        bool blind = round % 2 == 1;
        TextMatcher matcher(needle, blind);
        size_t expected = 0;
        ForEachTopic(doc, [&](const Topic& t, int) {
            expected += test::ReferenceCount(t.caption, needle, blind);
            for (size_t i = 0; i < t.items.size(); ++i) {
                std::string_view text = t.items[i].text();
                size_t n = test::ReferenceCount(text, needle, blind);
                expected += n;
                ASSERT_EQ(matcher.count(text), n);
                bool may = false;
                const TextStore& store = t.items.store();
                const char* end =
                    matcher.scanStored(store.at(t.items.ref(i)), store.limit(t.items.ref(i)), may);
                ASSERT_EQ(end, text.data() + text.size());
                ASSERT_TRUE(may || n == 0);
            }
        });
        ASSERT_EQ(CountHits(doc, matcher).total, expected) << round;
        // Stepping forward from the start meets every hit once before it wraps, and stepping
        // backward meets them in the opposite order.
        std::vector<SearchHit> forward;
        bool wrapped = false;
        for (auto hit = FindForward(doc, matcher, {}, &wrapped); hit && !wrapped;
             hit = FindForward(doc, matcher, {hit->topic, hit->item, hit->range.begin + 1},
                               &wrapped)) {
            forward.push_back(*hit);
            ASSERT_LE(forward.size(), expected);
        }
        ASSERT_EQ(forward.size(), expected) << round;
        std::vector<SearchHit> backward;
        if (!forward.empty()) {
            SearchHit last = forward.back();
            backward.push_back(last);
            for (auto hit = FindBackward(doc, matcher, {last.topic, last.item, last.range.begin});
                 hit && backward.size() < expected;
                 hit = FindBackward(doc, matcher, {hit->topic, hit->item, hit->range.begin})) {
                backward.push_back(*hit);
            }
        }
        std::reverse(backward.begin(), backward.end());
        ASSERT_EQ(backward, forward) << round;
        roundsWithHits += expected > 0;
    }
    EXPECT_GT(roundsWithHits, 60);
}

// A needle that almost matches everywhere ("aaa...ac" over "caaa...a") costs the matcher no
// more than the text it reads, counted in comparisons of folded characters; and long
// near-matches that do match are found as a plain comparison finds them.
TEST(TextMatcher, ReadsATextOnceWhateverTheNeedle) {
    const std::string nearMiss = std::string(1000, 'a') + "c";
    const std::string text = "c" + std::string(2000, 'a');
    TextMatcher matcher(nearMiss, false);
    Document doc;
    Topic& topic = AddTopic(doc, nullptr, "t", 0, kBuiltInTopicImages);
    for (int i = 0; i < 50; ++i) {
        topic.items.push_back(Item::Unchecked(text));
    }
    const uint64_t before = matcher.comparisons();
    EXPECT_EQ(CountHits(doc, matcher).total, 0u);
    EXPECT_FALSE(FindForward(doc, matcher, {}));
    // Two walks over 50 texts of 2,001 characters, each read once, with at most one fall-back
    // for each character read.
    EXPECT_LE(matcher.comparisons() - before, 2u * 2 * 50 * 2001);

    // Periodic needles with real matches, in upper and full-width forms.
    for (const std::string& needle : {std::string("aab"), std::string("abab"),
                                      std::string(300, 'a') + "b", std::string("aa")}) {
        std::string haystack;
        for (int i = 0; i < 40; ++i) {
            haystack += i % 3 ? "aAb" : Sjis("ａ") + "ab";
            haystack += std::string(static_cast<size_t>(i * 7 % 13), 'a');
            haystack += std::string(301, 'A') + "B";
        }
        TextMatcher periodic(needle, false);
        const uint64_t start = periodic.comparisons();
        EXPECT_EQ(periodic.count(haystack), test::ReferenceCount(haystack, needle, false))
            << needle;
        EXPECT_LE(periodic.comparisons() - start, 2 * haystack.size()) << needle;
    }
}

// A search done a slice at a time, each slice on a small budget, finds what one done at once
// finds, and no slice does much more work than its budget allows.
TEST(TextMatcher, SearchesInSlicesFindWhatWholeSearchesFind) {
    std::string file;
    for (int t = 0; t < 30; ++t) {
        file += "topic" + std::to_string(t) + (t % 7 == 3 ? " needle" : "") + "\r\n";
        for (int i = 0; i < 40; ++i) {
            file += std::string("\x08\x81\xA0") + "item " + std::to_string(i) +
                    ((t * 40 + i) % 37 == 5 ? " needle needle" : " hay") + "\r\n";
        }
    }
    ReadResult read = ParseDocument(file, {});
    const Document& doc = *read.document;
    TextMatcher matcher("NEEDLE", false);
    constexpr size_t kBudget = 16;
    size_t slices = 0;
    auto sliced = [&](auto& run) {
        for (int guard = 0; guard < 100000; ++guard) {
            const uint64_t before = matcher.comparisons();
            ++slices;
            bool done = run.run(SearchBudget(kBudget));
            // A slice looks over at most its budget's Items and compares texts of at most
            // 32 bytes a unit, give or take the one text it ends on.
            EXPECT_LE(matcher.comparisons() - before, 2u * (32 * kBudget + 64));
            if (done) {
                return;
            }
        }
        ADD_FAILURE() << "the search never ended";
    };
    HitTally tally(doc, matcher, nullptr, 1000);
    sliced(tally);
    std::vector<SearchHit> all;
    EXPECT_EQ(tally.count().total, CollectHits(doc, matcher, 1000, all));
    EXPECT_EQ(tally.hits(), all);
    ASSERT_GT(all.size(), 20u);
    EXPECT_GT(slices, 50u);
    // From every hit and from places between them, both ways.
    std::vector<SearchStart> starts = {{}};
    for (const SearchHit& hit : all) {
        starts.push_back({hit.topic, hit.item, hit.range.begin});
        starts.push_back({hit.topic, hit.item, hit.range.begin + 1});
        starts.push_back({hit.topic, kCaption, 0});
    }
    for (const SearchStart& start : starts) {
        for (bool forward : {true, false}) {
            bool wrapped = false;
            std::optional<SearchHit> whole = forward ? FindForward(doc, matcher, start, &wrapped)
                                                     : FindBackward(doc, matcher, start, &wrapped);
            FindRun run(doc, matcher, start, forward);
            sliced(run);
            EXPECT_EQ(run.hit(), whole);
            EXPECT_EQ(run.wrapped(), wrapped);
        }
    }
}

}  // namespace
}  // namespace brenvale
