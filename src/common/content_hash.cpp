#include "common/content_hash.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace brenvale {

namespace {

constexpr uint64_t kPrime1 = 11400714785074694791ULL;
constexpr uint64_t kPrime2 = 14029467366897019727ULL;
constexpr uint64_t kPrime3 = 1609587929392839161ULL;
constexpr uint64_t kPrime4 = 9650029242287828579ULL;
constexpr uint64_t kPrime5 = 2870177450012600261ULL;

uint64_t Read64(const unsigned char* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        v = __builtin_bswap64(v);
    }
    return v;
}

uint32_t Read32(const unsigned char* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        v = __builtin_bswap32(v);
    }
    return v;
}

uint64_t Round(uint64_t lane, uint64_t input) {
    lane += input * kPrime2;
    lane = std::rotl(lane, 31);
    return lane * kPrime1;
}

uint64_t MergeRound(uint64_t hash, uint64_t lane) {
    hash ^= Round(0, lane);
    return hash * kPrime1 + kPrime4;
}

}  // namespace

ContentHash::ContentHash() : lanes_{kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1} {}

void ContentHash::stripe(const unsigned char* p) {
    for (int i = 0; i < 4; ++i) {
        lanes_[i] = Round(lanes_[i], Read64(p + 8 * i));
    }
}

void ContentHash::add(std::string_view bytes) {
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    total_ += size;
    if (pendingSize_ > 0) {
        size_t take = std::min(size, kStripe - pendingSize_);
        std::memcpy(pending_ + pendingSize_, p, take);
        pendingSize_ += take;
        p += take;
        size -= take;
        if (pendingSize_ < kStripe) {
            return;
        }
        stripe(pending_);
        pendingSize_ = 0;
    }
    for (; size >= kStripe; p += kStripe, size -= kStripe) {
        stripe(p);
    }
    if (size > 0) {
        std::memcpy(pending_, p, size);
        pendingSize_ = size;
    }
}

uint64_t ContentHash::value() const {
    uint64_t h;
    if (total_ >= kStripe) {
        h = std::rotl(lanes_[0], 1) + std::rotl(lanes_[1], 7) + std::rotl(lanes_[2], 12) +
            std::rotl(lanes_[3], 18);
        for (uint64_t lane : lanes_) {
            h = MergeRound(h, lane);
        }
    } else {
        h = kPrime5;
    }
    h += total_;
    const unsigned char* p = pending_;
    size_t left = pendingSize_;
    for (; left >= 8; p += 8, left -= 8) {
        h ^= Round(0, Read64(p));
        h = std::rotl(h, 27) * kPrime1 + kPrime4;
    }
    if (left >= 4) {
        h ^= uint64_t{Read32(p)} * kPrime1;
        h = std::rotl(h, 23) * kPrime2 + kPrime3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left) {
        h ^= *p * kPrime5;
        h = std::rotl(h, 11) * kPrime1;
    }
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return h;
}

uint64_t HashBytes(std::string_view bytes) {
    ContentHash hash;
    hash.add(bytes);
    return hash.value();
}

}  // namespace brenvale
