#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/file_identity.h"

namespace brenvale {

// What a recovery copy belongs to: the path of its document, none for an untitled one, and
// the version of that file the document stood on (as the editor last read or wrote it).
struct RecoveryInfo {
    std::optional<std::string> documentPath;
    std::optional<FileIdentity> documentFile = std::nullopt;

    bool operator==(const RecoveryInfo&) const = default;
};

// The small text file kept beside each copy. A path may hold any byte but NUL, so line
// breaks and backslashes in it are escaped.
std::string FormatRecoveryInfo(const RecoveryInfo& info);
// Lines it does not know are skipped; a file without a document line is an untitled one.
RecoveryInfo ParseRecoveryInfo(std::string_view text);

}  // namespace brenvale
