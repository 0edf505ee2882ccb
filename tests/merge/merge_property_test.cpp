// The merge against an oracle: random documents, random edit scripts of two sides that touch
// different things, and the merge must equal applying both scripts to the base.
#include <gtest/gtest.h>

#include <set>

#include "document/document_reader.h"
#include "merge/conflict_mark.h"
#include "merge/document_merge.h"
#include "merge/edit_scenario.h"
#include "merge/outline.h"

namespace brenvale {
namespace {

using test::Apply;
using test::Edit;
using test::Model;
using test::Scenario;

std::unique_ptr<Document> Read(const std::string& bytes) {
    return ParseDocument(bytes, test::KeepEveryIcon()).document;
}

std::string Merged(const std::string& base, const std::string& ours, const std::string& theirs,
                   size_t* conflicts = nullptr) {
    auto b = Read(base);
    auto t = Read(theirs);
    MergeResult r = MergeDocuments(*b, Read(ours), *t);
    if (conflicts) {
        *conflicts = r.conflicts.size();
    }
    return test::OutlineOf(*r.document);
}

std::string Outline(const std::string& bytes) {
    return test::OutlineOf(*Read(bytes));
}

// Every caption and Item text a document holds, without a conflict mark.
std::set<std::string> Texts(const Document& doc) {
    std::set<std::string> texts;
    auto add = [&](std::string_view text) {
        if (HasConflictMark(text)) {
            text.remove_suffix(kConflictMark.size());
        }
        texts.emplace(text);
    };
    ForEachTopic(doc, [&](const Topic& t, int) {
        add(t.caption.view());
        for (size_t i = 0; i < t.items.size(); ++i) {
            add(t.items[i].text());
        }
    });
    return texts;
}

TEST(MergeProperty, DisjointEditsOfBothSidesAllLandInEitherOrder) {
    int edited = 0;
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        Scenario s(seed);
        s.make();
        Model oracle = s.base;
        for (const Edit& e : s.scripts[0]) {
            Apply(oracle, e);
        }
        for (const Edit& e : s.scripts[1]) {
            Apply(oracle, e);
        }
        edited += !s.scripts[0].empty() && !s.scripts[1].empty();
        std::string base = s.base.bytes(), ours = s.sides[0].bytes(), theirs = s.sides[1].bytes();
        std::string expected = Outline(oracle.bytes());
        size_t conflicts = 0;
        ASSERT_EQ(Merged(base, ours, theirs, &conflicts), expected)
            << "seed " << seed << "\nbase:\n"
            << Outline(base) << "ours:\n"
            << Outline(ours) << "theirs:\n"
            << Outline(theirs);
        EXPECT_EQ(conflicts, 0u) << "seed " << seed;
        ASSERT_EQ(Merged(base, theirs, ours), expected) << "seed " << seed << " (swapped)";
    }
    EXPECT_GT(edited, 300);  // most cases have edits on both sides
}

TEST(MergeProperty, OneSidedAndIdenticalChangesGiveThatVersion) {
    for (unsigned seed = 1; seed <= 500; ++seed) {
        Scenario s(seed), other(seed + 10000);
        s.make();
        other.make();
        std::string base = s.base.bytes();
        // A version derived from the base, and one with nothing in common with it.
        for (const std::string& x : {s.sides[0].bytes(), other.sides[1].bytes()}) {
            std::string expected = Outline(x);
            ASSERT_EQ(Merged(base, x, x), expected) << "seed " << seed;
            ASSERT_EQ(Merged(base, base, x), expected) << "seed " << seed;
            ASSERT_EQ(Merged(base, x, base), expected) << "seed " << seed;
        }
    }
}

TEST(MergeProperty, ConflictingEditsKeepEveryTextEitherSideBrought) {
    // The sides' edits may meet (the same Item edited, ticked or deleted, the same Topic renamed,
    // moved or deleted, both adding at one place): whatever text a side brought in, as a new or
    // changed caption or Item, is in the result, marked or not; and the merge of files, which
    // reads its versions back from disk, gives what the merge in memory gives.
    test::TempDir dir;
    size_t conflicts = 0;
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        Scenario s(seed);
        s.overlap = true;
        s.make();
        std::string bytes[3] = {s.base.bytes(), s.sides[0].bytes(), s.sides[1].bytes()};
        std::set<std::string> old = Texts(*Read(bytes[0]));
        for (int first : {1, 2}) {
            const std::string& ours = bytes[first];
            const std::string& theirs = bytes[3 - first];
            auto b = Read(bytes[0]);
            auto t = Read(theirs);
            MergeResult r = MergeDocuments(*b, Read(ours), *t);
            conflicts += r.conflicts.size();
            std::set<std::string> merged = Texts(*r.document);
            for (const std::string* side : {&ours, &theirs}) {
                for (const std::string& text : Texts(*Read(*side))) {
                    ASSERT_TRUE(old.count(text) || merged.count(text))
                        << "seed " << seed << " lost a text; base:\n"
                        << Outline(bytes[0]) << "ours:\n"
                        << Outline(ours) << "theirs:\n"
                        << Outline(theirs) << "merged:\n"
                        << test::OutlineOf(*r.document);
                }
            }
            if (seed % 10 == 0) {
                test::WriteBytes(dir.file("base"), bytes[0]);
                test::WriteBytes(dir.file("ours"), ours);
                test::WriteBytes(dir.file("theirs"), theirs);
                MergedFile files =
                    MergeDocumentFiles(dir.file("base"), dir.file("ours"), dir.file("theirs"),
                                       test::KeepEveryIcon(), [](auto&, auto&) {});
                ASSERT_EQ(test::OutlineOf(*files.merge.document), test::OutlineOf(*r.document))
                    << "seed " << seed;
                EXPECT_EQ(files.merge.conflicts.size(), r.conflicts.size()) << "seed " << seed;
            }
        }
    }
    EXPECT_GT(conflicts, 500u);  // the sides did meet
}

}  // namespace
}  // namespace brenvale
