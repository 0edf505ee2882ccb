#include "settings/dialog_size.h"

#include <vector>

#include "settings/ini_file.h"
#include "settings/ini_value.h"

namespace brenvale {

namespace {

constexpr int kLargest = 99999;

}  // namespace

std::optional<DialogSize> ReadDialogSize(const std::string& path, std::string_view section) {
    const IniKey keys[] = {{section, "Width"}, {section, "Height"}};
    std::vector<std::optional<std::string>> texts = IniFile(path).ReadValues(keys);
    DialogSize size{IniIntegerOr(texts[0], 0), IniIntegerOr(texts[1], 0)};
    if (size.width <= 0 || size.height <= 0 || size.width > kLargest || size.height > kLargest) {
        return std::nullopt;
    }
    return size;
}

void WriteDialogSize(const std::string& path, std::string_view section, DialogSize size) {
    const IniEdit edits[] = {IniEdit::Set(section, "Width", std::to_string(size.width)),
                             IniEdit::Set(section, "Height", std::to_string(size.height))};
    IniFile(path).Write(edits);
}

}  // namespace brenvale
