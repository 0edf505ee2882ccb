#pragma once

#include <random>
#include <string>
#include <vector>

#include "common/check_mark.h"
#include "common/cp932.h"
#include "document/document.h"
#include "document/document_writer.h"
#include "document/model.h"
#include "document/safe_text.h"

namespace brenvale::test {

// Every CP932 character: the single bytes and the double-byte codes that decode to one.
inline std::vector<std::string> EveryCp932Character() {
    std::vector<std::string> all;
    for (int b = 0; b < 0x100; ++b) {
        std::string one(1, static_cast<char>(b));
        if (FindUndecodable(one) == std::string::npos) {
            all.push_back(one);
        }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            std::string two{static_cast<char>(lead), static_cast<char>(trail)};
            if (Cp932ToUtf16(two).size() == 1 && FindUndecodable(two) == std::string::npos) {
                all.push_back(two);
            }
        }
    }
    return all;
}

// Builds documents of random shape and content for round trips: depths beyond the six
// Markdown headings, icons, separators, no-box Items checked or not, foreign and short
// marks, texts mixing CP932 characters with Markdown and XML special characters, line
// breaks, control bytes, spaces at either end, bytes CP932 does not define, the codes CP932
// has twice, and empty captions and texts. Everything is file-safe, as a Document holds it.
//
// With references, texts also hold characters beyond CP932 as the document keeps them
// (emoji and their sequences, combining marks, dashes, accented letters, a no-break space),
// and literal texts that look like references of characters CP932 holds.
class RandomDocument {
public:
    explicit RandomDocument(unsigned seed, bool references = false)
        : rng_(seed), all_(EveryCp932Character()), references_(references) {
        for (const std::string& c : all_) {
            if (Cp932RoundTrips(c)) {
                plain_.push_back(c);
            }
        }
    }

    void build(Document& doc, int topics, int maxDepth) {
        std::vector<Topic*> path;
        for (int i = 0; i < topics; ++i) {
            int depth = path.empty() ? 0 : pick(0, std::min<int>(path.size(), maxDepth - 1));
            path.resize(static_cast<size_t>(depth));
            DetachedTopic made = doc.create();
            Topic& t = doc.append(path.empty() ? nullptr : path.back(), std::move(made));
            t.setCaption(FileSafeCaption(text(), depth));
            t.icon = chance(3) ? 0 : pick(2, 99);
            t.expanded = true;
            int items = pick(0, 6);
            for (int k = 0; k < items; ++k) {
                t.items.push_back(Item::FromStored(FileSafeStored(stored())));
            }
            path.push_back(&t);
        }
    }

    // Gives some Topics a first Item that is a task with the Topic's own caption, as the
    // Markdown import makes of a task with sub-tasks.
    void addParentTasks(Document& doc) {
        ForEachTopic(doc, [&](Topic& t, int) {
            if (!t.caption.empty() && chance(3)) {
                t.items.insert(
                    0, Item::FromStored(std::string(chance(2) ? kCheckedMark : kUncheckedMark) +
                                        t.caption.str()));
            }
        });
    }

    // Most texts hold characters that convert back to the same bytes; one in eight also
    // bytes that do not (undefined, or one of the codes CP932 has twice).
    std::string text() {
        static const char* kPieces[] = {
            "*",    "_",    "**",   "`",           "\\",    "[",     "]",    "[ ] ",
            "[x] ", "<",    ">",    "&",           "&amp;", "&#32;", "<br>", "<!-- icon:3 -->",
            "-->",  "#",    "# ",   "- ",          "1. ",   "2) ",   "+",    "=",
            "---",  "|",    "~",    "!",           "\"",    "'",     " ",    "  ",
            "\t",   "\n",   "@07@", "http://x.y/", "\x01",  "\x07",  "\x0B", "\x7F",
            "-",    "\\\n", "  \n", "\n\n",
        };
        static const char* kOddBytes[] = {"\x80", "\xFD", "\x81\x20", "\xED\x40", "\x87\x90"};
        bool odd = chance(8);
        const std::vector<std::string>& pool = odd ? all_ : plain_;
        static const char* kReferences[] = {
            "&#x1F600;",
            "&#x1F468;&#x200D;&#x1F469;&#x200D;&#x1F467;",
            "&#x1F1EF;&#x1F1F5;",
            "&#x2764;&#xFE0F;",
            "&#x1F44D;&#x1F3FD;",
            "e&#x301;",
            "&#xE9;",
            "&#x2022;&#x2022;&#x2022;",
            "&#x2013;",
            "&#xA0;",
            "&#x10FFFF;",
            "&#x41;",
            "&#x1f600;",
            "&#xFFFD;",
            "&#xFFFE;",
        };
        std::string out;
        int parts = pick(0, 6);
        for (int i = 0; i < parts; ++i) {
            if (references_ && chance(3)) {
                out += kReferences[pick(0, sizeof kReferences / sizeof kReferences[0] - 1)];
                continue;
            }
            switch (pick(0, 3)) {
                case 0:
                    out += kPieces[pick(0, sizeof kPieces / sizeof kPieces[0] - 1)];
                    break;
                case 1:
                    if (odd) {
                        out += kOddBytes[pick(0, sizeof kOddBytes / sizeof kOddBytes[0] - 1)];
                        break;
                    }
                    [[fallthrough]];
                default:
                    for (int n = pick(1, 4); n > 0; --n) {
                        out += pool[static_cast<size_t>(pick(0, pool.size() - 1))];
                    }
            }
        }
        return out;
    }

    std::string stored() {
        int kind = pick(0, 9);
        if (kind == 0) {
            return std::string(kUncheckedMark) + "-";  // separator
        }
        if (kind == 1) {
            return std::string(kUncheckedMark) + "-" + text();  // no-box
        }
        if (kind == 2) {
            return std::string(kCheckedMark) + "-" + text();  // a checked no-box Item
        }
        if (kind == 3) {
            // A foreign mark as a file may carry, or a stored form shorter than a mark.
            std::string odd = plain_[static_cast<size_t>(pick(0, plain_.size() - 1))];
            return chance(2) ? odd : odd + "x" + text();
        }
        return std::string(chance(2) ? kCheckedMark : kUncheckedMark) + text();
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    int pick(int low, size_t high) { return pick(low, static_cast<int>(high)); }
    bool chance(int in) { return pick(0, in - 1) == 0; }

private:
    std::mt19937 rng_;
    std::vector<std::string> all_;
    std::vector<std::string> plain_;  // the characters that convert back to their bytes
    bool references_ = false;
};

// The document file's bytes of doc: what a round trip has to give back.
inline std::string Bytes(const Document& doc) {
    return SerializeDocument(doc, DocumentGeometry{});
}

}  // namespace brenvale::test
