#include "editor/find_state.h"

#include "common/cp932.h"
#include "editor/document_session.h"

namespace brenvale {

namespace {

// The levels of a Topic's path a result shows; deeper ones begin with "…".
constexpr int kPathLevels = 4;
constexpr std::string_view kLevelSeparator = " › ";

}  // namespace

bool FindState::current(uint64_t revision) const {
    return revision == session_.revision();
}

bool FindState::setQuery(std::string query, bool kanaBlind) {
    if (query == query_ && kanaBlind == kanaBlind_) {
        return false;
    }
    // The searches under way hold the old matcher.
    jobs_ = Jobs();
    query_ = std::move(query);
    kanaBlind_ = kanaBlind;
    matcher_.reset();
    if (!query_.empty()) {
        matcher_ = std::make_unique<TextMatcher>(query_, kanaBlind_);
    }
    hit_.reset();
    notFound_ = false;
    count_.reset();
    results_.clear();
    resultTotal_ = 0;
    resultsMade_ = false;
    ++resultsVersion_;
    return true;
}

std::optional<SearchHit> FindState::hit() const {
    return current(hitRevision_) ? hit_ : std::nullopt;
}

void FindState::found(std::optional<SearchHit> hit) {
    hit_ = hit;
    hitRevision_ = session_.revision();
    notFound_ = !hit && matcher_ != nullptr;
}

std::optional<HitCount> FindState::count() const {
    return current(countRevision_) ? count_ : std::nullopt;
}

void FindState::setCount(HitCount count) {
    count_ = count;
    countRevision_ = session_.revision();
}

std::string FindState::counterText() const {
    if (query_.empty()) {
        return {};
    }
    if (jobs_.step) {
        return "検索中…";
    }
    if (notFound_) {
        return "見つかりません";
    }
    std::optional<HitCount> counted = count();
    if (!counted || counted->total == 0) {
        return {};
    }
    std::string text = std::to_string(counted->total) + " 件";
    if (counted->index > 0 && hit()) {
        text += "中 " + std::to_string(counted->index) + " 件目";
    }
    return text;
}

std::optional<TextRange> FindState::highlight(const Topic* topic, size_t item) const {
    std::optional<SearchHit> h = hit();
    if (!h || h->topic != topic || h->item != static_cast<long>(item)) {
        return std::nullopt;
    }
    return h->range;
}

bool FindState::resultsStale() const {
    return resultsMade_ && !current(resultsRevision_);
}

void FindState::setResults(std::vector<Result> results, size_t total) {
    results_ = std::move(results);
    resultTotal_ = total;
    resultsMade_ = true;
    resultsRevision_ = session_.revision();
    ++resultsVersion_;
}

std::string ResultText(const SearchHit& hit) {
    std::vector<const Topic*> path;
    const Topic* t = hit.topic;
    for (; t && path.size() < kPathLevels; t = t->parent()) {
        path.push_back(t);
    }
    std::string text = t ? std::string("…") + std::string(kLevelSeparator) : std::string();
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        if (it != path.rbegin()) {
            text += kLevelSeparator;
        }
        text += Cp932ToUtf8((*it)->caption);
    }
    if (hit.item != kCaption) {
        text += kLevelSeparator;
        text += Cp932ToUtf8(TextAt(*hit.topic, hit.item));
    }
    return text;
}

}  // namespace brenvale
