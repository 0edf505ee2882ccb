#pragma once

#include <memory>
#include <optional>

#include "common/file_identity.h"
#include "document/document.h"
#include "editor/undo_change.h"

namespace brenvale {

// The whole Document replaced by another (a merge's result): the record holds the Document
// that is not in place, whole, so that the steps recorded before it still find their Topics
// once it is undone; and the version of the file each of the two stands on. inEffect, when
// given, tells whoever shares it whether the replacing Document is the one in place.
class DocumentReplacement final : public UndoChange {
public:
    DocumentReplacement(std::unique_ptr<Document> other, std::optional<FileIdentity> otherFile,
                        std::shared_ptr<bool> inEffect);

    void toggle(DocumentChanges& changes) override;
    size_t bytes() const override;

private:
    std::unique_ptr<Document> other_;
    std::optional<FileIdentity> otherFile_;
    std::shared_ptr<bool> inEffect_;
};

}  // namespace brenvale
