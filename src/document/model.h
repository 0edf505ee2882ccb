#pragma once

#include <string_view>

#include "document/document.h"

namespace brenvale {

// The topic image list holds 8 built-in images, then the user icons.
inline constexpr int kBuiltInTopicImages = 8;

// An image count that holds every index an icon suffix can carry, for tools without an image
// list: no icon is taken for missing.
inline constexpr int kEveryIconIndex = 100;

// Icon indices with a fixed meaning.
inline constexpr int kIconFolder = 0;
inline constexpr int kIconTree = 2;
inline constexpr int kIconList = 3;
inline constexpr int kIconTrash = 4;
inline constexpr int kIconTrashFull = 5;
inline constexpr int kIconMissing = 6;
inline constexpr int kIconPencil = 7;
inline constexpr int kFirstUserIcon = 8;

// The icon a Topic gets for icon argument k (0: from the caption's suffix): an index beyond
// the image list becomes the "missing" image, 1 becomes the folder pair.
int ResolveIcon(int k, std::string_view text, int imageCount);

// A new Topic of doc made from text (a trailing icon suffix gives the icon and is cut from the
// caption), expanded, not yet in the tree.
DetachedTopic MakeTopic(Document& doc, std::string_view text, int icon, int imageCount);

// Append a new Topic made from text (a trailing icon suffix gives the icon and is cut from
// the caption): AddTopic as the last sibling at the level of reference (nullptr: the last
// top-level Topic), AddChildTopic as the last child of parent (nullptr: likewise). The new
// Topic is expanded.
Topic& AddTopic(Document& doc, Topic* reference, std::string_view text, int icon, int imageCount);
Topic& AddChildTopic(Document& doc, Topic* parent, std::string_view text, int icon, int imageCount);

// Appends one Item given as mark followed by text; nothing happens without a Topic.
void AppendStoredItem(Topic* topic, std::string_view stored);

}  // namespace brenvale
