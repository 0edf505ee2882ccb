#include "ui/help_context.h"

#include <QPointer>
#include <QStringList>

#include "common/error.h"
#include "common/path.h"
#include "settings/companion_files.h"
#include "settings/help_files.h"
#include "ui/codec.h"
#include "ui/help_pages.h"
#include "ui/help_window.h"
#include "ui/message_box.h"

namespace brenvale {

namespace {

QPointer<HelpWindow> theWindow;
QString programPathForHelp;

std::string HelpProgramPath() {
    return programPathForHelp.isEmpty() ? ProgramPath(nullptr) : ToUtf8(programPathForHelp);
}

// The main window: the help window lives as long as it, also when a dialog opened it.
QWidget* OwnerOf(QWidget* caller) {
    QWidget* owner = caller ? caller->window() : nullptr;
    while (owner && owner->parentWidget()) {
        owner = owner->parentWidget()->window();
    }
    return owner;
}

void ReportMissing(QWidget* parent, const std::string& program,
                   const std::vector<std::string>& candidates) {
    QStringList places;
    for (const std::string& candidate : candidates) {
        places << QStringLiteral("  ") + FromUtf8(candidate);
    }
    QString name = FromUtf8(ReplaceExtension(FileNamePart(program), kHelpCollectionExtension));
    ShowMessageBox(parent,
                   QStringLiteral("ヘルプファイル %1 が見つかりません。\n"
                                  "次の場所を探しました（%2 も同じ場所に必要です）:\n%3")
                       .arg(name, FromUtf8(HelpFileOf(ToUtf8(name))), places.join('\n')),
                   MessageKind::Error, MessageButtons::Ok);
}

}  // namespace

void SetHelpProgramPath(const QString& programPath) {
    programPathForHelp = programPath;
}

HelpWindow* OpenHelpWindow(QWidget* parent) {
    if (!theWindow) {
        std::string program = HelpProgramPath();
        std::vector<std::string> candidates = HelpCollectionCandidates(
            program, InstalledHelpFolders(program, BRENVALE_INSTALLED_DATA_FOLDER));
        std::optional<std::string> found = FindHelpCollection(
            candidates, [](const std::string& path) { return FileExists(path); });
        if (!found) {
            ReportMissing(parent, program, candidates);
            return nullptr;
        }
        try {
            theWindow = new HelpWindow(FromUtf8(*found), OwnerOf(parent));
        } catch (const Error& error) {
            ShowMessageBox(parent, FromUtf8(error.what()), MessageKind::Error, MessageButtons::Ok);
            return nullptr;
        }
    }
    theWindow->presentFor(parent);
    return theWindow;
}

void ShowHelpContext(QWidget* parent, int context) {
    if (HelpWindow* window = OpenHelpWindow(parent)) {
        window->showPage(HelpPageForContext(context));
    }
}

void HelpContentsExecute(QWidget* parent) {
    if (HelpWindow* window = OpenHelpWindow(parent)) {
        window->showContents();
    }
}

void HelpTopicExecute(QWidget* parent) {
    if (HelpWindow* window = OpenHelpWindow(parent)) {
        window->showSearch();
    }
}

}  // namespace brenvale
