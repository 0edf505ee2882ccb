#include "editor/icon_menu.h"

#include "document/topic.h"

#include "common/path.h"
#include "document/model.h"

namespace brenvale {

namespace {

std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

IconMenuEntry Entry(std::string caption, int tag, int barImage) {
    std::string hint =
        "アイコン変更...|選択されているツリーのアイコンを『" + caption + "』アイコンに変更します";
    return {std::move(caption), tag, barImage, std::move(hint)};
}

}  // namespace

std::vector<IconMenuEntry> IconMenuEntries(int userIconCount) {
    std::vector<IconMenuEntry> entries = {
        Entry("フォルダ", 1, 27),           Entry("ごみ箱", kIconTrash, 28),
        Entry("ツリー", kIconTree, 29),     Entry("リスト", kIconList, 30),
        Entry("えんぴつ", kIconPencil, 39),
    };
    for (int n = 1; n <= userIconCount; ++n) {
        entries.push_back(Entry("ユーザー アイコン " + TwoDigits(n), kFirstUserIcon + n - 1,
                                kBuiltInBarImages + n - 1));
    }
    return entries;
}

int CheckedIconEntry(int icon, size_t entryCount) {
    switch (icon) {
        case 0:
        case 1:
            return 0;
        case kIconTree:
            return 2;
        case kIconList:
            return 3;
        case kIconTrash:
        case kIconTrashFull:
            return 1;
        case kIconPencil:
            return 4;
        default:
            break;
    }
    if (icon >= kFirstUserIcon && static_cast<size_t>(icon - 3) < entryCount) {
        return icon - 3;
    }
    return -1;
}

std::vector<std::string> ScanUserIcons(const std::string& folder,
                                       const std::function<bool(const std::string&)>& exists) {
    std::vector<std::string> files;
    for (int n = 1; n <= kMaxUserIcons; ++n) {
        std::string path = JoinPath(folder, "Icon" + TwoDigits(n) + ".ico");
        if (!exists(path)) {
            break;
        }
        files.push_back(path);
    }
    return files;
}

int CheckedIconEntryFor(const Topic* selected, int userIconCount) {
    return selected ? CheckedIconEntry(selected->icon, IconMenuEntries(userIconCount).size()) : -1;
}

}  // namespace brenvale
