#include "ui/print/check_list_pages.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <memory>

#include "common/check_mark.h"
#include "common/cp932.h"
#include "common/cp932_fold.h"
#include "document/item.h"

namespace brenvale {

namespace {

// The most of a text laid out at once. A longer text is laid out a piece at a time (its lines
// also break where the pieces end), so that one huge text never needs more memory for its
// layout than a page of short ones: Qt's text layout takes tens of bytes a character, and
// does not all survive running out of memory.
constexpr size_t kPieceBytes = 4096;
constexpr qsizetype kPieceChars = 4096;

// Calls fn(piece) for the pieces of a CP932 text, in order: each at most kPieceBytes, ending
// on a character's end (a character reference is one character), after a space or a line
// break in its second half where there is one.
template <typename Fn>
void ForEachPiece(std::string_view text, Fn&& fn) {
    while (text.size() > kPieceBytes) {
        size_t end = 0;
        size_t lastBreak = 0;
        for (size_t i = 0; i < kPieceBytes;) {
            auto b = static_cast<unsigned char>(text[i]);
            size_t length = TextFolding::IsLeadByte(b) && i + 1 < text.size() ? 2 : 1;
            if (b == '&') {
                length = std::max<size_t>(length, ReferenceAt(text, i));
            }
            if (i + length > kPieceBytes) {
                break;
            }
            i += length;
            end = i;
            if (b == ' ' || b == '\n') {
                lastBreak = i;
            }
        }
        size_t cut = lastBreak > kPieceBytes / 2 ? lastBreak : end;
        fn(text.substr(0, cut));
        text.remove_prefix(cut);
    }
    fn(text);
}

QString Text(std::string_view cp932) {
    std::u16string utf16 = Cp932ToUtf16(cp932);
    QString text = QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
    // A line break inside a text starts a new line of the layout.
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

// The window's Japanese face, or the first one of its fallbacks that is installed.
QFont Face(qreal points, bool bold) {
    static const QString face = [] {
        const QStringList faces = {
            QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
            QStringLiteral("IPAGothic"),       QStringLiteral("Noto Sans CJK JP"),
            QStringLiteral("VL PGothic"),      QStringLiteral("TakaoPGothic")};
        for (const QString& f : faces) {
            if (QFontDatabase::hasFamily(f)) {
                return f;
            }
        }
        return QString();
    }();
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Lays the pages out, and paints them when given a painter: the same steps twice, first to
// count the pages that the footers name.
class PageFlow {
public:
    PageFlow(const PrintJob& job, QPagedPaintDevice& device)
        : job_(job),
          device_(device),
          bodyFont_(Face(10, false)),
          headingFont_(Face(11.5, true)),
          footerFont_(Face(8, false)),
          body_(bodyFont_, &device),
          heading_(headingFont_, &device),
          footer_(footerFont_, &device) {
        dpi_ = device.logicalDpiY();
        QRectF paint = device.pageLayout().paintRectPixels(static_cast<int>(dpi_));
        width_ = paint.width();
        height_ = paint.height();
        line_ = body_.lineSpacing();
        footerHeight_ = footer_.lineSpacing() * 2;
        box_ = body_.ascent() * 0.85;
        textX_ = line_ * 1.3;
        indentStep_ = line_ * 1.2;
    }

    // Lays the pages out, and paints them when given a painter (only the first maxPages
    // of them when that is not 0). Reports each Topic and Item to the progress, from done
    // on; throws PrintCancelled when it says to stop. Returns the number of pages.
    int run(QPainter* painter, int pages, int maxPages, PrintProgress* progress, uint64_t done,
            uint64_t total) {
        painter_ = painter;
        pages_ = pages;
        maxPages_ = maxPages;
        page_ = 1;
        y_ = 0;
        auto report = [&] {
            if (progress && !progress->step(++done, total)) {
                throw PrintCancelled{};
            }
        };
        try {
            ForEachPrintedTopic(job_, [&](const Topic& t, int level) {
                report();
                PrintHeading place = HeadingOf(t, level);
                x_ = place.indent * indentStep_;
                heading(place);
                for (size_t i = 0; i < t.items.size(); ++i) {
                    report();
                    item(t.items[i]);
                }
            });
        } catch (const PageLimit&) {
            return page_;
        }
        footer();
        return page_;
    }

private:
    qreal bottom() const { return height_ - footerHeight_; }

    // Painting stopped at the page limit.
    struct PageLimit {};

    void newPage() {
        footer();
        if (painter_ && maxPages_ > 0 && page_ >= maxPages_) {
            throw PageLimit{};
        }
        if (painter_) {
            device_.newPage();
        }
        ++page_;
        y_ = 0;
    }

    // Room for height more, on this page or the next.
    void need(qreal height) {
        if (y_ > 0 && y_ + height > bottom()) {
            newPage();
        }
    }

    void footer() {
        if (!painter_) {
            return;
        }
        painter_->save();
        painter_->setFont(footerFont_);
        painter_->setPen(QColor(0x40, 0x40, 0x40));
        QRectF area(0, height_ - footer_.lineSpacing(), width_, footer_.lineSpacing());
        QString number = QStringLiteral("%1 / %2").arg(page_).arg(pages_);
        qreal numberWidth = footer_.horizontalAdvance(number);
        QString title = footer_.elidedText(QString::fromUtf8(job_.title.c_str()), Qt::ElideMiddle,
                                           width_ - numberWidth - footer_.averageCharWidth() * 4);
        painter_->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, title);
        painter_->drawText(area, Qt::AlignRight | Qt::AlignVCenter, number);
        painter_->restore();
    }

    // Lays text out in lines of width, each at most as high as a page.
    static void Lay(QTextLayout& layout, qreal width) {
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
        }
        layout.endLayout();
    }

    // Paints (or only counts) the lines of a layout at x, a line at a time, going on to the
    // next page where one does not fit; first is called with the top of the first line.
    template <typename First>
    void flowLines(QTextLayout& layout, qreal x, const QColor& colour, First first) {
        for (int i = 0; i < layout.lineCount(); ++i) {
            QTextLine line = layout.lineAt(i);
            need(line.height());
            if (painter_) {
                if (i == 0) {
                    first(y_);
                }
                painter_->setPen(colour);
                line.draw(painter_, QPointF(x, y_ - line.y()));
            }
            y_ += line.height();
        }
    }

    void heading(const PrintHeading& place) {
        QString pending;
        if (place.levelShown > 0) {
            pending = QStringLiteral("［階層 %1］ ").arg(place.levelShown);
        }
        if (place.elided) {
            pending += QStringLiteral("… > ");
        }
        bool first = true;
        auto lay = [&] {
            QTextLayout layout(pending, headingFont_, &device_);
            Lay(layout, width_ - x_);
            if (first) {
                // A heading starts no lower than where its first line and one of its Items
                // still fit.
                qreal space = y_ > 0 ? line_ * 0.8 : 0;
                qreal height =
                    layout.lineCount() > 0 ? layout.lineAt(0).height() : heading_.lineSpacing();
                if (y_ > 0 && y_ + space + height + line_ > bottom()) {
                    newPage();
                } else {
                    y_ += space;
                }
                first = false;
            }
            flowLines(layout, x_, Qt::black, [](qreal) {});
            pending.clear();
        };
        for (size_t i = 0; i < place.path.size(); ++i) {
            if (i > 0) {
                pending += QStringLiteral(" > ");
            }
            ForEachPiece(place.path[i], [&](std::string_view piece) {
                pending += Text(piece);
                if (pending.size() >= kPieceChars) {
                    lay();
                }
            });
        }
        if (first || !pending.isEmpty()) {
            lay();
        }
        if (painter_) {
            painter_->setPen(QPen(Qt::black, dpi_ / 144.0));
            painter_->drawLine(QPointF(x_, y_ + 1), QPointF(width_, y_ + 1));
        }
        y_ += line_ * 0.3;
    }

    void item(ItemView item) {
        std::string_view text = item.text();
        ItemKind kind = KindOf(text, job_.kinds);
        bool checked = item.checked();
        QColor colour = checked && job_.greyChecked ? QColor(0x90, 0x90, 0x90) : QColor(Qt::black);
        if (kind == ItemKind::Separator) {
            need(line_);
            if (painter_) {
                painter_->setPen(QPen(QColor(0x60, 0x60, 0x60), dpi_ / 144.0));
                painter_->drawLine(QPointF(x_ + textX_, y_ + line_ / 2),
                                   QPointF(width_, y_ + line_ / 2));
            }
            y_ += line_;
            return;
        }
        std::string_view shown = ShownText(text, kind);
        if (shown.empty()) {
            need(line_);
            drawMark(kind, checked, colour, y_);
            y_ += line_ * 1.15;
            return;
        }
        bool marked = false;
        ForEachPiece(shown, [&](std::string_view piece) {
            QTextLayout layout(Text(piece), bodyFont_, &device_);
            Lay(layout, width_ - x_ - textX_);
            flowLines(layout, x_ + textX_, colour, [&](qreal top) {
                if (!marked) {
                    drawMark(kind, checked, colour, top);
                    marked = true;
                }
            });
        });
        y_ += line_ * 0.15;
    }

    // The check box (ticked when checked) or the no-box mark, beside a line at top.
    void drawMark(ItemKind kind, bool checked, const QColor& colour, qreal top) {
        if (!painter_) {
            return;
        }
        painter_->save();
        painter_->setPen(colour);
        if (kind == ItemKind::NoBox) {
            painter_->setFont(bodyFont_);
            painter_->drawText(QRectF(x_, top, textX_, line_), Qt::AlignLeft | Qt::AlignVCenter,
                               Text(job_.kinds.checkMark));
            painter_->restore();
            return;
        }
        qreal pen = dpi_ / 100.0;
        QRectF box(x_ + pen, top + (line_ - box_) / 2, box_, box_);
        painter_->setPen(QPen(colour, pen));
        painter_->setBrush(Qt::NoBrush);
        painter_->drawRect(box);
        if (checked) {
            QPainterPath tick;
            tick.moveTo(box.left() + box.width() * 0.2, box.top() + box.height() * 0.5);
            tick.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.75);
            tick.lineTo(box.left() + box.width() * 0.82, box.top() + box.height() * 0.22);
            painter_->setPen(QPen(colour, pen * 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter_->drawPath(tick);
        }
        painter_->restore();
    }

    const PrintJob& job_;
    QPagedPaintDevice& device_;
    QFont bodyFont_;
    QFont headingFont_;
    QFont footerFont_;
    QFontMetricsF body_;
    QFontMetricsF heading_;
    QFontMetricsF footer_;
    qreal dpi_ = 0;
    qreal width_ = 0;
    qreal height_ = 0;
    qreal line_ = 0;
    qreal footerHeight_ = 0;
    qreal box_ = 0;
    qreal textX_ = 0;
    qreal indentStep_ = 0;
    qreal x_ = 0;  // the indentation of the Topic being laid out
    QPainter* painter_ = nullptr;
    int pages_ = 0;
    int maxPages_ = 0;
    int page_ = 1;
    qreal y_ = 0;
};

}  // namespace

QPageSize DefaultPageSize() {
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

PaintResult PaintCheckLists(const PrintJob& job, QPagedPaintDevice& device,
                            const PageOptions& options) {
    const uint64_t units = PrintUnits(job);
    PageFlow flow(job, device);
    PaintResult result;
    try {
        result.pages = flow.run(nullptr, 0, 0, options.progress, 0, 2 * units);
    } catch (const PrintCancelled&) {
        result.cancelled = true;
        return result;
    }
    auto painter = std::make_unique<QPainter>(&device);
    painter->setRenderHint(QPainter::Antialiasing);
    try {
        try {
            flow.run(painter.get(), result.pages, options.maxPages, options.progress, units,
                     2 * units);
        } catch (const PrintCancelled&) {
            result.cancelled = true;
            if (options.abort) {
                options.abort();
            }
        }
        painter->end();
    } catch (...) {
        // Memory ran out. A printer drops what it got rather than print part of the job. The
        // painter is let go unended: ending it writes the rest of the output, which can run
        // out of memory again, and its destructor would do that where nothing may throw.
        if (options.abort && !result.cancelled) {
            options.abort();
        }
        (void)painter.release();
        throw;
    }
    return result;
}

}  // namespace brenvale
