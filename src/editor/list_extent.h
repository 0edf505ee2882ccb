#pragma once

#include <cstddef>
#include <map>

namespace brenvale {

// The widest of a changing set of text widths, kept up to date per added or removed text so
// that a long list is not measured again after every edit.
class WidthTracker {
public:
    void add(int width) { ++counts_[width]; }
    void remove(int width) {
        auto it = counts_.find(width);
        if (it != counts_.end() && --it->second == 0) {
            counts_.erase(it);
        }
    }
    void clear() { counts_.clear(); }
    int widest() const { return counts_.empty() ? 0 : counts_.rbegin()->first; }

private:
    std::map<int, size_t> counts_;
};

}  // namespace brenvale
