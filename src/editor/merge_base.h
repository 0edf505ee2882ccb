#pragma once

#include <optional>
#include <string>

#include "common/file_identity.h"

namespace brenvale {

// The version of the document's file that this editor last read or wrote, kept for a later
// merge with a version another program wrote meanwhile: their common ancestor. It is kept as a
// file of its own in the instance's private state folder (beside the recovery copy) rather than
// in memory: the copy is made by the kernel, costs no memory of the process whatever the size
// of the document, and is read as a tree only when a merge needs it.
class MergeBase {
public:
    // path: where the copy lives; its folder must exist and be private to the user.
    explicit MergeBase(std::string path) : path_(std::move(path)) {}
    // The copy goes with the editor.
    ~MergeBase();
    MergeBase(const MergeBase&) = delete;
    MergeBase& operator=(const MergeBase&) = delete;

    // The document now stands on `version` of the file at documentPath: a copy of it is kept
    // when the file there is still that version (its metadata unchanged while it is copied);
    // otherwise no version is kept. Never throws: without a copy a merge unites instead.
    void keep(const std::string& documentPath, const FileIdentity& version);
    void forget();

    // The copy's path while a version is kept.
    std::optional<std::string> path() const;
    const std::optional<FileIdentity>& version() const { return version_; }

private:
    std::string path_;
    std::optional<FileIdentity> version_;
};

}  // namespace brenvale
