#include "editor/tag_edit.h"

#include "common/cp932.h"
#include "editor/editor_host.h"
#include "schedule/tag_edits.h"

namespace brenvale {

std::optional<TagEditAnswer> EditorHost::AskTagEdit(const TagEditRequest&) {
    return std::nullopt;
}

std::string BareTagName(std::string_view name) {
    if (name.starts_with('#')) {
        name.remove_prefix(1);
    } else if (name.starts_with("\x81\x94")) {
        name.remove_prefix(2);
    }
    return std::string(name);
}

std::optional<std::string> TagEditProblem(const TagEditRequest& request,
                                          const TagEditAnswer& answer) {
    std::string name = BareTagName(answer.name);
    if (name.empty()) {
        return "タグの名前を入力して下さい。";
    }
    if (request.kind == TagEditKind::Add && !IsTagName(name)) {
        return "「" + Cp932ToUtf8(answer.name) +
               "」はタグにできません。空白を含まず、数字だけでない名前にして下さい。";
    }
    if (request.kind == TagEditKind::Rename) {
        std::string to = BareTagName(answer.to);
        if (to.empty()) {
            return "新しい名前を入力して下さい。";
        }
        if (!IsTagName(to)) {
            return "新しい名前はタグにできません。空白を含まず、数字だけでない名前にして下さい。";
        }
    }
    return std::nullopt;
}

}  // namespace brenvale
