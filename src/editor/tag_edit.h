#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brenvale {

// What a tag command asks the user, and the answer. Names are CP932, without the mark.
enum class TagEditKind { Add, Remove, Rename };

struct TagEditRequest {
    TagEditKind kind = TagEditKind::Add;
    // The tags of the Item: the ones to remove or rename.
    std::vector<std::string> itemTags;
    // Every tag of the document, offered to choose from when adding or renaming.
    std::vector<std::string> knownTags;
};

struct TagEditAnswer {
    std::string name;  // the tag to add or remove, or the one to rename
    std::string to;    // the new name of a rename
};

// Why an answer cannot be taken (UTF-8, for the dialog), or nothing when it can. A name may be
// typed with its mark ("#仕事").
std::optional<std::string> TagEditProblem(const TagEditRequest& request,
                                          const TagEditAnswer& answer);
// The name without a leading "#" or "＃".
std::string BareTagName(std::string_view name);

}  // namespace brenvale
