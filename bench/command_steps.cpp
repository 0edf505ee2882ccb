#include "command_steps.h"

#include "editor/editor.h"

namespace brenvale::bench {

namespace {

// A drag of the selected Topic dropped on the tree, as the window passes it to the editor.
void DropSelected(Editor& e, TopicDropZone zone, Topic* under) {
    e.drag().beginDrag(DragKind::Topic);
    e.drag().treeDragOver();
    e.drag().dropOnTree(zone, under);
    e.drag().endDrag();
}

}  // namespace

std::vector<CommandStep> CommandSteps(Editor& e) {
    const Document& doc = e.document();
    Topic* middle = doc.topLevel(doc.topLevelCount() / 2);
    auto exec = [&e](CommandId id) { return [&e, id] { e.execute(id); }; };
    auto selectMiddle = [&e, middle] { e.tree().selectTopic(middle); };
    return {
        {"select a Topic", selectMiddle},
        {"select its neighbour", [&e, middle] { e.tree().selectTopic(middle->nextSibling()); }},
        {"select it again", selectMiddle},
        {"TreeDown", exec(CommandId::TreeDown)},
        {"TreeUp", exec(CommandId::TreeUp)},
        {"TreeRight", exec(CommandId::TreeRight)},
        {"TreeLeft", exec(CommandId::TreeLeft)},
        {"AddTreeChild", exec(CommandId::AddTreeChild)},
        {"rename (one key)", [&e] { e.editTextChanged(EditBox::Tree, "x"); }},
        {"icon menu click", [&e] { e.tree().iconMenuClick(kIconPencil); }},
        {"DelTree", exec(CommandId::DelTree), true},
        {"AddTree", exec(CommandId::AddTree)},
        {"DelTree", exec(CommandId::DelTree), true},
        {"select it again", selectMiddle},
        {"TreeCopy", exec(CommandId::TreeCopy)},
        {"TreePaste", exec(CommandId::TreePaste)},
        {"DelTree", exec(CommandId::DelTree), true},
        {"select it again", selectMiddle},
        {"ListAdd",
         [&e] {
             e.editTextChanged(EditBox::List, "new item");
             e.execute(CommandId::ListAdd);
         }},
        {"toggle a check", [&e] { e.toggleCheck(static_cast<size_t>(e.list().selectedRow())); }},
        {"ListMoveUp", exec(CommandId::ListMoveUp)},
        {"ListMoveDown", exec(CommandId::ListMoveDown)},
        {"ListUp", exec(CommandId::ListReEdit)},
        {"ListDown", exec(CommandId::ListReplace)},
        {"ListChkBox", exec(CommandId::ListChkBox)},
        {"ListAddLine", exec(CommandId::ListAddLine)},
        {"ListCopy", exec(CommandId::ListCopy)},
        {"ListCut", exec(CommandId::ListCut)},
        {"ListPaste", exec(CommandId::ListPaste)},
        {"ListDel", exec(CommandId::ListDel)},
        {"TreeCut", exec(CommandId::TreeCut), true},
        {"TreePaste", exec(CommandId::TreePaste)},
        // A document opens with every Topic open. The last top-level Topic (in the window's
        // bench, one of 10,000 children) is dropped into the middle of the tree and back,
        // then folded and opened again by "expand all".
        {"select it again", selectMiddle},
        {"AddTree", exec(CommandId::AddTree)},
        {"TreeRight", exec(CommandId::TreeRight)},
        {"TreeLeft", exec(CommandId::TreeLeft)},
        {"DelTree", exec(CommandId::DelTree), true},
        {"select the last Topic", [&e] { e.tree().selectTopic(e.document().lastTopLevel()); }},
        {"drop it before the middle",
         [&e, middle] { DropSelected(e, TopicDropZone::Indent, middle); }},
        {"drop it below all", [&e] { DropSelected(e, TopicDropZone::BelowAll, nullptr); }},
        {"collapse it", [&e] { e.tree().setTopicExpanded(e.document().lastTopLevel(), false); }},
        {"expand all", [&e] { e.tree().expandAllTopics(); }},
        {"collapse the top Topic",
         [&e] { e.tree().setTopicExpanded(e.document().first(), false); }},
        {"expand the top Topic", [&e] { e.tree().setTopicExpanded(e.document().first(), true); }},
    };
}

}  // namespace brenvale::bench
