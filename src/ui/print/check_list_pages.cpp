#include "ui/print/check_list_pages.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include "common/check_mark.h"
#include "common/cp932.h"
#include "document/item.h"

namespace brenvale {

namespace {

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
    }

    int run(QPainter* painter, int pages) {
        painter_ = painter;
        pages_ = pages;
        page_ = 1;
        y_ = 0;
        auto topic = [&](const Topic& t, int) {
            heading(t);
            for (size_t i = 0; i < t.items.size(); ++i) {
                item(t.items[i]);
            }
        };
        if (job_.topic) {
            ForEachInSubtree(*job_.topic, topic);
        } else if (job_.document) {
            ForEachTopic(*job_.document, topic);
        }
        footer();
        return page_;
    }

private:
    qreal bottom() const { return height_ - footerHeight_; }

    void newPage() {
        footer();
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

    void heading(const Topic& t) {
        QString path;
        for (const Topic* p = &t; p; p = p->parent()) {
            path.prepend(p == &t ? Text(p->caption) : Text(p->caption) + QStringLiteral(" > "));
        }
        QTextLayout layout(path, headingFont_, &device_);
        Lay(layout, width_);
        // A heading starts no lower than where its first line and one of its Items still fit.
        qreal space = y_ > 0 ? line_ * 0.8 : 0;
        qreal first = layout.lineCount() > 0 ? layout.lineAt(0).height() : heading_.lineSpacing();
        if (y_ > 0 && y_ + space + first + line_ > bottom()) {
            newPage();
        } else {
            y_ += space;
        }
        flowLines(layout, 0, Qt::black, [](qreal) {});
        if (painter_) {
            painter_->setPen(QPen(Qt::black, dpi_ / 144.0));
            painter_->drawLine(QPointF(0, y_ + 1), QPointF(width_, y_ + 1));
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
                painter_->drawLine(QPointF(textX_, y_ + line_ / 2),
                                   QPointF(width_, y_ + line_ / 2));
            }
            y_ += line_;
            return;
        }
        QTextLayout layout(Text(ShownText(text, kind)), bodyFont_, &device_);
        Lay(layout, width_ - textX_);
        if (layout.lineCount() == 0) {
            need(line_);
            drawMark(kind, checked, colour, y_);
            y_ += line_ * 1.15;
            return;
        }
        flowLines(layout, textX_, colour, [&](qreal top) { drawMark(kind, checked, colour, top); });
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
            painter_->drawText(QRectF(0, top, textX_, line_), Qt::AlignLeft | Qt::AlignVCenter,
                               Text(job_.kinds.checkMark));
            painter_->restore();
            return;
        }
        qreal pen = dpi_ / 100.0;
        QRectF box(pen, top + (line_ - box_) / 2, box_, box_);
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
    QPainter* painter_ = nullptr;
    int pages_ = 0;
    int page_ = 1;
    qreal y_ = 0;
};

}  // namespace

QPageSize DefaultPageSize() {
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

int PaintCheckLists(const PrintJob& job, QPagedPaintDevice& device) {
    PageFlow flow(job, device);
    int pages = flow.run(nullptr, 0);
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    flow.run(&painter, pages);
    painter.end();
    return pages;
}

}  // namespace brenvale
