#include "settings/option_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "settings/option_choices.h"
#include "settings/option_writes.h"
#include "settings/settings_file.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

// Every option with a value other than its default, laid out as OK writes them.
std::string EveryOptionChanged() {
    return "[Window]\r\nMoving=1\r\nTitleFullPath=0\r\nTitleFullPathActive=0\r\n"
           "[Save]\r\nEveryS=0\r\nSpRemv=0\r\nAutoSv=3\r\nAutoMs=0\r\nInterval=1800000\r\n"
           "BackUp=1\r\nBackUpPass=/var/backups/notes\r\nTempPass=/var/tmp/notes\r\n"
           "[Tree]\r\nTreeColor=clWhite\r\nTreeFontColor=$00123456\r\nShowProgress=1\r\n"
           "RootButtons=1\r\n"
           "[List]\r\nKugiri=0\r\nCekBox=0\r\nCekMoj=" +
           Sjis("＊") +
           "\r\nLCBold=0\r\nLCItal=1\r\nLCUnde=1\r\nListColor=clBtnFace\r\n"
           "ListFontColor=$00ABCDEF\r\nHideChecked=1\r\nGrayChecked=1\r\nDoneDate=1\r\n";
}

class NoTarget : public OptionTarget {
    void ApplySettings(const Settings&) override {}
    void ApplyAutoSaveInterval(int) override {}
    void ApplyColour(ViewColour, Colour) override {}
};

// Whether the row's value in a and b is the same.
bool SameValue(const OptionValues& a, const OptionValues& b, const OptionRow& row) {
    return OptionText(a, row) == OptionText(b, row);
}

TEST(OptionTable, ReadTheDialogsCopyAndOkGiveTheSameFileBack) {
    test::TempDir dir;
    const std::string source = dir.file("source.ini");
    test::WriteBytes(source, EveryOptionChanged());
    const OptionValues read = ReadOptionValues(IniFile(source));
    // The file changes every option, so that each row is seen to travel.
    for (const OptionRow& row : OptionTable()) {
        EXPECT_FALSE(SameValue(read, OptionValues{}, row)) << row.key;
    }
    const OptionValues opened = OpenOptionValues(read);
    EXPECT_EQ(opened, read);

    IniFile written(dir.file("written.ini"));
    NoTarget target;
    WriteOptions(written, opened, Settings{}, target);
    EXPECT_EQ(test::ReadBytes(written.path()), EveryOptionChanged());
}

TEST(OptionTable, ItsDefaultsAreTheValuesOfAFileWithoutOptions) {
    std::vector<std::optional<std::string>> none(OptionTable().size());
    OptionValues defaults;
    // Without colour keys both views follow the desktop's palette.
    defaults.colours.treeFollowsDesktop = true;
    defaults.colours.listFollowsDesktop = true;
    EXPECT_EQ(OptionValuesFrom(none), defaults);
    // Text that is not of the row's form reads as the default too.
    std::vector<std::optional<std::string>> unreadable(OptionTable().size(), "yes");
    OptionValues fallback = OptionValuesFrom(unreadable);
    for (const OptionRow& row : OptionTable()) {
        if (row.form != OptionForm::Folder && row.form != OptionForm::Text) {
            EXPECT_TRUE(SameValue(fallback, OptionValues{}, row)) << row.key;
        }
    }
}

TEST(OptionTable, EachKeyOnceAndEveryFieldOnce) {
    std::set<std::pair<std::string_view, std::string_view>> keys;
    std::vector<OptionField> fields;
    for (const OptionRow& row : OptionTable()) {
        EXPECT_TRUE(keys.emplace(row.section, row.key).second) << row.key;
        EXPECT_EQ(std::count(fields.begin(), fields.end(), row.field), 0) << row.key;
        fields.push_back(row.field);
    }
}

}  // namespace
}  // namespace brenvale
