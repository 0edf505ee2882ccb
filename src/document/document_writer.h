#pragma once

#include <string>
#include <string_view>

#include "document/document.h"
#include "document/geometry.h"

namespace brenvale {

// The folder setting that means "the document's own folder" (※File in CP932).
inline constexpr std::string_view kOwnFolderToken =
    "\x81\xA6"
    "File";

struct WriteOptions {
    bool trimItemSpaces = true;  // trim the spaces around Item texts, in the file and in memory
    bool backup = false;
    std::string backupFolder = std::string(kOwnFolderToken);
};

enum class WriteOutcome {
    Written,
    // An old backup could not be deleted: nothing was written, and the caller stops silently.
    Abandoned,
};

// The backup name for a write to path: beside it with ".BAK", or in the backup folder.
std::string BackupName(const std::string& path, const std::string& backupFolder);

// Writes doc to path (backup first when asked). The file is replaced only once it has been
// written completely; throws Error with the system's text when it cannot be written.
WriteOutcome WriteDocument(Document& doc, const std::string& path, const DocumentGeometry& geometry,
                           const WriteOptions& options);

// The bytes WriteDocument writes (trimming applies to doc as well).
std::string SerializeDocument(Document& doc, const DocumentGeometry& geometry, bool trimItemSpaces);
// The bytes of doc exactly as it is, untrimmed.
std::string SerializeDocument(const Document& doc, const DocumentGeometry& geometry);

}  // namespace brenvale
