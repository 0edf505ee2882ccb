// A change of the whole Document as one step of the undo history.
#include "editor/document_replacement.h"

#include "document/storage.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/progress_counts.h"
#include "editor/view_notifier.h"
#include "editor/visible_list.h"

namespace brenvale {

DocumentReplacement::DocumentReplacement(std::unique_ptr<Document> other,
                                         std::optional<FileIdentity> otherFile,
                                         std::shared_ptr<bool> inEffect)
    : other_(std::move(other)), otherFile_(std::move(otherFile)), inEffect_(std::move(inEffect)) {
    if (inEffect_) {
        *inEffect_ = true;
    }
}

void DocumentReplacement::toggle(DocumentChanges& changes) {
    changes.swapDocument(other_, otherFile_);
    if (inEffect_) {
        *inEffect_ = !*inEffect_;
    }
}

size_t DocumentReplacement::bytes() const {
    return sizeof(*this) + sizeof(Document) + other_->storage().bytesHeld();
}

void DocumentChanges::replaceDocument(std::unique_ptr<Document> doc,
                                      std::optional<FileIdentity> standsOn,
                                      std::shared_ptr<bool> inEffect) {
    swapDocument(doc, standsOn);
    record(std::make_unique<DocumentReplacement>(std::move(doc), std::move(standsOn),
                                                 std::move(inEffect)));
}

void DocumentChanges::swapDocument(std::unique_ptr<Document>& other,
                                   std::optional<FileIdentity>& otherFile) {
    // The views are reset around the change, as for a document just opened; the list shows
    // nothing until the caller selects a Topic of the new Document.
    struct Held {
        ViewNotifier& views;
        explicit Held(ViewNotifier& v) : views(v) {
            views.holdTree();
            views.holdList();
        }
        ~Held() {
            views.releaseList();
            views.releaseTree();
        }
    } held(views_);
    list_.clear();
    session_.swapDocument(other);
    progress_.recountAll();
    std::optional<FileIdentity> standing = session_.diskFile();
    session_.setDiskFile(otherFile);
    // The version the document stood on until now was seen by the user: when it is still on
    // disk it is not asked about, and a save over it asks first.
    if (standing && standing != otherFile) {
        session_.keepOver(*standing);
    }
    otherFile = std::move(standing);
}

}  // namespace brenvale
