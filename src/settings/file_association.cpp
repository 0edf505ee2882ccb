#include "settings/file_association.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "common/error.h"
#include "common/file_io.h"
#include "common/path.h"
#include "common/text.h"
#include "settings/mime_apps.h"
#include "settings/mime_package.h"

extern char** environ;

namespace brenvale {

namespace {

// The same name as the installed package, so that the user's copy stands in for it.
constexpr std::string_view kMimePackageName = "brenvale.xml";

std::string ReadIfPresent(const std::string& path) {
    if (!FileExists(path)) {
        return {};
    }
    try {
        return ReadWholeFile(path);
    } catch (const Error&) {
        return {};  // what cannot be read counts as not there
    }
}

[[noreturn]] void FailWrite() {
    throw Error(std::string(kAssociationWriteFailed));
}

// Makes the folders of a path that are missing, private to the user as the XDG rules ask.
void MakeFolders(const std::string& folder) {
    if (folder.empty() || FolderExists(folder)) {
        return;
    }
    MakeFolders(FolderPart(folder));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        FailWrite();
    }
}

void WriteOrFail(const std::string& path, std::string_view bytes, mode_t mode = 0) {
    MakeFolders(FolderPart(path));
    try {
        WriteFileAtomically(path, bytes);
    } catch (const Error&) {
        FailWrite();
    }
    if (mode != 0 && ::chmod(path.c_str(), mode) != 0) {
        FailWrite();
    }
}

std::string ShellQuote(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

std::string IconPath(const std::string& dataHome, int size, std::string_view context,
                     std::string_view name) {
    std::string sizeFolder = std::to_string(size) + "x" + std::to_string(size);
    return JoinPath(JoinPath(JoinPath(JoinPath(dataHome, "icons/hicolor"), sizeFolder), context),
                    std::string(name) + ".png");
}

// Puts back the type's entry in [Default Applications]: drops the one there and writes the
// previous one (from BRENVALE_LINE, empty for none) at the end of the group.
constexpr std::string_view kRestoreAwk = R"awk(
BEGIN { type = tolower(ENVIRON["BRENVALE_TYPE"]); line = ENVIRON["BRENVALE_LINE"]; done = (line == "") }
/^[ \t]*\[/ {
    if (group && !done) { print line; done = 1 }
    group = ($0 ~ /^[ \t]*\[Default Applications\][ \t]*$/)
    print; next
}
group && index($0, "=") > 0 {
    key = substr($0, 1, index($0, "=") - 1); gsub(/^[ \t]+|[ \t]+$/, "", key)
    if (tolower(key) == type) next
}
{ print }
END {
    if (!done && group) print line
    else if (!done) { print "[Default Applications]"; print line }
}
)awk";

}  // namespace

void RunIfInstalled(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        return;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // What the cache tools say (notes about search paths) is nothing the user can act on.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = 0;
    int result = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        return;  // not installed: the desktop reads the files at its next start
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

FileAssociation::FileAssociation(AssociationSetup setup, ProgramRunner run)
    : setup_(std::move(setup)), run_(std::move(run)) {}

std::string FileAssociation::mimePackagePath() const {
    return JoinPath(JoinPath(setup_.dirs.dataHome, "mime/packages"), kMimePackageName);
}

std::string FileAssociation::desktopEntryPath() const {
    return JoinPath(JoinPath(setup_.dirs.dataHome, "applications"), kDesktopId);
}

std::string FileAssociation::mimeappsPath() const {
    return JoinPath(setup_.dirs.configHome, "mimeapps.list");
}

std::vector<std::string> FileAssociation::iconPaths() const {
    std::vector<std::string> paths;
    for (const IconImage& icon : setup_.applicationIcons) {
        paths.push_back(IconPath(setup_.dirs.dataHome, icon.size, "apps", kApplicationIconName));
    }
    for (const IconImage& icon : setup_.documentIcons) {
        paths.push_back(IconPath(setup_.dirs.dataHome, icon.size, "mimetypes", kDocumentIconName));
    }
    return paths;
}

// The default as the desktop looks it up: the user's list first, then the system's.
std::optional<std::string> FileAssociation::resolvedDefault() const {
    std::vector<std::string> lists = {mimeappsPath()};
    for (const std::string& folder : setup_.dirs.configDirs) {
        lists.push_back(JoinPath(folder, "mimeapps.list"));
    }
    lists.push_back(JoinPath(JoinPath(setup_.dirs.dataHome, "applications"), "mimeapps.list"));
    for (const std::string& folder : setup_.dirs.dataDirs) {
        lists.push_back(JoinPath(JoinPath(folder, "applications"), "mimeapps.list"));
    }
    for (const std::string& list : lists) {
        if (std::optional<std::string> id =
                DefaultApplication(ReadIfPresent(list), kDocumentMimeType)) {
            return id;
        }
    }
    return std::nullopt;
}

bool FileAssociation::IsRegistered() const {
    return resolvedDefault() == kDesktopId;
}

bool FileAssociation::IsTakenByOther() const {
    std::vector<std::string> databases = {JoinPath(setup_.dirs.dataHome, "mime")};
    for (const std::string& folder : setup_.dirs.dataDirs) {
        databases.push_back(JoinPath(folder, "mime"));
    }
    for (const std::string& database : databases) {
        for (const std::string& type :
             TypesOfPattern(ReadIfPresent(JoinPath(database, "globs2")), kDocumentPattern)) {
            if (!EqualsIgnoreCase(type, kDocumentMimeType)) {
                return true;
            }
        }
    }
    std::optional<std::string> current = resolvedDefault();
    return current && *current != kDesktopId;
}

void FileAssociation::Register(const std::string& restoreScript) {
    const std::string& dataHome = setup_.dirs.dataHome;
    if (dataHome.empty() || setup_.dirs.configHome.empty()) {
        FailWrite();
    }
    const std::string mimeapps = ReadIfPresent(mimeappsPath());
    if (!restoreScript.empty()) {
        RestoreScript script;
        script.removeFiles = {mimePackagePath(), desktopEntryPath()};
        for (const std::string& icon : iconPaths()) {
            script.removeFiles.push_back(icon);
        }
        script.mimeapps = mimeappsPath();
        script.type = kDocumentMimeType;
        script.previousLine = DefaultApplicationLine(mimeapps, kDocumentMimeType);
        script.mimeFolder = JoinPath(dataHome, "mime");
        script.applicationsFolder = JoinPath(dataHome, "applications");
        WriteOrFail(restoreScript, RestoreScriptText(script), 0755);
    }
    WriteOrFail(mimePackagePath(), MimePackageText());
    std::vector<std::string> icons = iconPaths();
    size_t next = 0;
    for (const auto* images : {&setup_.applicationIcons, &setup_.documentIcons}) {
        for (const IconImage& icon : *images) {
            WriteOrFail(icons[next++], icon.png);
        }
    }
    WriteOrFail(desktopEntryPath(), DesktopEntryText(setup_.programPath));
    WriteOrFail(mimeappsPath(), SetDefaultApplication(mimeapps, kDocumentMimeType, kDesktopId));
    refreshCaches();
}

bool FileAssociation::Unregister() {
    bool removed = false;
    std::string mimeapps = RemoveDefaultApplication(ReadIfPresent(mimeappsPath()),
                                                    kDocumentMimeType, kDesktopId, &removed);
    bool ok = removed;
    if (removed) {
        try {
            WriteFileAtomically(mimeappsPath(), mimeapps);
        } catch (const Error&) {
            ok = false;
        }
    }
    ok = ::unlink(desktopEntryPath().c_str()) == 0 && ok;
    ok = ::unlink(mimePackagePath().c_str()) == 0 && ok;
    for (const std::string& icon : iconPaths()) {
        ::unlink(icon.c_str());  // icons nobody names any more do no harm
    }
    refreshCaches();
    return ok;
}

void FileAssociation::refreshCaches() const {
    std::string mime = JoinPath(setup_.dirs.dataHome, "mime");
    if (FolderExists(mime)) {
        run_({"update-mime-database", mime});
    }
    std::string applications = JoinPath(setup_.dirs.dataHome, "applications");
    if (FolderExists(applications)) {
        run_({"update-desktop-database", applications});
    }
}

std::string DesktopExecArgument(std::string_view path) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = path.empty() || path.find_first_of(kReserved) != std::string_view::npos;
    std::string argument;
    if (quote) {
        argument += '"';
    }
    for (char c : path) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            argument += '\\';
        }
        argument += c;
    }
    if (quote) {
        argument += '"';
    }
    // The value of the key is a string of the desktop entry rules, with its own escapes, and
    // a "%" that is not a field code is doubled.
    std::string value;
    for (char c : argument) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            case '%':
                value += "%%";
                break;
            default:
                value += c;
        }
    }
    return value;
}

std::string DesktopEntryText(std::string_view programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Brenvale\n"
           "Comment=やる事チェックリストのエディタ\n"
           "Exec=" +
           DesktopExecArgument(programPath) +
           " %f\n"
           "Icon=" +
           std::string(kApplicationIconName) +
           "\n"
           "MimeType=" +
           std::string(kDocumentMimeType) +
           ";\n"
           "Terminal=false\n"
           "Categories=Office;\n";
}

std::string RestoreScriptText(const RestoreScript& s) {
    std::string text =
        "#!/bin/sh\n"
        "# Puts the .bnv file association back as it was before Brenvale registered itself:\n"
        "# removes Brenvale's file type, desktop entry and icons and restores the previous\n"
        "# default application. Run it with: sh Save.reg\n"
        "list=" +
        ShellQuote(s.mimeapps) + "\n";
    text += "rm -f --";
    for (const std::string& file : s.removeFiles) {
        text += " " + ShellQuote(file);
    }
    text += "\n";
    text += "if [ -f \"$list\" ] || [ -n " + ShellQuote(s.previousLine.value_or("")) + " ]; then\n";
    text += "    [ -f \"$list\" ] || : > \"$list\"\n";
    text += "    BRENVALE_TYPE=" + ShellQuote(s.type) +
            " BRENVALE_LINE=" + ShellQuote(s.previousLine.value_or("")) + " awk " +
            ShellQuote(kRestoreAwk) + " \"$list\" > \"$list.restore\" &&\n";
    text += "        mv -f -- \"$list.restore\" \"$list\"\n";
    text += "fi\n";
    text += "if command -v update-mime-database >/dev/null 2>&1 && [ -d " +
            ShellQuote(s.mimeFolder) + " ]; then\n";
    text += "    update-mime-database " + ShellQuote(s.mimeFolder) + "\n";
    text += "fi\n";
    text += "if command -v update-desktop-database >/dev/null 2>&1 && [ -d " +
            ShellQuote(s.applicationsFolder) + " ]; then\n";
    text += "    update-desktop-database " + ShellQuote(s.applicationsFolder) + "\n";
    text += "fi\n";
    return text;
}

AssociationTexts AssociationTexts::For(std::string_view extension) {
    const std::string e = "拡張子 (*" + std::string(extension) + ")";
    const std::string sameExtension = "(*" + std::string(extension) + ")";
    AssociationTexts t;
    t.associateCaption = e + " を関連付ける...";
    t.removeCaption = e + " の関連付けを削除する...";
    t.askAssociate = e + " を関連付けますか？";
    t.askRemove = e + " の関連付けを削除しますか？";
    t.askOverwrite = "既に" + e + " は別のプログラムに関連付けられています。\n上書きしますか？";
    t.associated = e + " は関連付けられ、直接開けるようになりました。";
    t.associatedWithRestore = t.associated + "\n元の " + sameExtension +
                              " 関連付けは Save.regを実行する事で元に戻ります。";
    t.removed = e + " の関連付けが正しく削除されました。";
    t.removeFailed = e + " の関連付けが何らかの理由で正しく削除できませんでした。";
    return t;
}

}  // namespace brenvale
