#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "document/document.h"

namespace brenvale::fuzz {

// Stops the run with a message when a property does not hold; libFuzzer keeps the input.
inline void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

inline std::string_view Bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A Topic and its Items as a flat row: level below the walk's start, caption, icon, and per
// Item its checked state and text.
using TopicRow = std::tuple<int, std::string, int, std::vector<std::pair<bool, std::string>>>;

inline TopicRow RowOf(const Topic& t, int level) {
    std::vector<std::pair<bool, std::string>> items;
    for (size_t i = 0; i < t.items.size(); ++i) {
        items.emplace_back(t.items[i].checked(), std::string(t.items[i].text()));
    }
    return {level, t.caption, t.icon, std::move(items)};
}

inline std::vector<TopicRow> Rows(const Topic& top) {
    std::vector<TopicRow> rows;
    ForEachInSubtree(top, [&](const Topic& t, int level) { rows.push_back(RowOf(t, level)); });
    return rows;
}

// Every Topic of a document with the Items' marks as stored.
inline std::vector<std::pair<TopicRow, std::vector<std::string>>> Tree(const Document& doc) {
    std::vector<std::pair<TopicRow, std::vector<std::string>>> rows;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        std::vector<std::string> stored;
        for (size_t i = 0; i < t.items.size(); ++i) {
            stored.emplace_back(t.items[i].stored());
        }
        rows.emplace_back(RowOf(t, level), std::move(stored));
    });
    return rows;
}

}  // namespace brenvale::fuzz
