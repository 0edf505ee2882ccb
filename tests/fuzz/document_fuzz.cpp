// The document reader on any bytes: no crash, and a save and a new open give the same tree
// and the same bytes again, with nothing left unread.
#include "common/error.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "fuzz_check.h"

using namespace brenvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const DocumentGeometry geometry{376, 573, 200, 300, 129};
    for (bool applyGeometry : {true, false}) {
        ReadOptions options;
        options.applyGeometry = applyGeometry;
        ReadResult first;
        try {
            first = ParseDocument(fuzz::Bytes(data, size), options);
        } catch (const Error&) {
            continue;  // UTF-16 text is refused
        }
        for (bool trimItemSpaces : {true, false}) {
            std::string saved = SerializeDocument(*first.document, geometry, trimItemSpaces);
            ReadResult second = ParseDocument(saved, options);
            fuzz::Check(fuzz::Tree(*second.document) == fuzz::Tree(*first.document),
                        "an open of the saved bytes gives the same tree");
            fuzz::Check(SerializeDocument(*second.document, geometry, trimItemSpaces) == saved,
                        "a second save gives the same bytes");
            fuzz::Check(second.unreadLines == 0 && !second.utf8Marked,
                        "an open of the saved bytes reads every line and warns of nothing");
        }
    }
    return 0;
}
