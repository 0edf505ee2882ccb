#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/document_writer.h"

namespace brenvale {

// The refusal of an add whose new lines would change how the rest of the file reads.
inline constexpr std::string_view kReadingWouldChange =
    "項目を加えると文書のほかの部分の読み方が変わるため、加えませんでした";

// Splits a Topic path written as "Topic/Sub/Sub" into its captions; "//" stands for a "/"
// inside a caption. Throws Error for an empty caption ("a//" is "a/", "a/" or "/a" is
// refused).
std::vector<std::string> SplitTopicPath(std::string_view path);

struct QuickAdd {
    std::string bytes;              // the whole new file
    std::vector<std::string> made;  // the captions of the Topics made, top down
};

// Adds an unchecked Item with `text` at the end of the list of the Topic at `path` (captions
// from the top level down, CP932; the first Topic of that caption at each level), making the
// missing Topics as last children (a top-level one at the end of the document). Nothing else
// of `file` changes: the new lines go in after the last line of the Topic's list (or of the
// subtree the new Topic closes), with the line ends the file uses, and the result is read
// back to check that it holds exactly the document of `file` with the addition. Throws Error
// when path or text cannot go into a document line (empty, a line break, a control byte).
QuickAdd AddItemToBytes(std::string_view file, const std::vector<std::string>& path,
                        std::string_view text);

// The same on a file, saved as the editor saves (the backup first when options ask for one;
// BackupError leaves the file untouched). The file is read and written again when another
// program changes it between the read and the write. Returns the captions of the Topics made.
std::vector<std::string> AddItemToFile(const std::string& file,
                                       const std::vector<std::string>& path, std::string_view text,
                                       const WriteOptions& options);

}  // namespace brenvale
