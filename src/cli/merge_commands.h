#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "document/document_reader.h"
#include "document/document_writer.h"

namespace brenvale {

// What merge and diff take from brenvale-cli's options.
struct CompareOptions {
    ReadOptions read;
    WriteOptions write;
    bool strict = false;                // warnings of a read stop the command
    std::optional<std::string> output;  // merge: -o OUT
};

// merge BASE OURS THEIRS [-o OUT], or OURS THEIRS for two copies without a common ancestor:
// writes the merged document over OURS (or to OUT, "-" for standard output) as the editor
// saves, and names each conflict on err. Returns 0 when it merged cleanly, 1 with conflicts;
// throws Error (nothing written) when a file cannot be read or written. With strict, a read
// that warns stops it: returns 2.
int MergeCommand(const std::vector<std::string>& operands, const CompareOptions& options,
                 std::ostream& out, std::ostream& err);

// diff OLD NEW: one line per change on out. Returns 0 when the two hold the same tree, 1 when
// they differ; throws Error when a file cannot be read (2 with strict, as above).
int DiffCommand(const std::vector<std::string>& operands, const CompareOptions& options,
                std::ostream& out, std::ostream& err);

}  // namespace brenvale
