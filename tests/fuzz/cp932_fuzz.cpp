// The codec on any bytes. Read as CP932: decoding never fails, its UTF-8 and UTF-16 forms
// encode alike, and the bytes come back from their characters exactly when Cp932RoundTrips
// says so. Read as UTF-8: every valid text comes back from its CP932 form, unless it already
// spells a reference, and the whole-text conversion agrees with the one of short texts and
// with one in two parts.
#include <array>
#include <vector>

#include "common/cp932.h"
#include "fuzz_check.h"

using namespace brenvale;

namespace {

// The characters CP932 holds only as a look-alike of another.
bool HoldsLookAlike(std::string_view utf8) {
    for (const char* c : {"\u00A2", "\u00A3", "\u00A5", "\u00AC", "\u2014", "\u2016", "\u203E",
                          "\u2212", "\u301C"}) {
        if (utf8.find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);

    const std::string utf8 = Cp932ToUtf8(bytes);
    const std::u16string utf16 = Cp932ToUtf16(bytes);
    const std::optional<std::string> back = Utf8ToCp932(utf8);
    fuzz::Check(back.has_value(), "a decoded text is UTF-8");
    fuzz::Check(Utf16ToCp932(utf16) == *back, "the UTF-8 and UTF-16 forms encode alike");
    fuzz::Check((*back == bytes) == Cp932RoundTrips(bytes),
                "the bytes come back exactly when they are said to");
    // The decoding of the exports, which stops at a writer's special characters, decodes
    // alike, references included, and tells the same about coming back.
    std::array<bool, 256> stops{};
    stops['&'] = stops['<'] = stops['\\'] = stops['\n'] = true;
    std::string pieces;
    bool roundTrips = true;
    for (size_t at = 0; at < bytes.size();) {
        at += AppendCp932AsUtf8Until(pieces, bytes.substr(at), stops, &roundTrips);
        if (at < bytes.size()) {
            fuzz::Check(stops[static_cast<unsigned char>(bytes[at])] && ReferenceAt(bytes, at) == 0,
                        "a decoding stops only at a marked character that starts no reference");
            pieces += bytes[at++];
        }
    }
    fuzz::Check(pieces == utf8, "the decoding with stops decodes alike");
    fuzz::Check(roundTrips == Cp932RoundTrips(bytes),
                "and tells alike whether the bytes come back");
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
        // The characters CP932 holds only as a look-alike ("〜" for "～") take its code and come
        // back as it; every other text comes back as it was.
        const std::string decoded = Cp932ToUtf8(*cp932);
        fuzz::Check(HoldsReference(bytes) || decoded == bytes || HoldsLookAlike(bytes),
                    "a text comes back from its CP932 form");
        fuzz::Check(Utf8ToCp932(decoded) == *cp932,
                    "its CP932 form is the one of what it reads as");
        // Converted into room for its own size, then the rest into the room it may need at
        // most, as an import converts the pieces of a file.
        std::string first(bytes.size(), '\0');
        size_t taken = 0;
        size_t n = ConvertUtf8ToCp932(bytes, first.data(), first.size(), nullptr, 0, &bad, &taken);
        std::string_view rest = bytes.substr(taken);
        std::string second(Cp932RoomFor(rest.size()), '\0');
        size_t m = ConvertUtf8ToCp932(rest, second.data(), second.size(), nullptr, 0, &bad, &taken);
        fuzz::Check(taken == rest.size(), "Cp932RoomFor is room enough");
        fuzz::Check(first.substr(0, n) + second.substr(0, m) == *cp932,
                    "a conversion in two parts agrees");
    } else {
        fuzz::Check(bad > 0, "bytes that are not UTF-8 are counted");
    }
    return 0;
}
