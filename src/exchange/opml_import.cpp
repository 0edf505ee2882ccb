#include <QByteArray>
#include <QXmlStreamReader>

#include <optional>
#include <vector>

#include "common/cp932.h"
#include "common/error.h"
#include "exchange/opml.h"
#include "exchange/opml_names.h"

namespace brenvale {

namespace {

constexpr size_t kNone = OutlineImport::kNoTopic;

void AppendUtf16AsUtf8(std::string& out, QStringView text) {
    const char16_t* p = text.utf16();
    const char16_t* end = p + text.size();
    while (p < end) {
        char32_t c = *p++;
        if (c >= 0xD800 && c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
        }
        AppendUtf8(out, c);
    }
}

std::string Utf8Of(QStringView text) {
    std::string out;
    AppendUtf16AsUtf8(out, text);
    return out;
}

SourcePlace PlaceOf(const QXmlStreamReader& xml) {
    // Qt counts columns from 0.
    return {static_cast<uint32_t>(xml.lineNumber()), static_cast<uint32_t>(xml.columnNumber() + 1)};
}

// Finds a character a refused import names on the line where its outline was read (an
// outline's attributes stand on one line in the files outliners write).
SourcePlace FindOnLine(std::string_view bytes, SourcePlace text, std::string_view character,
                       size_t occurrence) {
    size_t start = 0;
    for (uint32_t line = 1; line < text.line && start != std::string_view::npos; ++line) {
        start = bytes.find('\n', start);
        start = start == std::string_view::npos ? start : start + 1;
    }
    if (start == std::string_view::npos) {
        return text;
    }
    size_t end = bytes.find('\n', start);
    std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
    size_t at = line.find(character);
    for (size_t n = 0; n < occurrence && at != std::string_view::npos; ++n) {
        at = line.find(character, at + 1);
    }
    if (at == std::string_view::npos) {
        return text;
    }
    SourcePlace where{text.line, 1};
    for (size_t i = 0; i < at; ++i) {
        where.column += (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
    }
    return where;
}

class OpmlReader {
public:
    OpmlReader(std::string_view bytes, OutlineImport& out, std::string_view sourceName)
        : xml_(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))),
          out_(out),
          sourceName_(sourceName),
          ns_(QString::fromLatin1(kOpmlNamespace.data(),
                                  static_cast<qsizetype>(kOpmlNamespace.size()))) {}

    void read();

private:
    enum class Kind { Unknown, Topic, Item, Separator, NoBox };
    enum class State { Open, Topic, Item };

    // An outline element being read: an outline without the program's kind is a Topic once
    // a child outline starts inside it, an Item when it ends without one.
    struct Frame {
        State state = State::Open;
        Kind kind = Kind::Unknown;
        size_t topic = kNone;  // its index, once it is a Topic
        size_t owner = kNone;  // the Topic its Items go to
        size_t level = 0;      // as a Topic
        std::string text;
        std::string note;
        bool checked = false;
        int icon = 0;
        std::optional<std::string> mark;
        std::optional<std::string> exact;
        SourcePlace where;
    };

    [[noreturn]] void fail(const std::string& why) const;
    void startOutline();
    void endOutline();
    void makeTopic(Frame& f);
    void makeItem(Frame& f);
    void addNote(const Frame& f, size_t owner);
    void applyExact(const Frame& f);

    QXmlStreamReader xml_;
    OutlineImport& out_;
    std::string_view sourceName_;
    QString ns_;
    std::vector<Frame> frames_;  // reused: frames_[0, depth_) are open
    size_t depth_ = 0;
    std::string scratch_;
};

void OpmlReader::fail(const std::string& why) const {
    throw Error("「" + std::string(sourceName_) + "」を OPML として読めません: " + why + " (" +
                std::to_string(xml_.lineNumber()) + " 行 " +
                std::to_string(xml_.columnNumber() + 1) + " 桁)");
}

void OpmlReader::applyExact(const Frame& f) {
    // The exact bytes count only while the text still reads as they do: a text changed
    // since (in another outliner) takes its new characters.
    if (!f.exact) {
        return;
    }
    std::u16string utf16 = Cp932ToUtf16(*f.exact);
    scratch_.clear();
    for (char16_t c : utf16) {
        AppendUtf8(scratch_, XmlCarries(c) ? c : U'\uFFFD');
    }
    if (scratch_ == out_.currentText()) {
        out_.exactText(*f.exact);
    }
}

void OpmlReader::addNote(const Frame& f, size_t owner) {
    if (!f.note.empty()) {
        out_.item(owner, false, f.where);
        out_.text("-");
        out_.text(f.note);
    }
}

void OpmlReader::makeTopic(Frame& f) {
    f.state = State::Topic;
    f.topic = out_.topic(f.level, f.icon, f.where);
    out_.text(f.text);
    applyExact(f);
    addNote(f, f.topic);
}

void OpmlReader::makeItem(Frame& f) {
    f.state = State::Item;
    out_.item(f.owner, f.checked, f.where);
    if (f.kind == Kind::Separator) {
        out_.text("-");
    } else {
        if (f.kind == Kind::NoBox) {
            out_.text("-");
        }
        out_.text(f.text);
    }
    if (f.mark) {
        out_.exactMark(*f.mark);
    }
    applyExact(f);
    addNote(f, f.owner);
}

void OpmlReader::startOutline() {
    if (depth_ > 0 && frames_[depth_ - 1].state == State::Open) {
        makeTopic(frames_[depth_ - 1]);
    }
    if (frames_.size() == depth_) {
        frames_.emplace_back();
    }
    Frame& f = frames_[depth_];
    f.state = State::Open;
    f.kind = Kind::Unknown;
    f.topic = kNone;
    f.text.clear();
    f.note.clear();
    f.checked = false;
    f.icon = 0;
    f.mark.reset();
    f.exact.reset();
    f.where = PlaceOf(xml_);
    if (depth_ == 0) {
        f.owner = kNone;
        f.level = 0;
    } else {
        // Below an Item (possible only in a file edited by hand) outlines go where its own
        // siblings go.
        const Frame& parent = frames_[depth_ - 1];
        bool topic = parent.state == State::Topic;
        f.owner = topic ? parent.topic : parent.owner;
        f.level = topic ? parent.level + 1 : parent.level;
    }
    bool hasText = false;
    QStringView title;
    for (const QXmlStreamAttribute& a : xml_.attributes()) {
        QStringView name = a.name();
        QStringView value = a.value();
        if (a.namespaceUri().isEmpty()) {
            if (name == u"text") {
                AppendUtf16AsUtf8(f.text, value);
                hasText = true;
            } else if (name == u"title") {
                title = value;
            } else if (name == u"_status") {
                f.checked = value == u"checked";
            } else if (name == u"_note") {
                AppendUtf16AsUtf8(f.note, value);
            }
        } else if (a.namespaceUri() == ns_) {
            std::string field = Utf8Of(name);
            std::string content = Utf8Of(value);
            if (field == kOpmlKind) {
                f.kind = content == "topic"       ? Kind::Topic
                         : content == "item"      ? Kind::Item
                         : content == "separator" ? Kind::Separator
                         : content == "nobox"     ? Kind::NoBox
                                                  : Kind::Unknown;
            } else if (field == kOpmlIcon) {
                bool ok = false;
                int icon = value.toInt(&ok);
                f.icon = ok && icon >= 0 && icon <= 99 ? icon : 0;
            } else if (field == kOpmlMark) {
                f.mark = BytesOfHex(content);
                if (f.mark && f.mark->size() > 2) {
                    f.mark.reset();
                }
            } else if (field == kOpmlCp932) {
                f.exact = BytesOfHex(content);
            }
        }
    }
    if (!hasText) {
        AppendUtf16AsUtf8(f.text, title);
    }
    ++depth_;
    if (f.kind == Kind::Topic) {
        makeTopic(f);
    } else if (f.kind != Kind::Unknown) {
        makeItem(f);
    }
}

void OpmlReader::endOutline() {
    Frame& f = frames_[--depth_];
    if (f.state == State::Open) {
        makeItem(f);
    }
}

void OpmlReader::read() {
    bool root = false;
    int level = 0;  // elements open
    int body = 0;   // the level of <body>, 0 outside it
    while (!xml_.atEnd()) {
        QXmlStreamReader::TokenType token = xml_.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++level;
            QStringView name = xml_.name();
            if (!root) {
                if (name != u"opml") {
                    fail("最初の要素が <opml> ではありません");
                }
                root = true;
            } else if (level == 2 && name == u"body") {
                body = level;
            } else if (level == 3 && name == u"title" && body == 0) {
                std::optional<std::string> title =
                    Utf8ToCp932(Utf8Of(xml_.readElementText(QXmlStreamReader::SkipChildElements)));
                --level;
                if (title && !title->empty()) {
                    out_.setFallbackCaption(*title);
                }
            } else if (body > 0 && name == u"outline") {
                startOutline();
            } else if (body > 0) {
                // Elements of other formats inside the body carry nothing for a check list.
                xml_.skipCurrentElement();
                --level;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (body > 0 && level > body && xml_.name() == u"outline") {
                endOutline();
            }
            if (level == body) {
                body = 0;
            }
            --level;
        }
    }
    if (xml_.hasError()) {
        fail(xml_.errorString().toStdString());
    }
    if (!root) {
        fail("<opml> 要素がありません");
    }
}

}  // namespace

void ReadOpml(std::string_view bytes, OutlineImport& outline, std::string_view sourceName) {
    outline.reserve(bytes.size());
    outline.setLocator([bytes](SourcePlace text, std::string_view character, size_t occurrence) {
        return FindOnLine(bytes, text, character, occurrence);
    });
    OpmlReader(bytes, outline, sourceName).read();
}

}  // namespace brenvale
