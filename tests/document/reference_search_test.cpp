// Finding characters beyond CP932, which the texts hold as references: a query holds them the
// same way, and no match begins or ends inside a reference.
#include <gtest/gtest.h>

#include "common/cp932.h"
#include "document/document_search.h"
#include "document/model.h"
#include "support/folded_text.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

// The query as the find bar hands it on.
std::string Query(std::string_view utf8) {
    return *Utf8ToCp932(utf8);
}

std::vector<TextRange> Matches(std::string_view utf8Text, std::string_view utf8Query,
                               bool kanaBlind = false) {
    std::string text = *Utf8ToCp932(utf8Text);
    TextMatcher matcher(Query(utf8Query), kanaBlind);
    std::vector<TextRange> out;
    matcher.forEach(text, [&](TextRange r) {
        out.push_back(r);
        return true;
    });
    EXPECT_EQ(matcher.count(text), out.size());
    EXPECT_EQ(test::ReferenceCount(text, Query(utf8Query), kanaBlind), out.size());
    return out;
}

TEST(ReferenceSearch, FindsWhatTheUserSeesAndNothingInsideAReference) {
    // "買う😀" is 4 bytes, then the reference.
    EXPECT_EQ(Matches("買う😀と😀", "😀"), (std::vector<TextRange>{{4, 13}, {15, 24}}));
    EXPECT_EQ(Matches("café", "é"), (std::vector<TextRange>{{3, 9}}));
    EXPECT_EQ(Matches("café", "CAFÉ").size(), 0u);  // É is another character
    EXPECT_EQ(Matches("café", "caf").size(), 1u);
    // The reference's own ASCII is no text the user sees.
    for (const char* inside : {"E9", "x", "#", "&", ";", "&#xE9", "#xE9;", "1F6", "ｘ１Ｆ"}) {
        EXPECT_EQ(Matches("café 😀", inside).size(), 0u) << inside;
    }
    // ... while a text that only looks like a reference is what it shows.
    EXPECT_EQ(Matches("&#x41; &amp;", "x41").size(), 1u);
    EXPECT_EQ(Matches("&#x41; &amp;", "&").size(), 2u);
    // Width and kana folding stay as they are around the references.
    EXPECT_EQ(Matches("ｶﾞｽ代😀", "ガス").size(), 1u);
    EXPECT_EQ(Matches("がす😀", "ガス😀", true).size(), 1u);
    EXPECT_EQ(Matches("ＰＣ😀", "pc😀").size(), 1u);
    // A combining sequence is found whole, and its base letter as itself.
    EXPECT_EQ(Matches("cafe\xCC\x81", "e\xCC\x81"), (std::vector<TextRange>{{3, 11}}));
    EXPECT_EQ(Matches("cafe\xCC\x81", "e"), (std::vector<TextRange>{{3, 4}}));
    // A match right after a reference.
    EXPECT_EQ(Matches("😀😀x", "😀x"), (std::vector<TextRange>{{9, 19}}));
}

TEST(ReferenceSearch, AReferenceAndTheTextItIsSpeltWithNeverFindEachOther) {
    // The literal texts show as what they are: "&#xe9;" (lower case), "&#XE9;", and the
    // full-width "＆＃ｘＥ９；", which case and width folding would otherwise equate with the
    // reference of é.
    for (const char* literal : {"&#xe9;", "&#XE9;", "＆＃ｘＥ９；", "&#xE9 ;"}) {
        const std::string text = std::string("caf") + literal + " café";
        EXPECT_EQ(Matches(text, "é").size(), 1u) << literal;
        EXPECT_EQ(Matches("café", literal).size(), 0u) << literal;
        EXPECT_EQ(Matches(text, literal).size(), 1u) << literal;
    }
    EXPECT_EQ(Matches("a😀b", "&#x1f600;").size(), 0u);
    EXPECT_EQ(Matches("a&#x1f600;b", "😀").size(), 0u);
    // A query of such characters alone still rules texts out before folding them.
    EXPECT_TRUE(TextMatcher(Query("😀"), false).looksQuickly());
    EXPECT_TRUE(TextMatcher(Query("é"), true).looksQuickly());
}

TEST(ReferenceSearch, DocumentStepsAndCountsSkipTheInsidesOfReferences) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, *Utf8ToCp932("旅行✈"), 0, kBuiltInTopicImages);
    t.items.push_back(Item::Unchecked(*Utf8ToCp932("パスポート🛂 x")));
    t.items.push_back(Item::Unchecked(*Utf8ToCp932("&#x41; は文字どおり")));
    TextMatcher plane(Query("✈"), false);
    EXPECT_EQ(CountHits(doc, plane).total, 1u);
    TextMatcher x("x", false);
    EXPECT_EQ(CountHits(doc, x).total, 2u);  // " x" and the literal "&#x41;"
    std::optional<SearchHit> hit = FindForward(doc, x, {});
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->item, 0);
    EXPECT_EQ(TextAt(*hit->topic, hit->item).substr(hit->range.begin, 1), "x");
    hit = FindBackward(doc, x, {&t, 0, hit->range.begin});
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->item, 1);
}

}  // namespace
}  // namespace brenvale
