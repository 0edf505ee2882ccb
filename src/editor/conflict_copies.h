#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

// Whether name is a copy that a sync tool left beside the document named documentName (both
// file names, without folders) when the two sides changed it at once. For "todo.bnv":
//   todo.sync-conflict-20261209-101010-ABCDEFG.bnv
//   todo (conflicted copy 2026-12-09 101010).bnv
//   todo (<user name>'s conflicted copy 2026-12-09).bnv, maybe followed by " (1)"
// The stem and the extension must be the document's own, byte for byte.
bool IsConflictCopyName(std::string_view name, std::string_view documentName);

// The conflict copies in the folder of the document at documentPath: regular files (links
// not followed), as full paths sorted by name.
std::vector<std::string> FindConflictCopies(const std::string& documentPath);

}  // namespace brenvale
