#pragma once

#include <string>

#include "editor/editor_host.h"
#include "editor/view_notifier.h"

namespace brenvale {

class Topic;

// The selected Topic and the two one-line edit boxes above the tree and the list: the tree's
// box shows the selected Topic's caption (typing renames it), the list's box holds the text
// the next Item is added from. Texts are CP932.
class Selection {
public:
    explicit Selection(ViewNotifier& views) : views_(views) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    Topic* topic() const { return topic_; }
    void setTopic(Topic* topic) { topic_ = topic; }

    const std::string& text(EditBox box) const { return box == EditBox::Tree ? tree_ : list_; }
    // The program puts a text into a box; the window shows it, all of it selected.
    void setText(EditBox box, std::string text);
    // The user typed into a box: the window already shows it.
    void typed(EditBox box, std::string text) {
        (box == EditBox::Tree ? tree_ : list_) = std::move(text);
    }

private:
    ViewNotifier& views_;
    Topic* topic_ = nullptr;
    std::string tree_;
    std::string list_;
};

}  // namespace brenvale
