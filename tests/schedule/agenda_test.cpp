#include "schedule/agenda.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "common/error.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "schedule/agenda_file.h"
#include "schedule/tag_index.h"
#include "support/random_document.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

constexpr Date kThursday{2026, 12, 24};

TEST(Agenda, GroupsRunToTheComingSunday) {
    auto group = [](Date due, Date today) { return AgendaGroupName(GroupOf(due, today)); };
    EXPECT_STREQ(group({2026, 12, 23}, kThursday), "期限切れ");
    EXPECT_STREQ(group({2025, 1, 1}, kThursday), "期限切れ");
    EXPECT_STREQ(group({2026, 12, 24}, kThursday), "今日");
    EXPECT_STREQ(group({2026, 12, 25}, kThursday), "明日");
    EXPECT_STREQ(group({2026, 12, 26}, kThursday), "今週");
    EXPECT_STREQ(group({2026, 12, 27}, kThursday), "今週");  // Sunday ends the week
    EXPECT_STREQ(group({2026, 12, 28}, kThursday), "それ以降");
    // On a Saturday tomorrow is Sunday: nothing is left for this week.
    EXPECT_STREQ(group({2026, 12, 27}, {2026, 12, 26}), "明日");
    EXPECT_STREQ(group({2026, 12, 28}, {2026, 12, 26}), "それ以降");
    EXPECT_STREQ(group({2026, 12, 29}, {2026, 12, 27}), "それ以降");
    EXPECT_EQ(EndOfWeek({2026, 12, 27}), (Date{2026, 12, 27}));
}

// Random documents whose Items carry tokens besides their random texts.
void AddTokens(Document& doc, std::mt19937& rng) {
    static const char* kPieces[] = {
        " due:2026-12-20",
        " due:2026-12-23",
        " due:2026-12-24",
        " due:2026-12-24T09:00",
        " due:2026-12-25",
        " due:2026-12-27",
        " due:2026-12-31",
        " due:2027-03-01",
        " #仕事",
        " ＃仕事",
        " #ＴＡＧ",
        " #tag",
        " #ﾀｸﾞ",
        " #タグ",
        " rec:1d",
        " due:12/24",
        "#1",
        "due:2026-12-22",
        "　#買い物",
        " C#",
    };
    ForEachTopic(doc, [&](Topic& topic, int) {
        for (size_t i = 0; i < topic.items.size(); ++i) {
            std::string text(topic.items[i].text());
            for (int n = std::uniform_int_distribution<int>(0, 3)(rng); n > 0; --n) {
                text += Sjis(kPieces[std::uniform_int_distribution<size_t>(0, 19)(rng)]);
            }
            topic.items[i].setText(text);
        }
    });
}

std::vector<std::string> TagKeysOf(std::string_view text) {
    std::vector<std::string> keys;
    for (const ItemToken& t : ReadItemTokens(text).tokens) {
        if (t.kind == TokenKind::Tag) {
            keys.push_back(TagKey(t.value(text)));
        }
    }
    return keys;
}

bool Has(const std::vector<std::string>& keys, const std::string& name) {
    return std::find(keys.begin(), keys.end(), TagKey(name)) != keys.end();
}

TEST(Agenda, AgendaTagsAndFiltersAgreeWithAPlainCount) {
    const ListKindOptions list;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        test::RandomDocument random(seed);
        std::mt19937 rng(seed);
        Document doc;
        random.build(doc, 40, 5);
        AddTokens(doc, rng);
        std::vector<std::string> wanted;
        if (seed % 3 == 0) {
            wanted.push_back(Sjis("仕事"));
        }
        AgendaOptions options;
        options.tags = wanted;
        if (seed % 2 == 0) {
            options.through = Date{2026, 12, 27};
        }

        // The plain way: every Item in tree order, read whole, then sorted with its position.
        struct Plain {
            DueDate due;
            size_t position;
            Topic* topic;
            uint32_t item;
        };
        std::vector<Plain> plain;
        std::map<std::string, size_t> counts;
        size_t untagged = 0;
        ForEachTopic(doc, [&](Topic& topic, int) {
            for (size_t i = 0; i < topic.items.size(); ++i) {
                ItemView item = std::as_const(topic.items)[i];
                std::string_view text = item.text();
                bool open = !item.checked() && KindOf(text, list) == ItemKind::Ordinary;
                ItemTokens tokens = ReadItemTokens(text);
                std::vector<std::string> keys = TagKeysOf(text);
                std::set<std::string> distinct(keys.begin(), keys.end());
                for (const std::string& key : distinct) {
                    counts[key] += open ? 1 : 0;
                }
                untagged += open && keys.empty() ? 1 : 0;
                bool tagged = std::all_of(wanted.begin(), wanted.end(),
                                          [&](const std::string& w) { return Has(keys, w); });
                if (open && tokens.due && tagged &&
                    (!options.through || tokens.due->day <= *options.through)) {
                    plain.push_back({*tokens.due, plain.size(), &topic, static_cast<uint32_t>(i)});
                }
            }
        });
        std::sort(plain.begin(), plain.end(), [](const Plain& a, const Plain& b) {
            return a.due != b.due ? a.due < b.due : a.position < b.position;
        });
        std::vector<AgendaEntry> agenda = CollectAgenda(doc, kThursday, list, options);
        ASSERT_EQ(agenda.size(), plain.size()) << seed;
        for (size_t k = 0; k < plain.size(); ++k) {
            EXPECT_EQ(agenda[k].topic, plain[k].topic);
            EXPECT_EQ(agenda[k].item, plain[k].item);
            EXPECT_EQ(agenda[k].due, plain[k].due);
            EXPECT_EQ(agenda[k].group, GroupOf(plain[k].due.day, kThursday));
        }

        TagIndex index = IndexTags(doc, list);
        EXPECT_EQ(index.untaggedOpen, untagged);
        ASSERT_EQ(index.tags.size(), counts.size());
        size_t k = 0;
        for (const auto& [key, open] : counts) {
            EXPECT_EQ(index.tags[k].key, key);
            EXPECT_EQ(TagKey(index.tags[k].name), key);
            EXPECT_EQ(index.tags[k].open, open);
            ++k;
        }

        TagFilter filter;
        filter.require = wanted;
        if (seed % 4 == 1) {
            filter.exclude.push_back("#TAG");  // typed with its mark, in another case
        }
        filter.untagged = seed % 5 == 0;
        std::vector<ItemPlace> items;
        std::set<Topic*> shown;
        ForEachTopic(doc, [&](Topic& topic, int) {
            for (size_t i = 0; i < topic.items.size(); ++i) {
                std::vector<std::string> keys = TagKeysOf(topic.items[i].text());
                bool match = std::all_of(filter.require.begin(), filter.require.end(),
                                         [&](const std::string& w) { return Has(keys, w); }) &&
                             !(filter.exclude.size() && Has(keys, "tag")) &&
                             !(filter.untagged && !keys.empty());
                if (match) {
                    items.push_back({&topic, static_cast<uint32_t>(i)});
                    for (Topic* t = &topic; t; t = t->parent()) {
                        shown.insert(t);
                    }
                }
            }
        });
        std::vector<Topic*> topics;
        ForEachTopic(doc, [&](Topic& topic, int) {
            if (shown.count(&topic)) {
                topics.push_back(&topic);
            }
        });
        FilterResult result = FilterByTags(doc, filter);
        EXPECT_EQ(result.items, items) << seed;
        EXPECT_EQ(result.topics, topics) << seed;
    }
}

// Bytes of a document file as other programs leave them: other line ends, stray TABs and
// bytes, a 0x1A, Items before the first Topic.
std::string Disturb(std::string bytes, std::mt19937& rng) {
    auto pick = [&](size_t high) { return std::uniform_int_distribution<size_t>(0, high)(rng); };
    switch (pick(3)) {
        case 0: {
            std::string lf;
            for (size_t i = 0; i < bytes.size(); ++i) {
                if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) {
                    lf += bytes[i];
                }
            }
            bytes = lf;  // LF alone ends the lines
            break;
        }
        case 1:
            std::erase(bytes, '\n');  // CR alone
            break;
        default:
            break;
    }
    for (int edits = static_cast<int>(pick(6)); edits > 0 && !bytes.empty(); --edits) {
        size_t at = pick(bytes.size() - 1);
        switch (pick(4)) {
            case 0:
                bytes.insert(at, "\t");
                break;
            case 1:
                bytes.erase(at, 1);
                break;
            case 2:
                bytes.insert(at, "\x1A");
                break;
            case 3:
                bytes.insert(0, "\x08" + Sjis("□due:2026-12-24") + "\r\n");
                break;
            default:
                bytes.insert(at, "\r");
                break;
        }
    }
    return bytes;
}

TEST(Agenda, ReadFromTheFileInPiecesAsFromTheDocument) {
    const ListKindOptions list;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        test::RandomDocument random(seed);
        std::mt19937 rng(seed * 31);
        Document doc;
        random.build(doc, 30, 6);
        AddTokens(doc, rng);
        std::string bytes = Disturb(SerializeDocument(doc, DocumentGeometry{}), rng);
        AgendaOptions options;
        if (seed % 2) {
            options.through = Date{2026, 12, 25};
        }
        if (seed % 3 == 0) {
            options.tags.push_back("tag");
        }
        ReadOptions readOptions;
        size_t piece = std::uniform_int_distribution<size_t>(1, 300)(rng);
        ReadResult read;
        try {
            read = ParseDocument(bytes, readOptions);
        } catch (const Error&) {
            // A start the reader refuses (NUL bytes where no geometry line comes first) is
            // refused by the file's agenda alike.
            EXPECT_THROW(ReadBytesAgenda(bytes, kThursday, list, options, " > ", piece), Error)
                << seed;
            continue;
        }
        std::vector<AgendaEntry> fromDocument =
            CollectAgenda(*read.document, kThursday, list, options);
        FileAgenda fromFile = ReadBytesAgenda(bytes, kThursday, list, options, " > ", piece);
        EXPECT_EQ(fromFile.unreadLines, read.unreadLines) << seed;
        EXPECT_EQ(fromFile.utf8, read.utf8);
        std::vector<FileAgendaEntry> sorted(fromFile.entries.begin(), fromFile.entries.end());
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.due < b.due; });
        ASSERT_EQ(sorted.size(), fromDocument.size()) << seed << " piece " << piece;
        for (size_t k = 0; k < sorted.size(); ++k) {
            const AgendaEntry& e = fromDocument[k];
            EXPECT_EQ(sorted[k].due, e.due);
            EXPECT_EQ(sorted[k].text, std::as_const(e.topic->items)[e.item].text());
            EXPECT_EQ(sorted[k].path, TopicPath(*e.topic, " > ")) << seed;
        }
    }
}

TEST(Agenda, FileReadGivesReadersErrors) {
    test::TempDir dir;
    EXPECT_THROW(ReadFileAgenda(dir.file("none.bnv"), kThursday, {}, {}, " > "), Error);
    EXPECT_THROW(ReadFileAgenda(dir.path(), kThursday, {}, {}, " > "), Error);
    test::WriteBytes(dir.file("utf16.bnv"), std::string("\xFF\xFE"
                                                        "A\0B\0",
                                                        6));
    EXPECT_THROW(ReadFileAgenda(dir.file("utf16.bnv"), kThursday, {}, {}, " > "), Error);
    // A line far longer than a piece.
    std::string longText(5000, 'x');
    test::WriteBytes(dir.file("long.bnv"),
                     "A\r\n\x08" + Sjis("□") + longText + " due:2026-12-24\r\n");
    FileAgenda read = ReadFileAgenda(dir.file("long.bnv"), kThursday, {}, {}, " > ", 100);
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].text, longText + " due:2026-12-24");
}

}  // namespace
}  // namespace brenvale
