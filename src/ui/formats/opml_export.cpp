#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

#include "common/check_mark.h"
#include "common/cp932.h"
#include "common/file_io.h"
#include "document/item.h"
#include "ui/formats/opml.h"
#include "ui/formats/opml_names.h"

namespace brenvale {

namespace {

class OpmlWriter {
public:
    OpmlWriter(QByteArray& out, const ListKindOptions& options)
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
        text_ = QString::fromUtf16(utf16_.data(), static_cast<qsizetype>(utf16_.size()));
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

QByteArray Export(const Document& doc, const ListKindOptions& options, std::string_view title) {
    QByteArray out;
    OpmlWriter writer(out, options);
    writer.write(doc, title);
    return out;
}

}  // namespace

std::string ExportOpml(const Document& doc, const ListKindOptions& options,
                       std::string_view title) {
    QByteArray out = Export(doc, options, title);
    return std::string(out.constData(), static_cast<size_t>(out.size()));
}

void WriteOpmlExport(const Document& doc, const std::string& path, const ListKindOptions& options,
                     std::string_view title) {
    QByteArray out = Export(doc, options, title);
    AtomicFileWriter writer(path);
    writer.Write(std::string_view(out.constData(), static_cast<size_t>(out.size())));
    writer.Commit();
}

}  // namespace brenvale
