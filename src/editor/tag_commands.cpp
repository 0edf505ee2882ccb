// Adding, removing and renaming a tag on the selected Item, and the tag filter.
#include <algorithm>

#include "document/safe_text.h"
#include "document/topic.h"
#include "editor/command_handlers.h"
#include "editor/command_parts.h"
#include "editor/document_changes.h"
#include "editor/document_session.h"
#include "editor/schedule_index.h"
#include "editor/selection.h"
#include "editor/tag_edit.h"
#include "editor/undo_scope.h"
#include "editor/visible_list.h"
#include "schedule/tag_edits.h"

namespace brenvale {

namespace {

// The tags of a text, each once, as written.
std::vector<std::string> TagsOf(std::string_view text) {
    std::vector<std::string> names;
    std::vector<std::string> keys;
    ForEachToken(text, [&](const ItemToken& token) {
        if (token.kind != TokenKind::Tag) {
            return;
        }
        std::string key = TagKey(token.value(text));
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            keys.push_back(std::move(key));
            names.emplace_back(token.value(text));
        }
    });
    return names;
}

void EditTag(ListParts p, TagEditKind kind, CommandId id) {
    if (!p.list.hasSelectedItem()) {
        return;
    }
    Topic* t = p.selection.topic();
    size_t item = static_cast<size_t>(p.list.selectedItem());
    std::string text(std::as_const(t->items)[item].text());
    TagEditRequest request;
    request.kind = kind;
    request.itemTags = TagsOf(text);
    if (kind != TagEditKind::Remove) {
        for (const auto& [key, tag] : p.index.tags()) {
            request.knownTags.push_back(tag.name);
        }
    }
    if (kind != TagEditKind::Add && request.itemTags.empty()) {
        p.host.ShowMessageBox("選択されている項目にはタグがありません。", MessageKind::Information,
                              MessageButtons::Ok);
        return;
    }
    std::optional<TagEditAnswer> answer = p.host.AskTagEdit(request);
    if (!answer) {
        return;
    }
    if (std::optional<std::string> problem = TagEditProblem(request, *answer)) {
        p.host.ShowMessageBox(*problem, MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    std::string name = BareTagName(answer->name);
    std::optional<std::string> changed;
    switch (kind) {
        case TagEditKind::Add:
            changed = WithTag(text, name);
            break;
        case TagEditKind::Remove:
            changed = WithoutTag(text, name);
            break;
        case TagEditKind::Rename:
            changed = WithTagRenamed(text, name, BareTagName(answer->to));
            break;
    }
    if (!changed || *changed == text) {
        return;
    }
    UndoScope step(p, id);
    p.list.store(p.changes);
    std::string mark(std::as_const(t->items)[item].mark());
    p.changes.setItem(t, item, mark, FileSafeText(*changed));
    p.session.setModified(true);
}

}  // namespace

bool SelectedItemHasTags(ListParts p) {
    if (!p.list.hasSelectedItem()) {
        return false;
    }
    std::string_view text = p.list.rowText(static_cast<size_t>(p.list.selectedRow()));
    bool found = false;
    ForEachToken(text,
                 [&](const ItemToken& token) { found = found || token.kind == TokenKind::Tag; });
    return found;
}

void TagAddExecute(ListParts p) {
    EditTag(p, TagEditKind::Add, CommandId::TagAdd);
}

void TagRemoveExecute(ListParts p) {
    EditTag(p, TagEditKind::Remove, CommandId::TagRemove);
}

void TagRenameExecute(ListParts p) {
    EditTag(p, TagEditKind::Rename, CommandId::TagRename);
}

}  // namespace brenvale
