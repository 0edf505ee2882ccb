// At start the recovery copies that gone instances left are offered back.
#include <ctime>

#include "common/error.h"
#include "common/path.h"
#include "document/document_reader.h"
#include "document/document_writer.h"
#include "editor/command_handlers.h"
#include "editor/document_session.h"
#include "editor/editor_parts.h"
#include "editor/recovery_copy.h"
#include "editor/view_notifier.h"

namespace brenvale {

namespace {

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

bool OfferEachLeftOverCopy(EditorParts& p, const std::vector<std::string>& files);

}  // namespace

void RecoveryTick(EditorParts& p) {
    p.session.recoveryTick(p.views.treeHeld() || p.views.listHeld());
}

bool OfferLeftOverCopies(EditorParts& p, const std::vector<std::string>& files) {
    try {
        return OfferEachLeftOverCopy(p, files);
    } catch (const Error& error) {
        // The start goes on as if there had been no copy; the copy stays where it is.
        p.host.ShowMessageBox(
            std::string(error.what()) +
                "\n\n復元用のコピーを開けませんでした。コピーは次の起動まで残します。",
            MessageKind::Warning, MessageButtons::Ok);
        return false;
    }
}

namespace {

bool RestoreCopy(EditorParts& p, ClaimedCopy& copy);

bool OfferEachLeftOverCopy(EditorParts& p, const std::vector<std::string>& files) {
    RecoveryStore& store = p.session.recovery()->store();
    store.RemoveStaleFiles();
    for (const std::string& id : store.OtherCopies()) {
        std::optional<ClaimedCopy> copy = store.Claim(id);
        if (!copy) {
            continue;  // its instance is running, or another one is offering it
        }
        switch (p.host.ShowMessageBox(RecoveryQuestion(*copy), MessageKind::Confirmation,
                                      MessageButtons::YesNoCancel)) {
            case MessageAnswer::Yes:
                if (!RestoreCopy(p, *copy)) {
                    return false;  // the copy stays for the next start
                }
                // The files named on the command line open in instances of their own, but
                // not the one just restored.
                for (const std::string& file : files) {
                    if (AbsolutePath(file) != copy->info().documentPath) {
                        p.host.LaunchWithFile(file);
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

// False when the user chose not to open a document another editor has open.
bool RestoreCopy(EditorParts& p, ClaimedCopy& copy) {
    ReadOptions options = p.settings.readOptions();
    options.imageCount = p.topicImageCount;
    // Read before anything changes: a copy that cannot be read stays where it is.
    ReadResult read = ParseDocument(copy.ReadBytes(), options);
    std::optional<std::string> path = copy.info().documentPath;
    if (path && !IsAbsolutePath(*path)) {
        // Written by an older version as it was typed: which folder it was relative to is
        // not known, so it is restored without a name rather than over another folder's file.
        path.reset();
    }
    if (path && !ConfirmOpenElsewhere(p, *path)) {
        return false;
    }
    ShowReadDocument(p, std::move(read), path ? &*path : nullptr);
    if (path) {
        // The copy's changes stand on the version of the file it was made from, so a save over
        // a version another program wrote since asks first. A copy that does not say takes
        // the file as it is now.
        std::optional<FileIdentity> file = copy.info().documentFile;
        p.session.setDiskFile(file ? file : IdentifyFile(*path));
    }
    p.session.setModified(true);
    try {
        // The copy becomes this instance's own until its next write.
        p.session.recovery()->store().Adopt(copy);
    } catch (const Error& error) {
        // It stays for the next start as well; this instance writes its own meanwhile.
        p.host.ShowMessageBox(error.what(), MessageKind::Warning, MessageButtons::Ok);
    }
    return true;
}

}  // namespace

}  // namespace brenvale
