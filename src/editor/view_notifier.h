#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "editor/editor_observer.h"

namespace brenvale {

class TreeRows;

// The editor's observers and what they are told. During a bulk build of the tree or of the
// list the views are reset at its end instead of hearing of every change, so the fine-grained
// notifications of that kind are held back meanwhile.
class ViewNotifier {
public:
    void add(EditorObserver* observer) { observers_->push_back(observer); }
    void remove(EditorObserver* observer) { std::erase(*observers_, observer); }

    template <typename Fn>
    void all(Fn&& fn) const {
        for (EditorObserver* o : *observers_) {
            fn(*o);
        }
    }
    // Changes of the tree's shape, captions, icons and expansion.
    template <typename Fn>
    void tree(Fn&& fn) const {
        if (treeHolds_ == 0) {
            all(fn);
        }
    }
    // Changes of the visible check list's rows.
    template <typename Fn>
    void list(Fn&& fn) const {
        if (listHolds_ == 0) {
            all(fn);
        }
    }

    bool treeHeld() const { return treeHolds_ > 0; }
    bool listHeld() const { return listHolds_ > 0; }
    // The tree's rows wait while the tree is held and are built anew before the views hear of
    // its release.
    void setTreeRows(TreeRows* rows) { rows_ = rows; }
    // The first hold resets the views' idea of the tree (list), the last release ends the
    // reset; holds nest.
    void holdTree();
    void releaseTree();
    void holdList();
    void releaseList();

    // Shared with the registrations, which thus see whether the editor is still there.
    std::weak_ptr<std::vector<EditorObserver*>> registry() const { return observers_; }

private:
    std::shared_ptr<std::vector<EditorObserver*>> observers_ =
        std::make_shared<std::vector<EditorObserver*>>();
    TreeRows* rows_ = nullptr;
    int treeHolds_ = 0;
    int listHolds_ = 0;
};

}  // namespace brenvale
