#include "settings/option_choices.h"
#include "settings/option_writes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "settings/ini_file.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "support/test_ini_file.h"

namespace brenvale {
namespace {

using test::Sjis;

constexpr std::string_view kProgramFolder = "/opt/brenvale";

OptionValues OpenWith(const Settings& s, int intervalMs = 600000) {
    return OpenOptionValues({s, ViewColours{}, intervalMs});
}

// The whole minutes of the interval an options dialog opens with.
int MinutesOf(const OptionValues& values) {
    return values.autoSaveInterval / 60000;
}

// Records what OK applies.
class RecordingTarget : public OptionTarget {
public:
    void ApplySettings(const Settings& s) override {
        settings = s;
        ++settingsCalls;
    }
    void ApplyAutoSaveInterval(int ms) override { interval = ms; }
    void ApplyColour(ViewColour which, Colour colour) override {
        colours.emplace_back(which, colour);
    }

    Settings settings;
    int settingsCalls = 0;
    int interval = -1;
    std::vector<std::pair<ViewColour, Colour>> colours;
};

TEST(OptionsOpening, TakesTheSettingsAndTheWindowsValues) {
    Settings s;
    s.keepOnScreen = true;
    s.titleShowsPath = false;
    s.autoSave = AutoSaveMode::OverDocument;
    s.confirmAutoSave = false;
    s.backup = true;
    s.noBoxItalic = true;
    ViewColours colours{0x1, 0x2, 0x3, 0x4};
    OptionValues v = OpenOptionValues({s, colours, 600000});
    EXPECT_TRUE(v.settings.keepOnScreen);
    EXPECT_FALSE(v.settings.titleShowsPath);
    EXPECT_TRUE(v.settings.titlePathOnlyWhenActive);  // keeps its own value while disabled
    EXPECT_EQ(v.settings.autoSave, AutoSaveMode::OverDocument);
    EXPECT_FALSE(v.settings.confirmAutoSave);
    EXPECT_EQ(MinutesOf(v), 10);
    EXPECT_TRUE(v.settings.backup);
    EXPECT_TRUE(v.settings.noBoxItalic);
    EXPECT_EQ(v.colours, colours);
    EXPECT_EQ(v.settings.checkMark, Sjis("※"));

    s.autoSave = static_cast<AutoSaveMode>(7);  // not a mode: no auto-save is checked
    EXPECT_EQ(OpenWith(s).settings.autoSave, AutoSaveMode::Off);
}

TEST(OptionsOpening, OkWithoutChangesWritesBackWhatTheSettingsHold) {
    Settings s;
    s.trimItemSpaces = false;
    s.applyGeometry = false;
    s.noBoxBold = false;
    s.separatorItems = false;
    for (const OptionWrite& w : OptionWrites(OpenWith(s))) {
        if (w.key == "SpRemv" || w.key == "EveryS" || w.key == "LCBold" || w.key == "Kugiri") {
            EXPECT_EQ(w.value, "0") << w.key;
        }
    }
}

TEST(OptionsOpening, RoundsTheIntervalUpToAnEntry) {
    Settings s;
    EXPECT_EQ(MinutesOf(OpenWith(s, 90000)), 1);
    EXPECT_EQ(MinutesOf(OpenWith(s, 11 * 60000)), 15);
    EXPECT_EQ(MinutesOf(OpenWith(s, 180 * 60000)), 120);
    EXPECT_EQ(MinutesOf(OpenWith(s, 59999)), 1);
    EXPECT_EQ(MinutesOf(OpenWith(s, 0)), 1);
    EXPECT_EQ(MinutesOf(OpenWith(s, 45 * 60000 + 59999)), 45);

    // 90000 ms opens as one minute and is written as 60000.
    for (const OptionWrite& w : OptionWrites(OpenWith(s, 90000))) {
        if (w.key == "Interval") {
            EXPECT_EQ(w.value, "60000");
        }
    }
}

TEST(OptionsOpening, FolderListsHoldTheOwnFolderTheProgramFolderAndTheStoredOne) {
    Settings s;
    s.backupFolder = std::string(kProgramFolder);
    s.tempFolder = "/var/tmp/notes";
    OptionValues v = OpenWith(s);
    FolderChoice backupChoice = FolderChoice::Open(v.settings.backupFolder, kProgramFolder);
    FolderChoice tempChoice = FolderChoice::Open(v.settings.tempFolder, kProgramFolder);
    EXPECT_EQ(backupChoice.entries,
              (std::vector<std::string>{std::string(kOwnFolderEntry), "/opt/brenvale"}));
    EXPECT_EQ(backupChoice.selected, 1u);
    EXPECT_EQ(backupChoice.entries[backupChoice.selected], "/opt/brenvale");
    EXPECT_EQ(tempChoice.entries.size(), 3u);
    EXPECT_EQ(tempChoice.selected, 2u);
    EXPECT_EQ(tempChoice.entries[tempChoice.selected], "/var/tmp/notes");

    FolderChoice own =
        FolderChoice::Open(OpenWith(Settings{}).settings.backupFolder, kProgramFolder);
    EXPECT_EQ(own.selected, 0u);
    EXPECT_EQ(own.entries[own.selected], kOwnFolderEntry);

    // Choosing twice leaves three entries with the last choice third.
    backupChoice.Choose("/a");
    backupChoice.Choose("/b");
    EXPECT_EQ(backupChoice.entries,
              (std::vector<std::string>{std::string(kOwnFolderEntry), "/opt/brenvale", "/b"}));
    EXPECT_EQ(backupChoice.selected, 2u);
}

TEST(OptionsOpening, AMarkOutsideTheListIsFreeText) {
    EXPECT_EQ(MarkEntryFor(Sjis("※")), 0u);
    EXPECT_EQ(MarkEntryFor(Sjis("◆")), 11u);
    EXPECT_EQ(MarkEntryFor(Sjis("＊")), std::nullopt);
    EXPECT_EQ(MarkEntryFor(""), std::nullopt);
    Settings s;
    s.checkMark = Sjis("＊");
    for (const OptionWrite& w : OptionWrites(OpenWith(s))) {
        if (w.key == "CekMoj") {
            EXPECT_EQ(w.value, Sjis("＊"));
        }
    }
}

TEST(OptionsOpening, AMarkFitsTwoBytesACharacterBeyondCp932TakingTwo) {
    using Marks = std::vector<std::string>;
    EXPECT_TRUE(MarkFits(Marks{Sjis("※")}));
    EXPECT_TRUE(MarkFits(Marks{"a", "b"}));
    EXPECT_TRUE(MarkFits(Marks{}));
    EXPECT_FALSE(MarkFits(Marks{Sjis("※"), "a"}));
    EXPECT_TRUE(MarkFits(Marks{"&#x2713;"}));          // ✓, one character however long its bytes
    EXPECT_TRUE(MarkFits(Marks{"&#x2764;&#xFE0F;"}));  // a heart and its selector, seen as one
    EXPECT_FALSE(MarkFits(Marks{"&#x2713;", "a"}));
    EXPECT_FALSE(MarkFits(Marks{"&#x41;"}));  // the text it is, six bytes
}

TEST(OptionsEnablingRules, FollowTheirBoxesAndTheAutoSaveMode) {
    Settings s;
    s.titleShowsPath = false;
    s.noBoxItems = false;
    OptionEnabling off = EnablingOf(OpenWith(s));
    EXPECT_FALSE(off.titleFullActive);
    EXPECT_FALSE(off.mark);
    EXPECT_FALSE(off.backupFolder);

    OptionValues v = OpenWith(Settings{});
    v.settings.autoSave = AutoSaveMode::Off;
    EXPECT_EQ(EnablingOf(v), (OptionEnabling{true, true, false, false, false, false}));
    v.settings.autoSave = AutoSaveMode::TempCopy;
    EXPECT_EQ(EnablingOf(v), (OptionEnabling{true, true, false, true, false, true}));
    v.settings.autoSave = AutoSaveMode::OverDocument;
    v.settings.backup = true;
    EXPECT_EQ(EnablingOf(v), (OptionEnabling{true, true, true, true, true, false}));
}

TEST(OptionsFolders, TextBeginningWithTheReferenceMarkStoresTheToken) {
    EXPECT_EQ(StoredFolder(kOwnFolderEntry), Sjis("※File"));
    EXPECT_EQ(StoredFolder("※anything"), Sjis("※File"));
    EXPECT_EQ(StoredFolder("/no/such/folder"), "/no/such/folder");
    EXPECT_EQ(StoredFolder(""), "");
}

TEST(OptionsFolders, TheOpenedListIsAsWideAsItsWidestEntry) {
    std::vector<int> widths = {80, 140, 60};
    EXPECT_EQ(FolderListWidth(widths, 8, 17), 146);
    EXPECT_EQ(FolderListWidth(widths, 2, 17), 163);
}

TEST(OptionsCustomColours, TheEditedColourFillsTheNinthSlotUnlessItHasAName) {
    CustomColourList list;
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"ColorA=FFF8F8", "ColorB=100000",
                                                        "ColorC=F8F8FF", "ColorD=000010"}));
    list.PrepareFor(0x00123456);
    EXPECT_EQ(list.entries().back(), "ColorI=123456");
    list.PrepareFor(0x00ABCDEF);
    EXPECT_EQ(list.entries().size(), 5u);
    EXPECT_EQ(list.entries().back(), "ColorI=ABCDEF");
    EXPECT_EQ(list.colourSlots().back(), (CustomColourList::Slot{8, 0x00ABCDEF}));
    EXPECT_EQ(list.colourSlots().front(), (CustomColourList::Slot{0, 0x00FFF8F8}));
    list.PrepareFor(0x00FFFFFF);  // clWhite
    EXPECT_EQ(list.entries().size(), 4u);
}

TEST(OptionWritesTest, EveryKeyInOrderChangedOrNot) {
    Settings s;
    s.tempFolder = "/tmp/auto";
    OptionValues v = OpenWith(s);
    v.settings.autoSave = AutoSaveMode::TempCopy;
    v.colours.treeBack = 0x00FFFFFF;
    std::vector<OptionWrite> expected = {
        {"Window", "Moving", "0"},
        {"Window", "TitleFullPath", "1"},
        {"Window", "TitleFullPathActive", "1"},
        {"Save", "EveryS", "1"},
        {"Save", "SpRemv", "1"},
        {"Save", "AutoSv", "2"},
        {"Save", "AutoMs", "1"},
        {"Save", "Interval", "600000"},
        {"Save", "BackUp", "0"},
        {"Save", "BackUpPass", Sjis("※File")},
        {"Save", "TempPass", "/tmp/auto"},
        {"Tree", "TreeColor", "clWhite"},
        {"Tree", "TreeFontColor", "$00100000"},
        {"Tree", "ShowProgress", "0"},
        {"Tree", "RootButtons", "0"},
        {"List", "Kugiri", "1"},
        {"List", "CekBox", "1"},
        {"List", "CekMoj", Sjis("※")},
        {"List", "LCBold", "1"},
        {"List", "LCItal", "0"},
        {"List", "LCUnde", "0"},
        {"List", "ListColor", "$00F8F8FF"},
        {"List", "ListFontColor", "$00000010"},
        {"List", "HideChecked", "0"},
        {"List", "GrayChecked", "0"},
        {"List", "DoneDate", "0"},
    };
    EXPECT_EQ(OptionWrites(v), expected);
}

TEST(OptionWritesTest, EachKeyIsAppliedAsItIsWritten) {
    test::TempDir dir;
    test::TestIniFile ini(dir.file("brenvale.ini"));
    OptionValues v = OpenWith(Settings{});
    v.settings.separatorItems = false;
    v.autoSaveInterval = IntervalOfEntry(4);
    v.colours.listText = 0x00FF0000;
    RecordingTarget target;
    WriteOptions(ini, v, Settings{}, target);
    EXPECT_FALSE(target.settings.separatorItems);
    EXPECT_EQ(target.interval, 5 * 60000);
    ASSERT_EQ(target.colours.size(), 4u);
    EXPECT_EQ(target.colours.back(), (std::pair{ViewColour::ListText, Colour{0x00FF0000}}));
    EXPECT_EQ(target.settingsCalls, 21);
    test::TestIniFile reread(dir.file("brenvale.ini"));
    EXPECT_EQ(reread.ReadString("List", "ListFontColor"), "clBlue");
    EXPECT_EQ(reread.ReadString("Save", "Interval"), "300000");
}

TEST(OptionWritesTest, AFailedWriteStopsThereAndKeepsWhatCameBefore) {
    test::TempDir dir;
    test::TestIniFile ini(dir.file("brenvale.ini"));
    OptionValues v = OpenWith(Settings{});
    v.settings.noBoxItems = false;
    // The file holding every key up to the tree background fits; one more key does not.
    size_t fits = 0;
    {
        test::TestIniFile scratch(dir.file("scratch.ini"));
        for (const OptionWrite& w : OptionWrites(v)) {
            scratch.WriteString(w.section, w.key, w.value);
            if (w.key == "TreeColor") {
                break;
            }
        }
        fits = test::ReadBytes(scratch.path()).size();
    }
    RecordingTarget target;
    {
        test::FileSizeLimit limit(fits);
        EXPECT_THROW(WriteOptions(ini, v, Settings{}, target), Error);
    }
    // The tree background was written and applied; the text colour and the list keys not.
    const std::string file = test::ReadBytes(ini.path());
    EXPECT_NE(file.find("TreeColor=$00FFF8F8"), std::string::npos);
    EXPECT_EQ(file.find("TreeFontColor"), std::string::npos);
    EXPECT_EQ(target.colours.size(), 1u);
    EXPECT_TRUE(target.settings.noBoxItems);
}

}  // namespace
}  // namespace brenvale
