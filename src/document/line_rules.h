#pragma once

#include <cstddef>
#include <cstring>

namespace brenvale {

// The bytes that give a document line its meaning.
inline constexpr char kGeometryByte = '\x07';  // first on a line of window geometry
inline constexpr char kItemByte = '\x08';      // after a line's TABs: an Item
inline constexpr char kEndOfFile = '\x1A';     // ends the text

enum class LineKind { Topic, Item, Geometry };

// The start of a line: its leading TABs and what follows them (a Topic's caption, the Item
// byte before an Item's stored form, or the geometry byte). The line's bytes end in a CR.
struct LineHead {
    LineKind kind;
    size_t tabs;
    const char* rest;
};

// The kind of a line whose bytes after its `tabs` TABs start at rest (ended by a CR).
inline LineKind KindAfterTabs(const char* rest, size_t tabs) {
    if (tabs == 0 && *rest == kGeometryByte) {
        return LineKind::Geometry;
    }
    return *rest == kItemByte ? LineKind::Item : LineKind::Topic;
}

inline LineHead ReadLineHead(const char* p) {
    size_t tabs = 0;
    while (p[tabs] == '\t') {
        ++tabs;
    }
    return {KindAfterTabs(p + tabs, tabs), tabs, p + tabs};
}

// Where a Topic line goes after a Topic line of lastTabs TABs: below that Topic when it has
// more TABs, else beside the Topic `up` levels above that one. A line may climb more levels
// than there are; it then stops at the top level.
struct TopicStep {
    bool below;
    size_t up;
};

inline TopicStep StepAfter(size_t lastTabs, size_t tabs) {
    return tabs > lastTabs ? TopicStep{true, 0} : TopicStep{false, lastTabs - tabs};
}

inline bool HoldsCr(const char* bytes, size_t size) {
    return size > 0 && std::memchr(bytes, '\r', size) != nullptr;
}

// In a text without any CR an LF ends a line: it becomes the CR the readers end lines at.
inline void EndLinesAtLineFeeds(char* bytes, size_t size) {
    for (char* p = bytes; (p = static_cast<char*>(std::memchr(p, '\n', bytes + size - p)));) {
        *p++ = '\r';
    }
}

}  // namespace brenvale
