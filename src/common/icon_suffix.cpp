#include "common/icon_suffix.h"

namespace brenvale {

bool HasIconSuffix(std::string_view text) {
    return text.size() >= 4 && text[text.size() - 4] == '@' && text.back() == '@';
}

std::string FormatIconSuffix(int icon) {
    std::string digits = std::to_string(icon < 0 ? -icon : icon);
    if (digits.size() < 2) {
        digits.insert(0, 2 - digits.size(), '0');
    }
    return "@" + std::string(icon < 0 ? "-" : "") + digits + "@";
}

std::string_view StripIconSuffix(std::string_view text) {
    return HasIconSuffix(text) ? text.substr(0, text.size() - 4) : text;
}

int ParseIconSuffix(std::string_view text) {
    if (!HasIconSuffix(text)) {
        return 0;
    }
    int value = 0;
    for (size_t i = text.size() - 3; i < text.size() - 1; ++i) {
        char c = text[i] == ' ' ? '0' : text[i];
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace brenvale
