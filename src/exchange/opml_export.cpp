#include <QIODevice>
#include <QString>
#include <QXmlStreamWriter>

#include <algorithm>
#include <exception>
#include <functional>

#include "common/check_mark.h"
#include "common/cp932.h"
#include "common/file_io.h"
#include "document/item.h"
#include "exchange/opml.h"
#include "exchange/opml_names.h"

namespace brenvale {

namespace {

// Takes what the XML writer writes, a few bytes at a time, and hands it on in large blocks
// (a QBuffer would grow its array at every write). An error of the receiver ends the writing
// and is thrown again by finish(), outside Qt's code.
class BlockDevice : public QIODevice {
public:
    explicit BlockDevice(std::function<void(std::string_view)> receiver)
        : receiver_(std::move(receiver)) {
        open(QIODevice::WriteOnly);
    }

    void finish() {
        if (!error_) {
            pass();
        }
        if (error_) {
            std::rethrow_exception(error_);
        }
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (error_) {
            return -1;
        }
        block_.append(data, static_cast<size_t>(size));
        if (block_.size() >= kBlockSize) {
            pass();
        }
        return error_ ? -1 : size;
    }

private:
    static constexpr size_t kBlockSize = 1 << 20;

    void pass() {
        try {
            receiver_(block_);
        } catch (...) {
            error_ = std::current_exception();
        }
        block_.clear();
    }

    std::function<void(std::string_view)> receiver_;
    std::string block_;
    std::exception_ptr error_;
};

class OpmlWriter {
public:
    OpmlWriter(QIODevice& out, const ListKindOptions& options)
        : xml_(&out), options_(options), ns_(Latin1(kOpmlNamespace)) {
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(2);
    }

    void write(const Document& doc, std::string_view title) {
        xml_.writeStartDocument();
        xml_.writeStartElement(QStringLiteral("opml"));
        xml_.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
        xml_.writeNamespace(ns_, QStringLiteral("brenvale"));
        xml_.writeStartElement(QStringLiteral("head"));
        xml_.writeTextElement(
            QStringLiteral("title"),
            QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
        xml_.writeEndElement();
        xml_.writeStartElement(QStringLiteral("body"));
        int open = 0;  // Topic elements open, the deepest one last
        ForEachTopic(doc, [&](const Topic& t, int level) {
            for (; open > level; --open) {
                xml_.writeEndElement();
            }
            topic(t);
            ++open;
        });
        for (; open > 0; --open) {
            xml_.writeEndElement();
        }
        xml_.writeEndElement();  // body
        xml_.writeEndElement();  // opml
        xml_.writeEndDocument();
    }

private:
    static QString Latin1(std::string_view text) {
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }

    // Puts the text of cp932 into text_, with each character XML cannot carry replaced by
    // U+FFFD; true when the text needs its exact bytes to come back.
    bool display(std::string_view cp932) {
        utf16_ = Cp932ToUtf16(cp932);
        bool exact = !Cp932RoundTrips(cp932);
        for (char16_t& c : utf16_) {
            if (!XmlCarries(c)) {
                c = u'\uFFFD';
                exact = true;
            }
        }
        // Copied into the string's own buffer, which keeps its room from text to text.
        text_.resize(static_cast<qsizetype>(utf16_.size()));
        std::copy(utf16_.begin(), utf16_.end(), reinterpret_cast<char16_t*>(text_.data()));
        return exact;
    }

    void attribute(std::string_view name, const QString& value) {
        xml_.writeAttribute(ns_, Latin1(name), value);
    }

    void exactBytes(std::string_view cp932) { attribute(kOpmlCp932, Latin1(HexOf(cp932))); }

    void topic(const Topic& t) {
        bool exact = display(t.caption);
        xml_.writeStartElement(QStringLiteral("outline"));
        xml_.writeAttribute(QStringLiteral("text"), text_);
        attribute(kOpmlKind, QStringLiteral("topic"));
        if (t.icon != 0) {
            attribute(kOpmlIcon, QString::number(t.icon));
        }
        if (exact) {
            exactBytes(t.caption);
        }
        for (size_t i = 0; i < t.items.size(); ++i) {
            item(t.items[i]);
        }
    }

    void item(ItemView item) {
        std::string_view stored = item.stored();
        std::string_view mark = StoredMark(stored);
        std::string_view text = StoredText(stored);
        ItemKind kind = KindOf(text, options_);
        bool exact = !Cp932RoundTrips(text);
        if (kind == ItemKind::Separator) {
            text_ = QStringLiteral("----------");
        } else {
            exact = display(kind == ItemKind::NoBox ? text.substr(1) : text) || exact;
        }
        xml_.writeEmptyElement(QStringLiteral("outline"));
        xml_.writeAttribute(QStringLiteral("text"), text_);
        xml_.writeAttribute(QStringLiteral("_status"), mark == kCheckedMark
                                                           ? QStringLiteral("checked")
                                                           : QStringLiteral("unchecked"));
        attribute(kOpmlKind, kind == ItemKind::Separator ? QStringLiteral("separator")
                             : kind == ItemKind::NoBox   ? QStringLiteral("nobox")
                                                         : QStringLiteral("item"));
        if (mark != kCheckedMark && mark != kUncheckedMark) {
            attribute(kOpmlMark, Latin1(HexOf(mark)));
        }
        if (exact) {
            exactBytes(text);
        }
    }

    QXmlStreamWriter xml_;
    const ListKindOptions& options_;
    QString ns_;
    std::u16string utf16_;
    QString text_;
};

void Export(const Document& doc, const ListKindOptions& options, std::string_view title,
            std::function<void(std::string_view)> receiver) {
    BlockDevice device(std::move(receiver));
    {
        OpmlWriter writer(device, options);
        writer.write(doc, title);
    }
    device.finish();
}

}  // namespace

std::string ExportOpml(const Document& doc, const ListKindOptions& options,
                       std::string_view title) {
    std::string out;
    Export(doc, options, title, [&out](std::string_view block) { out += block; });
    return out;
}

void WriteOpmlExport(const Document& doc, const std::string& path, const ListKindOptions& options,
                     std::string_view title) {
    AtomicFileWriter writer(path);
    Export(doc, options, title, [&writer](std::string_view block) { writer.Write(block); });
    writer.Commit();
}

}  // namespace brenvale
