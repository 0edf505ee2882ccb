// Dates and repeats in the lists: date words committed, repeating Items ticked, routines
// renewed, a list sorted by due, the agenda and the way to an Item.
#include <utility>

#include "common/check_mark.h"
#include "common/cp932.h"
#include "document/safe_text.h"
#include "document/topic.h"
#include "editor/command_handlers.h"
#include "editor/command_parts.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/hint_panel.h"
#include "editor/schedule_clock.h"
#include "editor/selection.h"
#include "editor/undo_scope.h"
#include "editor/visible_list.h"
#include "schedule/agenda.h"
#include "schedule/date_words.h"
#include "schedule/repeats.h"

namespace brenvale {

namespace {

void SetForm(ListParts p, Topic* t, size_t item, const TickedForm& form) {
    p.changes.setItem(t, item, CheckMarkText(form.checked), FileSafeText(form.text));
}

}  // namespace

std::optional<TickedForm> FormAfterTick(ListParts p, std::string_view text, bool checked) {
    Date today = p.schedule.today();
    if (checked) {
        if (std::optional<std::string> rearmed = RearmedText(text, today)) {
            // A repeating Item stays open for its next time; the day it was done is noted as
            // for any Item.
            return TickedForm{false, p.settings.recordDoneDate ? WithDoneDate(*rearmed, today)
                                                               : std::move(*rearmed)};
        }
        if (p.settings.recordDoneDate) {
            return TickedForm{true, WithDoneDate(text, today)};
        }
        return std::nullopt;
    }
    if (p.settings.recordDoneDate) {
        std::string without = WithoutDoneDate(text);
        if (without != text) {
            return TickedForm{false, std::move(without)};
        }
    }
    return std::nullopt;
}

void TickItem(ListParts p, Topic* t, size_t item) {
    UndoScope step(p, "チェック切り替え");
    p.list.store(p.changes);
    if (std::as_const(t->items)[item].checked()) {
        return;
    }
    std::string text(std::as_const(t->items)[item].text());
    if (std::optional<TickedForm> form = FormAfterTick(p, text, true)) {
        SetForm(p, t, item, *form);
    } else {
        p.changes.setChecked(t, item, true);
    }
    p.session.setModified(true);
}

bool TickWithForm(ListParts p, size_t row) {
    if (p.list.rowKind(row) != ItemKind::Ordinary) {
        return false;
    }
    std::optional<TickedForm> form = FormAfterTick(p, p.list.rowText(row), !p.list.rowChecked(row));
    if (!form) {
        return false;
    }
    UndoScope step(p, "チェック切り替え");
    size_t item = p.list.itemOfRow(row);
    p.list.store(p.changes);
    SetForm(p, p.selection.topic(), item, *form);
    p.session.setModified(true);
    return true;
}

std::string CommitDateWords(ListParts p, std::string_view text) {
    DateWordsResult result = ConvertDateWords(text, p.schedule.today());
    if (!result.problems.empty()) {
        p.hint.show(ProblemsHint(result.problems));
    }
    return std::move(result.text);
}

void CommitTopicCaption(ListParts p) {
    Topic* t = p.selection.topic();
    if (!t) {
        return;
    }
    std::string caption = FileSafeCaption(CommitDateWords(p, t->caption.view()));
    if (t->caption == caption) {
        return;
    }
    // Part of the rename it ends.
    UndoScope step(p, "ツリー名変更", t);
    p.changes.setCaption(t, caption);
    p.selection.setText(EditBox::Tree, caption);
    p.session.setModified(true);
}

void RenewRoutines(ListParts p, Date today) {
    std::vector<RoutineRenewal> renewals = RoutinesToRenew(p.doc(), today);
    if (renewals.empty()) {
        return;
    }
    std::string names;
    {
        UndoScope step(p, "定期リストの更新");
        p.list.store(p.changes);
        for (const RoutineRenewal& renewal : renewals) {
            Topic* t = renewal.topic;
            p.changes.setCaption(t, renewal.caption);
            for (size_t i = 0; i < t->items.size(); ++i) {
                ItemView item = std::as_const(t->items)[i];
                std::string without =
                    p.settings.recordDoneDate ? WithoutDoneDate(item.text()) : std::string();
                if (p.settings.recordDoneDate && without != item.text()) {
                    p.changes.setItem(t, i, kUncheckedMark, without);
                } else if (item.checked()) {
                    p.changes.setChecked(t, i, false);
                }
            }
            if (t == p.selection.topic()) {
                p.selection.setText(EditBox::Tree, t->caption.str());
            }
            names += "「" + Cp932ToUtf8(t->caption.view()) + "」";
        }
        p.session.setModified(true);
    }
    // Items that were hidden as checked are open again.
    if (p.list.hiddenCount() > 0) {
        p.list.refilter();
    }
    p.hint.show("定期リストを新しくしました: " + names);
}

void GoToItem(ListParts p, Topic* t, size_t item) {
    SelectTopic(p, t);
    if (p.selection.topic() != t || item >= t->items.size()) {
        return;
    }
    p.list.select(static_cast<int>(p.list.reveal(item)));
}

void AgendaExecute(ListParts p) {
    p.host.ShowAgenda();
}

void SortByDueExecute(ListParts p) {
    Topic* t = p.selection.topic();
    if (!t || t->items.size() < 2) {
        return;
    }
    UndoScope step(p, CommandId::SortByDue);
    p.list.store(p.changes);
    std::vector<uint32_t> order = DueOrder(*t);
    bool moves = false;
    for (size_t k = 0; k < order.size(); ++k) {
        moves = moves || order[k] != k;
    }
    if (!moves) {
        p.hint.show("既に期限順です。");
        return;
    }
    p.changes.reorderItems(t, order);
    p.session.setModified(true);
}

}  // namespace brenvale
