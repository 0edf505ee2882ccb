// The codec on any bytes. Read as CP932: decoding never fails, its UTF-8 and UTF-16 forms
// encode alike, and the bytes come back from their characters exactly when Cp932RoundTrips
// says so. Read as UTF-8: every valid text comes back from its CP932 form, unless it already
// spells a reference, and the whole-text conversion agrees with the one of short texts.
#include <vector>

#include "common/cp932.h"
#include "fuzz_check.h"

using namespace brenvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);

    const std::string utf8 = Cp932ToUtf8(bytes);
    const std::u16string utf16 = Cp932ToUtf16(bytes);
    const std::optional<std::string> back = Utf8ToCp932(utf8);
    fuzz::Check(back.has_value(), "a decoded text is UTF-8");
    fuzz::Check(Utf16ToCp932(utf16) == *back, "the UTF-8 and UTF-16 forms encode alike");
    fuzz::Check((*back == bytes) == Cp932RoundTrips(bytes),
                "the bytes come back exactly when they are said to");
    std::vector<bool> inside(bytes.size() + 1, false);
    for (size_t i = 0; i < bytes.size(); ++i) {
        size_t n = ReferenceAt(bytes, i);
        for (size_t k = 1; k < n; ++k) {
            fuzz::Check(ReferenceAt(bytes, i + k) == 0, "references do not overlap");
            inside[i + k] = true;
        }
    }
    for (size_t i = 0; i <= bytes.size(); ++i) {
        fuzz::Check(InsideReference(bytes, i) == inside[i],
                    "a reference's inside is where it lies");
    }

    size_t bad = 0;
    FileBlock block = Utf8ToCp932Block(bytes, 0, nullptr, 0, &bad);
    if (std::optional<std::string> cp932 = Utf8ToCp932(bytes)) {
        fuzz::Check(bad == 0, "valid UTF-8 converts whole");
        fuzz::Check(std::string_view(block.block.data(), block.size) == *cp932,
                    "the whole-text conversion agrees");
        fuzz::Check(HoldsReference(bytes) || Cp932ToUtf8(*cp932) == bytes,
                    "a text comes back from its CP932 form");
    } else {
        fuzz::Check(bad > 0, "bytes that are not UTF-8 are counted");
    }
    return 0;
}
