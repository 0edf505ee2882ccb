// The open document's file changed, replaced or deleted by another program, with real files:
// what the editor does on its own, what it asks, and what each answer leaves on disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "common/error.h"
#include "common/file_identity.h"
#include "document/document_writer.h"
#include "editor/document_preread.h"
#include "editor_fixture.h"
#include "support/editor_test_access.h"

namespace brenvale {
namespace {

using V = std::vector<std::string>;

const char* const kReloaded = "ディスク上で変更されたため再読み込みしました";

class ExternalChanges : public test::EditorTest {
protected:
    std::string Open(const V& lines) {
        test::WriteBytes(path, test::OutlineBytes(lines));
        editor.files().openDocument(path);
        return path;
    }
    // Another program writes the file: a new file renamed over it, as sync tools and safe
    // saves do.
    void OtherProgramWrites(const V& lines) { OtherProgramWritesBytes(test::OutlineBytes(lines)); }
    void OtherProgramWritesBytes(const std::string& bytes) {
        test::WriteBytes(path + ".sync", bytes);
        ASSERT_EQ(std::rename((path + ".sync").c_str(), path.c_str()), 0);
    }
    void Touch() {
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        struct timespec times[2] = {st.st_atim, st.st_mtim};
        times[1].tv_sec += 100;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    std::string OnDisk() { return test::ReadBytes(path); }
    // What a save of the open document writes.
    std::string Serialized() {
        return SerializeDocument(EditorTestAccess::document(editor), host.geometry, true);
    }
    std::string ChangedQuestion() {
        return "「" + path +
               "」は他のプログラムによって変更されました。\n再読み込みすると、保存していない変更は"
               "失われます。";
    }
    std::string OverwriteQuestion() {
        return "「" + path + "」は他のプログラムによって変更されています。上書きしますか？";
    }
    // The document's captions in tree order, "+" after an expanded Topic with children.
    V Captions() { return Shape(); }
    std::string Selected() { return editor.selection().topic()->caption.str(); }

    test::TempDir dir;
    std::string path = dir.file("plan.bnv");
};

TEST_F(ExternalChanges, AnUnmodifiedDocumentFollowsItsFileAndKeepsItsPlaces) {
    Open({"A", "  A1:a,b,c", "  A2", "    A2x", "B", "  B1"});
    editor.execute(CommandId::AddTree);
    editor.execute(CommandId::Undo);  // a step, undone: nothing is unsaved
    editor.tree().selectTopic(Find("A1"));
    editor.selectRow(2);
    editor.tree().setTopicExpanded(Find("A2"), false);
    ASSERT_FALSE(editor.session().isModified());

    OtherProgramWrites({"N", "A", "  A1:a,b,c,*d", "  A2", "    A2x", "    A2y", "B"});
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Captions(), (V{"N/0", "A/0+", "A1/1", "A2/1", "A2x/2", "A2y/2", "B/0"}));
    EXPECT_EQ(Selected(), "A1");
    EXPECT_EQ(editor.list().selectedRow(), 2);
    EXPECT_EQ(Rows(), (V{"a", "b", "c", "d*"}));
    EXPECT_EQ(editor.hintText(), kReloaded);
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_FALSE(editor.history().canUndo());
    EXPECT_EQ(editor.session().title(), path + " - Brenvale");

    // A touch, or the same bytes written again, is no change: nothing is read again.
    Topic* shown = editor.selection().topic();
    editor.setHint("|other");
    Touch();
    EXPECT_TRUE(editor.files().checkDocumentFile());
    OtherProgramWritesBytes(OnDisk());
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_EQ(editor.selection().topic(), shown);
    EXPECT_EQ(editor.hintText(), "other");

    // A selected Topic that went leaves its nearest parent that is still there selected, or
    // the first Topic; a list that got shorter keeps its last row.
    editor.tree().selectTopic(Find("A2x"));
    OtherProgramWrites({"N", "A", "  A2"});
    editor.files().checkDocumentFile();
    EXPECT_EQ(Selected(), "A2");
    OtherProgramWrites({"N:x,y,z"});
    editor.files().checkDocumentFile();
    EXPECT_EQ(Selected(), "N");
    editor.selectRow(2);
    OtherProgramWrites({"N:x"});
    editor.files().checkDocumentFile();
    EXPECT_EQ(editor.list().selectedRow(), 0);
}

TEST_F(ExternalChanges, SiblingsOfOneCaptionAreMatchedInTheirOrderAtAnyDepth) {
    V lines = {"X", "  x", "X", "  deep"};
    std::string indent = "    ";
    for (int level = 2; level < 2000; ++level, indent += "  ") {
        lines.push_back(indent + "L");
    }
    lines.push_back("X");
    lines.push_back("  x");
    Open(lines);
    editor.tree().setTopicExpanded(editor.document().topLevel(0), false);
    Topic* deepest = editor.document().topLevel(1);
    while (deepest->hasChildren()) {
        deepest = deepest->child(0);
    }
    editor.tree().selectTopic(deepest);

    lines.insert(lines.begin(), "Y");
    lines.push_back("X");
    lines.push_back("  x");
    OtherProgramWrites(lines);
    editor.files().checkDocumentFile();
    const Document& doc = editor.document();
    ASSERT_EQ(doc.topLevelCount(), 5u);
    EXPECT_FALSE(doc.topLevel(1)->expanded);  // the first "X" is still the folded one
    EXPECT_TRUE(doc.topLevel(3)->expanded);
    EXPECT_TRUE(doc.topLevel(4)->expanded);  // new: as the reader made it
    EXPECT_EQ(editor.selection().topic()->level(), 1999);
    EXPECT_TRUE(doc.topLevel(2)->isAncestorOf(editor.selection().topic()));
}

TEST_F(ExternalChanges, ManyFoldedSiblingsKeepTheirStateByCaption) {
    V lines;
    for (int i = 0; i < 20; ++i) {
        lines.push_back("T" + std::to_string(i % 10));  // each caption twice
        lines.push_back("  c");
    }
    Open(lines);
    for (size_t i = 0; i < 20; ++i) {
        if (i % 3 != 0) {
            editor.tree().setTopicExpanded(editor.document().topLevel(i), false);
        }
    }
    // Another program puts a Topic first and drops the first T3: the second T3 is now the
    // first of its caption, and takes that one's state.
    lines.insert(lines.begin(), {"New", "  c"});
    lines.erase(lines.begin() + 8, lines.begin() + 10);
    OtherProgramWrites(lines);
    editor.files().checkDocumentFile();
    std::string folded;
    for (size_t i = 0; i < editor.document().topLevelCount(); ++i) {
        const Topic* t = editor.document().topLevel(i);
        folded += t->caption.str() + (t->expanded ? "+ " : "- ");
    }
    EXPECT_EQ(folded,
              "New+ T0+ T1- T2- T4- T5- T6+ T7- T8- T9+ T0- T1- T2+ T3+ T4- T5+ T6- T7- T8+ T9- ");
}

TEST_F(ExternalChanges, AModifiedDocumentAsksOnceForEachNewVersion) {
    Open({"A:mine"});
    editor.editTextChanged(EditBox::Tree, "A-edited");
    std::string mine = Serialized();

    OtherProgramWrites({"A:theirs"});
    host.answers = {MessageAnswer::Cancel};
    EXPECT_TRUE(editor.files().checkDocumentFile());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, ChangedQuestion());
    EXPECT_EQ(host.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::ReloadMergeSaveAsCancel);
    EXPECT_EQ(Serialized(), mine);
    EXPECT_TRUE(editor.session().isModified());

    // The same version, touched or written again, is not asked about again.
    editor.files().checkDocumentFile();
    Touch();
    editor.files().checkDocumentFile();
    OtherProgramWritesBytes(OnDisk());
    editor.files().checkDocumentFile();
    EXPECT_EQ(host.messages.size(), 1u);

    // A newer one is; "再読み込み" gives up the edits for it.
    OtherProgramWrites({"A:newer"});
    host.answers = {MessageAnswer::Reload};
    editor.files().checkDocumentFile();
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(Rows(), V{"newer"});
    EXPECT_EQ(Selected(), "A");
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_EQ(OnDisk(), test::OutlineBytes({"A:newer"}));
    EXPECT_FALSE(editor.history().canUndo());
}

TEST_F(ExternalChanges, SaveAsKeepsTheEditsInAnotherFileStartingInTheSameFolder) {
    Open({"A:mine"});
    editor.editTextChanged(EditBox::Tree, "A-edited");
    std::string mine = Serialized();
    OtherProgramWrites({"A:theirs"});
    host.answers = {MessageAnswer::SaveAs};
    host.dialogAnswers = {dir.file("mine.bnv")};
    editor.files().checkDocumentFile();
    EXPECT_EQ(host.dialogs.back().fileName, path);
    EXPECT_EQ(test::ReadBytes(dir.file("mine.bnv")), mine);
    EXPECT_EQ(OnDisk(), test::OutlineBytes({"A:theirs"}));
    EXPECT_EQ(editor.session().fileName(), dir.file("mine.bnv"));
    EXPECT_FALSE(editor.session().isModified());

    // The document now follows its new file, not the old one.
    OtherProgramWrites({"A:later"});
    editor.files().checkDocumentFile();
    EXPECT_EQ(Rows(), V{"mine"});

    // A cancelled Save As keeps the edits and asks nothing more about that version.
    editor.editTextChanged(EditBox::Tree, "again");
    test::WriteBytes(dir.file("mine.bnv.sync"), test::OutlineBytes({"B"}));
    std::filesystem::rename(dir.file("mine.bnv.sync"), dir.file("mine.bnv"));
    host.answers = {MessageAnswer::SaveAs};
    host.dialogAnswers = {std::nullopt};
    editor.files().checkDocumentFile();
    editor.files().checkDocumentFile();
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(test::ReadBytes(dir.file("mine.bnv")), test::OutlineBytes({"B"}));
}

TEST_F(ExternalChanges, ASaveOverAChangedFileAsksAndEachAnswerDoesWhatItSays) {
    Open({"A:mine"});
    editor.editTextChanged(EditBox::Tree, "A-edited");
    OtherProgramWrites({"A:theirs"});
    const std::string theirs = OnDisk();

    // Cancel: nothing written, the edits stay.
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.messages.back().text, OverwriteQuestion());
    EXPECT_EQ(host.messages.back().buttons, MessageButtons::YesMergeNoCancel);
    EXPECT_EQ(OnDisk(), theirs);
    EXPECT_TRUE(editor.session().isModified());

    // No: Save As; cancelling it writes nothing either.
    host.answers = {MessageAnswer::No};
    host.dialogAnswers = {std::nullopt};
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.dialogs.back().fileName, path);
    EXPECT_EQ(OnDisk(), theirs);

    // The save question before a close asks the same; its Cancel keeps the window.
    host.answers = {MessageAnswer::Yes, MessageAnswer::Cancel};
    EXPECT_FALSE(editor.files().closeQuery());
    EXPECT_EQ(host.messages.back().text, OverwriteQuestion());
    EXPECT_EQ(OnDisk(), theirs);

    // Save As onto the open file asks whether to replace it, then this.
    host.dialogAnswers = {path};
    host.answers = {MessageAnswer::Ok, MessageAnswer::Cancel};
    editor.execute(CommandId::SaveName);
    EXPECT_EQ(host.messages.back().text, OverwriteQuestion());
    EXPECT_EQ(OnDisk(), theirs);

    // Yes overwrites; the next save has nothing to ask.
    host.answers = {MessageAnswer::Yes};
    editor.execute(CommandId::Save);
    EXPECT_EQ(OnDisk(), Serialized());
    EXPECT_FALSE(editor.session().isModified());
    size_t asked = host.messages.size();
    editor.editTextChanged(EditBox::Tree, "more");
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.messages.size(), asked);
    EXPECT_EQ(OnDisk(), Serialized());
    // Our own save is no change on disk.
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_EQ(host.messages.size(), asked);
}

TEST_F(ExternalChanges, AutoSaveOverTheDocumentWritesTheTemporaryCopyInstead) {
    Settings settings;
    settings.autoSave = AutoSaveMode::OverDocument;
    settings.confirmAutoSave = true;
    editor.setSettings(settings);
    Open({"A:mine"});
    editor.editTextChanged(EditBox::Tree, "A-edited");
    std::string mine = Serialized();
    OtherProgramWrites({"A:theirs"});

    editor.files().autoSaveTick();  // no question: nobody is asked in the middle of typing
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(OnDisk(), test::OutlineBytes({"A:theirs"}));
    EXPECT_EQ(test::ReadBytes(dir.file("plan.tmp")), mine);
    EXPECT_EQ(editor.hintText(),
              "「plan.bnv」は他のプログラムによって変更されているため、「plan.tmp」に自動保存しまし"
              "た");
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_TRUE(host.timer.enabled);

    // The question comes with the next Save.
    host.answers = {MessageAnswer::Yes};
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.messages.back().text, OverwriteQuestion());
    EXPECT_EQ(OnDisk(), mine);
}

TEST_F(ExternalChanges, ADeletedFileLeavesTheDocumentModifiedAndSaveWritesItAgain) {
    Open({"A:a"});
    std::filesystem::remove(path);
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(editor.hintText(),
              "「plan.bnv」はディスク上から削除されました。上書き保存すると保存し直します");
    // Undoing back to the state last saved does not make it unmodified: that file is gone.
    editor.execute(CommandId::AddTree);
    editor.execute(CommandId::Undo);
    EXPECT_TRUE(editor.session().isModified());

    editor.execute(CommandId::Save);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(OnDisk(), Serialized());
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(ExternalChanges, AFileDeletedAndMadeAgainIsFollowedAsBefore) {
    Open({"A:a"});
    std::filesystem::remove(path);
    editor.files().checkDocumentFile();
    ASSERT_TRUE(editor.session().isModified());
    // Made again with the same bytes: nothing is unsaved any more.
    test::WriteBytes(path, test::OutlineBytes({"A:a"}));
    editor.files().checkDocumentFile();
    EXPECT_FALSE(editor.session().isModified());

    // Made again with other bytes: read again, as for any change.
    std::filesystem::remove(path);
    editor.files().checkDocumentFile();
    OtherProgramWrites({"A:b"});
    editor.files().checkDocumentFile();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Rows(), V{"b"});
    EXPECT_FALSE(editor.session().isModified());

    // But an edit after the deletion is the user's: then the question comes.
    std::filesystem::remove(path);
    editor.files().checkDocumentFile();
    editor.editTextChanged(EditBox::Tree, "mine");
    OtherProgramWrites({"A:c"});
    host.answers = {MessageAnswer::Cancel};
    editor.files().checkDocumentFile();
    EXPECT_EQ(host.messages.back().text, ChangedQuestion());
}

TEST_F(ExternalChanges, AFileThatCannotBeReadIsReportedOnceAndTheDocumentStays) {
    Open({"A:a"});
    OtherProgramWritesBytes(
        std::string("\xFF\xFE"
                    "A\0\r\0",
                    6));
    EXPECT_THROW(editor.files().checkDocumentFile(), Error);  // UTF-16 text is refused
    EXPECT_EQ(Rows(), V{"a"});
    EXPECT_NO_THROW(editor.files().checkDocumentFile());
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(ExternalChanges, NothingIsLookedAtInTheMiddleOfSomethingElse) {
    Open({"A:a"});
    OtherProgramWrites({"A:b"});
    host.mainWindowActive = false;  // a dialog of the program is up
    EXPECT_FALSE(editor.files().checkDocumentFile());
    EXPECT_EQ(Rows(), V{"a"});
    host.mainWindowActive = true;
    editor.drag().beginDrag(DragKind::Item);
    EXPECT_FALSE(editor.files().checkDocumentFile());
    editor.drag().endDrag();
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_EQ(Rows(), V{"b"});

    // An untitled document has no file to look at.
    editor.execute(CommandId::NewOpen);
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_EQ(editor.document().topicCount(), 2u);
}

// The start reads its first file while the window is built: the open takes that read, and a
// write by another program after it is followed like any later change.
TEST_F(ExternalChanges, TheReadMadeWhileStartingIsOpenedAndAWriteAfterItIsFollowed) {
    test::WriteBytes(path, test::OutlineBytes({"A:a"}));
    auto preread = std::make_shared<DocumentPreread>(path, ReadOptions{});
    preread->wait();
    OtherProgramWrites({"B:b"});
    editor.files().start({path}, preread);
    EXPECT_EQ(Captions(), (V{"A/0"}));
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_EQ(Captions(), (V{"B/0"}));
    EXPECT_EQ(editor.hintText(), kReloaded);
    // It is taken once: the next open reads the file.
    EXPECT_FALSE(preread->take(path, ReadOptions{}));
}

TEST_F(ExternalChanges, AReadWithOtherOptionsOrOfAnotherFileIsNotTaken) {
    test::WriteBytes(path, test::OutlineBytes({"A:a"}));
    ReadOptions other;
    other.applyGeometry = false;
    auto preread = std::make_shared<DocumentPreread>(path, other);
    preread->wait();
    OtherProgramWrites({"B:b"});
    editor.files().start({path}, preread);
    EXPECT_EQ(Captions(), (V{"B/0"}));

    auto elsewhere = std::make_shared<DocumentPreread>(dir.file("other.bnv"), ReadOptions{});
    EXPECT_FALSE(elsewhere->take(path, ReadOptions{}));
}

// A read that failed while starting fails the open with the same message as a read made then.
TEST_F(ExternalChanges, AFailedReadWhileStartingIsReportedAsTheOpenReportsIt) {
    std::string folder = dir.file("folder.bnv");
    std::filesystem::create_directory(folder);
    std::string expected;
    try {
        ReadDocument(folder, ReadOptions{});
    } catch (const Error& e) {
        expected = e.what();
    }
    ASSERT_FALSE(expected.empty());
    auto preread = std::make_shared<DocumentPreread>(folder, ReadOptions{});
    try {
        editor.files().start({folder}, preread);
        ADD_FAILURE() << "the open did not fail";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
    EXPECT_FALSE(editor.session().hasName());
}

}  // namespace
}  // namespace brenvale
