#include "exchange/opml.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <regex>

#include "common/error.h"
#include "document/example_document.h"
#include "support/random_document.h"
#include "support/run_command.h"

namespace brenvale {
namespace {

using test::Sjis;

std::unique_ptr<Document> OpmlDocument(std::string_view opml) {
    auto doc = std::make_unique<Document>();
    OutlineImport outline(Sjis("読み込み"));
    ReadOpml(opml, outline, "a.opml");
    outline.build(*doc, kEveryIconIndex, "a.opml");
    return doc;
}

std::vector<std::string> OpmlOutline(const Document& doc) {
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

std::string ErrorOf(std::string_view opml) {
    try {
        OpmlDocument(opml);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

using V = std::vector<std::string>;

TEST(Opml, WritesOutlinesWithStatusAndTheProgramsAttributes) {
    Document doc;
    test::BuildExample(doc);
    EXPECT_EQ(ExportOpml(doc, {}, "仕事.bnv"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<opml version=\"2.0\" xmlns:brenvale=\"urn:x-brenvale:opml:1\">\n"
              "  <head>\n"
              "    <title>仕事.bnv</title>\n"
              "  </head>\n"
              "  <body>\n"
              "    <outline text=\"仕事\" brenvale:kind=\"topic\">\n"
              "      <outline text=\"報告書\" _status=\"checked\" brenvale:kind=\"item\"/>\n"
              "      <outline text=\"会議の準備\" _status=\"unchecked\" brenvale:kind=\"item\"/>\n"
              "      <outline text=\"----------\" brenvale:kind=\"separator\"/>\n"
              "      <outline text=\"メモ\" brenvale:kind=\"nobox\"/>\n"
              "      <outline text=\"来週\" brenvale:kind=\"topic\" brenvale:icon=\"3\">\n"
              "        <outline text=\"出張\" _status=\"unchecked\" brenvale:kind=\"item\"/>\n"
              "      </outline>\n"
              "    </outline>\n"
              "    <outline text=\"ごみ箱\" brenvale:kind=\"topic\" brenvale:icon=\"4\"/>\n"
              "  </body>\n"
              "</opml>\n");
    EXPECT_EQ(test::Bytes(*OpmlDocument(ExportOpml(doc, {}, "x"))), test::Bytes(doc));
}

TEST(Opml, RandomDocumentsComeBackByteForByte) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        // Every other one also with characters beyond CP932, kept as references.
        test::RandomDocument random(seed, seed % 2 == 0);
        Document doc;
        random.build(doc, 60, 10);
        for (ListKindOptions options : {ListKindOptions{}, ListKindOptions{false, false, "*"}}) {
            std::string opml = ExportOpml(doc, options, "<&>");
            ASSERT_EQ(test::Bytes(*OpmlDocument(opml)), test::Bytes(doc)) << "seed " << seed << "\n"
                                                                          << opml;
        }
    }
}

TEST(Opml, EveryCp932CharacterAndControlCharacterComesBack) {
    Document doc;
    Topic& t = AddTopic(doc, nullptr, "\x01\x1F", 0, kBuiltInTopicImages);
    std::string text;
    for (const std::string& c : test::EveryCp932Character()) {
        text += c;
        if (text.size() > 200) {
            t.items.push_back(Item::Unchecked(FileSafeText(text)));
            text.clear();
        }
    }
    t.items.push_back(Item::Unchecked(FileSafeText(text)));
    std::string opml = ExportOpml(doc, {}, "");
    EXPECT_NE(opml.find("text=\"\xEF\xBF\xBD\xEF\xBF\xBD\" brenvale:kind=\"topic\" "
                        "brenvale:cp932=\"011F\""),
              std::string::npos);
    EXPECT_EQ(test::Bytes(*OpmlDocument(opml)), test::Bytes(doc));
}

// The export validates as well-formed XML with a real XML parser.
TEST(Opml, TheExportIsWellFormedXml) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xmllint is not installed (scripts/test.sh installs it)";
    }
    test::RandomDocument random(11);
    Document doc;
    random.build(doc, 300, 12);
    test::TempDir dir;
    WriteOpmlExport(doc, dir.file("a.opml"), {}, "a & b");
    EXPECT_EQ(std::system(("xmllint --noout " + dir.file("a.opml")).c_str()), 0);
}

TEST(Opml, ReadsAnotherOutlinersFile) {
    EXPECT_EQ(OpmlOutline(*OpmlDocument("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n"
                                        "<opml version=\"2.0\">\n"
                                        "  <head><title>週末</title></head>\n"
                                        "  <body>\n"
                                        "    <outline text=\"ばらばらの項目\"/>\n"
                                        "    <outline text=\"買い物\" _note=\"駅前で\">\n"
                                        "      <outline text=\"牛乳\" _status=\"checked\"/>\n"
                                        "      <outline text=\"&lt;パン&gt; &amp; 卵\"/>\n"
                                        "      <outline text=\"店\">\n"
                                        "        <outline text=\"肉屋\" _note=\"月曜休み\"/>\n"
                                        "      </outline>\n"
                                        "      <outline title=\"題だけ\"/>\n"
                                        "    </outline>\n"
                                        "  </body>\n"
                                        "</opml>\n")),
              (std::vector<std::string>{"0 週末", "  □ばらばらの項目", "0 買い物", "  □-駅前で",
                                        "  ■牛乳", "  □<パン> & 卵", "  □題だけ", "1 店", "  □肉屋",
                                        "  □-月曜休み"}));
}

TEST(Opml, RefusesWhatIsNotOpmlNamingWhere) {
    EXPECT_EQ(ErrorOf("<opml><body><outline text=\"a\"></body></opml>"),
              "「a.opml」を OPML として読めません: Opening and ending tag mismatch. (1 行 38 桁)");
    EXPECT_EQ(ErrorOf("<html/>"),
              "「a.opml」を OPML として読めません: 最初の要素が <opml> ではありません (1 行 8 桁)");
    EXPECT_EQ(ErrorOf(""),
              "「a.opml」を OPML として読めません: Premature end of document. (1 行 1 桁)");
}

// Behind an external DTD, which is never read, the parser would drop a reference to an entity
// nothing declares without a word: such a file is refused where that happens instead. What
// the file itself declares still reads.
TEST(Opml, AReferenceTheParserWouldDropIsRefused) {
    const std::string dtd = "<!DOCTYPE opml SYSTEM \"opml.dtd\"";
    EXPECT_EQ(ErrorOf(dtd + ">\n<opml><body>\n<outline text=\"a&nbsp;b\"/></body></opml>"),
              "「a.opml」を OPML として読めません: undefined entity (&nbsp;) (3 行 1 桁)");
    EXPECT_EQ(ErrorOf("<opml><body><outline text=\"a&nbsp;b\"/></body></opml>"),
              "「a.opml」を OPML として読めません: undefined entity (1 行 13 桁)");
    EXPECT_EQ(ErrorOf(dtd + "><opml><head><title>&x;</title></head><body/></opml>"),
              "「a.opml」を OPML として読めません: undefined entity (&x;) (1 行 53 桁)");
    // Declarations after a parameter entity that is not read do not count; nor does an
    // entity whose value refers to one nothing declares.
    EXPECT_NE(ErrorOf("<!DOCTYPE opml [<!ENTITY % p SYSTEM \"p\"> %p; <!ENTITY a \"A\">]>"
                      "<opml><body><outline text=\"&a;\"/></body></opml>")
                  .find("undefined entity (&a;)"),
              std::string::npos);
    EXPECT_NE(ErrorOf(dtd + " [<!ENTITY a \"&b;\">]><opml><body><outline text=\"&a;\"/></body>"
                            "</opml>")
                  .find("undefined entity (&a;)"),
              std::string::npos);
    EXPECT_NE(ErrorOf("<!DOCTYPE opml [<!ENTITY e SYSTEM \"e.xml\">]><opml><head><title>&e;"
                      "</title></head><body/></opml>"),
              "");
    std::unique_ptr<Document> doc =
        OpmlDocument(dtd +
                     " [<!ENTITY nbsp \"&#160;\"><!ENTITY two \"&nbsp;&amp;&#38;amp;\">]>"
                     "<opml><body><outline text=\"&two;\"/></body></opml>");
    EXPECT_EQ(OpmlOutline(*doc), (V{"0 " + Cp932ToUtf8(Sjis("読み込み")), "  □\u00A0&&"}));
}

// Characters beyond CP932, written as themselves or as references of XML or of entities its
// own declarations name, are kept as the document's references and written back as
// themselves; a reference to a character XML cannot carry goes out as U+FFFD with the exact
// bytes beside it.
TEST(Opml, KeepsCharactersBeyondCp932) {
    std::unique_ptr<Document> doc = OpmlDocument(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE opml [<!ENTITY nbsp \"&#160;\"><!ENTITY check \"&#x2713;\">]>\n"
        "<opml><body><outline text=\"猫 – ねこ😀\">\n"
        "<outline text=\"a&nbsp;b &#xA9; caf&#233; &check;\" _status=\"checked\"/>\n"
        "<outline text=\"&amp;#x41; &amp;#x1f600; e\xCC\x81 🇯🇵\"/>\n"
        "</outline></body></opml>");
    std::string bytes = test::Bytes(*doc);
    EXPECT_EQ(bytes.substr(bytes.find(Sjis("猫"))),
              Sjis("猫") + " &#x2013; " + Sjis("ねこ") + "&#x1F600;@00@\r\n" + Sjis("\b■") +
                  "a&#xA0;b &#xA9; caf&#xE9; &#x2713;\r\n" + Sjis("\b□") +
                  "&#x41; &#x1f600; e&#x301; &#x1F1EF;&#x1F1F5;\r\n");
    std::string opml = ExportOpml(*doc, {}, "a");
    EXPECT_NE(opml.find("text=\"猫 – ねこ😀\""), std::string::npos) << opml;
    EXPECT_NE(opml.find("text=\"a\u00A0b © café ✓\""), std::string::npos) << opml;
    EXPECT_EQ(opml.find("&#x"), std::string::npos) << opml;
    EXPECT_EQ(test::Bytes(*OpmlDocument(opml)), bytes);

    Document odd;
    Topic& t = AddTopic(odd, nullptr, "x&#xFFFE;y", 0, kBuiltInTopicImages);
    t.items.push_back(Item::Unchecked("&#xFFFF;&#xFFFD;"));
    opml = ExportOpml(odd, {}, "a");
    EXPECT_EQ(opml.find("\xEF\xBF\xBE"), std::string::npos) << opml;
    EXPECT_EQ(opml.find("\xEF\xBF\xBF"), std::string::npos) << opml;
    EXPECT_EQ(test::Bytes(*OpmlDocument(opml)), test::Bytes(odd)) << opml;
}

// Only Items with a check box carry _status, which other outliners show as a box; the other
// kinds keep their mark in the program's attribute. Checked with a real XPath processor.
TEST(Opml, OnlyItemsWithABoxHaveAStatus) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "xmllint is not installed (scripts/test.sh installs it)";
    }
    test::RandomDocument random(23);
    Document doc;
    random.build(doc, 300, 9);
    Topic& t = AddTopic(doc, nullptr, "kinds", 0, kBuiltInTopicImages);
    for (std::string_view mark : {kCheckedMark, kUncheckedMark}) {
        for (std::string text : {"task", "-memo", "-"}) {
            t.items.push_back(Item::FromStored(std::string(mark) + text));
        }
    }
    size_t boxes = 0;
    size_t checked = 0;
    ForEachTopic(doc, [&](const Topic& topic, int) {
        for (size_t i = 0; i < topic.items.size(); ++i) {
            ItemView item = topic.items[i];
            if (item.kind(ListKindOptions{}) == ItemKind::Ordinary) {
                ++boxes;
                checked += item.mark() == kCheckedMark;
            }
        }
    });
    test::TempDir dir;
    WriteOpmlExport(doc, dir.file("a.opml"), {}, "a");
    auto count = [&](const std::string& path) {
        std::string n =
            test::RunCommand("xmllint --xpath 'count(" + path + ")' " + dir.file("a.opml"));
        return n.substr(0, n.find('\n'));
    };
    const std::string kind = "@*[local-name()=\"kind\"]";
    EXPECT_EQ(count("//outline[@_status and " + kind + "!=\"item\"]"), "0");
    EXPECT_EQ(count("//outline[" + kind + "=\"item\" and not(@_status)]"), "0");
    EXPECT_EQ(count("//outline[@_status]"), std::to_string(boxes));
    EXPECT_EQ(count("//outline[@_status=\"checked\"]"), std::to_string(checked));
    EXPECT_GT(checked, 100u);
    EXPECT_EQ(test::Bytes(*OpmlDocument(test::ReadBytes(dir.file("a.opml")))), test::Bytes(doc));
}

// Outliners that mark a finished item with _complete="true" have it read as checked.
TEST(Opml, ReadsCompleteAsChecked) {
    EXPECT_EQ(OpmlOutline(*OpmlDocument("<opml version=\"2.0\"><body><outline text=\"週末\">"
                                        "<outline text=\"洗濯\" _complete=\"true\"/>"
                                        "<outline text=\"掃除\" _complete=\"false\"/>"
                                        "<outline text=\"買い物\" _status=\"checked\"/>"
                                        "</outline></body></opml>")),
              (V{"0 週末", "  ■洗濯", "  □掃除", "  ■買い物"}));
}

// An outline nested so deep that its document would be too large to open again stops the
// import early, naming the depth, instead of building gigabytes.
TEST(Opml, AnOutlineTooDeepForADocumentStopsEarly) {
    const int levels = 100000;
    std::string opml = "<opml version=\"2.0\"><body>\n";
    for (int i = 0; i < levels; ++i) {
        opml += "<outline text=\"a\">";
    }
    for (int i = 0; i < levels; ++i) {
        opml += "</outline>";
    }
    opml += "</body></opml>\n";
    auto start = std::chrono::steady_clock::now();
    std::string error = ErrorOf(opml);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(
        std::regex_match(error, std::regex("「a\\.opml」を読み込めません。何も変更していません。\n"
                                           "文書にすると大きすぎて開けなくなります（9[0-9]{4} "
                                           "階層の深さで 4 GB を超えます）。")))
        << error;
}

// Read a few bytes at a time, a file gives the same outline, also where the pieces cut a
// character beyond CP932.
TEST(Opml, AFileReadInSmallPiecesGivesTheSameDocument) {
    test::RandomDocument random(8, true);
    Document doc;
    random.build(doc, 1500, 12);
    std::string opml = ExportOpml(doc, {}, "a");
    for (size_t piece : {size_t{1}, size_t{7}, size_t{4096}}) {
        Document again;
        OutlineImport outline(Sjis("読み込み"));
        ImportSource source(opml, "a.opml", piece);
        ReadOpml(source, outline);
        outline.build(again, kEveryIconIndex, "a.opml");
        EXPECT_EQ(test::Bytes(again), test::Bytes(doc)) << piece;
    }
}

}  // namespace
}  // namespace brenvale
