#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/xdg_dirs.h"

namespace brenvale {

// The .bnv file type registered with the user's desktop, the freedesktop way: a MIME type of
// our own (package under $XDG_DATA_HOME/mime/packages), a desktop entry that starts the
// program with the file, the program's and the document's icons in the hicolor theme, and our
// desktop entry as the type's default application in $XDG_CONFIG_HOME/mimeapps.list.

inline constexpr std::string_view kDocumentMimeType = "application/x-brenvale";
inline constexpr std::string_view kDocumentPattern = "*.bnv";
inline constexpr std::string_view kDesktopId = "brenvale.desktop";
inline constexpr std::string_view kApplicationIconName = "brenvale";
inline constexpr std::string_view kDocumentIconName = "application-x-brenvale";

// One size of an icon, as PNG bytes.
struct IconImage {
    int size = 0;
    std::string png;
};

struct AssociationSetup {
    XdgDirs dirs;
    std::string programPath;
    std::vector<IconImage> applicationIcons;
    std::vector<IconImage> documentIcons;
};

// Runs a program (argv[0] looked up on the PATH) and waits for it; a program that is not
// installed is skipped.
using ProgramRunner = std::function<void(const std::vector<std::string>& argv)>;
void RunIfInstalled(const std::vector<std::string>& argv);

class FileAssociation {
public:
    explicit FileAssociation(AssociationSetup setup, ProgramRunner run = RunIfInstalled);

    // Our desktop entry is the default application of our type.
    bool IsRegistered() const;
    // Another program has the .bnv files: the desktop gives "*.bnv" another type, or our type
    // has a default application that is not ours.
    bool IsTakenByOther() const;

    // Registers the type. With a restore script path, first writes there an executable shell
    // script that removes our registration and puts back the previous default. Then the MIME
    // package, the icons, the desktop entry and the default, and the desktop's caches are
    // brought up to date. A file that cannot be written throws Error; the files before it stay.
    void Register(const std::string& restoreScript = {});
    // Removes our default, desktop entry and MIME package (and our icons), trying every part,
    // and brings the caches up to date. False when one of the three was not there or could not
    // be removed.
    bool Unregister();

    std::string mimePackagePath() const;
    std::string desktopEntryPath() const;
    std::string mimeappsPath() const;
    std::vector<std::string> iconPaths() const;

private:
    std::optional<std::string> resolvedDefault() const;
    void refreshCaches() const;

    AssociationSetup setup_;
    ProgramRunner run_;
};

// The desktop entry that opens documents with the program.
std::string DesktopEntryText(std::string_view programPath);
// A path as one argument of a desktop entry's Exec line: quoted where it needs to be, with
// the escapes of the desktop entry rules.
std::string DesktopExecArgument(std::string_view path);

// What the restore script undoes.
struct RestoreScript {
    std::vector<std::string> removeFiles;
    std::string mimeapps;
    std::string type;
    std::optional<std::string> previousLine;  // the type's entry before us, if any
    std::string mimeFolder;                   // caches to bring up to date afterwards
    std::string applicationsFolder;
};
std::string RestoreScriptText(const RestoreScript& script);

// The message of a write that failed, and the dialog's captions and messages for an extension
// such as ".bnv".
inline constexpr std::string_view kAssociationWriteFailed = "'' の設定に失敗しました";
struct AssociationTexts {
    std::string associateCaption;
    std::string removeCaption;
    std::string askAssociate;
    std::string askRemove;
    std::string askOverwrite;
    std::string associated;
    std::string associatedWithRestore;
    std::string removed;
    std::string removeFailed;

    static AssociationTexts For(std::string_view extension);
};

}  // namespace brenvale
