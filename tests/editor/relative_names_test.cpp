// A document named relative to the working folder keeps meaning that file wherever its name
// is kept: the title, the recent files, the auto-save copy beside it, Save As.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor_fixture.h"
#include "support/working_folder.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

class RelativeNames : public test::EditorTest {
protected:
    RelativeNames() {
        fs::create_directory(dir.file("docs"));
        fs::create_directory(dir.file("program"));
        test::WriteBytes(dir.file("docs/plan.bnv"), "Plan\r\n");
        editor.session().setProgramFolder(dir.file("program"));
    }
    test::TempDir dir;
};

TEST_F(RelativeNames, AreMadeAbsoluteWhenTheDocumentIsOpened) {
    {
        test::WorkingFolder docs(dir.file("docs"));
        editor.files().openDocument("./plan.bnv");
    }
    const std::string plan = dir.file("docs/plan.bnv");
    EXPECT_EQ(editor.session().fileName(), plan);
    EXPECT_EQ(editor.session().recentFiles().paths().front(), plan);

    // The auto-save copy goes beside the document, not into the program's folder.
    Settings settings;
    settings.autoSave = AutoSaveMode::TempCopy;
    editor.setSettings(settings);
    editor.editTextChanged(EditBox::Tree, "Edited");
    editor.files().autoSaveTick();
    EXPECT_TRUE(fs::exists(dir.file("docs/plan.tmp")));
    EXPECT_FALSE(fs::exists(dir.file("program/plan.tmp")));

    // Save As with a relative name, in another working folder.
    test::WorkingFolder top(dir.path());
    host.dialogAnswers = {"docs/../copy.bnv"};
    editor.execute(CommandId::SaveName);
    EXPECT_EQ(editor.session().fileName(), dir.file("docs/../copy.bnv"));
    EXPECT_TRUE(fs::exists(dir.file("copy.bnv")));
    EXPECT_EQ(editor.session().recentFiles().paths().front(), dir.file("docs/../copy.bnv"));
}

}  // namespace
}  // namespace brenvale
