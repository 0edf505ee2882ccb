#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brenvale::test {

// Well-formed files of other programs' formats, built byte by byte as their formats have
// them (checksums included), for the tests of what is not a document.

inline uint32_t Crc32(std::string_view bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

inline void PutBigEndian32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((v >> shift) & 0xFF);
    }
}

inline void PutLittleEndian(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

// A deflate stream of one stored (uncompressed) block.
inline std::string StoredDeflate(std::string_view data) {
    std::string out = "\x01";  // the last block, stored
    PutLittleEndian(out, static_cast<uint32_t>(data.size()), 2);
    PutLittleEndian(out, static_cast<uint32_t>(~data.size() & 0xFFFF), 2);
    out += data;
    return out;
}

// A PNG picture of width x height grey pixels.
inline std::string PngBytes(uint32_t width, uint32_t height) {
    auto chunk = [](std::string_view type, std::string_view data) {
        std::string c;
        PutBigEndian32(c, static_cast<uint32_t>(data.size()));
        std::string body = std::string(type) + std::string(data);
        c += body;
        PutBigEndian32(c, Crc32(body));
        return c;
    };
    std::string header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header += std::string("\x08\x00\x00\x00\x00", 5);  // 8-bit grey, no interlace
    std::string pixels;
    for (uint32_t y = 0; y < height; ++y) {
        pixels += '\0';  // no filter
        for (uint32_t x = 0; x < width; ++x) {
            pixels += static_cast<char>((x * 7 + y * 13) & 0xFF);
        }
    }
    uint32_t a = 1;
    uint32_t b = 0;
    for (unsigned char c : pixels) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    std::string zlib = "\x78\x01" + StoredDeflate(pixels);
    PutBigEndian32(zlib, (b << 16) | a);
    return "\x89PNG\r\n\x1A\n" + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", "");
}

// A ZIP archive of stored entries (name, content).
inline std::string ZipBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out;
    std::string directory;
    // Named references, not a structured binding: the lambda below takes them, which clang
    // before version 16 refuses for bindings.
    for (const auto& entry : entries) {
        const std::string& name = entry.first;
        const std::string& data = entry.second;
        const auto offset = static_cast<uint32_t>(out.size());
        const uint32_t crc = Crc32(data);
        auto common = [&](std::string& s) {
            PutLittleEndian(s, 20, 2);  // version needed
            PutLittleEndian(s, 0, 2);   // flags
            PutLittleEndian(s, 0, 2);   // stored
            PutLittleEndian(s, 0, 4);   // time and date
            PutLittleEndian(s, crc, 4);
            PutLittleEndian(s, static_cast<uint32_t>(data.size()), 4);
            PutLittleEndian(s, static_cast<uint32_t>(data.size()), 4);
            PutLittleEndian(s, static_cast<uint32_t>(name.size()), 2);
            PutLittleEndian(s, 0, 2);  // extra field
        };
        out += "PK\x03\x04";
        common(out);
        out += name + data;
        directory += "PK\x01\x02";
        PutLittleEndian(directory, 20, 2);  // made by
        common(directory);
        PutLittleEndian(directory, 0, 2);  // comment
        PutLittleEndian(directory, 0, 2);  // disk
        PutLittleEndian(directory, 0, 2);  // internal attributes
        PutLittleEndian(directory, 0, 4);  // external attributes
        PutLittleEndian(directory, offset, 4);
        directory += name;
    }
    const auto at = static_cast<uint32_t>(out.size());
    out += directory + "PK\x05\x06";
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, static_cast<uint32_t>(entries.size()), 2);
    PutLittleEndian(out, static_cast<uint32_t>(entries.size()), 2);
    PutLittleEndian(out, static_cast<uint32_t>(directory.size()), 4);
    PutLittleEndian(out, at, 4);
    PutLittleEndian(out, 0, 2);
    return out;
}

// A word-processor file of the office format built on ZIP.
inline std::string OfficeBytes() {
    return ZipBytes({{"[Content_Types].xml",
                      "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/"
                      "package/2006/content-types\"/>"},
                     {"word/document.xml", "<w:document/>"}});
}

// A gzip file holding text.
inline std::string GzipBytes(std::string_view text) {
    std::string out("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    out += StoredDeflate(text);
    PutLittleEndian(out, Crc32(text), 4);
    PutLittleEndian(out, static_cast<uint32_t>(text.size()), 4);
    return out;
}

// The start of a JPEG picture (its JFIF header) and of a GIF picture.
inline std::string JpegBytes() {
    return std::string(
        "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
        "\xFF\xD9",
        22);
}
inline std::string GifBytes() {
    return std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14);
}

// A one-page PDF with its usual binary comment line.
inline std::string PdfBytes() {
    return "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj <</Type /Catalog /Pages 2 0 R>> endobj\n"
           "2 0 obj <</Type /Pages /Kids [] /Count 0>> endobj\ntrailer <</Root 1 0 R>>\n%%EOF\n";
}

}  // namespace brenvale::test
