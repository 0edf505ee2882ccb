#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "schedule/item_tokens.h"

namespace brenvale::date_words {

// The CP932 bytes of the words a weekday is written with.
constexpr std::string_view kWeekdayMark = "\x97\x6A";  // 曜
constexpr std::string_view kDayMark = "\x93\xFA";      // 日
// 月 火 水 木 金 土 日: Monday to Sunday.
constexpr std::string_view kWeekdays[7] = {"\x8C\x8E", "\x89\xCE", "\x90\x85", "\x96\xD8",
                                           "\x8B\xE0", "\x93\x79", "\x93\xFA"};

// Reads the characters of one word, with the full-width forms of digits, letters and the
// signs a date uses read as their ASCII counterparts.
class WordReader {
public:
    WordReader(std::string_view text, size_t pos, size_t end) : text_(text), pos_(pos), end_(end) {}

    size_t pos() const { return pos_; }
    bool atEnd() const { return pos_ >= end_; }

    // The ASCII the next character stands for, 0 for any other character or at the end.
    char peek(size_t* length = nullptr) const {
        if (atEnd()) {
            return 0;
        }
        auto b = static_cast<unsigned char>(text_[pos_]);
        if (b < 0x80) {
            if (length) {
                *length = 1;
            }
            return static_cast<char>(b);
        }
        size_t n = token_detail::CharLength(text_, pos_);
        if (length) {
            *length = n;
        }
        if (n != 2 || pos_ + 2 > end_) {
            return 0;
        }
        auto t = static_cast<unsigned char>(text_[pos_ + 1]);
        if (b == 0x82) {
            if (t >= 0x4F && t <= 0x58) {
                return static_cast<char>('0' + (t - 0x4F));
            }
            if (t >= 0x60 && t <= 0x79) {
                return static_cast<char>('A' + (t - 0x60));
            }
            if (t >= 0x81 && t <= 0x9A) {
                return static_cast<char>('a' + (t - 0x81));
            }
        } else if (b == 0x81) {
            switch (t) {
                case 0x5E:
                    return '/';
                case 0x7B:
                    return '+';
                case 0x7C:
                    return '-';
                case 0x46:
                    return ':';
            }
        }
        return 0;
    }

    bool take(char c) {
        size_t length = 0;
        if (c != 0 && peek(&length) == c) {
            pos_ += length;
            return true;
        }
        return false;
    }
    // Takes the next ASCII character, lower case, whatever it is; 0 when there is none.
    char takeLower() {
        size_t length = 0;
        char c = peek(&length);
        if (c == 0) {
            return 0;
        }
        pos_ += length;
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    bool takeBytes(std::string_view bytes) {
        if (text_.substr(pos_, end_ - pos_).starts_with(bytes)) {
            pos_ += bytes.size();
            return true;
        }
        return false;
    }
    bool takeAny(std::initializer_list<std::string_view> words) {
        for (std::string_view word : words) {
            if (takeBytes(word)) {
                return true;
            }
        }
        return false;
    }
    // Up to maxDigits digits; *digits receives how many there were.
    int number(int maxDigits, int* digits) {
        int value = 0;
        *digits = 0;
        size_t length = 0;
        char c;
        while (*digits < maxDigits && (c = peek(&length)) >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            pos_ += length;
            ++*digits;
        }
        return value;
    }
    // A weekday "X曜" or "X曜日": 0 for Monday up to 6 for Sunday; -1 when none is here.
    int weekday() {
        for (int d = 0; d < 7; ++d) {
            std::string_view rest = text_.substr(pos_, end_ - pos_);
            if (rest.starts_with(kWeekdays[d]) && rest.substr(2).starts_with(kWeekdayMark)) {
                pos_ += 4;
                takeBytes(kDayMark);
                return d;
            }
        }
        return -1;
    }

private:
    std::string_view text_;
    size_t pos_;
    size_t end_;
};

}  // namespace brenvale::date_words
