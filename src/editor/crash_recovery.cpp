// The editor's side of the recovery copy: when the document changes it is copied a little
// later, when nothing is unsaved the copy goes, and at start the copies that gone
// instances left are offered back.
#include <ctime>

#include "common/error.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "editor/editor.h"
#include "editor/recovery_copy.h"

namespace brenvale {

namespace {

// How soon the timer looks again when a due copy had to wait for the editor.
constexpr std::chrono::milliseconds kRetry(100);

std::string FormatTime(std::time_t time) {
    std::tm local{};
    char text[32] = "";
    if (::localtime_r(&time, &local)) {
        std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    }
    return text;
}

std::string RecoveryQuestion(const ClaimedCopy& copy) {
    const std::optional<std::string>& path = copy.info().documentPath;
    return "前回、Brenvale が正常に終了しなかったため、保存されていない変更が残っています。\n\n"
           "文書: " +
           (path ? *path : std::string("無題（一度も保存されていない文書）")) +
           "\n記録した日時: " + FormatTime(copy.writtenAt()) +
           "\n\nこの変更を復元しますか？\n"
           "「はい」: 変更を開きます。元のファイルは保存するまで変わりません。\n"
           "「いいえ」: 残っている変更を削除します。\n"
           "「キャンセル」: 今回は開かず、次の起動でもう一度確認します。";
}

}  // namespace

void Editor::EnableRecovery(std::unique_ptr<RecoveryCopy> recovery) {
    recovery_ = std::move(recovery);
    if (modified_) {
        recoveryModifiedChanged(true);
    }
}

void Editor::recoveryModifiedChanged(bool modified) {
    if (!recovery_) {
        return;
    }
    if (modified) {
        recovery_->Changed();
        // Typing renames on every key: the timer, once armed, is left alone.
        if (!recoveryTimerArmed_) {
            armRecoveryTimer(recovery_->NextLook());
        }
    } else {
        recovery_->Discard();
        armRecoveryTimer(recovery_->NextLook());
    }
}

void Editor::armRecoveryTimer(std::optional<std::chrono::milliseconds> delay) {
    recoveryTimerArmed_ = delay.has_value();
    host_.SetRecoveryTimer(delay ? static_cast<int>(delay->count()) : -1);
}

void Editor::RecoveryTick() {
    recoveryTimerArmed_ = false;
    if (!recovery_) {
        return;
    }
    if (std::optional<std::string> failure = recovery_->Collect()) {
        recoveryFailure_ = std::move(failure);
    }
    std::optional<std::chrono::milliseconds> next;
    if (recovery_->CopyDue()) {
        if (bulkTree_ > 0 || bulkList_ > 0 || writing_) {
            // The document is halfway through a change (a dialog runs inside it).
            next = kRetry;
        } else {
            DocumentGeometry geometry = host_.CurrentGeometry();
            RecoveryInfo info;
            if (!doc_->untitled && !doc_->fileName.empty()) {
                info.documentPath = doc_->fileName;
            }
            // Without trimming: the copy holds the document exactly as it is in memory.
            recovery_->Write([this, geometry] { return SerializeDocument(*doc_, geometry, false); },
                             info);
        }
    }
    showRecoveryFailure();
    armRecoveryTimer(next ? next : recovery_->NextLook());
}

void Editor::showRecoveryFailure() {
    // Not over a dialog of the program: it waits for the main window.
    if (!recoveryFailure_ || !host_.IsMainWindowActive()) {
        return;
    }
    std::string text = std::move(*recoveryFailure_);
    recoveryFailure_.reset();
    host_.ShowMessageBox(text +
                             "\n\n異常終了したときのための復元用のコピーが作られていません。"
                             "こまめに保存してください。",
                         MessageKind::Warning, MessageButtons::Ok);
}

void Editor::WindowClosed() {
    if (!recovery_) {
        return;
    }
    armRecoveryTimer(std::nullopt);
    if (std::optional<std::string> failure = recovery_->Close()) {
        host_.ShowMessageBox(*failure, MessageKind::Warning, MessageButtons::Ok);
    }
}

bool Editor::offerLeftOverCopies(const std::vector<std::string>& files) {
    try {
        return offerEachLeftOverCopy(files);
    } catch (const Error& error) {
        // The start goes on as if there had been no copy; the copy stays where it is.
        host_.ShowMessageBox(
            std::string(error.what()) +
                "\n\n復元用のコピーを開けませんでした。コピーは次の起動まで残します。",
            MessageKind::Warning, MessageButtons::Ok);
        return false;
    }
}

bool Editor::offerEachLeftOverCopy(const std::vector<std::string>& files) {
    RecoveryStore& store = recovery_->store();
    store.RemoveStaleFiles();
    for (const std::string& id : store.OtherCopies()) {
        std::optional<ClaimedCopy> copy = store.Claim(id);
        if (!copy) {
            continue;  // its instance is running, or another one is offering it
        }
        switch (host_.ShowMessageBox(RecoveryQuestion(*copy), MessageKind::Confirmation,
                                     MessageButtons::YesNoCancel)) {
            case MessageAnswer::Yes:
                restoreCopy(*copy);
                // The files named on the command line open in instances of their own, but
                // not the one just restored.
                for (const std::string& file : files) {
                    if (file != copy->info().documentPath) {
                        host_.LaunchWithFile(file);
                    }
                }
                return true;
            case MessageAnswer::No:
                copy->Delete();
                break;
            default:
                return false;  // asked again at the next start
        }
    }
    return false;
}

void Editor::restoreCopy(ClaimedCopy& copy) {
    ReadOptions options = settings_.readOptions();
    options.imageCount = topicImageCount();
    // Read before anything changes: a copy that cannot be read stays where it is.
    ReadResult read = ParseDocument(copy.ReadBytes(), options);
    showReadDocument(std::move(read), copy.info().documentPath);
    SetModified(true);
    try {
        // The copy becomes this instance's own until its next write.
        recovery_->store().Adopt(copy);
    } catch (const Error& error) {
        // It stays for the next start as well; this instance writes its own meanwhile.
        host_.ShowMessageBox(error.what(), MessageKind::Warning, MessageButtons::Ok);
    }
}

}  // namespace brenvale
