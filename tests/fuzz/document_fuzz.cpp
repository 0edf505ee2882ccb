// The document reader on any bytes: no crash, and a save and a new open give the same tree
// and the same bytes again, with nothing left unread. The counts of `stats`, taken in pieces
// without building the document, agree with the document read.
#include <algorithm>

#include "common/error.h"
#include "document/document_counts.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "fuzz_check.h"
#include "support/walked_counts.h"

using namespace brenvale;

namespace {

constexpr size_t kOneBytePieces = 256;

void CheckCounts(std::string_view bytes, const ReadResult& read) {
    for (bool separators : {true, false}) {
        for (bool noBox : {true, false}) {
            ListKindOptions list;
            list.separatorItems = separators;
            list.noBoxItems = noBox;
            DocumentCounts walked = test::WalkedCounts(read, list);
            // One-byte pieces put a piece's end between every two bytes; on a long input that
            // costs most of the run, so it takes short pieces of a few bytes instead.
            const size_t small = bytes.size() <= kOneBytePieces ? 1 : 7;
            for (size_t piece : {small, 1 + bytes.size() / 3, bytes.size() + 1}) {
                fuzz::Check(CountDocumentBytes(bytes, list, piece) == walked,
                            "the counts in pieces agree with the document read");
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const DocumentGeometry geometry{376, 573, 200, 300, 129};
    for (bool applyGeometry : {true, false}) {
        ReadOptions options;
        options.applyGeometry = applyGeometry;
        ReadResult first;
        try {
            first = ParseDocument(fuzz::Bytes(data, size), options);
        } catch (const Error&) {
            bool refused = false;
            try {
                CountDocumentBytes(fuzz::Bytes(data, size), {});
            } catch (const Error&) {
                refused = true;
            }
            fuzz::Check(refused, "the count refuses what the reader refuses");
            continue;  // UTF-16 text, and what is plainly no document, is refused
        }
        if (applyGeometry) {
            CheckCounts(fuzz::Bytes(data, size), first);
        }
        for (bool trimItemSpaces : {true, false}) {
            std::string saved = SerializeDocument(*first.document, geometry, trimItemSpaces);
            ReadResult second = ParseDocument(saved, options);
            fuzz::Check(fuzz::Tree(*second.document) == fuzz::Tree(*first.document),
                        "an open of the saved bytes gives the same tree");
            fuzz::Check(SerializeDocument(*second.document, geometry, trimItemSpaces) == saved,
                        "a second save gives the same bytes");
            fuzz::Check(second.unreadLines == 0 && !second.utf8,
                        "an open of the saved bytes reads every line and warns of nothing");
        }
    }
    return 0;
}
