#include "settings/caption_text.h"

namespace brenvale {

std::string PlainCaption(std::string_view caption) {
    std::string plain;
    plain.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        // "(&X)": the access key in parentheses goes whole.
        if (caption.substr(i, 2) == "(&" && i + 3 < caption.size() && caption[i + 2] != '&' &&
            caption[i + 3] == ')') {
            i += 3;
            continue;
        }
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                plain += '&';
                ++i;
            }
            continue;
        }
        plain += caption[i];
    }
    return plain;
}

}  // namespace brenvale
