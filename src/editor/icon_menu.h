#pragma once

#include <functional>
#include <string>
#include <vector>

namespace brenvale {

class Topic;

// The command image list holds 61 pictures, then the user icons.
inline constexpr int kBuiltInBarImages = 61;
inline constexpr int kMaxUserIcons = 15;

// One entry of the icon menu: tag 1 stands for the folder pair, any other tag is the icon
// index it gives. Texts are UTF-8.
struct IconMenuEntry {
    std::string caption;
    int tag;
    int barImage;
    std::string hint;
};

std::vector<IconMenuEntry> IconMenuEntries(int userIconCount);

// The entry that matches a Topic's icon, -1 when none does.
int CheckedIconEntry(int icon, size_t entryCount);
// The entry the icon menus mark for the selected Topic (-1 for none, or no Topic).
int CheckedIconEntryFor(const Topic* selected, int userIconCount);

// The user icon files in folder: Icon01.ico, Icon02.ico, ... up to the first one missing.
std::vector<std::string> ScanUserIcons(const std::string& folder,
                                       const std::function<bool(const std::string&)>& exists);

}  // namespace brenvale
