#include "editor/recent_files.h"

#include "common/error.h"
#include "common/path.h"

namespace brenvale {

void RecentFiles::add(const std::string& given) {
    std::string path = given;
    if (path.find('~') != std::string::npos) {
        try {
            path = ExpandLongPath(path);
        } catch (const Error&) {
            // A path that cannot be expanded is listed as it was given.
        }
    }
    for (size_t i = 0; i < paths_.size(); ++i) {
        if (paths_[i] == path) {
            std::string kept = std::move(paths_[i]);
            paths_.erase(paths_.begin() + static_cast<long>(i));
            paths_.insert(paths_.begin(), std::move(kept));
            return;
        }
    }
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kMaxEntries) {
        paths_.resize(kMaxEntries);
    }
}

std::string RecentFiles::caption(size_t i) const {
    return "&" + std::to_string(i) + " " + paths_[i];
}

}  // namespace brenvale
