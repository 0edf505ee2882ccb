#include "document/model.h"

#include "common/icon_suffix.h"

namespace brenvale {

DetachedTopic MakeTopic(Document& doc, std::string_view text, int icon, int imageCount) {
    DetachedTopic t = doc.create();
    t->setCaption(StripIconSuffix(text));
    t->icon = ResolveIcon(icon, text, imageCount);
    t->expanded = true;
    return t;
}

int ResolveIcon(int k, std::string_view text, int imageCount) {
    if (k == 0) {
        k = ParseIconSuffix(text);
    }
    if (k > imageCount - 1) {
        k = kIconMissing;
    }
    return k == 1 ? kIconFolder : k;
}

Topic& AddTopic(Document& doc, Topic* reference, std::string_view text, int icon, int imageCount) {
    return doc.append(reference ? reference->parent() : nullptr,
                      MakeTopic(doc, text, icon, imageCount));
}

Topic& AddChildTopic(Document& doc, Topic* parent, std::string_view text, int icon,
                     int imageCount) {
    return doc.append(parent, MakeTopic(doc, text, icon, imageCount));
}

void AppendStoredItem(Topic* topic, std::string_view stored) {
    if (topic) {
        topic->items.insert(topic->items.size(), stored, {});
    }
}

}  // namespace brenvale
