#include "ui/text_width.h"

#include "common/cp932.h"
#include "ui/codec.h"

namespace brenvale {

TextWidthCache::TextWidthCache(const QFont& font) : metrics_(font), advances_(65536) {}

int TextWidthCache::width(std::string_view cp932) {
    if (HoldsReference(cp932)) {
        return metrics_.horizontalAdvance(FromCp932(cp932));
    }
    int total = 0;
    for (char16_t c : Cp932ToUtf16(cp932)) {
        int& known = advances_[c];
        if (known == 0) {
            known = metrics_.horizontalAdvance(QChar(c)) + 1;
        }
        total += known - 1;
    }
    return total;
}

}  // namespace brenvale
