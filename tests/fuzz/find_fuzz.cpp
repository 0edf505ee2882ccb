// Finding in a document read from any bytes, for any needle: no crash, the matcher's quick
// look, the count and the steps forward and backward agree with folding every text whole and
// comparing it character by character, and the matching compares no character of a text more
// than about twice, whatever the needle.
//
// Input: one byte of options (bit 0: hiragana as katakana; the next three: the needle's
// length; the last four: r), the needle's bytes, then the document's bytes. With r > 0 the
// needle's first byte is repeated r * 64 times before the rest, for long near-matches.
#include <algorithm>
#include <vector>

#include "common/cp932_fold.h"
#include "common/error.h"
#include "document/document_reader.h"
#include "document/document_search.h"
#include "fuzz_check.h"
#include "support/folded_text.h"

using namespace brenvale;

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const bool blind = data[0] & 1;
    const size_t needleLength = std::min<size_t>((data[0] >> 1) & 7, size - 1);
    std::string needle(fuzz::Bytes(data + 1, needleLength));
    if (const size_t repeat = data[0] >> 4; repeat > 0 && !needle.empty()) {
        needle.insert(0, repeat * 64, needle[0]);
    }
    ReadResult read;
    try {
        read = ParseDocument(fuzz::Bytes(data + 1 + needleLength, size - 1 - needleLength), {});
    } catch (const Error&) {
        return 0;  // UTF-16 text, and what is plainly no document, is refused
    }
    const Document& doc = *read.document;
    TextMatcher matcher(needle, blind);

    size_t expected = 0;
    size_t textBytes = 0;
    ForEachTopic(doc, [&](const Topic& t, int) {
        size_t n = test::ReferenceCount(t.caption, needle, blind);
        uint64_t before = matcher.comparisons();
        fuzz::Check(matcher.count(t.caption) == n, "a caption's count is the folded one");
        fuzz::Check(matcher.comparisons() - before <= 2 * t.caption.size(),
                    "a caption is read once");
        textBytes += t.caption.size();
        expected += n;
        for (size_t i = 0; i < t.items.size(); ++i) {
            std::string_view text = t.items[i].text();
            n = test::ReferenceCount(text, needle, blind);
            before = matcher.comparisons();
            fuzz::Check(matcher.count(text) == n, "an Item's count is the folded one");
            fuzz::Check(matcher.comparisons() - before <= 2 * text.size(), "a text is read once");
            textBytes += text.size();
            bool may = false;
            const TextStore& store = t.items.store();
            const char* end =
                matcher.scanStored(store.at(t.items.ref(i)), store.limit(t.items.ref(i)), may);
            fuzz::Check(end == text.data() + text.size(),
                        "the quick look ends where the text does");
            fuzz::Check(may || n == 0, "the quick look rules out no text that holds a match");
            expected += n;
        }
    });
    const uint64_t beforeCount = matcher.comparisons();
    fuzz::Check(CountHits(doc, matcher).total == expected, "every hit is counted");
    fuzz::Check(matcher.comparisons() - beforeCount <= 2 * textBytes,
                "counting reads each text once");

    // Forward from the start meets every hit once before it wraps; backward from the last
    // meets them again in the opposite order.
    std::vector<SearchHit> forward;
    bool wrapped = false;
    for (auto hit = FindForward(doc, matcher, {}, &wrapped); hit && !wrapped;
         hit = FindForward(doc, matcher, {hit->topic, hit->item, hit->range.begin + 1}, &wrapped)) {
        forward.push_back(*hit);
        fuzz::Check(forward.size() <= expected, "no hit is met twice going forward");
    }
    fuzz::Check(forward.size() == expected, "going forward meets every hit");
    if (!forward.empty()) {
        std::vector<SearchHit> backward{forward.back()};
        for (auto hit = FindBackward(
                 doc, matcher,
                 {forward.back().topic, forward.back().item, forward.back().range.begin});
             hit && backward.size() < expected;
             hit = FindBackward(doc, matcher, {hit->topic, hit->item, hit->range.begin})) {
            backward.push_back(*hit);
        }
        std::reverse(backward.begin(), backward.end());
        fuzz::Check(backward == forward, "going backward meets the same hits");
        std::vector<SearchHit> collected;
        fuzz::Check(
            CollectHits(doc, matcher, expected, collected) == expected && collected == forward,
            "the list of every hit holds them in order");
    }
    return 0;
}
