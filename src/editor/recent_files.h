#pragma once

#include <string>
#include <vector>

namespace brenvale {

// The recent-file list: at most ten document paths, the most recent first.
class RecentFiles {
public:
    static constexpr size_t kMaxEntries = 10;

    // Puts a path on top: an entry with the same path moves up; a new one drops the oldest
    // beyond ten. Paths differing only in letter case name two files here. A path holding "~"
    // is expanded first when it can be.
    void add(const std::string& path);
    void clear() { paths_.clear(); }

    const std::vector<std::string>& paths() const { return paths_; }
    size_t size() const { return paths_.size(); }
    // The menu caption of entry i: "&i path".
    std::string caption(size_t i) const;

private:
    std::vector<std::string> paths_;
};

}  // namespace brenvale
