#pragma once

#include <QFontMetrics>

#include <string_view>

#include "common/zeroed_array.h"

namespace brenvale {

// The width of CP932 texts in one font, summed from the advance of each character, which is
// looked up once: a list of 100,000 Items is measured without laying out every text. A text
// with characters beyond CP932 (references) is laid out whole instead: emoji sequences and
// combining marks take the width of what they draw together.
class TextWidthCache {
public:
    explicit TextWidthCache(const QFont& font);
    int width(std::string_view cp932);

private:
    QFontMetrics metrics_;
    // Per UTF-16 unit, the advance plus one; 0 until looked up. Only the pages of the
    // characters shown are ever touched.
    ZeroedArray<int> advances_;
};

}  // namespace brenvale
