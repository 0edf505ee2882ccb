// The merge against an oracle: random documents, random edit scripts of two sides that touch
// different things, and the merge must equal applying both scripts to the base.
#include <gtest/gtest.h>

#include "document/document_reader.h"
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

}  // namespace
}  // namespace brenvale
