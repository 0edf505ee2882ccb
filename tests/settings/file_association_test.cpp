#include "settings/file_association.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "common/error.h"
#include "common/path.h"
#include "settings/mime_apps.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::ReadBytes;
using test::WriteBytes;

bool Installed(const char* program) {
    std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
            out.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return out;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// Every desktop folder in a temporary folder, so that nothing touches the machine's own.
class FileAssociationTest : public ::testing::Test {
protected:
    FileAssociationTest() {
        setup_.dirs.dataHome = dir_.file("data");
        setup_.dirs.configHome = dir_.file("config");
        setup_.dirs.dataDirs = {dir_.file("system")};
        setup_.dirs.configDirs = {dir_.file("etc")};
        setup_.programPath = dir_.file("bin/Bren vale");
        setup_.applicationIcons = {{16, "app16"}, {48, "app48"}};
        setup_.documentIcons = {{16, "doc16"}};
    }

    FileAssociation association() const { return FileAssociation(setup_); }

    // A command line with the temporary folders as the desktop's.
    std::string inDesktop(const std::string& command) const {
        return "env -i PATH=\"$PATH\" HOME=" + Quoted(dir_.path()) +
               " XDG_DATA_HOME=" + Quoted(setup_.dirs.dataHome) +
               " XDG_CONFIG_HOME=" + Quoted(setup_.dirs.configHome) +
               " XDG_DATA_DIRS=" + Quoted(setup_.dirs.dataDirs[0]) +
               " XDG_CONFIG_DIRS=" + Quoted(setup_.dirs.configDirs[0]) + " " + command;
    }

    std::string queryDefault() const {
        return Output(inDesktop("xdg-mime query default application/x-brenvale 2>/dev/null"));
    }

    std::string mimeapps() const { return ReadBytes(association().mimeappsPath()); }

    test::TempDir dir_;
    AssociationSetup setup_;
};

TEST_F(FileAssociationTest, RegistersTheTypeTheEntryTheIconsAndTheDefault) {
    std::filesystem::create_directories(setup_.dirs.configHome);
    WriteBytes(association().mimeappsPath(),
               "# mine\n[Added Associations]\ntext/plain=editor.desktop;\n\n"
               "[Default Applications]\ntext/plain=editor.desktop;\n");
    FileAssociation a = association();
    EXPECT_FALSE(a.IsRegistered());
    EXPECT_FALSE(a.IsTakenByOther());
    a.Register();

    EXPECT_EQ(ReadBytes(a.mimePackagePath()),
              ReadBytes(BRENVALE_SOURCE_DIR "/resources/desktop/brenvale-mime.xml"));
    EXPECT_EQ(a.mimePackagePath(), dir_.file("data/mime/packages/brenvale.xml"));
    EXPECT_EQ(ReadBytes(dir_.file("data/icons/hicolor/48x48/apps/brenvale.png")), "app48");
    EXPECT_EQ(ReadBytes(dir_.file("data/icons/hicolor/16x16/mimetypes/application-x-brenvale.png")),
              "doc16");
    std::string entry = ReadBytes(a.desktopEntryPath());
    EXPECT_EQ(a.desktopEntryPath(), dir_.file("data/applications/brenvale.desktop"));
    EXPECT_NE(entry.find("\nExec=\"" + setup_.programPath + "\" %f\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=brenvale\n"), std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=application/x-brenvale;\n"), std::string::npos);
    EXPECT_EQ(mimeapps(),
              "# mine\n[Added Associations]\ntext/plain=editor.desktop;\n\n"
              "[Default Applications]\ntext/plain=editor.desktop;\n"
              "application/x-brenvale=brenvale.desktop;\n");
    EXPECT_TRUE(a.IsRegistered());
    EXPECT_FALSE(a.IsTakenByOther());

    if (Installed("update-mime-database")) {
        std::string globs = ReadBytes(dir_.file("data/mime/globs2"));
        EXPECT_EQ(TypesOfPattern(globs, "*.bnv"),
                  std::vector<std::string>{"application/x-brenvale"});
    }
    if (Installed("desktop-file-validate")) {
        EXPECT_EQ(Output("desktop-file-validate " + Quoted(a.desktopEntryPath()) + " 2>&1"), "");
    }
    if (Installed("xdg-mime")) {
        EXPECT_EQ(queryDefault(), "brenvale.desktop\n");
    }
}

TEST_F(FileAssociationTest, RemovesOnlyWhatIsOurs) {
    FileAssociation a = association();
    a.Register();
    std::string list = mimeapps();
    WriteBytes(a.mimeappsPath(), "[Default Applications]\ntext/plain=editor.desktop;\n" +
                                     list.substr(list.find('\n') + 1) + "[Other]\nx=1\n");
    EXPECT_TRUE(a.Unregister());
    EXPECT_EQ(mimeapps(), "[Default Applications]\ntext/plain=editor.desktop;\n[Other]\nx=1\n");
    EXPECT_FALSE(FileExists(a.desktopEntryPath()));
    EXPECT_FALSE(FileExists(a.mimePackagePath()));
    for (const std::string& icon : a.iconPaths()) {
        EXPECT_FALSE(FileExists(icon)) << icon;
    }
    EXPECT_FALSE(a.IsRegistered());
    if (Installed("update-mime-database")) {
        EXPECT_TRUE(TypesOfPattern(ReadBytes(dir_.file("data/mime/globs2")), "*.bnv").empty());
    }
    if (Installed("xdg-mime")) {
        EXPECT_EQ(queryDefault(), "");
    }
}

TEST_F(FileAssociationTest, RemovingWhenAPartIsAlreadyGoneReportsFailureButRemovesTheRest) {
    FileAssociation a = association();
    a.Register();
    std::filesystem::remove(a.mimePackagePath());
    EXPECT_FALSE(a.Unregister());
    EXPECT_FALSE(a.IsRegistered());
    EXPECT_FALSE(FileExists(a.desktopEntryPath()));
    // Nothing left to remove: the default is gone too.
    EXPECT_FALSE(a.Unregister());
}

TEST_F(FileAssociationTest, AnotherDefaultIsKeptInARestoreScriptThatReallyRestores) {
    std::filesystem::create_directories(setup_.dirs.configHome);
    const std::string before =
        "[Default Applications]\napplication/x-brenvale=viewer.desktop;other.desktop;\n"
        "text/plain=editor.desktop;\n";
    WriteBytes(association().mimeappsPath(), before);
    std::filesystem::create_directories(dir_.file("system/applications"));
    WriteBytes(dir_.file("system/applications/viewer.desktop"),
               "[Desktop Entry]\nType=Application\nName=Viewer\nExec=sh %f\n");
    FileAssociation a = association();
    EXPECT_TRUE(a.IsTakenByOther());
    EXPECT_FALSE(a.IsRegistered());

    std::string script = dir_.file("Save.reg");
    a.Register(script);
    EXPECT_TRUE(a.IsRegistered());
    struct stat st {};
    ASSERT_EQ(::stat(script.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);

    // Something else changes meanwhile; running the script must keep it.
    WriteBytes(a.mimeappsPath(), mimeapps() + "image/png=paint.desktop;\n");
    ASSERT_EQ(std::system(inDesktop(Quoted(script)).c_str()), 0);
    EXPECT_EQ(DefaultApplicationLine(mimeapps(), "application/x-brenvale"),
              "application/x-brenvale=viewer.desktop;other.desktop;");
    EXPECT_EQ(DefaultApplication(mimeapps(), "text/plain"), "editor.desktop");
    EXPECT_EQ(DefaultApplication(mimeapps(), "image/png"), "paint.desktop");
    EXPECT_FALSE(FileExists(a.desktopEntryPath()));
    EXPECT_FALSE(FileExists(a.mimePackagePath()));
    EXPECT_FALSE(FileExists(a.iconPaths().front()));
    if (Installed("xdg-mime")) {
        EXPECT_EQ(queryDefault(), "viewer.desktop\n");
    }
}

TEST_F(FileAssociationTest, ARestoreScriptWithoutAPreviousDefaultOnlyRemovesOurs) {
    // The desktop gives *.bnv to another program's type.
    std::filesystem::create_directories(dir_.file("system/mime"));
    WriteBytes(dir_.file("system/mime/globs2"),
               "# globs2\n50:application/x-other:*.BNV\n50:text/x-bnv:*.bnv:cs\n");
    FileAssociation a = association();
    EXPECT_TRUE(a.IsTakenByOther());
    std::string script = dir_.file("Save.reg");
    a.Register(script);
    EXPECT_TRUE(a.IsRegistered());
    ASSERT_EQ(std::system(inDesktop("sh " + Quoted(script)).c_str()), 0);
    EXPECT_EQ(DefaultApplication(mimeapps(), "application/x-brenvale"), std::nullopt);
    EXPECT_FALSE(a.IsRegistered());
}

TEST_F(FileAssociationTest, AFolderThatCannotBeWrittenStopsWithTheMessage) {
    test::ReadOnlyFolder locked(setup_.dirs.dataHome);
    if (!locked.ok()) {
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    }
    FileAssociation a = association();
    try {
        a.Register();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "'' の設定に失敗しました");
    }
    // Stopped at the first file: no default was written.
    EXPECT_FALSE(FileExists(a.mimeappsPath()));
    EXPECT_FALSE(a.IsRegistered());
}

TEST(DesktopEntry, ExecQuotesAndEscapesThePath) {
    EXPECT_EQ(DesktopExecArgument("/usr/bin/brenvale"), "/usr/bin/brenvale");
    EXPECT_EQ(DesktopExecArgument("/opt/My Apps/brenvale"), "\"/opt/My Apps/brenvale\"");
    // Inside quotes `"`, `$`, `` ` `` and `\` take a backslash, which the string rules double.
    EXPECT_EQ(DesktopExecArgument("/a$b\"c\\d"), "\"/a\\\\$b\\\\\"c\\\\\\\\d\"");
    EXPECT_EQ(DesktopExecArgument("/100%/x"), "/100%%/x");
    EXPECT_NE(DesktopEntryText("/x y/b").find("\nExec=\"/x y/b\" %f\n"), std::string::npos);
}

TEST(MimeApps, SetsAndRemovesOneTypeAndKeepsTheRest) {
    EXPECT_EQ(SetDefaultApplication("", "a/b", "x.desktop"),
              "[Default Applications]\na/b=x.desktop;\n");
    EXPECT_EQ(SetDefaultApplication("[Default Applications]\nA/B=y.desktop;\nc/d=z;\nA/B=w;\n",
                                    "a/b", "x.desktop"),
              "[Default Applications]\na/b=x.desktop;\nc/d=z;\n");
    EXPECT_EQ(SetDefaultApplication("[Other]\nk=v", "a/b", "x.desktop"),
              "[Other]\nk=v\n\n[Default Applications]\na/b=x.desktop;\n");
    EXPECT_EQ(DefaultApplication("[Other]\na/b=q;\n", "a/b"), std::nullopt);
    EXPECT_EQ(DefaultApplication("[Default Applications]\r\na/b = q.desktop ; r;\r\n", "a/b"),
              "q.desktop");

    bool removed = false;
    EXPECT_EQ(RemoveDefaultApplication("[Default Applications]\na/b=o;x.desktop;p;\n", "a/b",
                                       "x.desktop", &removed),
              "[Default Applications]\na/b=o;p;\n");
    EXPECT_TRUE(removed);
    EXPECT_EQ(
        RemoveDefaultApplication("[Default Applications]\na/b=o;\n", "a/b", "x.desktop", &removed),
        "[Default Applications]\na/b=o;\n");
    EXPECT_FALSE(removed);
}

TEST(AssociationMessages, FollowTheExtension) {
    AssociationTexts t = AssociationTexts::For(".bnv");
    EXPECT_EQ(t.associateCaption, "拡張子 (*.bnv) を関連付ける...");
    EXPECT_EQ(t.removeCaption, "拡張子 (*.bnv) の関連付けを削除する...");
    EXPECT_EQ(t.askAssociate, "拡張子 (*.bnv) を関連付けますか？");
    EXPECT_EQ(t.askRemove, "拡張子 (*.bnv) の関連付けを削除しますか？");
    EXPECT_EQ(t.askOverwrite,
              "既に拡張子 (*.bnv) は別のプログラムに関連付けられています。\n上書きしますか？");
    EXPECT_EQ(t.associated, "拡張子 (*.bnv) は関連付けられ、直接開けるようになりました。");
    EXPECT_EQ(t.associatedWithRestore,
              "拡張子 (*.bnv) は関連付けられ、直接開けるようになりました。\n"
              "元の (*.bnv) 関連付けは Save.regを実行する事で元に戻ります。");
    EXPECT_EQ(t.removed, "拡張子 (*.bnv) の関連付けが正しく削除されました。");
    EXPECT_EQ(t.removeFailed,
              "拡張子 (*.bnv) の関連付けが何らかの理由で正しく削除できませんでした。");
    EXPECT_EQ(AssociationTexts::For(".todo").askAssociate, "拡張子 (*.todo) を関連付けますか？");
}

TEST(XdgDirsTest, FallBackToTheStandardFoldersAndIgnoreRelativeOnes) {
    auto env = [](std::map<std::string, std::string> values) -> EnvironmentLookup {
        return [values](const std::string& name) -> std::optional<std::string> {
            auto it = values.find(name);
            return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
    };
    XdgDirs d = XdgDirs::From(env({{"HOME", "/home/u"}, {"XDG_DATA_HOME", "rel"}}));
    EXPECT_EQ(d.dataHome, "/home/u/.local/share");
    EXPECT_EQ(d.configHome, "/home/u/.config");
    EXPECT_EQ(d.dataDirs, (std::vector<std::string>{"/usr/local/share", "/usr/share"}));
    EXPECT_EQ(d.configDirs, std::vector<std::string>{"/etc/xdg"});
    d = XdgDirs::From(env({{"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_DIRS", "/a::rel:/b"}}));
    EXPECT_EQ(d.configHome, "/c");
    EXPECT_EQ(d.dataHome, "");
    EXPECT_EQ(d.dataDirs, (std::vector<std::string>{"/a", "/b"}));
}

}  // namespace
}  // namespace brenvale
