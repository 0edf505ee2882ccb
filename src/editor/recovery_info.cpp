#include "editor/recovery_info.h"

#include <cinttypes>
#include <cstdio>

namespace brenvale {

namespace {

constexpr std::string_view kHeader = "brenvale recovery 1";
constexpr std::string_view kDocumentKey = "document ";
constexpr std::string_view kUntitledLine = "untitled";
// "file <device> <inode> <size> <modification ns> <hash>", in decimal.
constexpr std::string_view kFileKey = "file ";

std::string FormatFile(const FileIdentity& f) {
    char line[160];
    std::snprintf(line, sizeof line, "%" PRIu64 " %" PRIu64 " %" PRIu64 " %" PRId64 " %" PRIu64,
                  f.device, f.inode, f.size, f.modifiedNs, f.hash);
    return line;
}

std::optional<FileIdentity> ParseFile(std::string_view text) {
    FileIdentity f;
    std::string line(text);
    int used = 0;
    if (std::sscanf(line.c_str(), "%" SCNu64 " %" SCNu64 " %" SCNu64 " %" SCNd64 " %" SCNu64 "%n",
                    &f.device, &f.inode, &f.size, &f.modifiedNs, &f.hash, &used) != 5 ||
        static_cast<size_t>(used) != line.size()) {
        return std::nullopt;
    }
    return f;
}

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

}  // namespace

std::string FormatRecoveryInfo(const RecoveryInfo& info) {
    std::string text(kHeader);
    text += '\n';
    if (info.documentPath) {
        text += kDocumentKey;
        text += Escape(*info.documentPath);
    } else {
        text += kUntitledLine;
    }
    text += '\n';
    if (info.documentFile) {
        text += kFileKey;
        text += FormatFile(*info.documentFile);
        text += '\n';
    }
    return text;
}

RecoveryInfo ParseRecoveryInfo(std::string_view text) {
    RecoveryInfo info;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.substr(0, kDocumentKey.size()) == kDocumentKey) {
            info.documentPath = Unescape(line.substr(kDocumentKey.size()));
        } else if (line.substr(0, kFileKey.size()) == kFileKey) {
            info.documentFile = ParseFile(line.substr(kFileKey.size()));
        }
    }
    return info;
}

}  // namespace brenvale
