#include "ui/check_list_delegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>

#include "editor/editor.h"
#include "settings/colour_scheme.h"
#include "ui/check_list_model.h"
#include "ui/codec.h"
#include "ui/colours.h"
#include "ui/item_text_editor.h"
#include "ui/message_box.h"

namespace brenvale {

namespace {

// A one-pixel-high line drawn as a framed rectangle, as the separator is built.
void HorizontalLine(QPainter* painter, int x, int y, int length, const QColor& colour) {
    if (length > 0) {
        painter->fillRect(QRect(x, y, length, 1), colour);
    }
}

// Marks the find's hit in a row's text drawn at `at` in font: black on yellow over what was
// drawn there. shown is the text as the row shows it, skipped the bytes the row leaves out
// in front (the "-" of a no-box Item).
void DrawHit(QPainter* painter, const Editor& editor, const QModelIndex& index, const QRect& at,
             const QFont& font, size_t skipped) {
    const VisibleList& list = editor.list();
    size_t row = static_cast<size_t>(index.row());
    if (row >= list.rowCount()) {
        return;
    }
    std::optional<TextRange> hit =
        editor.find().state().highlight(list.topic(), list.itemOfRow(row));
    std::string_view text = list.rowText(row);
    if (!hit || hit->end <= skipped || hit->end > text.size()) {
        return;
    }
    size_t begin = std::max(hit->begin, skipped);
    std::string_view shown = text.substr(skipped);
    // The mark covers whole characters as the user sees them: a hit on a letter takes the
    // accent combined with it.
    QString all = FromCp932(shown);
    qsizetype start = FromCp932(shown.substr(0, begin - skipped)).size();
    qsizetype end = start + FromCp932(shown.substr(begin - skipped, hit->end - begin)).size();
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, all);
    graphemes.setPosition(start);
    if (!graphemes.isAtBoundary()) {
        start = std::max<qsizetype>(0, graphemes.toPreviousBoundary());
    }
    graphemes.setPosition(end);
    if (!graphemes.isAtBoundary()) {
        end = graphemes.toNextBoundary() < 0 ? all.size() : graphemes.position();
    }
    QString before = all.left(start);
    QString found = all.mid(start, end - start);
    QFontMetrics metrics(font);
    QRect box(at.left() + metrics.horizontalAdvance(before), at.top(),
              metrics.horizontalAdvance(found), at.height() - 1);
    painter->fillRect(box, QColor(255, 226, 80));
    painter->setPen(Qt::black);
    painter->setFont(font);
    painter->drawText(QRect(box.left(), at.top(), at.right() - box.left() + 1, at.height()),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, found);
}

// Draws a row's text at `at`: its tokens ("due:", "#tag", "rec:") in the dimmed colour, the rest
// in pen. shown is the text as the row shows it, after `skipped` bytes of the stored text.
void DrawTokenText(QPainter* painter, const Editor& editor, size_t row, const QRect& at,
                   const QString& shown, size_t skipped, const QColor& pen, const QColor& dim) {
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    const std::vector<TextSpan>& spans = editor.schedule().rowTokenSpans(row);
    painter->setPen(pen);
    if (spans.empty() || pen == dim) {
        painter->drawText(at, flags, shown);
        return;
    }
    std::string_view text = editor.list().rowText(row);
    QFontMetrics metrics(painter->font());
    // Each piece starts where the text before it ends, so nothing shifts against drawing it
    // whole.
    qsizetype drawn = 0;
    auto draw = [&](qsizetype end, const QColor& colour) {
        if (end <= drawn) {
            return;
        }
        int x = at.left() + metrics.horizontalAdvance(shown.left(drawn));
        painter->setPen(colour);
        painter->drawText(QRect(x, at.top(), at.right() - x + 1, at.height()), flags,
                          shown.mid(drawn, end - drawn));
        drawn = end;
    };
    auto position = [&](size_t byte) {
        return byte <= skipped ? 0 : FromCp932(text.substr(skipped, byte - skipped)).size();
    };
    for (const TextSpan& span : spans) {
        draw(std::min(position(span.begin), shown.size()), pen);
        draw(std::min(position(span.end), shown.size()), dim);
    }
    draw(shown.size(), pen);
}

QRect BoxRect(const QStyleOptionViewItem& option) {
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    int size = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, widget);
    int height = std::min(size, option.rect.height());
    return QRect(option.rect.left() + 2, option.rect.top() + (option.rect.height() - height) / 2,
                 size, height);
}

}  // namespace

CheckListDelegate::CheckListDelegate(const Editor& editor, QObject* parent)
    : QStyledItemDelegate(parent), editor_(editor) {}

int CheckListDelegate::boxColumnWidth(const QWidget* widget) {
    QStyle* style = widget ? widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) + 4;
}

QSize CheckListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    // Every row has the same size; its width is the list's scroll extent.
    int width = editor_.list().extent() > 0 ? editor_.list().extent() : 1;
    return QSize(width, kRowHeight);
}

void CheckListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const Settings& settings = editor_.settings();
    auto kind = static_cast<ItemKind>(index.data(CheckListModel::KindRole).toInt());
    bool selected = option.state & QStyle::State_Selected;
    QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    QColor background = option.palette.color(group, QPalette::Base);
    QColor brush = selected ? option.palette.color(group, QPalette::Highlight) : background;
    QColor pen = selected ? option.palette.color(group, QPalette::HighlightedText)
                          : option.palette.color(group, QPalette::Text);

    QRect row = option.rect;
    QRect text = row.adjusted(boxColumnWidth(widget), 0, 0, 0);
    int width = widget ? widget->width() : row.width();
    int mid = row.top() + kRowHeight / 2;

    painter->save();
    painter->setClipRect(row);
    switch (kind) {
        case ItemKind::Separator: {
            // Never in the selection colour: a grey line between silver ones (lines that stand
            // out from a dark background on one).
            painter->fillRect(row, background);
            const SeparatorLines lines = SeparatorLinesOn(FromQColor(background));
            const QColor outer = ToQColor(lines.outer);
            const QColor middle = ToQColor(lines.middle);
            HorizontalLine(painter, text.left() + 3, mid - 1, width - 48, outer);
            HorizontalLine(painter, text.left() + 2, mid, width - 46, outer);
            HorizontalLine(painter, text.left() + 3, mid, width - 48, middle);
            HorizontalLine(painter, text.left() + 3, mid + 1, width - 48, outer);
            break;
        }
        case ItemKind::NoBox: {
            painter->fillRect(row, brush);
            painter->setPen(pen);
            painter->setFont(option.font);
            painter->drawText(
                QRect(row.left() + 2, row.top() + 1, text.left() - row.left(), row.height()),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, FromCp932(settings.checkMark));
            QFont font = option.font;
            font.setBold(settings.noBoxBold);
            font.setItalic(settings.noBoxItalic);
            font.setUnderline(settings.noBoxUnderline);
            painter->setFont(font);
            QRect at(text.left() + 2, row.top() + 1, text.width(), row.height());
            QColor dim = selected ? pen : ToQColor(DimmedText(FromQColor(pen), FromQColor(brush)));
            DrawTokenText(painter, editor_, static_cast<size_t>(index.row()), at,
                          index.data(Qt::DisplayRole).toString(), 1, pen, dim);
            DrawHit(painter, editor_, index, at, font, 1);
            break;
        }
        case ItemKind::Ordinary: {
            painter->fillRect(row.left(), row.top(), text.left() - row.left(), row.height(),
                              background);
            painter->fillRect(text, brush);
            QStyleOptionViewItem box = option;
            box.rect = BoxRect(option);
            box.state &= ~QStyle::State_HasFocus;
            box.state |= index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On
                                                                               : QStyle::State_Off;
            if (Lightness(FromQColor(background)) < 128) {
                // Styles frame the box in a shade darker than the window colour, which vanishes
                // on a dark list: the frame is taken from the list's light text instead.
                box.palette.setColor(QPalette::Window, option.palette.color(group, QPalette::Text));
            }
            style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
            // An open Item due today is bold, one whose day has passed in the overdue colour;
            // a done one, with the option, grey and struck through where the selection does not
            // colour it.
            DueLook look = editor_.schedule().rowDueLook(static_cast<size_t>(index.row()));
            QFont font = option.font;
            font.setBold(look == DueLook::Today);
            QColor textPen = pen;
            if (settings.greyCheckedItems && (box.state & QStyle::State_On)) {
                font.setStrikeOut(true);
                if (!selected) {
                    textPen = GreyText(option.palette);
                }
            }
            QColor dim = textPen;
            if (!selected) {
                Colour back = FromQColor(background);
                if (look == DueLook::Overdue) {
                    textPen = ToQColor(OverdueTextOn(back));
                }
                dim = ToQColor(DimmedText(FromQColor(textPen), back));
            }
            painter->setFont(font);
            QRect at(text.left() + 2, row.top() + 1, text.width(), row.height());
            DrawTokenText(painter, editor_, static_cast<size_t>(index.row()), at,
                          index.data(Qt::DisplayRole).toString(), 0, textPen, dim);
            DrawHit(painter, editor_, index, at, font, 0);
            break;
        }
    }
    if ((option.state & QStyle::State_HasFocus) && widget && widget->hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(widget);
        focus.rect = text;
        focus.backgroundColor = brush;
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

QWidget* CheckListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex&) const {
    auto* editor = new ItemTextEditor(parent);
    editor->setFont(option.font);
    editor->setAccessibleName(QStringLiteral("チェックリストの項目の編集"));
    open_ = editor;
    return editor;
}

ItemTextEditor* CheckListDelegate::openEditor() const {
    return open_;
}

void CheckListDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (open_ == editor) {
        open_ = nullptr;
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void CheckListDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* edit = qobject_cast<ItemTextEditor*>(editor)) {
        edit->setItemText(editor_.list().rowText(static_cast<size_t>(index.row())));
    }
}

void CheckListDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    auto* edit = qobject_cast<ItemTextEditor*>(editor);
    std::optional<std::string> text = edit ? edit->editedText() : std::nullopt;
    if (!text) {
        return;
    }
    if (edit->undecodable()) {
        QString question =
            QStringLiteral(
                "「%1」には表示できない文字が含まれています。編集すると、"
                "その文字は「?」に置き換えられます。よろしいですか？")
                .arg(FromCp932ForEditing(editor_.list().rowText(static_cast<size_t>(index.row())),
                                         nullptr));
        if (ShowMessageBox(edit->window(), question, MessageKind::Warning,
                           MessageButtons::OkCancel) != MessageAnswer::Ok) {
            return;
        }
    }
    model->setData(index, QByteArray::fromStdString(*text), Qt::EditRole);
}

void CheckListDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const {
    // Over the row's text, as tall as a line edit needs, centred on the row.
    const QRect row = option.rect;
    const int left = row.left() + boxColumnWidth(option.widget);
    const int height = std::max(row.height(), editor->sizeHint().height());
    const int right = option.widget ? option.widget->width() : row.right();
    editor->setGeometry(
        QRect(left, row.center().y() - height / 2, std::max(right - left, 20), height));
}

bool CheckListDelegate::eventFilter(QObject* watched, QEvent* event) {
    // Tab leaves the box, storing it, for the next control rather than the next row's box.
    auto* editor = qobject_cast<QWidget*>(watched);
    if (editor && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

bool CheckListDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                    const QStyleOptionViewItem& option, const QModelIndex& index) {
    auto toggle = [&] {
        bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    };
    switch (event->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            QRect box(option.rect.left(), option.rect.top(), boxColumnWidth(option.widget),
                      option.rect.height());
            if (mouse->button() != Qt::LeftButton || !box.contains(mouse->position().toPoint())) {
                return false;
            }
            // The second press of a double click arrives as the double click itself, and
            // the view sends its release nowhere: the box flips for it here, so that two
            // quick clicks tick twice as two slow ones do.
            return toggle();
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Space || key->key() == Qt::Key_Select) {
                return toggle();
            }
            return false;
        }
        default:
            return false;
    }
}

}  // namespace brenvale
