#include "common/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

#include "common/error.h"

namespace brenvale {

namespace {

// One conversion descriptor per direction, opened once per thread.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw Error(std::string("文字コード変換を開始できません: ") + from + " -> " + to);
        }
    }
    ~Converter() { ::iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in; on an invalid or unconvertible sequence calls onBad(offset of the sequence)
    // which returns how many input bytes to skip and what to emit instead, or stops when it
    // returns false.
    template <typename OnBad>
    bool Run(std::string_view in, std::string& out, OnBad onBad) {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        while (srcLeft > 0) {
            size_t rc = ::iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            if (rc != static_cast<size_t>(-1)) {
                break;
            }
            if (errno == E2BIG) {
                size_t used = out.size() - dstLeft;
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
                continue;
            }
            size_t used = out.size() - dstLeft;
            std::string replacement;
            size_t skip = 0;
            if (!onBad(static_cast<size_t>(src - in.data()), skip, replacement)) {
                return false;
            }
            out.resize(used);
            out += replacement;
            size_t grown = out.size();
            out.resize(grown + srcLeft * 2 + 16);
            dst = out.data() + grown;
            dstLeft = out.size() - grown;
            skip = std::min(skip, srcLeft);
            src += skip;
            srcLeft -= skip;
        }
        out.resize(out.size() - dstLeft);
        return true;
    }

private:
    iconv_t cd_;
};

Converter& Get(const char* to, const char* from) {
    // Each thread keeps its own descriptors because iconv keeps conversion state.
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
    auto& slot = cache[{to, from}];
    if (!slot) {
        slot = std::make_unique<Converter>(to, from);
    }
    return *slot;
}

std::string Decode(std::string_view cp932, const char* to, std::string_view replacement) {
    std::string out;
    Get(to, "CP932").Run(cp932, out, [&](size_t, size_t& skip, std::string& emit) {
        skip = 1;
        emit = std::string(replacement);
        return true;
    });
    return out;
}

std::optional<std::string> Encode(std::string_view in, const char* from, size_t* badIndex) {
    std::string out;
    bool ok = Get("CP932", from).Run(in, out, [&](size_t offset, size_t&, std::string&) {
        if (badIndex) {
            *badIndex = offset;
        }
        return false;
    });
    if (!ok) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    return Decode(cp932, "UTF-8", "\xEF\xBF\xBD");
}

std::u16string Cp932ToUtf16(std::string_view cp932) {
    std::string bytes = Decode(cp932, "UTF-16LE", std::string_view("\xFD\xFF", 2));
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return out;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8, size_t* badIndex) {
    return Encode(utf8, "UTF-8", badIndex);
}

std::optional<std::string> Utf16ToCp932(std::u16string_view utf16, size_t* badIndex) {
    std::string bytes(utf16.size() * 2, '\0');
    for (size_t i = 0; i < utf16.size(); ++i) {
        bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
    }
    size_t badByte = 0;
    auto out = Encode(bytes, "UTF-16LE", &badByte);
    if (!out && badIndex) {
        *badIndex = badByte / 2;
    }
    return out;
}

}  // namespace brenvale
