// The one-pass reading and writing of INI texts against the plain way: every key looked up by
// going through the lines again, every edit made on the text the previous one left.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>

#include "common/error.h"
#include "common/text.h"
#include "settings/ini_file.h"
#include "settings/ini_source.h"
#include "settings/ini_text.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

// The plain way, one line list per look-up and per edit.
namespace plain {

struct Line {
    size_t begin = 0;
    size_t end = 0;
    size_t next = 0;
    bool header = false;
    bool entry = false;
    std::string_view name;
    std::string_view value;
};

std::vector<Line> Lines(std::string_view bytes) {
    std::vector<Line> lines;
    for (size_t pos = 0; pos < bytes.size();) {
        Line line;
        line.begin = pos;
        size_t br = bytes.find_first_of("\r\n", pos);
        line.end = br == std::string_view::npos ? bytes.size() : br;
        line.next = br == std::string_view::npos ? bytes.size()
                                                 : br + (bytes.substr(br, 2) == "\r\n" ? 2 : 1);
        std::string_view text = TrimWhite(bytes.substr(pos, line.end - pos));
        if (!text.empty() && text.front() == '[') {
            size_t close = 1;
            while (close < text.size() && text[close] != ']') {
                unsigned char c = static_cast<unsigned char>(text[close]);
                close += (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC) ? 2 : 1;
            }
            line.header = true;
            line.name = TrimWhite(text.substr(1, std::min(close, text.size()) - 1));
        } else if (!text.empty() && text.front() != ';' && text.find('=') != text.npos) {
            line.entry = true;
            line.name = TrimWhite(text.substr(0, text.find('=')));
            line.value = text.substr(text.find('=') + 1);
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

// The header of the first section of that name from line `from` on, and the line after it.
std::pair<size_t, size_t> Section(const std::vector<Line>& lines, std::string_view name,
                                  size_t from = 0) {
    size_t header = std::string_view::npos;
    for (size_t i = from; i < lines.size(); ++i) {
        if (!lines[i].header) {
            continue;
        }
        if (header != std::string_view::npos) {
            return {header, i};
        }
        if (IniNamesEqual(lines[i].name, name)) {
            header = i;
        }
    }
    return {header, lines.size()};
}

std::optional<std::string> Find(std::string_view bytes, std::string_view section,
                                std::string_view key) {
    std::vector<Line> lines = Lines(bytes);
    auto [header, last] = Section(lines, section);
    for (size_t i = header + 1; header != std::string_view::npos && i < last; ++i) {
        if (lines[i].entry && IniNamesEqual(lines[i].name, key)) {
            return std::string(TrimWhite(lines[i].value).substr(0, kMaxIniValue));
        }
    }
    return std::nullopt;
}

std::string_view BreakOf(std::string_view bytes) {
    size_t br = bytes.find_first_of("\r\n");
    if (br == std::string_view::npos || bytes.substr(br, 2) == "\r\n") {
        return "\r\n";
    }
    return bytes[br] == '\r' ? "\r" : "\n";
}

std::string Set(std::string_view bytes, std::string_view section, std::string_view key,
                std::string_view value) {
    const std::string br(BreakOf(bytes));
    const std::string entry = std::string(key) + "=" + std::string(value);
    std::vector<Line> lines = Lines(bytes);
    auto [header, last] = Section(lines, section);
    std::string out(bytes);
    if (header == std::string_view::npos) {
        if (!out.empty() && out.back() != '\n' && out.back() != '\r') {
            out += br;
        }
        return out + "[" + std::string(section) + "]" + br + entry + br;
    }
    size_t after = header;
    for (size_t i = header + 1; i < last; ++i) {
        if (lines[i].entry && IniNamesEqual(lines[i].name, key)) {
            return out.replace(lines[i].begin, lines[i].end - lines[i].begin, entry);
        }
        if (!TrimWhite(bytes.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty()) {
            after = i;
        }
    }
    const Line& anchor = lines[after];
    std::string added = (anchor.next == anchor.end ? br : "") + entry + br;
    return out.insert(anchor.next, added);
}

std::string Erase(std::string_view bytes, std::string_view section) {
    std::vector<Line> lines = Lines(bytes);
    std::string out;
    size_t kept = 0;
    for (auto [header, last] = Section(lines, section); header != std::string_view::npos;
         std::tie(header, last) = Section(lines, section, last)) {
        for (size_t i = kept; i < header; ++i) {
            out.append(bytes.substr(lines[i].begin, lines[i].next - lines[i].begin));
        }
        kept = last;
    }
    for (size_t i = kept; i < lines.size(); ++i) {
        out.append(bytes.substr(lines[i].begin, lines[i].next - lines[i].begin));
    }
    return out;
}

std::string Apply(std::string text, const std::vector<IniEdit>& edits) {
    for (const IniEdit& edit : edits) {
        text = edit.kind == IniEdit::Kind::Set ? Set(text, edit.section, edit.key, edit.value)
                                               : Erase(text, edit.section);
    }
    return text;
}

}  // namespace plain

// Small random INI texts and edits over few names, so that edits meet each other and the
// text's sections, keys, blank lines, comments and line breaks of every kind.
class RandomIni {
public:
    explicit RandomIni(unsigned seed) : random_(seed) {}

    std::string Text() {
        static const std::vector<std::string> kBreaks = {"\r\n", "\n", "\r"};
        std::string text;
        int lines = Pick(9);
        std::string br = kBreaks[Pick(3)];
        for (int i = 0; i < lines; ++i) {
            switch (Pick(7)) {
                case 0:
                case 1:
                    text += "[" + Section() + "]";
                    break;
                case 2:
                case 3:
                case 4:
                    text += Key() + "=" + Value();
                    break;
                case 5:
                    text += Pick(2) ? "" : "  \t";
                    break;
                default:
                    text += Pick(2) ? "; note" : "stray";
                    break;
            }
            if (i + 1 < lines || Pick(3) > 0) {
                text += Pick(5) == 0 ? kBreaks[Pick(3)] : br;
            }
        }
        return text;
    }

    std::vector<IniEdit> Edits() {
        std::vector<IniEdit> edits;
        for (int i = Pick(7); i >= 0; --i) {
            edits.push_back(Pick(5) == 0 ? IniEdit::Erase(Section())
                                         : IniEdit::Set(Section(), Key(), Value()));
        }
        return edits;
    }

    std::vector<IniKey> Keys() {
        names_.clear();
        for (int i = 0; i < 6; ++i) {
            names_.emplace_back(Section(), Key());
        }
        std::vector<IniKey> keys;
        for (const auto& [section, key] : names_) {
            keys.push_back({section, key});
        }
        return keys;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    std::string Section() {
        static const std::vector<std::string> kSections = {"S", "s", "T", "Recent", Sjis("ア")};
        return kSections[Pick(static_cast<int>(kSections.size()))];
    }
    std::string Key() {
        static const std::vector<std::string> kKeys = {"a", "A", "b", "0", Sjis("ア")};
        return kKeys[Pick(static_cast<int>(kKeys.size()))];
    }
    std::string Value() {
        static const std::vector<std::string> kValues = {"1", "", " x ", "two words", "=", "[v]"};
        return kValues[Pick(static_cast<int>(kValues.size()))];
    }

    std::mt19937 random_;
    std::vector<std::pair<std::string, std::string>> names_;
};

std::string Shown(const std::string& text) {
    std::string shown;
    for (char c : text) {
        shown += c == '\r'   ? std::string("\\r")
                 : c == '\n' ? std::string("\\n")
                             : std::string(1, c);
    }
    return shown;
}

std::string Shown(const std::vector<IniEdit>& edits) {
    std::string shown;
    for (const IniEdit& e : edits) {
        shown += e.kind == IniEdit::Kind::Set ? "set " + e.section + "." + e.key + "=" + e.value
                                              : "erase " + e.section;
        shown += "; ";
    }
    return shown;
}

TEST(IniEdits, ManyEditsInOnePassGiveWhatMakingThemOneByOneGives) {
    RandomIni random(20240611);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = random.Text();
        const std::vector<IniEdit> edits = random.Edits();
        const std::string expected = plain::Apply(text, edits);
        ASSERT_EQ(ApplyIniEdits(text, edits), expected)
            << "text: " << Shown(text) << "\nedits: " << Shown(edits);
        ASSERT_EQ(IniEditsChange(text, edits), expected != text)
            << "text: " << Shown(text) << "\nedits: " << Shown(edits);
    }
}

// The file is written from pieces of the old text and the new lines, and not at all when
// nothing changes.
TEST(IniEdits, AFileWrittenInPiecesHoldsWhatThePlainWayGives) {
    RandomIni random(99);
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    for (int round = 0; round < 300; ++round) {
        const std::string text = random.Text();
        const std::vector<IniEdit> edits = random.Edits();
        test::WriteBytes(path, text);
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
        IniFile(path).Write(edits);
        const std::string expected = plain::Apply(text, edits);
        ASSERT_EQ(test::ReadBytes(path), expected)
            << "text: " << Shown(text) << "\nedits: " << Shown(edits);
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino == before.st_ino, expected == text)
            << "text: " << Shown(text) << "\nedits: " << Shown(edits);
    }
}

// A file is read in pieces: lines, line breaks (a CR LF split between two pieces) and lines
// longer than a piece come out as from the text in memory, and so do the edits.
TEST(IniEdits, AFileReadInSmallPiecesGivesWhatTheTextGives) {
    RandomIni random(2026);
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    auto lines = [](const IniSource& source) {
        std::string seen;
        source.ForEachLine([&](const IniLine& line, std::string_view lineBreak) {
            seen += std::to_string(line.begin) + "," + std::to_string(line.end) + "," +
                    std::to_string(line.next) + "," + std::to_string(int(line.kind)) +
                    (line.blank ? "b" : "") + "[" + std::string(line.name) + "|" +
                    std::string(line.value) + "|" + std::string(lineBreak) + "]";
            return true;
        });
        return seen;
    };
    for (int round = 0; round < 1500; ++round) {
        std::string text = random.Text();
        if (round % 10 == 0) {
            // A line many pieces long.
            text.insert(text.size() / 2, "\r\n[Long]\r\nk=" + std::string(5000, 'v') + "\r");
        }
        const std::vector<IniEdit> edits = random.Edits();
        test::WriteBytes(path, text);
        const IniTextSource memory(text);
        const IniEditedText expected(memory, edits);
        std::string want;
        expected.Write([&](std::string_view piece) { want.append(piece); });
        const size_t piece = 1 + static_cast<size_t>(round % 7);
        const IniFileSource file(::open(path.c_str(), O_RDONLY | O_CLOEXEC), path, piece);
        ASSERT_EQ(lines(file), lines(memory)) << "piece " << piece << ", text: " << Shown(text);
        const IniEditedText edited(file, edits);
        std::string got;
        edited.Write([&](std::string_view p) { got.append(p); });
        ASSERT_EQ(got, want) << "piece " << piece << ", text: " << Shown(text)
                             << "\nedits: " << Shown(edits);
        ASSERT_EQ(edited.Changes(), want != text)
            << "piece " << piece << ", text: " << Shown(text) << "\nedits: " << Shown(edits);
    }
}

// Another program that writes the file while it is being written from (it takes no lock) stops
// the write rather than have the new file mix both.
TEST(IniEdits, AFileChangedWhileWrittenFromIsRefused) {
    test::TempDir dir;
    const std::string path = dir.file("a.ini");
    test::WriteBytes(path, "[S]\r\na=1\r\nb=2\r\n");
    IniFileSource file(::open(path.c_str(), O_RDONLY | O_CLOEXEC), path, 4);
    EXPECT_NO_THROW(file.CheckUnchanged());
    ::truncate(path.c_str(), 3);
    EXPECT_THROW(file.Copy(0, 12, [](std::string_view) {}), Error);
    EXPECT_THROW(file.CheckUnchanged(), Error);
}

TEST(IniEdits, ALastLineWithoutBreakAndAnErasedFirstSection) {
    // The last line gets its break once, whether a key or a section follows it.
    std::vector<IniEdit> edits = {IniEdit::Set("T", "x", "1"), IniEdit::Set("S", "b", "2")};
    EXPECT_EQ(ApplyIniEdits("[S]\r\na=1", edits), "[S]\r\na=1\r\nb=2\r\n[T]\r\nx=1\r\n");
    // Erasing the last section takes the break added to it along.
    edits = {IniEdit::Set("T", "x", "1"), IniEdit::Erase("S")};
    EXPECT_EQ(ApplyIniEdits("[S]\r\na=1", edits), "[T]\r\nx=1\r\n");
    // New lines take the line break of the text as it stands when they are added.
    edits = {IniEdit::Erase("A"), IniEdit::Set("B", "z", "3")};
    EXPECT_EQ(ApplyIniEdits("[A]\nx=1\n[B]\r\ny=2\r\n", edits), "[B]\r\ny=2\r\nz=3\r\n");
}

TEST(IniEdits, OnlyNamesThatReadBackAsWrittenAreWritable) {
    EXPECT_TRUE(IsWritableIniEdit(IniEdit::Set("Save", "BackUpPass", " /a b ")));
    EXPECT_TRUE(IsWritableIniEdit(IniEdit::Erase("Recent")));
    EXPECT_FALSE(IsWritableIniEdit(IniEdit::Set("Save", "k", "1\r\n[Evil]")));
    EXPECT_FALSE(IsWritableIniEdit(IniEdit::Set("Save", "a=b", "1")));
    EXPECT_FALSE(IsWritableIniEdit(IniEdit::Set("Save", ";k", "1")));
    EXPECT_FALSE(IsWritableIniEdit(IniEdit::Set("Save", "[k", "1")));
    EXPECT_FALSE(IsWritableIniEdit(IniEdit::Set("Save", " k", "1")));
    EXPECT_FALSE(IsWritableIniEdit(IniEdit::Set("S]x", "k", "1")));
    EXPECT_FALSE(IsWritableIniEdit(IniEdit::Erase("")));
    // "\x83" would take the "]" of its header as its second byte.
    EXPECT_FALSE(IsWritableIniEdit(IniEdit::Erase("\x83")));
}

TEST(IniText, FindsWhatGoingThroughTheLinesFinds) {
    RandomIni random(7);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = random.Text();
        const std::vector<IniKey> keys = random.Keys();
        std::vector<std::optional<std::string>> values = FindIniValues(text, keys);
        ASSERT_EQ(values.size(), keys.size());
        for (size_t i = 0; i < keys.size(); ++i) {
            ASSERT_EQ(values[i], plain::Find(text, keys[i].section, keys[i].key))
                << "text: " << Shown(text) << "\nkey: " << keys[i].section << "." << keys[i].key;
        }
    }
}

}  // namespace
}  // namespace brenvale
