#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace brenvale {

// Gives every distinct text a small number, so that sequences of texts compare as numbers.
// The texts are not copied: they must outlive the keys. An open-addressing table of numbers
// beside the views keeps it to about 24 bytes a distinct text.
class TextKeys {
public:
    explicit TextKeys(size_t expected = 16) { slots_.assign(SlotCountFor(expected), 0); }

    uint32_t key(std::string_view text) {
        size_t hash = std::hash<std::string_view>{}(text);
        size_t mask = slots_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            uint32_t slot = slots_[i];
            if (slot == 0) {
                texts_.push_back(text);
                hashes_.push_back(static_cast<uint32_t>(hash));
                slots_[i] = static_cast<uint32_t>(texts_.size());
                if (texts_.size() * 2 > slots_.size()) {
                    grow();
                }
                return static_cast<uint32_t>(texts_.size() - 1);
            }
            if (hashes_[slot - 1] == static_cast<uint32_t>(hash) && texts_[slot - 1] == text) {
                return slot - 1;
            }
        }
    }

    size_t size() const { return texts_.size(); }
    std::string_view text(uint32_t key) const { return texts_[key]; }

private:
    static size_t SlotCountFor(size_t expected) {
        size_t n = 16;
        while (n < expected * 2) {
            n *= 2;
        }
        return n;
    }

    void grow() {
        std::vector<uint32_t> slots(slots_.size() * 2, 0);
        size_t mask = slots.size() - 1;
        for (uint32_t key = 0; key < texts_.size(); ++key) {
            size_t i = std::hash<std::string_view>{}(texts_[key]) & mask;
            while (slots[i] != 0) {
                i = (i + 1) & mask;
            }
            slots[i] = key + 1;
        }
        slots_.swap(slots);
    }

    std::vector<uint32_t> slots_;  // key + 1, or 0 for a free slot
    std::vector<std::string_view> texts_;
    std::vector<uint32_t> hashes_;  // low half of each text's hash, to skip most comparisons
};

}  // namespace brenvale
