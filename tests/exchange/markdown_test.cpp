#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>

#include "document/example_document.h"
#include "exchange/markdown_export.h"
#include "exchange/markdown_import.h"
#include "support/random_document.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace brenvale {
namespace {

using test::Sjis;

using V = std::vector<std::string>;

// Reads Markdown into a new Document as an import does.
std::unique_ptr<Document> Import(std::string_view markdown, int imageCount = kEveryIconIndex) {
    auto doc = std::make_unique<Document>();
    OutlineImport outline(Sjis("読み込み"));
    ReadMarkdown(markdown, outline);
    outline.build(*doc, imageCount, "a.md");
    return doc;
}

// The same read a few bytes at a time, as pieces of a file come.
std::unique_ptr<Document> ImportInPieces(std::string_view markdown, size_t piece) {
    auto doc = std::make_unique<Document>();
    OutlineImport outline(Sjis("読み込み"));
    ImportSource source(markdown, "a.md", piece);
    ReadMarkdown(source, outline);
    outline.build(*doc, kEveryIconIndex, "a.md");
    return doc;
}

// Topics as "level caption [icon]" and Items as "  stored", in UTF-8.
std::vector<std::string> Outline(const Document& doc) {
    std::vector<std::string> out;
    ForEachTopic(doc, [&](const Topic& t, int level) {
        out.push_back(std::to_string(level) + " " + Cp932ToUtf8(t.caption) +
                      (t.icon ? " @" + std::to_string(t.icon) : ""));
        for (size_t i = 0; i < t.items.size(); ++i) {
            out.push_back("  " + Cp932ToUtf8(t.items[i].stored()));
        }
    });
    return out;
}

TEST(Markdown, WritesHeadingsTasksNoBoxItemsSeparatorsAndIcons) {
    Document doc;
    test::BuildExample(doc);
    EXPECT_EQ(ExportMarkdown(doc, {}),
              "# 仕事\n"
              "- [x] 報告書\n"
              "- [ ] 会議の準備\n"
              "---\n"
              "- メモ\n"
              "\n"
              "## 来週\n"
              "<!-- icon:3 -->\n"
              "- [ ] 出張\n"
              "\n"
              "# ごみ箱\n"
              "<!-- icon:4 -->\n");
    EXPECT_EQ(test::Bytes(*Import(ExportMarkdown(doc, {}))), test::Bytes(doc));
    EXPECT_EQ(ExportMarkdown(Document(), {}), "");
}

TEST(Markdown, TopicsBelowTheSixthLevelAreBoldListItems) {
    Document doc;
    Topic* t = nullptr;
    for (int level = 0; level < 8; ++level) {
        t = &AddChildTopic(doc, t, std::to_string(level), 0, kBuiltInTopicImages);
    }
    t->items.push_back(Item::Unchecked("x"));
    t->items.push_back(Item::Unchecked("-"));
    t->setCaption("");
    t->icon = 2;
    std::string md = ExportMarkdown(doc, {});
    EXPECT_NE(md.find("###### 5\n- **6**\n  - <!-- topic icon:2 -->\n    - [ ] x\n    - ---\n"),
              std::string::npos)
        << md;
    EXPECT_EQ(test::Bytes(*Import(md)), test::Bytes(doc));
}

TEST(Markdown, EscapesWhatWouldReadAsMarkdown) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, Sjis("# C# *強調* "), 0, kBuiltInTopicImages);
    t.items.push_back(Item::Unchecked(Sjis("[x] <b>&amp; \\end\n次の行")));
    t.items.push_back(Item::Unchecked("-1. not a list"));
    t.items.push_back(Item::Unchecked("--- "));
    std::string md = ExportMarkdown(doc, {});
    EXPECT_EQ(md,
              "# \\# C\\# \\*強調\\*&#32;\n"
              "- [ ] \\[x\\] \\<b>\\&amp; \\\\end<br>次の行\n"
              "- 1\\. not a list\n"
              "- \\--&#32;\n");
    EXPECT_EQ(test::Bytes(*Import(md)), test::Bytes(doc));
}

TEST(Markdown, KeepsMarksAndBytesMarkdownCannotShowInNotes) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "\xED\x40", 0, kBuiltInTopicImages);  // NEC-selected IBM code
    t.items.push_back(Item::FromStored("\x81\xA6memo"));                    // foreign mark "※"
    t.items.push_back(Item::FromStored("a"));                               // shorter than a mark
    t.items.push_back(Item::Unchecked("\x80x"));                            // an undefined byte
    std::string md = ExportMarkdown(doc, {});
    EXPECT_EQ(md,
              "# 纊\n<!-- cp932:ED40 -->\n"
              "- [ ] memo <!-- mark:81A6 -->\n"
              "- [ ] <!-- mark:61 -->\n"
              "- [ ] \xEF\xBF\xBDx <!-- cp932:8078 -->\n");
    EXPECT_EQ(test::Bytes(*Import(md)), test::Bytes(doc));
    // A text changed by hand takes its new characters; its note no longer applies.
    std::string edited = std::regex_replace(md, std::regex("# 纊"), "# 纊纊");
    EXPECT_EQ(Import(edited)->first()->caption.view(), "\xFA\x5C\xFA\x5C");
}

TEST(Markdown, RandomDocumentsComeBackByteForByte) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        // Every other one also with characters beyond CP932, kept as references.
        test::RandomDocument random(seed, seed % 2 == 0);
        Document doc;
        random.build(doc, 60, 10);
        for (ListKindOptions options : {ListKindOptions{}, ListKindOptions{false, false, "*"}}) {
            std::string md = ExportMarkdown(doc, options);
            ASSERT_EQ(test::Bytes(*Import(md)), test::Bytes(doc)) << "seed " << seed << "\n" << md;
        }
    }
}

TEST(Markdown, EveryCp932CharacterComesBack) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "all", 0, kBuiltInTopicImages);
    std::vector<std::string> all = test::EveryCp932Character();
    std::string text;
    for (size_t i = 0; i < all.size(); ++i) {
        text += all[i];
        if (text.size() > 200 || i + 1 == all.size()) {
            t.items.push_back(Item::Unchecked(FileSafeText(text)));
            t.setCaption(FileSafeCaption(text));
            text.clear();
        }
    }
    EXPECT_EQ(test::Bytes(*Import(ExportMarkdown(doc, {}))), test::Bytes(doc));
}

TEST(Markdown, ReadsHandWrittenTaskLists) {
    // A GitHub-style list without headings goes to a Topic of its own.
    EXPECT_EQ(Outline(*Import("\xEF\xBB\xBF- [ ] 牛乳\r\n* [X] パン\r\n+ [x] 卵\r\n")),
              (std::vector<std::string>{"0 読み込み", "  □牛乳", "  ■パン", "  ■卵"}));
    // Nested bullets become Topics; their leaves Items; a heading level may be skipped.
    EXPECT_EQ(Outline(*Import("# 家\n"
                              "- 買い物\n"
                              "  - [ ] 牛乳\n"
                              "  - 覚え書き\n"
                              "    続きの行\n"
                              "- [ ] 掃除\n"
                              "### 庭\n"
                              "1. 水やり\n"
                              "2. [x] 草取り\n"
                              "## 車\n"
                              "***\n")),
              (std::vector<std::string>{"0 家", "  □掃除", "1 買い物", "  □牛乳",
                                        "  □-覚え書き\n続きの行", "1 庭", "  □-1. 水やり",
                                        "  ■草取り", "1 車", "  □-"}));
}

TEST(Markdown, KeepsParagraphsCodeAndUnderlinedHeadings) {
    EXPECT_EQ(Outline(*Import("表題\n"
                              "===\n"
                              "ふつうの段落は\n"
                              "一つの項目に\n"
                              "\n"
                              "```sh\n"
                              "  make *all*\n"
                              "```\n"
                              "> 引用 \\*そのまま\\*\n"
                              "\n"
                              "小見出し\n"
                              "---\n"
                              "<!-- 何かの覚え書き -->\n")),
              (std::vector<std::string>{"0 表題", "  □-ふつうの段落は\n一つの項目に",
                                        "  □-  make *all*", "  □-> 引用 *そのまま*", "1 小見出し",
                                        "  □-<!-- 何かの覚え書き -->"}));
}

// Characters beyond CP932 are kept as references, written back as themselves; bytes that
// are not UTF-8 stop the import, named with their places.
TEST(Markdown, KeepsCharactersBeyondCp932AndRefusesBytesThatAreNotUtf8) {
    std::unique_ptr<Document> doc =
        Import("# ok – 済\n- [ ] 猫😀 é\n- [x] 👍🏽 e\xCC\x81\n");
    EXPECT_EQ(test::Bytes(*doc).substr(test::Bytes(*doc).find("ok")),
              "ok &#x2013; " + Sjis("済") + "@00@\r\n" + Sjis("\b□猫") + "&#x1F600; &#xE9;\r\n" +
                  Sjis("\b■") + "&#x1F44D;&#x1F3FD; e&#x301;\r\n");
    std::string md = ExportMarkdown(*doc, {});
    EXPECT_NE(md.find("- [ ] 猫😀 é\n"), std::string::npos) << md;
    EXPECT_NE(md.find("- [x] 👍🏽 e\xCC\x81\n"), std::string::npos) << md;
    EXPECT_EQ(md.find("&#x"), std::string::npos) << md;

    Document refused;
    OutlineImport outline(Sjis("x"));
    ReadMarkdown("# ok\n- [ ] 猫😀\n- [ ] a\xFF\n- [ ] 😀\xC3\n", outline);
    try {
        outline.build(refused, kEveryIconIndex, "list.md");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "「list.md」を読み込めません。何も変更していません。\n"
                  "UTF-8 として読めないバイト: 0xFF (3 行 8 桁)、0xC3 (4 行 8 桁)");
    }
    EXPECT_TRUE(refused.empty());
}

// HTML entities read as a CommonMark parser reads them: every named one, numbers in either
// base, and what is none of them kept as written.
TEST(Markdown, ReadsEntitiesAsACommonMarkParserDoes) {
    const V lines = {
        "&nbsp;a&copy;b&mdash;c&hellip;&ndash;&bull;&rarr;&check;&starf;",
        "&eacute;&Eacute;&laquo;&raquo;&yen;&euro;&times;&divide;&deg;&frac12;",
        "&amp;&lt;&gt;&quot;&apos;&AMP;&LT;&bsol;&ast;&lowbar;&num;",
        "&ngE;&NotEqualTilde;&CounterClockwiseContourIntegral;&Afr;&fjlig;",
        "&#160;&#xA9;&#X2014;&#0;&#x110000;&#xD800;&#1234567;&#x1F600;",
        "&bogus;&Nbsp;&nbsp &#;&#x;&#xG1;&;&amp",
    };
    std::string md;
    for (const std::string& line : lines) {
        md += "- [ ] " + line + "\n";
    }
    std::unique_ptr<Document> doc = Import(md);
    V read;
    ForEachTopic(*doc, [&](const Topic& t, int) {
        for (size_t i = 0; i < t.items.size(); ++i) {
            read.push_back(Cp932ToUtf8(StoredText(t.items[i].stored())));
        }
    });
    ASSERT_EQ(read.size(), lines.size());
    // As a document keeps them: a look-alike such as "—" or "¥" takes the code page's own
    // character, as it always did.
    auto kept = [](const std::string& utf8) { return Cp932ToUtf8(*Utf8ToCp932(utf8)); };
    EXPECT_EQ(read[0], kept("\u00A0a©b—c…–•→✓★"));
    EXPECT_EQ(read[2], "&<>\"'&<\\*_#");
    EXPECT_EQ(read[4], kept("\u00A0©—\uFFFD\uFFFD\uFFFD\uFFFD😀"));
    // Eight decimal digits are too many for a reference.
    EXPECT_EQ(Outline(*Import("- [ ] &#12345678;\n")),
              (V{"0 " + Cp932ToUtf8(Sjis("読み込み")), "  □&#12345678;"}));
    EXPECT_EQ(read[5], lines[5]);
    // And the characters are what a real CommonMark parser makes of the same text.
    if (std::system("command -v cmark-gfm >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "cmark-gfm is not installed (scripts/test.sh installs it)";
    }
    test::TempDir dir;
    std::string paragraphs;
    for (const std::string& line : lines) {
        paragraphs += line + "\n\n";
    }
    test::WriteBytes(dir.file("e.md"), paragraphs);
    std::string text = test::RunCommand("cmark-gfm -t plaintext " + dir.file("e.md"));
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    V shown;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\n\n", at);
        shown.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    ASSERT_EQ(shown.size(), lines.size()) << text;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(read[i], kept(shown[i])) << lines[i];
    }
}

// The export read by a real CommonMark parser with the task list extension: every task
// shows as a check box, checked as in the document.
TEST(Markdown, ACommonMarkParserSeesTheSameTasks) {
    if (std::system("command -v cmark-gfm >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "cmark-gfm is not installed (scripts/test.sh installs it)";
    }
    test::RandomDocument random(7);
    Document doc;
    random.build(doc, 300, 9);
    size_t checked = 0;
    size_t unchecked = 0;
    ForEachTopic(doc, [&](const Topic& t, int) {
        for (size_t i = 0; i < t.items.size(); ++i) {
            ItemView item = t.items[i];
            if (item.kind(ListKindOptions{}) != ItemKind::Ordinary) {
                continue;  // separators and no-box Items are no tasks, checked or not
            }
            ++(item.checked() ? checked : unchecked);
        }
    });
    test::TempDir dir;
    test::WriteBytes(dir.file("a.md"), ExportMarkdown(doc, {}));
    std::string command = "cmark-gfm -e tasklist " + dir.file("a.md") + " > " + dir.file("a.html");
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string html = test::ReadBytes(dir.file("a.html"));
    auto count = [&](const std::string& pattern) {
        std::regex re(pattern);
        return static_cast<size_t>(
            std::distance(std::sregex_iterator(html.begin(), html.end(), re), {}));
    };
    EXPECT_EQ(count("<input type=\"checkbox\" checked=\"\" disabled=\"\" />"), checked);
    EXPECT_EQ(count("<input type=\"checkbox\" disabled=\"\" />"), unchecked);
    EXPECT_GT(checked, 50u);
}

// A task with sub-tasks keeps its box: the Topic made of it starts with the task itself, which
// the export turns back into the task with its sub-tasks below.
TEST(Markdown, ATaskWithSubTasksKeepsItsBoxThroughTheRoundTrip) {
    const std::string md =
        "- [x] 予約する\n"
        "  - [ ] 電話\n"
        "  - [x] 日程\n"
        "# 家\n"
        "- [ ] 掃除\n"
        "  - [X] 台所\n"
        "  - 買い物\n"
        "    - [ ] 牛乳\n";
    std::unique_ptr<Document> doc = Import(md);
    EXPECT_EQ(Outline(*doc), (V{"0 予約する", "  ■予約する", "  □電話", "  ■日程", "0 家", "1 掃除",
                                "  □掃除", "  ■台所", "2 買い物", "  □牛乳"}));
    std::string exported = ExportMarkdown(*doc, {});
    EXPECT_EQ(exported,
              "- [x] 予約する\n"
              "  - [ ] 電話\n"
              "  - [x] 日程\n"
              "\n"
              "# 家\n"
              "- [ ] 掃除\n"
              "  - [x] 台所\n"
              "  - **買い物**\n"
              "    - [ ] 牛乳\n");
    EXPECT_EQ(test::Bytes(*Import(exported)), test::Bytes(*doc));
}

// Where a list item would land under another Topic (after a sibling written as a heading), the
// Topic stays a heading and its first Item a task of its own: the document comes back alike.
TEST(Markdown, ATaskTopicThatCannotNestAsAListIsAHeading) {
    Document doc;
    Topic& p = AddTopic(doc, nullptr, "p", 0, kBuiltInTopicImages);
    AddChildTopic(doc, &p, "s", 0, kBuiltInTopicImages).items.push_back(Item::Unchecked("x"));
    Topic& t = AddChildTopic(doc, &p, "t", 0, kBuiltInTopicImages);
    t.items.push_back(Item::FromStored(std::string(kCheckedMark) + "t"));
    t.items.push_back(Item::Unchecked("sub"));
    std::string md = ExportMarkdown(doc, {});
    EXPECT_EQ(md, "# p\n\n## s\n- [ ] x\n\n## t\n- [x] t\n- [ ] sub\n");
    EXPECT_EQ(test::Bytes(*Import(md)), test::Bytes(doc));
    for (unsigned seed = 1; seed <= 40; ++seed) {
        test::RandomDocument random(seed);
        Document other;
        random.build(other, 60, 10);
        random.addParentTasks(other);
        for (ListKindOptions options : {ListKindOptions{}, ListKindOptions{false, false, "*"}}) {
            std::string text = ExportMarkdown(other, options);
            ASSERT_EQ(test::Bytes(*Import(text)), test::Bytes(other)) << "seed " << seed << "\n"
                                                                      << text;
        }
    }
}

// A no-box Item and a separator keep their own forms whatever their mark; a mark those forms
// do not show goes into a note, after the text or on the line below a separator.
TEST(Markdown, NoBoxItemsAndSeparatorsKeepTheirFormsWhateverTheirMark) {
    Document doc;
    Topic* t = nullptr;
    for (int level = 0; level < 7; ++level) {
        t = &AddChildTopic(doc, t, "t" + std::to_string(level), 0, kBuiltInTopicImages);
        if (level != 0 && level != 6) {
            continue;
        }
        for (std::string_view mark : {kCheckedMark, kUncheckedMark, std::string_view("\x81\xA6")}) {
            t->items.push_back(Item::FromStored(std::string(mark) + Sjis("-済んだメモ")));
            t->items.push_back(Item::FromStored(std::string(mark) + "-"));
        }
    }
    std::string md = ExportMarkdown(doc, {});
    EXPECT_NE(md.find("# t0\n"
                      "- 済んだメモ <!-- mark:81A1 -->\n"
                      "---\n<!-- mark:81A1 -->\n"
                      "- 済んだメモ\n"
                      "---\n"
                      "- 済んだメモ <!-- mark:81A6 -->\n"
                      "---\n<!-- mark:81A6 -->\n"),
              std::string::npos)
        << md;
    EXPECT_NE(md.find("  - 済んだメモ <!-- mark:81A1 -->\n"
                      "  - ---\n  <!-- mark:81A1 -->\n"),
              std::string::npos)
        << md;
    EXPECT_EQ(md.find("[x] -"), std::string::npos) << md;
    EXPECT_EQ(test::Bytes(*Import(md)), test::Bytes(doc));
}

// Every kind of Item, checked and not, at a heading's level and in a deeper list, read by a
// real CommonMark parser: a check box exactly where the window draws one.
TEST(Markdown, ACommonMarkParserSeesBoxesOnlyWhereTheWindowDrawsThem) {
    if (std::system("command -v cmark-gfm >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "cmark-gfm is not installed (scripts/test.sh installs it)";
    }
    Document doc;
    Topic* t = nullptr;
    for (int level = 0; level < 8; ++level) {
        t = &AddChildTopic(doc, t, "t" + std::to_string(level), 0, kBuiltInTopicImages);
        for (std::string_view mark : {kCheckedMark, kUncheckedMark}) {
            for (std::string text : {"task", "-memo", "-"}) {
                t->items.push_back(Item::FromStored(std::string(mark) + text));
            }
        }
    }
    test::TempDir dir;
    test::WriteBytes(dir.file("a.md"), ExportMarkdown(doc, {}));
    std::string html = test::RunCommand("cmark-gfm -e tasklist " + dir.file("a.md"));
    auto count = [&](std::string_view part) {
        size_t n = 0;
        for (size_t at = html.find(part); at != std::string::npos; at = html.find(part, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("<input type=\"checkbox\" checked=\"\" disabled=\"\" /> task"), 8u) << html;
    EXPECT_EQ(count("<input type=\"checkbox\" disabled=\"\" /> task"), 8u) << html;
    EXPECT_EQ(count("<input"), 16u) << html;
    EXPECT_EQ(count("<li>memo"), 16u) << html;
    EXPECT_EQ(count("<hr />"), 16u) << html;
}

// A file read a few bytes at a time, its lines and line ends cut anywhere, gives the same as
// read whole; texts beyond the first block of the outline move to the next whole.
TEST(Markdown, AFileReadInSmallPiecesGivesTheSameDocument) {
    test::RandomDocument random(5);
    Document doc;
    random.build(doc, 2500, 12);
    std::string md = ExportMarkdown(doc, {});
    ASSERT_GT(md.size(), 200000u);
    std::string crlf;
    for (char c : md) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    for (size_t piece : {size_t{1}, size_t{7}, size_t{4096}}) {
        EXPECT_EQ(test::Bytes(*ImportInPieces(md, piece)), test::Bytes(doc)) << piece;
        EXPECT_EQ(test::Bytes(*ImportInPieces("\xEF\xBB\xBF" + crlf, piece)), test::Bytes(doc))
            << piece;
    }
}

}  // namespace
}  // namespace brenvale
