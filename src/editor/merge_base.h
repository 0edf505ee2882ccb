#pragma once

#include <optional>
#include <string>
#include <thread>

#include "common/file_identity.h"

namespace brenvale {

// The version of the document's file that this editor last read or wrote, kept for a later
// merge with a version another program wrote meanwhile: their common ancestor. It is kept as a
// file of its own in the instance's private state folder (beside the recovery copy) rather than
// in memory: the copy is made by the kernel, costs no memory of the process whatever the size
// of the document, and is read as a tree only when a merge needs it.
class MergeBase {
public:
    // How keep() copies: before it returns, or on a thread of its own, so that a big document
    // is shown without waiting for its copy (every other call then waits for the copy first).
    enum class Copy { Now, OnAThread };

    // path: where the copy lives; its folder must exist and be private to the user.
    explicit MergeBase(std::string path, Copy copy = Copy::Now)
        : path_(std::move(path)), copy_(copy) {}
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
    const std::optional<FileIdentity>& version() const {
        finishCopy();
        return version_;
    }

private:
    // Waits for a copy under way and takes its outcome.
    void finishCopy() const;

    std::string path_;
    Copy copy_;
    mutable std::optional<FileIdentity> version_;
    mutable std::thread copying_;
    // Set by the copying thread, read once it has ended.
    mutable std::optional<FileIdentity> copied_;
};

}  // namespace brenvale
