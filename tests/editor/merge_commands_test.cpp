// Merging the open document with other versions of its file, with real files: the version
// another program wrote while the document had unsaved changes, and the conflict copies sync
// tools leave beside it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "common/check_mark.h"
#include "common/file_identity.h"
#include "document/document_writer.h"
#include "editor/conflict_copies.h"
#include "editor/merge_base.h"
#include "editor_fixture.h"
#include "merge/conflict_mark.h"
#include "support/editor_test_access.h"

namespace brenvale {
namespace {

using V = std::vector<std::string>;

const std::string kMark(kConflictMark);

class MergeCommands : public test::EditorTest {
protected:
    MergeCommands() {
        editor.session().enableMergeBase(std::make_unique<MergeBase>(state.file("doc.base")));
    }

    void Open(const V& lines) {
        test::WriteBytes(path, test::OutlineBytes(lines));
        editor.files().openDocument(path);
    }
    // Another program replaces the file, as sync tools and safe saves do.
    void OtherProgramWrites(const V& lines) {
        test::WriteBytes(path + ".sync", test::OutlineBytes(lines));
        ASSERT_EQ(std::rename((path + ".sync").c_str(), path.c_str()), 0);
    }
    std::string OnDisk() { return test::ReadBytes(path); }
    std::string Serialized() {
        return SerializeDocument(EditorTestAccess::document(editor), host.geometry, true);
    }
    // The Items of a Topic, "*" after a checked one.
    V ItemsOf(const std::string& caption) {
        editor.tree().selectTopic(Find(caption));
        return Rows();
    }
    void AddItem(const std::string& caption, const std::string& text) {
        editor.tree().selectTopic(Find(caption));
        editor.selectRow(static_cast<int>(editor.list().rowCount()) - 1);
        Type(text);
        editor.execute(CommandId::ListAdd);
    }
    void EditItem(const std::string& caption, int row, const std::string& text) {
        editor.tree().selectTopic(Find(caption));
        editor.selectRow(row);
        Type(text);
        editor.execute(CommandId::ListReplace);
    }
    std::string Selected() { return editor.selection().topic()->caption.str(); }
    std::string ChangedQuestion() {
        return "「" + path +
               "」は他のプログラムによって変更されました。\n再読み込みすると、保存していない変更は"
               "失われます。";
    }
    std::string OverwriteQuestion() {
        return "「" + path + "」は他のプログラムによって変更されています。上書きしますか？";
    }

    test::TempDir dir;
    test::TempDir state;
    std::string path = dir.file("plan.bnv");
};

TEST_F(MergeCommands, TheQuestionsMergeLandsBothSidesAsOneStepAndTheNextSaveAsksNothing) {
    Open({"A:a,b,c", "B:x"});
    Topic* a = Find("A");
    AddItem("B", "mine");
    editor.tree().selectTopic(a);
    editor.toggleCheck(0);
    OtherProgramWrites({"A:a,b,c,d", "B:x", "C:new"});

    host.answers = {MessageAnswer::Merge};
    EXPECT_TRUE(editor.files().checkDocumentFile());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, ChangedQuestion());
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::ReloadMergeSaveAsCancel);
    EXPECT_EQ(Selected(), "A");
    EXPECT_EQ(Shape(), (V{"A/0", "B/0", "C/0"}));
    EXPECT_EQ(ItemsOf("A"), (V{"a*", "b", "c", "d"}));
    EXPECT_EQ(ItemsOf("B"), (V{"x", "mine"}));
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(editor.tags().conflictCounterText(), "");
    EXPECT_EQ(editor.hintText(), "「plan.bnv」を他のプログラムによる変更と統合しました");
    mirror.check();

    // Undo gives back the very document of before the merge; redo the merge.
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Find("A"), a);
    EXPECT_EQ(Shape(), (V{"A/0", "B/0"}));
    EXPECT_EQ(ItemsOf("A"), (V{"a*", "b", "c"}));
    EXPECT_EQ(ItemsOf("B"), (V{"x", "mine"}));
    EXPECT_TRUE(editor.session().isModified());
    mirror.check();
    editor.execute(CommandId::Redo);
    EXPECT_EQ(Shape(), (V{"A/0", "B/0", "C/0"}));
    mirror.check();

    // The document stands on the version merged: the save writes it without a question.
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_EQ(OnDisk(), Serialized());
    EXPECT_NE(OnDisk().find("\x08" + std::string(kUncheckedMark) + "mine"), std::string::npos);
    EXPECT_NE(OnDisk().find("C@00@\r\n"), std::string::npos);
    // And the version kept for the next merge is the one written.
    ASSERT_TRUE(editor.session().mergeBase()->path());
    EXPECT_EQ(test::ReadBytes(*editor.session().mergeBase()->path()), OnDisk());
}

TEST_F(MergeCommands, ConflictsAreKeptShownAndCountedUntilTheirMarksAreEditedAway) {
    Open({"A:a,b", "B:x"});
    EditItem("A", 1, "b-mine");
    EditItem("B", 0, "x-mine");
    OtherProgramWrites({"A:a,b-theirs", "B:x-theirs"});
    host.answers = {MessageAnswer::Merge};
    editor.files().checkDocumentFile();

    EXPECT_EQ(editor.tags().conflictCounterText(), "競合 残り 2 件");
    EXPECT_EQ(editor.hintText(),
              "「plan.bnv」を他のプログラムによる変更と統合しました（競合 2 件）");
    // The find goes to the first mark and lists every one.
    EXPECT_EQ(host.windowCommands.back(), "find results");
    EXPECT_EQ(editor.find().state().query(), kMark);
    EXPECT_EQ(editor.find().state().results().size(), 2u);
    EXPECT_EQ(Selected(), "A");
    EXPECT_EQ(editor.list().selectedRow(), 2);
    EXPECT_EQ(Rows(), (V{"a", "b-mine", "b-theirs" + kMark}));
    EXPECT_EQ(ItemsOf("B"), (V{"x-mine", "x-theirs" + kMark}));

    // One settled by editing its mark away, the other by deleting the Item.
    EditItem("A", 2, "b-theirs");
    EXPECT_EQ(editor.tags().conflictCounterText(), "競合 残り 1 件");
    editor.tree().selectTopic(Find("B"));
    editor.selectRow(1);
    editor.execute(CommandId::ListDel);
    EXPECT_EQ(editor.tags().conflictCounterText(), "");
    EXPECT_EQ(ItemsOf("B"), (V{"x-mine"}));
    editor.execute(CommandId::Undo);
    EXPECT_EQ(editor.tags().conflictCounterText(), "競合 残り 1 件");
    // Undoing the merge takes its marks with it.
    editor.execute(CommandId::Undo);
    editor.execute(CommandId::Undo);
    EXPECT_EQ(editor.tags().conflictCounterText(), "");
    EXPECT_EQ(ItemsOf("A"), (V{"a", "b-mine"}));
}

TEST_F(MergeCommands, TheConflictListCommandFindsTheMarksOfADocumentMergedElsewhere) {
    // As git's merge driver leaves it: the marks are in the file.
    Open({"A:a", "B" + kMark + ":x,y" + kMark});
    EXPECT_EQ(editor.tags().conflictCounterText(), "競合 残り 2 件");
    editor.tree().selectTopic(Find("A"));
    ASSERT_TRUE(editor.isEnabled(CommandId::ShowConflicts));
    editor.execute(CommandId::ShowConflicts);
    EXPECT_EQ(host.windowCommands.back(), "find results");
    EXPECT_EQ(editor.find().state().query(), kMark);
    EXPECT_EQ(editor.find().state().results().size(), 2u);
    EXPECT_EQ(Selected(), "B" + kMark);
    editor.find().findNext();
    EXPECT_EQ(Selected(), "B" + kMark);
    EXPECT_EQ(editor.list().selectedRow(), 1);

    // Nothing left: the find says so and nothing moves.
    Open({"A:a", "B:x"});
    editor.tree().selectTopic(Find("B"));
    editor.execute(CommandId::ShowConflicts);
    EXPECT_TRUE(editor.find().state().results().empty());
    EXPECT_TRUE(editor.find().state().notFound());
    EXPECT_EQ(Selected(), "B");
}

TEST_F(MergeCommands, AVersionReadInPartIsNotWrittenOverUnaskedAfterAMerge) {
    const std::string theirs = test::OutlineBytes({"A:a", "B:b"}) + "\x1A" + "rest\r\n";
    auto writeTheirs = [&] {
        test::WriteBytes(path + ".sync", theirs);
        ASSERT_EQ(std::rename((path + ".sync").c_str(), path.c_str()), 0);
    };
    const std::string partQuestion = "は一部しか読み込まれていません。";

    // From the question about the changed file: the read's warning, then the save asks.
    Open({"A:a"});
    AddItem("A", "mine");
    writeTheirs();
    host.answers = {MessageAnswer::Merge, MessageAnswer::Ok};
    editor.files().checkDocumentFile();
    EXPECT_EQ(Shape(), (V{"A/0", "B/0"}));
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::Save);
    EXPECT_NE(host.messages.back().text.find(partQuestion), std::string::npos);
    EXPECT_EQ(OnDisk(), theirs);
    EXPECT_TRUE(editor.session().isModified());

    // From the save's own question: the clean merge is not written before that is asked.
    host.answers = {MessageAnswer::No};  // the edits of before go
    Open({"A:a"});
    AddItem("A", "mine");
    writeTheirs();
    host.messages.clear();
    host.answers = {MessageAnswer::Merge, MessageAnswer::Ok, MessageAnswer::Cancel};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 3u);
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::YesMergeNoCancel);
    EXPECT_NE(host.messages[2].text.find(partQuestion), std::string::npos);
    EXPECT_EQ(OnDisk(), theirs);
    // Yes writes the merge, which the user has seen.
    host.answers = {MessageAnswer::Yes};
    editor.execute(CommandId::Save);
    EXPECT_EQ(OnDisk(), Serialized());
    EXPECT_FALSE(editor.session().isModified());
}

TEST_F(MergeCommands, WithoutAKeptVersionTheTwoAreUnitedAndNothingIsLost) {
    editor.session().enableMergeBase(nullptr);
    Open({"A:a,b"});
    AddItem("A", "mine");
    OtherProgramWrites({"A:a,b,theirs", "T"});
    host.answers = {MessageAnswer::Merge};
    editor.files().checkDocumentFile();
    EXPECT_EQ(ItemsOf("A"), (V{"a", "b", "mine", "theirs" + kMark}));
    EXPECT_EQ(Shape(), (V{"A/0", "T" + kMark + "/0"}));
    EXPECT_EQ(editor.tags().conflictCounterText(), "競合 残り 2 件");
}

TEST_F(MergeCommands, TheSavesQuestionMergesAndWritesACleanMergeAtOnce) {
    Open({"A:a", "B:b"});
    AddItem("A", "a2");
    OtherProgramWrites({"A:a", "B:b,b2"});
    host.answers = {MessageAnswer::Merge};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, OverwriteQuestion());
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::YesMergeNoCancel);
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_EQ(OnDisk(), Serialized());
    EXPECT_EQ(ItemsOf("A"), (V{"a", "a2"}));
    EXPECT_EQ(ItemsOf("B"), (V{"b", "b2"}));
}

TEST_F(MergeCommands, ASaveWhoseMergeLeftConflictsWritesOnlyOnceTheUserHasLooked) {
    Open({"A:task"});
    EditItem("A", 0, "task-mine");
    OtherProgramWrites({"A:task-theirs"});
    std::string theirs = OnDisk();
    host.answers = {MessageAnswer::Merge};
    editor.execute(CommandId::Save);
    EXPECT_EQ(OnDisk(), theirs);
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(editor.tags().conflictCounterText(), "競合 残り 1 件");
    EXPECT_EQ(host.windowCommands.back(), "find results");
    // Once looked at, the closing question's save writes without asking about the file.
    host.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(editor.files().closeQuery());
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(OnDisk(), Serialized());
    EXPECT_EQ(ItemsOf("A"), (V{"task-mine", "task-theirs" + kMark}));
}

TEST_F(MergeCommands, AnUndoneMergeStandsOnTheOldVersionAndTheSaveAsksAgain) {
    Open({"A:a"});
    AddItem("A", "mine");
    OtherProgramWrites({"A:a,theirs"});
    std::string theirs = OnDisk();
    host.answers = {MessageAnswer::Merge};
    editor.files().checkDocumentFile();
    editor.execute(CommandId::Undo);
    EXPECT_EQ(ItemsOf("A"), (V{"a", "mine"}));
    EXPECT_TRUE(editor.session().isModified());
    // The user saw that version: the window does not ask again, but a save over it does.
    EXPECT_TRUE(editor.files().checkDocumentFile());
    EXPECT_EQ(host.messages.size(), 1u);
    host.answers = {MessageAnswer::Cancel};
    editor.execute(CommandId::Save);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].buttons, MessageButtons::YesMergeNoCancel);
    EXPECT_EQ(OnDisk(), theirs);
    // Redone, it stands on theirs again.
    editor.execute(CommandId::Redo);
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(OnDisk(), Serialized());
}

class ConflictCopies : public MergeCommands {
protected:
    std::string Copy(const std::string& name, const V& lines) {
        std::string copy = dir.file(name);
        test::WriteBytes(copy, test::OutlineBytes(lines));
        return copy;
    }
    std::string CopiesQuestion(int n) {
        return std::to_string(n) + " 件の競合コピーがあります。統合しますか？";
    }
};

TEST_F(ConflictCopies, AreOfferedAtOpenUnitedAsOneStepAndTrashedAfterTheSave) {
    test::WriteBytes(path, test::OutlineBytes({"A:a", "B:b"}));
    V copies = {
        Copy("plan (conflicted copy 2026-12-09 101010).bnv", {"A:a", "B:b", "Laptop:l"}),
        Copy("plan (Taro's conflicted copy 2026-12-09) (1).bnv", {"A:a", "B:b"}),
        Copy("plan.sync-conflict-20261209-101010-ABCDEFG.bnv", {"A:a,phone", "B:b"}),
    };
    // Offered in the order of their names' bytes.
    std::sort(copies.begin(), copies.end());
    Copy("other.sync-conflict-20261209-101010-ABCDEFG.bnv", {"X"});
    Copy("plan.sync-conflict-20261209-101010-ABCDEFG.txt", {"X"});

    host.answers = {MessageAnswer::Yes};
    editor.files().openDocument(path);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, CopiesQuestion(3));
    EXPECT_EQ(host.messages[0].kind, MessageKind::Confirmation);
    EXPECT_EQ(host.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(Shape(), (V{"A/0", "B/0", "Laptop" + kMark + "/0"}));
    EXPECT_EQ(ItemsOf("A"), (V{"a", "phone" + kMark}));
    EXPECT_TRUE(editor.session().isModified());
    EXPECT_EQ(editor.tags().conflictCounterText(), "競合 残り 2 件");

    // One step: undone, the document is its file again.
    editor.execute(CommandId::Undo);
    EXPECT_EQ(Shape(), (V{"A/0", "B/0"}));
    EXPECT_FALSE(editor.session().isModified());
    editor.execute(CommandId::Redo);

    editor.execute(CommandId::Save);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.trashed, copies);
    EXPECT_EQ(editor.hintText(), "統合した競合コピー 3 件をごみ箱に移しました");
    // Trashed once: later saves leave the folder alone.
    AddItem("A", "more");
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.trashed.size(), 3u);
}

TEST_F(ConflictCopies, StayWhenRefusedUndoneChangedOrSavedElsewhere) {
    test::WriteBytes(path, test::OutlineBytes({"A:a"}));
    std::string phone = Copy("plan.sync-conflict-20261209-101010-ABCDEFG.bnv", {"A:a,phone"});
    std::string laptop = Copy("plan (conflicted copy 2026-12-09 101010).bnv", {"A:a,laptop"});

    // Refused: nothing changes.
    host.answers = {MessageAnswer::No};
    editor.files().openDocument(path);
    EXPECT_FALSE(editor.session().isModified());
    EXPECT_FALSE(editor.history().canUndo());

    // Undone before the save: the copies' contents are not in the file.
    host.answers = {MessageAnswer::Yes};
    editor.files().openDocument(path);
    editor.execute(CommandId::Undo);
    AddItem("A", "mine");
    editor.execute(CommandId::Save);
    EXPECT_TRUE(host.trashed.empty());

    // A copy written again after the merge stays; one the desktop cannot take stays too.
    host.answers = {MessageAnswer::Yes};
    editor.files().openDocument(path);
    test::WriteBytes(laptop, test::OutlineBytes({"A:a,laptop,later"}));
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.trashed, V{phone});
    EXPECT_EQ(editor.hintText(),
              "競合コピー「plan (conflicted copy 2026-12-09 101010).bnv」は統合した後に変更された"
              "ため、そのまま残しています");

    host.trashed.clear();
    host.refuseTrash = true;
    host.answers = {MessageAnswer::Yes};
    editor.files().openDocument(path);
    editor.execute(CommandId::Save);
    EXPECT_EQ(host.trashed.size(), 2u);
    EXPECT_EQ(editor.hintText(),
              "競合コピー「plan (conflicted copy 2026-12-09 101010).bnv」「plan.sync-conflict-"
              "20261209-101010-ABCDEFG.bnv」をごみ箱に移せなかったため、そのまま残しています");

    // Saved under another name, the copies belong to the file they were found beside.
    host.trashed.clear();
    host.refuseTrash = false;
    host.answers = {MessageAnswer::Yes};
    editor.files().openDocument(path);
    host.dialogAnswers = {dir.file("elsewhere.bnv")};
    editor.execute(CommandId::SaveName);
    EXPECT_TRUE(host.trashed.empty());
}

TEST(ConflictCopyNames, TheThreeFormsOfTheDocumentsOwnStemAndExtension) {
    for (const char* name : {
             "plan.sync-conflict-20261209-101010-ABCDEFG.bnv",
             "plan.sync-conflict-20261209-101010-0A1B2C3.bnv",
             "plan (conflicted copy 2026-12-09 101010).bnv",
             "plan (Taro Yamada's conflicted copy 2026-12-09).bnv",
             "plan (Taro's conflicted copy 2026-12-09) (1).bnv",
             "plan (太郎\xE2\x80\x99s conflicted copy 2026-12-09) (12).bnv",
             "plan (a (b)'s conflicted copy 2026-12-09).bnv",
         }) {
        EXPECT_TRUE(IsConflictCopyName(name, "plan.bnv")) << name;
    }
    for (const char* name : {
             "plan.bnv",
             "plans.sync-conflict-20261209-101010-ABCDEFG.bnv",
             "plan.sync-conflict-20261209-101010-ABCDEFG.BNV",
             "plan.sync-conflict-20261209-101010-ABCDEFG.bnv.tmp",
             "plan.sync-conflict-2026129-101010-ABCDEFG.bnv",
             "plan.sync-conflict-20261209-101010-abcdefg.bnv",
             "plan.sync-conflict-20261209-101010-ABCDEF.bnv",
             "plan (conflicted copy 2026-12-09).bnv",
             "plan (conflicted copy 2026-12-9 101010).bnv",
             "plan ('s conflicted copy 2026-12-09).bnv",
             "plan (Taro's conflicted copy 2026-12-09) (x).bnv",
             "plan (Taro's conflicted copy 2026-12-09)(1).bnv",
             "plan (Taro's conflicted copy 2026-12-09).bnv (1)",
             "plan copy.bnv",
         }) {
        EXPECT_FALSE(IsConflictCopyName(name, "plan.bnv")) << name;
    }
    // A stem with dots of its own, and a name without an extension.
    EXPECT_TRUE(
        IsConflictCopyName("my.plan.sync-conflict-20261209-101010-ABCDEFG.bnv", "my.plan.bnv"));
    EXPECT_FALSE(
        IsConflictCopyName("my.sync-conflict-20261209-101010-ABCDEFG.plan.bnv", "my.plan.bnv"));
    EXPECT_TRUE(IsConflictCopyName("notes (conflicted copy 2026-12-09 101010)", "notes"));
    EXPECT_TRUE(IsConflictCopyName("予定.sync-conflict-20261209-101010-ABCDEFG.bnv", "予定.bnv"));
}

TEST(ConflictCopyFiles, OnlyRegularFilesBesideTheDocument) {
    test::TempDir dir;
    std::string doc = dir.file("plan.bnv");
    test::WriteBytes(doc, "A\r\n");
    test::WriteBytes(dir.file("plan (conflicted copy 2026-12-09 101010).bnv"), "A\r\n");
    std::filesystem::create_directory(dir.file("plan (conflicted copy 2026-12-09 111111).bnv"));
    ASSERT_EQ(
        ::symlink(doc.c_str(), dir.file("plan (conflicted copy 2026-12-09 121212).bnv").c_str()),
        0);
    ASSERT_EQ(::mkfifo(dir.file("plan (conflicted copy 2026-12-09 131313).bnv").c_str(), 0600), 0);
    EXPECT_EQ(FindConflictCopies(doc), V{dir.file("plan (conflicted copy 2026-12-09 101010).bnv")});
    EXPECT_TRUE(FindConflictCopies(dir.file("missing/plan.bnv")).empty());
}

TEST(KeptVersion, HoldsTheBytesOfThatVersionOnlyAndGoesWithTheEditor) {
    test::TempDir dir;
    std::string doc = dir.file("plan.bnv");
    std::string kept = dir.file("state.base");
    test::WriteBytes(doc, "first\r\n");
    FileIdentity first = *IdentifyFile(doc);
    {
        MergeBase base(kept);
        base.keep(doc, first);
        ASSERT_EQ(base.path(), kept);
        EXPECT_EQ(test::ReadBytes(kept), "first\r\n");

        // Another version there: none is kept rather than the wrong one.
        test::WriteBytes(doc + ".new", "second\r\n");
        ASSERT_EQ(std::rename((doc + ".new").c_str(), doc.c_str()), 0);
        base.keep(doc, first);
        EXPECT_FALSE(base.path());
        EXPECT_FALSE(std::filesystem::exists(kept));
        base.keep(dir.file("missing.bnv"), first);
        EXPECT_FALSE(base.path());

        base.keep(doc, *IdentifyFile(doc));
        EXPECT_EQ(test::ReadBytes(kept), "second\r\n");
    }
    EXPECT_FALSE(std::filesystem::exists(kept));
    EXPECT_FALSE(std::filesystem::exists(kept + ".new"));
}

// The window's copy runs on a thread of its own: whatever asks next (the path, the version, the
// next keep, the end) sees the copy whole or none, never a part, and nothing is left behind.
TEST(KeptVersion, ACopyOnAThreadIsWholeWhenAskedForAndGoesWithTheEditor) {
    test::TempDir dir;
    std::string doc = dir.file("plan.bnv");
    std::string kept = dir.file("state.base");
    std::string big(8 << 20, 'x');
    test::WriteBytes(doc, big);
    FileIdentity first = *IdentifyFile(doc);
    {
        MergeBase base(kept, MergeBase::Copy::OnAThread);
        base.keep(doc, first);
        ASSERT_EQ(base.version(), first);
        ASSERT_EQ(base.path(), kept);
        EXPECT_EQ(test::ReadBytes(kept), big);
        // Kept again at once and again: the last one counts.
        base.keep(doc, first);
        base.keep(dir.file("missing.bnv"), first);
        EXPECT_FALSE(base.path());
        EXPECT_FALSE(std::filesystem::exists(kept));
        base.keep(doc, first);
        base.forget();
        EXPECT_FALSE(base.version());
        EXPECT_FALSE(std::filesystem::exists(kept));
        base.keep(doc, first);
    }
    EXPECT_FALSE(std::filesystem::exists(kept));
    EXPECT_FALSE(std::filesystem::exists(kept + ".new"));
}

// Another program's file put at the document's name the moment after the open: the copy is of
// the version that was opened, whenever its thread gets to it.
TEST(KeptVersion, ACopyOnAThreadIsOfTheFileOpenedEvenWhenAnotherTakesItsNameAtOnce) {
    test::TempDir dir;
    std::string doc = dir.file("plan.bnv");
    std::string kept = dir.file("state.base");
    std::string theirs = dir.file("theirs.part");
    for (int round = 0; round < 20; ++round) {
        std::string mine = "mine " + std::to_string(round) + std::string(1 << 20, 'm');
        test::WriteBytes(doc, mine);
        test::WriteBytes(theirs, "theirs");
        FileIdentity opened = *IdentifyFile(doc);
        MergeBase base(kept, MergeBase::Copy::OnAThread);
        base.keep(doc, opened);
        ASSERT_EQ(std::rename(theirs.c_str(), doc.c_str()), 0);
        ASSERT_EQ(base.path(), kept) << "round " << round;
        EXPECT_EQ(base.version(), opened);
        EXPECT_EQ(test::ReadBytes(kept), mine);
    }
}

}  // namespace
}  // namespace brenvale
