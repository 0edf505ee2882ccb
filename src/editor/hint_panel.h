#pragma once

#include <string>

#include "editor/view_notifier.h"

namespace brenvale {

// The text of the status bar's hint panel.
class HintPanel {
public:
    explicit HintPanel(ViewNotifier& views) : views_(views) {}
    const std::string& text() const { return text_; }
    void show(std::string text) {
        if (text != text_) {
            text_ = std::move(text);
            views_.all([](EditorObserver& o) { o.hintChanged(); });
        }
    }

private:
    ViewNotifier& views_;
    std::string text_;
};

}  // namespace brenvale
