// Dates, tags and repeats over a document read from any bytes: no crash; the agenda read from
// the bytes in pieces is the one of the document read whole; converting date words twice
// changes nothing the second time; a done date comes and goes without a trace; and a quick
// add keeps every byte of the file and reads back as the document with the new Item.
//
// Input: one byte for the piece size of the agenda's read, then the document's bytes.
#include <algorithm>
#include <vector>

#include "common/error.h"
#include "document/document_reader.h"
#include "fuzz_check.h"
#include "schedule/agenda_file.h"
#include "schedule/date_words.h"
#include "schedule/quick_add.h"
#include "schedule/repeats.h"
#include "schedule/tag_index.h"

using namespace brenvale;

namespace {

constexpr Date kToday{2026, 12, 24};

void CheckText(std::string_view text) {
    DateWordsResult once = ConvertDateWords(text, kToday);
    DateWordsResult twice = ConvertDateWords(once.text, kToday);
    fuzz::Check(!twice.changed && twice.text == once.text, "date words are converted once");
    fuzz::Check(twice.problems.size() == once.problems.size(), "problems stay problems");
    if (!ReadItemTokens(text).done) {
        fuzz::Check(WithoutDoneDate(WithDoneDate(text, kToday)) == text,
                    "a done date comes and goes");
    }
    if (std::optional<std::string> rearmed = RearmedText(text, kToday)) {
        fuzz::Check(ReadItemTokens(*rearmed).due.has_value(), "a re-armed Item has a due");
    }
    RenewedCaption(text, kToday);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const size_t piece = 1 + data[0];
    const std::string_view bytes = fuzz::Bytes(data + 1, size - 1);
    ReadResult read;
    try {
        read = ParseDocument(bytes, {});
    } catch (const Error&) {
        return 0;  // UTF-16 text is refused
    }
    const Document& doc = *read.document;
    const ListKindOptions list;
    AgendaOptions options;
    options.through = Date{2026, 12, 31};
    std::vector<AgendaEntry> agenda = CollectAgenda(doc, kToday, list, options);
    FileAgenda fromBytes = ReadBytesAgenda(bytes, kToday, list, options, " > ", piece);
    std::vector<FileAgendaEntry> sorted(fromBytes.entries.begin(), fromBytes.entries.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.due < b.due; });
    fuzz::Check(sorted.size() == agenda.size(), "the file's agenda has the document's Items");
    for (size_t i = 0; i < sorted.size(); ++i) {
        const AgendaEntry& e = agenda[i];
        fuzz::Check(sorted[i].text == e.topic->items[e.item].text(), "the same texts");
        fuzz::Check(sorted[i].path == TopicPath(*e.topic, " > "), "the same paths");
    }
    fuzz::Check(fromBytes.unreadLines == read.unreadLines, "the same unread lines");
    IndexTags(doc, list);
    FilterByTags(doc, TagFilter{{"a"}, {"b"}, false});

    ForEachTopic(doc, [&](const Topic& t, int) {
        CheckText(t.caption);
        for (size_t i = 0; i < t.items.size(); ++i) {
            CheckText(t.items[i].text());
        }
    });

    // A quick add to the first top-level Topic (when its caption can be named) and below it.
    std::vector<std::string> path;
    if (Topic* first = doc.first()) {
        std::string_view caption = first->caption;
        if (!caption.empty() && std::none_of(caption.begin(), caption.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20 && c != '\t';
            })) {
            path.emplace_back(caption);
        }
    }
    path.push_back(data[0] & 1 ? "new" : "A");
    QuickAdd add;
    try {
        add = AddItemToBytes(bytes, path, "x due:2026-12-24");
    } catch (const Error& e) {
        // The add's own safety check may refuse a file whose other lines would read otherwise
        // with the new ones (lone CRs, a text that reads as UTF-8 until the add): the file then
        // stays as it was. Any other failure is a fault.
        fuzz::Check(std::string_view(e.what()) == kReadingWouldChange, e.what());
        return 0;
    }
    fuzz::Check(add.bytes.size() > bytes.size(), "the add adds bytes");
    size_t prefix = 0;
    while (prefix < bytes.size() && bytes[prefix] == add.bytes[prefix]) {
        ++prefix;
    }
    fuzz::Check(
        add.bytes.substr(add.bytes.size() - (bytes.size() - prefix)) == bytes.substr(prefix),
        "every byte of the file is kept around one run of new ones");
    return 0;
}
