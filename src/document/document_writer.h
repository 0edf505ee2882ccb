#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/file_identity.h"
#include "common/file_io.h"
#include "document/backup_copy.h"
#include "document/document.h"
#include "document/geometry.h"

namespace brenvale {

struct WriteOptions {
    bool trimItemSpaces = true;  // trim the spaces around Item texts, in the file and in memory
    bool backup = false;
    std::string backupFolder = std::string(kOwnFolderToken);
};

// What a write may replace at its path.
struct ReplaceRules {
    // A copy kept beside a document replaces only a regular file.
    WriteTarget target = WriteTarget::AnyFile;
    // The version of the file at the path that the write replaces: when another program wrote
    // the file since, the write stops with FileChangedError before the backup is made and
    // again just before the file is replaced, leaving the file as that program wrote it.
    std::optional<FileIdentity> replaces;
};

// Writes doc to path. With options.backup the file already at path is first copied to its
// backup; when that fails, BackupError is thrown before anything of doc is written (and before
// its Item texts are trimmed). See ReplaceRules for FileChangedError. The file is
// replaced only once it has been written completely; throws Error with the system's text when it
// cannot be written. Returns the file written, with the hash of its bytes (nothing for a device or
// a pipe).
std::optional<FileIdentity> WriteDocument(Document& doc, const std::string& path,
                                          const DocumentGeometry& geometry,
                                          const WriteOptions& options,
                                          const ReplaceRules& rules = {});

// The bytes WriteDocument writes (trimming applies to doc as well).
std::string SerializeDocument(Document& doc, const DocumentGeometry& geometry, bool trimItemSpaces);
// The bytes of doc exactly as it is, untrimmed.
std::string SerializeDocument(const Document& doc, const DocumentGeometry& geometry);

}  // namespace brenvale
