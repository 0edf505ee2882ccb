#pragma once

#include "common/arena.h"
#include "document/text_store.h"
#include "document/topic.h"

namespace brenvale {

// Everything one Document's tree lives in: the Item bytes, the Topics and the arrays a bulk
// build lends their lists. A Document and every Topic taken out of it (DetachedTopic) share
// it, so a removed subtree stays whole for as long as anything holds it; it is freed block
// by block when the last of them goes.
struct DocumentStorage {
    DocumentStorage() = default;
    DocumentStorage(const DocumentStorage&) = delete;
    DocumentStorage& operator=(const DocumentStorage&) = delete;

    size_t bytesHeld() const { return texts.bytesHeld() + arena.bytesHeld(); }

    TextStore texts;
    Arena arena;
    ObjectPool<Topic> topics{arena};
};

}  // namespace brenvale
